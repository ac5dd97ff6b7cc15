#pragma once

// The basic behaviours that the behaviour analyser detects, one event per observed
// behaviour, and the positions of one analysed cycle.

#include <array>
#include <cstddef>
#include <string_view>

#include "geometry/Vector.h"
#include "record/GameRecords.h"

namespace tessarin {

// Behaviour kinds. The names are the texts written to every output file.
enum BehaviorKind : int {
    BB_NONE = 0,
    BB_SHOOT = 1,
    BB_PASS = 2,
    BB_DRIBBLE = 3,
    BB_CLEARBALL = 4,
    BB_ADJUST = 5,
    BB_RECEIVE = 6,
    BB_INTERCEPT = 7,
    // Never produced by the per-cycle detection: the plan recognition and the
    // per-player query use it for a player who takes no part in the current event.
    BB_POSITION = 8,
};
inline constexpr int kBehaviorKindCount = 9;

// "BB_NONE" .. "BB_POSITION"; "?????" for any other value.
constexpr std::string_view behaviorKindName(int kind) {
    constexpr std::array<std::string_view, kBehaviorKindCount> names = {"BB_NONE",    "BB_SHOOT",     "BB_PASS",
                                                                        "BB_DRIBBLE", "BB_CLEARBALL", "BB_ADJUST",
                                                                        "BB_RECEIVE", "BB_INTERCEPT", "BB_POSITION"};
    if (kind < 0 || kind >= kBehaviorKindCount) return "?????";
    return names[static_cast<std::size_t>(kind)];
}

// Sides inside the analysis.
inline constexpr int kSideNone = -1;
inline constexpr int kSideLeft = 0;
inline constexpr int kSideRight = 1;

// Player indices inside the analysis: 0..10 the left team's uniform numbers 1..11,
// 11..21 the right team's.
constexpr bool isPlayerIndex(int index) { return index >= 0 && index < kPlayerCount; }
constexpr int sideOfIndex(int index) {
    if (!isPlayerIndex(index)) return kSideNone;
    return index < kPlayersPerSide ? kSideLeft : kSideRight;
}
constexpr bool areTeammates(int a, int b) {
    return isPlayerIndex(a) && isPlayerIndex(b) && sideOfIndex(a) == sideOfIndex(b);
}

// One observed behaviour. Positions are ball positions in field metres.
struct BasicBehaviorEvent {
    int start_cycle = 0;
    // Set at creation; moved on when the event is closed.
    int end_cycle = 0;
    // Side of the acting player: 0 left, 1 right, -1 none.
    int side = kSideNone;
    // Index 0..21 of the acting player, -1 none.
    int player = -1;
    int kind = BB_NONE;
    Vector start_pos;
    // A pass: the receiver; a receive: the player the ball came from; a dribble seen at
    // the kick: the actor itself; -1 for kinds without a target.
    int target = -1;
    // (0, 0) until the event is closed.
    Vector end_pos;
    // Whether the behaviour succeeded. While the event is the latest one, a set flag
    // also means that it is still open: the next event closes it.
    bool success = false;
};

// The ball and player positions of one analysed cycle.
struct PointFrameT {
    int cycle = 0;
    Vector ball;
    std::array<Vector, kPlayerCount> players{};
};

}  // namespace tessarin
