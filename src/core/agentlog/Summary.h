#pragma once

// What a whole debug log holds: its cycles, records by type and by level, and the lines
// that could not be read.

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <stop_token>
#include <string>

#include "agentlog/ByteSource.h"

namespace tessarin::agentlog {

struct LogSummary {
    bool compressed = false;
    std::size_t records = 0;
    std::size_t badLines = 0;
    std::optional<int> firstCycle;  // the smallest cycle
    std::optional<int> lastCycle;   // the largest
    std::map<char, std::size_t> types;
    // Records per level bit; a record of every level (-1) counts once in allLevels instead.
    std::array<std::size_t, 32> levels{};
    std::size_t allLevels = 0;
    std::string error;  // a read failure or a damaged compressed stream; counts cover what came before
};

LogSummary summarize(const ByteSource& source, std::stop_token stop = {});

// True when the first line of the text (plain or inflated) reads as a debug-log record.
bool looksLikeAgentLog(const ByteSource& source);

}  // namespace tessarin::agentlog
