#pragma once

// The figures of the statistics dialog and the type explorer as texts and sortable rows,
// kept apart from the windows that show them so that they can be checked without a screen.

#include <array>
#include <string>
#include <vector>

#include "analysis/Statistics.h"
#include "record/GameRecords.h"

namespace tessarin {

// The per-player table of one team: 11 rows (uniform numbers 1..11) of nine cells:
// uniform number, passes, successful passes, shots, successful shots, dribbles,
// successful dribbles, interceptions, successful interceptions.
inline constexpr int kStatColumns = 9;
inline constexpr int kStatRows = kPlayerCount / 2;
using StatRow = std::array<int, kStatColumns>;
using StatTable = std::array<StatRow, kStatRows>;

// What the statistics dialog shows, copied from the analyser under the store's lock.
struct StatisticsSnapshot {
    GameStatistics statistics;
    // Slot 0 the left team, slot 1 the right team.
    std::array<PlayModeCounters, 2> counters{};
};

// `team` 0 the left team, 1 the right team.
StatTable statTable(const GameStatistics& statistics, int team);

// Exchange sort of the rows by `column`, cells compared as unsigned: with `descending`
// the largest value comes first, otherwise the smallest. A column outside 0..8 leaves
// the table as it is.
void sortStatTable(StatTable& table, int column, bool descending);

// A success share as an integer percentage, "75%", or "0" without a sign when the count
// is 0.
std::string percentText(const CountStatistic& figure);
// A share 0..1 as a whole percentage, "%.0f%%".
std::string shareText(double share);

// The player-type list: columns 0 (id) to 11 (effort_min).
inline constexpr int kTypeColumns = 12;
// Only types 0..6 are listed.
inline constexpr int kListedTypeIds = 7;

// The cell text of a type: the id with "%d", the others converted from network order and
// fixed point with "%.3f". Empty outside 0..11.
std::string playerTypeText(const player_type_t& type, int column);
// The sort key: the id as an unsigned 16-bit number for column 0, the real value for
// columns 1..11, -1 for any other column.
double playerTypeKey(const player_type_t& type, int column);
// Exchange sort by the key of `column`: with `descending` the largest key first.
void sortPlayerTypes(std::vector<player_type_t>& types, int column, bool descending);

}  // namespace tessarin
