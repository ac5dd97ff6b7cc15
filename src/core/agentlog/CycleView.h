#pragma once

// What one cycle of a debug log shows beside a game: which of the log's cycles go with a
// game record, and which of their records are shown, mapped onto the field.

#include <cstdint>
#include <vector>

#include "agentlog/LogFinder.h"
#include "agentlog/Record.h"

namespace tessarin::agentlog {

// The log cycles shown with a game record that is the `occurrence`-th (from 0) of the
// game's `recordsInCycle` records of `cycle`. A set piece repeats a cycle with a growing
// stopped count, so the log's (cycle, n) goes with the game's n-th record of that cycle;
// stopped counts the game has no record for go with the cycle's first record. logKeys
// must be sorted.
std::vector<CycleKey> keysForGameRecord(const std::vector<CycleKey>& logKeys, int cycle, int occurrence,
                                        int recordsInCycle);

struct CycleView {
    std::vector<Record> drawings;  // on the field's coordinates
    std::vector<Record> messages;  // 'M' records, in file order
};

// Keeps the records with a level bit in `levels` (a record of several topics shows while
// any of them is on) and maps the drawings of a right-side log onto the field.
CycleView makeCycleView(const std::vector<Record>& records, std::uint32_t levels, Side side);

}  // namespace tessarin::agentlog
