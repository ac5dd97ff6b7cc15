#include "analysis/Statistics.h"

#include <gtest/gtest.h>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/events/EventScene.h"

namespace tessarin::test {
namespace {

// Frames of cycles 0..9: the ball in the left third up to cycle 3, in the middle for
// 4..6, in the right third from 7; player 0 at (c, -c).
std::vector<PointFrameT> tenFrames() {
    std::vector<PointFrameT> frames;
    for (int c = 0; c < 10; ++c) {
        PointFrameT f;
        f.cycle = c;
        f.ball = {c <= 3 ? -30.0f : c <= 6 ? 0.0f : 30.0f, 0.0f};
        f.players[0] = {static_cast<float>(c), static_cast<float>(-c)};
        frames.push_back(f);
    }
    return frames;
}

TEST(GameStatistics, CountsRatesPossessionAndThirds) {
    const std::vector<BasicBehaviorEvent> events = {
        BasicBehaviorEvent{},
        event(2, 0, 0, BB_INTERCEPT, true),
        event(4, 0, 0, BB_PASS, true, 1),
        event(5, 0, 1, BB_RECEIVE, false, 0),
        event(7, 1, 12, BB_INTERCEPT, true),
        event(8, 1, 12, BB_SHOOT, false),
        event(9, -1, -1, BB_CLEARBALL, true),  // no side: counts for nobody
        event(50, 0, 3, BB_DRIBBLE, true),     // past the history: no thirds
        event(50, 0, 2, BB_POSITION, true),    // counts nothing
    };
    const GameStatistics s = computeGameStatistics(events, tenFrames());

    const auto& p0 = s.players[0];
    EXPECT_EQ(p0.interceptions.count, 1);
    EXPECT_EQ(p0.interceptions.successes, 1);
    EXPECT_EQ(p0.passes.count, 1);
    EXPECT_EQ(p0.passes.rate, 1.0);
    EXPECT_EQ(s.players[1].interceptions.count, 1);
    EXPECT_EQ(s.players[1].interceptions.rate, 0.0);
    EXPECT_EQ(s.players[12].shots.count, 1);
    EXPECT_EQ(s.players[12].shots.successes, 0);
    EXPECT_EQ(s.players[3].dribbles.successes, 1);
    EXPECT_EQ(s.players[2].interceptions.count + s.players[2].passes.count + s.players[2].dribbles.count +
                  s.players[2].shots.count,
              0);

    const auto& left = s.teams[0];
    const auto& right = s.teams[1];
    EXPECT_EQ(left.interceptions.count, 2);
    EXPECT_EQ(left.interceptions.successes, 1);
    EXPECT_DOUBLE_EQ(left.interceptions.rate, 0.5);
    EXPECT_EQ(right.interceptions.count, 1);
    EXPECT_EQ(right.shots.count, 1);
    EXPECT_EQ(right.shots.rate, 0.0);

    // Runs: left from 2 to 7, right from 7 to 9, then side -1 and left again (never counted).
    EXPECT_EQ(left.possession_cycles, 5);
    EXPECT_EQ(right.possession_cycles, 2);
    EXPECT_DOUBLE_EQ(left.possession_share, 5.0 / 7.0);
    EXPECT_DOUBLE_EQ(right.possession_share, 2.0 / 7.0);

    // Each gap goes to the third of the later event and to the side of the earlier one.
    EXPECT_EQ(left.thirds_cycles, (std::array<int, 3>{0, 3, 2}));
    EXPECT_EQ(right.thirds_cycles, (std::array<int, 3>{0, 0, 2}));
    EXPECT_EQ(s.thirds_cycles, (std::array<int, 3>{2, 3, 4}));
    EXPECT_DOUBLE_EQ(left.thirds_shares[1], 0.6);
    EXPECT_DOUBLE_EQ(right.thirds_shares[2], 1.0);
    EXPECT_DOUBLE_EQ(s.thirds_shares[0], 2.0 / 9.0);

    EXPECT_FLOAT_EQ(p0.mean_position.x, 4.5f);
    EXPECT_FLOAT_EQ(p0.mean_position.y, -4.5f);
}

TEST(GameStatistics, ThirdComesFromTheFrameOfTheStartCycle) {
    // A history that starts at cycle 100 and repeats cycle 101 while the clock stands.
    std::vector<PointFrameT> frames;
    for (int c : {100, 101, 101, 102}) {
        PointFrameT f;
        f.cycle = c;
        f.ball = {c == 102 ? 30.0f : -30.0f, 0.0f};
        frames.push_back(f);
    }
    frames[2].ball.x = 0.0f;  // the last frame of cycle 101 counts
    const std::vector<BasicBehaviorEvent> events = {BasicBehaviorEvent{}, event(100, 0, 0, BB_INTERCEPT, true),
                                                    event(101, 0, 0, BB_ADJUST, true),
                                                    event(102, 1, 11, BB_INTERCEPT, true)};
    const GameStatistics s = computeGameStatistics(events, frames);
    EXPECT_EQ(s.thirds_cycles, (std::array<int, 3>{100, 1, 1}));
    EXPECT_EQ(s.teams[0].thirds_cycles, (std::array<int, 3>{0, 1, 1}));
}

TEST(GameStatistics, FieldThirdBoundaries) {
    EXPECT_EQ(fieldThird(-17.51), 0);
    EXPECT_EQ(fieldThird(-17.5), 1);
    EXPECT_EQ(fieldThird(17.49), 1);
    EXPECT_EQ(fieldThird(17.5), 2);
}

TEST(GameStatistics, NoEventsGivesZerosEverywhere) {
    Feeder f;
    Scene s;
    s.ball(10, 10);
    f.feed(s, 1);
    f.feed(s, 2);
    ASSERT_EQ(f.analyzer.ComputeStatistics(), 0);
    const auto& st = f.analyzer.statistics();
    for (const auto& t : st.teams) {
        EXPECT_EQ(t.shots.count + t.passes.count + t.interceptions.count + t.dribbles.count, 0);
        EXPECT_EQ(t.shots.rate + t.passes.rate + t.interceptions.rate + t.dribbles.rate, 0.0);
        EXPECT_EQ(t.possession_cycles, 0);
        EXPECT_EQ(t.possession_share, 0.0);
        EXPECT_EQ(t.thirds_shares, (std::array<double, 3>{}));
    }
    EXPECT_EQ(st.thirds_shares, (std::array<double, 3>{}));
    EXPECT_FLOAT_EQ(f.analyzer.playerStatistics(1, 1).mean_position.y, 80.0f);
    EXPECT_EQ(f.analyzer.playerStatistics(1, 0).mean_position.y, 0.0f);  // no such player
}

TEST(GameStatistics, RecomputesOnlyWhenSomethingChanged) {
    Feeder f;
    Scene s;
    s.player(0, -10, 0).ball(-9.5, 0);
    EXPECT_EQ(f.analyzer.ComputeStatistics(), -1);  // nothing analysed yet
    f.feed(s, 1);
    EXPECT_EQ(f.analyzer.ComputeStatistics(), 0);
    EXPECT_TRUE(f.analyzer.statisticsCurrent());
    EXPECT_EQ(f.analyzer.ComputeStatistics(), -1);
    EXPECT_EQ(f.analyzer.teamStatistics(1).interceptions.successes, 1);

    // A corner closes the intercept as failed; the figures must not stay as they were.
    s.mode(10);
    f.feed(s, 2);
    EXPECT_FALSE(f.analyzer.statisticsCurrent());
    EXPECT_EQ(f.analyzer.ComputeStatistics(), 0);
    EXPECT_EQ(f.analyzer.teamStatistics(1).interceptions.successes, 0);
    EXPECT_EQ(f.analyzer.teamStatistics(1).interceptions.count, 1);
    EXPECT_EQ(f.analyzer.playModeCounters(1).corner_kicks, 1);  // kept by the recomputation
}

}  // namespace
}  // namespace tessarin::test
