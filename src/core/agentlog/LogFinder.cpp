#include "agentlog/LogFinder.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace tessarin::agentlog {

namespace fs = std::filesystem;

namespace {

Side sideOf(const std::string& team, const std::string& leftTeam, const std::string& rightTeam) {
    if (team.empty()) return Side::Unknown;
    if (team == leftTeam) return Side::Left;
    if (team == rightTeam) return Side::Right;
    return Side::Unknown;
}

bool isRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool entryOrder(const LogFileEntry& a, const LogFileEntry& b) {
    const auto rank = [](const LogFileEntry& e) { return e.name.coach ? 12 : e.name.unum.value_or(13); };
    if (a.side != b.side) return a.side < b.side;
    if (a.name.team != b.name.team) return a.name.team < b.name.team;
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    return a.fileName < b.fileName;
}

}  // namespace

LogFileName parseLogFileName(std::string_view fileName) {
    LogFileName name;
    std::string_view stem = fileName;
    if (stem.ends_with(".gz")) {
        name.gzip = true;
        stem.remove_suffix(3);
    }
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string_view::npos) stem = stem.substr(0, dot);
    const std::size_t dash = stem.rfind('-');
    if (dash == std::string_view::npos || dash == 0) return name;
    const std::string_view team = stem.substr(0, dash);
    const std::string_view who = stem.substr(dash + 1);
    if (who == "coach") {
        name.coach = true;
        name.team = team;
        return name;
    }
    int unum = 0;
    const auto [end, ec] = std::from_chars(who.data(), who.data() + who.size(), unum);
    if (ec != std::errc{} || end != who.data() + who.size() || unum < 1 || unum > 11) return name;
    name.unum = unum;
    name.team = team;
    return name;
}

std::string LogFileEntry::label() const {
    if (name.team.empty()) return fileName;
    std::string text = name.team;
    if (name.coach) {
        text += " coach";
    } else {
        text += ' ';
        text += std::to_string(*name.unum);
    }
    return text;
}

std::vector<std::string> gameLogFolders(const std::string& gamePath) {
    fs::path folder = fs::path(gamePath).parent_path();
    if (folder.empty()) folder = ".";
    return {folder.string(), (folder / "log").string(), (folder / "debug").string()};
}

std::vector<LogFileEntry> findGameLogs(const std::string& gamePath, const std::string& leftTeam,
                                       const std::string& rightTeam) {
    std::vector<LogFileEntry> found;
    const std::vector<std::string> folders = gameLogFolders(gamePath);
    for (const std::string& team : {leftTeam, rightTeam}) {
        if (team.empty() || team.find('/') != std::string::npos) continue;
        for (int who = 1; who <= 12; ++who) {
            const std::string stem = team + "-" + (who == 12 ? std::string("coach") : std::to_string(who));
            for (const std::string& folder : folders) {
                bool placed = false;
                for (const char* ext : {".log", ".log.gz"}) {
                    const fs::path path = fs::path(folder) / (stem + ext);
                    if (!isRegularFile(path)) continue;
                    LogFileEntry entry;
                    entry.path = path.string();
                    entry.fileName = path.filename().string();
                    entry.name = parseLogFileName(entry.fileName);
                    entry.side = sideOf(entry.name.team, leftTeam, rightTeam);
                    found.push_back(std::move(entry));
                    placed = true;
                    break;
                }
                if (placed) break;
            }
        }
    }
    std::sort(found.begin(), found.end(), entryOrder);
    return found;
}

std::vector<LogFileEntry> listLogFolder(const std::string& folder, const std::string& leftTeam,
                                        const std::string& rightTeam, std::size_t limit) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.ends_with(".log") && !name.ends_with(".log.gz")) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    if (names.size() > limit) names.resize(limit);
    std::vector<LogFileEntry> entries;
    entries.reserve(names.size());
    for (const std::string& name : names) {
        LogFileEntry entry;
        entry.path = (fs::path(folder) / name).string();
        entry.fileName = name;
        entry.name = parseLogFileName(name);
        entry.side = sideOf(entry.name.team, leftTeam, rightTeam);
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), entryOrder);
    return entries;
}

const LogFileEntry* findEntry(const std::vector<LogFileEntry>& entries, Side side, int unum) {
    for (const LogFileEntry& e : entries) {
        if (e.side != side) continue;
        if (unum == 0 ? e.name.coach : e.name.unum == unum) return &e;
    }
    return nullptr;
}

}  // namespace tessarin::agentlog
