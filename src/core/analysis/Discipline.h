#pragma once

// Cards, fouls and tackles of each player and team, as the companions of a game's
// records tell them. A version-3 game has no companions, and a player whose lines never
// told the newer fields is unknown: its figures are absent, never a false zero.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "record/CompanionStore.h"
#include "record/GameRecords.h"

namespace tessarin {

struct DisciplineFigures {
    int yellowCards = 0;       // times the yellow card bit was set
    int redCards = 0;          // times the red card bit was set (a second yellow card is a red one)
    int fouls = 0;             // times a foul was charged
    std::int64_t tackles = 0;  // tackle commands the server counted
};

struct GameDiscipline {
    // Per player index (0..10 left, 11..21 right); none when unknown.
    std::array<std::optional<DisciplineFigures>, kPlayerCount> players;
    // Per team (left, right): the sums over its known players; none when none is known.
    std::array<std::optional<DisciplineFigures>, 2> teams;
};

// Counts over the records in store order (the store's lock held by the caller).
GameDiscipline countDiscipline(const std::vector<cycle_info_t>& records, const CompanionStore& companions);

}  // namespace tessarin
