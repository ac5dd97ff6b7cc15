#pragma once

// Finding the debug logs of a game. The base library names a player's log
// "<TEAM>-<UNUM><EXT>" and the coach's "<TEAM>-coach<EXT>", with ".log" the usual
// extension; a log may also be gzip-compressed ("HELIOS-7.log.gz").

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin::agentlog {

enum class Side { Unknown, Left, Right };

struct LogFileName {
    std::string team;         // empty when the name does not follow the pattern
    std::optional<int> unum;  // 1..11; none for the coach or an unreadable name
    bool coach = false;
    bool gzip = false;
};

// Reads team and number (or coach) from a file name (without folders); a name that does
// not follow the pattern gives an empty team.
LogFileName parseLogFileName(std::string_view fileName);

struct LogFileEntry {
    std::string path;
    std::string fileName;
    LogFileName name;
    Side side = Side::Unknown;
    // What a list shows: "HELIOS_L 7", "HELIOS_L coach", or the file name when the name
    // could not be read.
    std::string label() const;
};

// The folders looked in for the logs of a game file: its own, and "log" and "debug"
// beside it.
std::vector<std::string> gameLogFolders(const std::string& gamePath);

// The logs of the two teams in the folders of a game: for each team "<TEAM>-1" ..
// "<TEAM>-11" and "<TEAM>-coach" with ".log" or ".log.gz", the first folder holding one
// winning. Sorted by side, then number, coach last.
std::vector<LogFileEntry> findGameLogs(const std::string& gamePath, const std::string& leftTeam,
                                       const std::string& rightTeam);

// Every "*.log" and "*.log.gz" regular file of a folder (at most `limit`, by name), the
// side taken from the team names when they match. A folder that cannot be read gives none.
std::vector<LogFileEntry> listLogFolder(const std::string& folder, const std::string& leftTeam,
                                        const std::string& rightTeam, std::size_t limit = 2000);

// The entry of a side and number (0 for the coach), or null.
const LogFileEntry* findEntry(const std::vector<LogFileEntry>& entries, Side side, int unum);

}  // namespace tessarin::agentlog
