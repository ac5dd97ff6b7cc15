#pragma once

// A behaviour reduced for plan recognition, and the groups of concurrent behaviours.

#include <vector>

#include "analysis/BasicBehaviorEvent.h"

namespace tessarin {

// One behaviour: its kind, the acting player's index, the regions where it began and
// ended, and its target (the receiver of a pass, else the actor itself).
struct MAPREVENT {
    int kind = BB_NONE;
    int player = -1;
    int from = 0;
    int target = -1;
    int to = 0;

    bool operator==(const MAPREVENT&) const = default;
};

// A main behaviour (element 0) and the movements of the acting side's other players
// during it (BB_POSITION elements).
using ConcurrentGroup = std::vector<MAPREVENT>;

// A player index as the plan-recognition files print it: 0..10 as 1..11, 11..21 as
// 101..111, anything else as -1.
constexpr int planPlayerNumber(int index) {
    if (index >= 0 && index < kPlayersPerSide) return index + 1;
    if (index >= kPlayersPerSide && index < kPlayerCount) return index - kPlayersPerSide + 101;
    return -1;
}

// Whether a behaviour counts as the left team's: its player prints below 100.
constexpr bool isLeftTeamBehaviour(const MAPREVENT& event) { return planPlayerNumber(event.player) < 100; }

}  // namespace tessarin
