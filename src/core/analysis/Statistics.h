#pragma once

// Per-player, per-team and whole-game figures derived from a game's behaviour events
// and frame history.

#include <array>
#include <vector>

#include "analysis/BasicBehaviorEvent.h"
#include "geometry/Vector.h"
#include "record/GameRecords.h"

namespace tessarin {

// A count of behaviours, how many of them succeeded, and successes / count (0 when
// the count is 0).
struct CountStatistic {
    int count = 0;
    int successes = 0;
    double rate = 0.0;
};

struct PlayerStatistics {
    CountStatistic shots;
    CountStatistic passes;
    // Clear-balls, adjustments, receives and intercepts all count as interceptions.
    CountStatistic interceptions;
    CountStatistic dribbles;
    // Mean position of the player over the frame history, metres.
    Vector mean_position;
};

// The thirds of the field along x: x < -17.5, -17.5 <= x < 17.5, x >= 17.5.
inline constexpr int kFieldThirds = 3;
inline constexpr double kThirdBoundary = 17.5;
int fieldThird(double x);

struct TeamStatistics {
    CountStatistic shots;
    CountStatistic passes;
    CountStatistic interceptions;
    CountStatistic dribbles;
    // Cycles in which the team's run of events lasted, and its share of both teams' cycles.
    int possession_cycles = 0;
    double possession_share = 0.0;
    // Cycles the ball spent in each third while the team held it, and their shares.
    std::array<int, kFieldThirds> thirds_cycles{};
    std::array<double, kFieldThirds> thirds_shares{};
};

// Set pieces and fouls of one team, counted from play-mode changes while cycles arrive.
struct PlayModeCounters {
    int offsides = 0;
    int back_passes = 0;
    int free_kick_faults = 0;
    int kick_ins = 0;
    int corner_kicks = 0;
    int goal_kicks = 0;
    int free_kicks = 0;
};

struct GameStatistics {
    std::array<PlayerStatistics, kPlayerCount> players{};
    // Slot 0 the left team, slot 1 the right team.
    std::array<TeamStatistics, 2> teams{};
    std::array<int, kFieldThirds> thirds_cycles{};
    std::array<double, kFieldThirds> thirds_shares{};
};

// Derives every figure from the event list (sentinel first) and the frame history.
// Events of side -1 or without a player index change no per-team or per-player value.
// The third of an event is that of the ball in the last frame of its start cycle; an
// event whose start cycle has no frame in the history adds no thirds cycles. The cycles
// of an event run from the start of the event before it to its own start, so that they
// add up to the span of the list even where a standing clock makes one negative.
GameStatistics computeGameStatistics(const std::vector<BasicBehaviorEvent>& events,
                                     const std::vector<PointFrameT>& frames);

}  // namespace tessarin
