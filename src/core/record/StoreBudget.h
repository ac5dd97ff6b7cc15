#pragma once

// How much one game may hold in the log player's store. A compressed file can inflate
// into millions of records from a few kilobytes; past the budget reading stops, keeping
// what was read, instead of taking all the memory there is.

#include <cstddef>
#include <string>

#include "record/GameRecords.h"

namespace tessarin {

struct StoreBudget {
    // The longest real game, with extra time and penalties, is under 20,000 cycles.
    static constexpr std::size_t kDefaultRecords = 200'000;
    // Records with their messages; a real game of 6,000 cycles takes about 10 MiB.
    static constexpr std::size_t kDefaultBytes = std::size_t{1} << 30;
    // Decision entries of all three decision files together; a real log has a few
    // thousand per file.
    static constexpr std::size_t kDefaultDecisionEntries = 2'000'000;

    std::size_t records = kDefaultRecords;
    std::size_t bytes = kDefaultBytes;
    std::size_t decisionEntries = kDefaultDecisionEntries;
};

// The store's share of memory that one record takes.
inline std::size_t storedBytes(const cycle_info_t& record) { return sizeof(cycle_info_t) + record.messages.size(); }

// The warning of a load that stopped at the budget.
std::string budgetWarning(const StoreBudget& budget, bool decisions);

}  // namespace tessarin
