#include "cli/Commands.h"

#include <nlohmann/json.hpp>

#include "cli/AgentLogInfo.h"
#include "cli/CliHost.h"
#include "cli/StatsJson.h"
#include "record/AtomicFile.h"

namespace tessarin::cli {

namespace {

struct GameSummary {
    std::size_t records = 0;
    int firstCycle = 0;
    int lastCycle = 0;
    bool hasShow = false;
    std::array<TeamState, 2> teams;
    std::size_t recordsWithMessages = 0;
};

GameSummary summarize(const LogPlayer& player) {
    return player.withStore([](const std::vector<cycle_info_t>& frames) {
        GameSummary s;
        s.records = frames.size();
        if (!frames.empty()) {
            s.firstCycle = frames.front().cycle;
            s.lastCycle = frames.back().cycle;
        }
        for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
            if (it->kind == kShowRecord) {
                const show_info_t show = it->show();
                s.teams = {toHost(show.team[0]), toHost(show.team[1])};
                s.hasShow = true;
                break;
            }
        }
        for (const auto& f : frames) {
            if (!f.messages.empty()) ++s.recordsWithMessages;
        }
        return s;
    });
}

nlohmann::json teamJson(const GameSummary& s, std::size_t side) {
    if (!s.hasShow) return nullptr;
    return {{"name", s.teams[side].name}, {"score", s.teams[side].score}};
}

std::string teamText(const GameSummary& s, std::size_t side) {
    if (!s.hasShow) return "-";
    return "\"" + s.teams[side].name + "\" " + std::to_string(s.teams[side].score);
}

}  // namespace

int runInfo(const InfoOptions& options, std::ostream& out, std::ostream& err) {
    // A player's debug log is text of its own kind; anything else loads as a game file.
    if (isAgentLogFile(options.file)) return runAgentLogInfo(options.file, options.json, out, err);
    CliHost host(err);
    LogPlayer player(host);
    const LoadResult loaded = loadAndWait(player, options.file, options.maxRecords);
    if (!loaded.ok) {
        err << "tessarin-cli: " << loaded.error << '\n';
        return 1;
    }
    if (!loaded.warning.empty()) err << "tessarin-cli: warning: " << loaded.warning << '\n';

    const GameSummary s = summarize(player);
    const std::size_t types = player.player_types().size();
    const bool pass = player.decisionsLoaded(DecisionFile::Pass);
    const bool intercept = player.decisionsLoaded(DecisionFile::Intercept);
    const bool behave = player.decisionsLoaded(DecisionFile::Behave);

    if (options.json) {
        const nlohmann::json doc = {
            {"file", options.file},
            {"format", logFormatName(player.format())},
            {"compressed", player.compressed()},
            {"records", s.records},
            {"first_cycle", s.firstCycle},
            {"last_cycle", s.lastCycle},
            {"left", teamJson(s, 0)},
            {"right", teamJson(s, 1)},
            {"player_types", types},
            {"records_with_messages", s.recordsWithMessages},
            {"decision_files", {{"pass", pass}, {"intercept", intercept}, {"behave", behave}}},
        };
        out << dumpJson(doc) << '\n';
        return loaded.incomplete ? kExitIncompleteInput : 0;
    }
    const auto yesNo = [](bool b) { return b ? "yes" : "no"; };
    out << "file:                  " << options.file << '\n'
        << "format:                " << logFormatName(player.format()) << (player.compressed() ? ", gzip" : "") << '\n'
        << "records:               " << s.records << '\n'
        << "cycles:                " << s.firstCycle << " .. " << s.lastCycle << '\n'
        << "left team:             " << teamText(s, 0) << '\n'
        << "right team:            " << teamText(s, 1) << '\n'
        << "player types:          " << types << '\n'
        << "records with messages: " << s.recordsWithMessages << '\n'
        << "decision files:        pass.dec " << yesNo(pass) << ", intercept.dec " << yesNo(intercept)
        << ", behave.dec " << yesNo(behave) << '\n';
    // What was said describes only what was read before the damage or the budget.
    return loaded.incomplete ? kExitIncompleteInput : 0;
}

int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err) {
    if (sameFile(options.in, options.out)) {
        err << "tessarin-cli: " << options.out << " is the file being read: refusing to write over it\n";
        return 1;
    }
    CliHost host(err);
    LogPlayer player(host);
    const LoadResult loaded = loadAndWait(player, options.in, options.maxRecords);
    if (!loaded.ok) {
        err << "tessarin-cli: " << loaded.error << '\n';
        return 1;
    }
    if (!loaded.warning.empty()) err << "tessarin-cli: warning: " << loaded.warning << '\n';
    if (player.size() == 0) {
        err << "tessarin-cli: " << options.in << " holds no records: nothing to write\n";
        return 1;
    }
    const int firstKind = player.withStore([](const std::vector<cycle_info_t>& frames) { return frames.front().kind; });
    const bool v6 = options.format == "v6";
    if (v6 && firstKind != kShowRecord) {
        err << "tessarin-cli: " << options.in << " is a sight log: only game logs can be written as version 6\n";
        return 1;
    }
    int writeError = 0;
    if (!player.save(options.out, &writeError, v6 ? SaveFormat::V6 : SaveFormat::Native)) {
        err << "tessarin-cli: cannot write " << options.out << errnoText(writeError) << '\n';
        return 1;
    }
    // Game logs of every version are written as version 3, the one binary game-log format,
    // unless version 6 was asked for.
    const char* written = firstKind == kSightRecord     ? "sight"
                          : firstKind == kSightRecordV2 ? "sight-v2"
                          : v6                          ? "v6"
                                                        : "v3";
    if (!v6 && firstKind == kShowRecord) {
        const std::string dropped = player.droppedByVersion3();
        if (!dropped.empty()) {
            err << "tessarin-cli: note: version 3 has no room for the " << dropped << " of " << options.in
                << "; they are not in " << options.out << " (--format v6 keeps them)\n";
        }
    }
    const bool gzip = options.out.size() > 3 && options.out.ends_with(".gz");
    out << "wrote " << player.size() << " records (" << written << (gzip ? ", gzip" : "") << ") to " << options.out
        << '\n';
    if (loaded.incomplete) {
        err << "tessarin-cli: " << options.out << " holds only what was read of " << options.in
            << " before reading stopped (exit status " << kExitIncompleteInput << ")\n";
        return kExitIncompleteInput;
    }
    return 0;
}

}  // namespace tessarin::cli
