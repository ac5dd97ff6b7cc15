#pragma once

// `tessarin-cli info` on a player's debug log.

#include <ostream>
#include <string>

namespace tessarin::cli {

// True when the file (plain or gzip) reads as a debug log of the base library.
bool isAgentLogFile(const std::string& path);
// Describes a debug log: its team and number from the file name, its cycles, its
// records by type and level, and the lines that could not be read.
int runAgentLogInfo(const std::string& path, bool json, std::ostream& out, std::ostream& err);

}  // namespace tessarin::cli
