#include "cli/AgentLogInfo.h"

#include <filesystem>
#include <nlohmann/json.hpp>

#include "agentlog/Levels.h"
#include "agentlog/LogFinder.h"
#include "agentlog/Summary.h"
#include "cli/StatsJson.h"

namespace tessarin::cli {

namespace {

using namespace tessarin::agentlog;

nlohmann::ordered_json levelCounts(const LogSummary& s) {
    nlohmann::ordered_json levels = nlohmann::ordered_json::object();
    for (int bit = 0; bit < 32; ++bit) {
        const std::size_t n = s.levels[static_cast<std::size_t>(bit)];
        if (n > 0) levels[std::string(levelName(bit))] = n;
    }
    if (s.allLevels > 0) levels["all"] = s.allLevels;
    return levels;
}

nlohmann::ordered_json typeCounts(const LogSummary& s) {
    nlohmann::ordered_json types = nlohmann::ordered_json::object();
    for (const auto& [type, n] : s.types) types[std::string(1, type)] = n;
    return types;
}

std::string cycleText(const std::optional<int>& cycle) { return cycle ? std::to_string(*cycle) : "-"; }

}  // namespace

bool isAgentLogFile(const std::string& path) {
    std::string error;
    const auto source = FileSource::open(path, error);
    return source && looksLikeAgentLog(*source);
}

int runAgentLogInfo(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto source = FileSource::open(path, error);
    if (!source) {
        err << "tessarin-cli: " << error << '\n';
        return 1;
    }
    const LogSummary s = summarize(*source);
    if (!s.error.empty()) err << "tessarin-cli: warning: " << path << ": " << s.error << "; read up to there\n";
    if (s.badLines > 0) err << "tessarin-cli: warning: " << s.badLines << " lines could not be read and were skipped\n";

    const LogFileName name = parseLogFileName(std::filesystem::path(path).filename().string());
    if (json) {
        nlohmann::ordered_json doc = {
            {"file", path},
            {"format", "agent-debug"},
            {"compressed", s.compressed},
            {"team", name.team.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(name.team)},
            {"unum", name.unum ? nlohmann::ordered_json(*name.unum) : nlohmann::ordered_json(nullptr)},
            {"coach", name.coach},
            {"first_cycle", s.firstCycle ? nlohmann::ordered_json(*s.firstCycle) : nlohmann::ordered_json(nullptr)},
            {"last_cycle", s.lastCycle ? nlohmann::ordered_json(*s.lastCycle) : nlohmann::ordered_json(nullptr)},
            {"records", s.records},
            {"types", typeCounts(s)},
            {"levels", levelCounts(s)},
            {"bad_lines", s.badLines},
        };
        out << dumpJson(doc) << '\n';
        return 0;
    }
    std::string who = "-";
    if (!name.team.empty()) who = name.team + (name.coach ? ", coach" : ", player " + std::to_string(*name.unum));
    out << "file:      " << path << '\n'
        << "format:    agent-debug" << (s.compressed ? ", gzip" : "") << '\n'
        << "player:    " << who << '\n'
        << "cycles:    " << cycleText(s.firstCycle) << " .. " << cycleText(s.lastCycle) << '\n'
        << "records:   " << s.records << '\n'
        << "types:    ";
    for (const auto& [type, n] : s.types) out << ' ' << type << '=' << n;
    out << "\nlevels:   ";
    for (int bit = 0; bit < 32; ++bit) {
        const std::size_t n = s.levels[static_cast<std::size_t>(bit)];
        if (n > 0) out << ' ' << levelName(bit) << '=' << n;
    }
    if (s.allLevels > 0) out << " all=" << s.allLevels;
    out << "\nbad lines: " << s.badLines << '\n';
    return 0;
}

}  // namespace tessarin::cli
