#include "analysis/BehaviorAnalyzer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/events/EventScene.h"

namespace tessarin::test {
namespace {

constexpr int kLeft1 = 0;    // left #1
constexpr int kLeft2 = 1;    // left #2
constexpr int kLeft10 = 9;   // left #10
constexpr int kRight1 = 11;  // right #1, the goalie in these scenes
constexpr int kRight10 = 20;

void expectPos(Vector v, double x, double y) {
    EXPECT_NEAR(v.x, x, 1e-4);
    EXPECT_NEAR(v.y, y, 1e-4);
}

TEST(BehaviorAnalyzer, StartsWithTheSentinelOnly) {
    BehaviorAnalyzer a;
    ASSERT_EQ(a.Events().size(), 1u);
    const auto& s = a.Events().front();
    EXPECT_EQ(s.start_cycle, 0);
    EXPECT_EQ(s.side, -1);
    EXPECT_EQ(s.player, -1);
    EXPECT_EQ(s.kind, BB_NONE);
    EXPECT_TRUE(a.Frames().empty());
    EXPECT_FALSE(a.hasData());
    EXPECT_EQ(a.ComputeStatistics(), -1);
}

TEST(BehaviorAnalyzer, IgnoresSightRecords) {
    BehaviorAnalyzer a;
    cycle_info_t sight;
    sight.kind = kSightRecord;
    EXPECT_EQ(a.AnalyzeCycle(sight, defaultTypes()), 0);
    EXPECT_TRUE(a.Frames().empty());
}

TEST(BehaviorAnalyzer, BallRolledToTeammateIsPassAndReceive) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).player(kLeft2, 5, 0).ball(-9.5, 0);
    f.feed(s, 1);  // left #1 gets the free ball
    s.ball(-8, 0, 1.5, 0);
    f.feed(s, 2);  // kicked towards left #2
    s.ball(4.5, 0, 0.2, 0);
    f.feed(s, 3);  // left #2 has it

    const auto& e = f.events();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[1].kind, BB_INTERCEPT);
    EXPECT_EQ(e[1].player, kLeft1);
    EXPECT_EQ(e[1].side, 0);
    EXPECT_EQ(e[1].start_cycle, 1);
    EXPECT_EQ(e[1].end_cycle, 2);  // closed when the kick was seen
    expectPos(e[1].start_pos, -9.5, 0);
    expectPos(e[1].end_pos, -9.5, 0);

    EXPECT_EQ(e[2].kind, BB_PASS);
    EXPECT_EQ(e[2].player, kLeft1);
    EXPECT_EQ(e[2].side, 0);
    EXPECT_EQ(e[2].target, kLeft2);
    EXPECT_EQ(e[2].start_cycle, 1);
    EXPECT_EQ(e[2].end_cycle, 3);
    EXPECT_TRUE(e[2].success);
    expectPos(e[2].start_pos, -9.5, 0);
    expectPos(e[2].end_pos, 4.5, 0);

    EXPECT_EQ(e[3].kind, BB_RECEIVE);
    EXPECT_EQ(e[3].player, kLeft2);
    EXPECT_EQ(e[3].target, kLeft1);
    EXPECT_EQ(e[3].start_cycle, 3);
    expectPos(e[3].start_pos, 4.5, 0);
    EXPECT_EQ(f.analyzer.lastHolder(), kLeft2);
}

TEST(BehaviorAnalyzer, HandOverBetweenTeammatesInTouchIsPassAndReceive) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).player(kLeft2, -8.2, 0).ball(-9.6, 0);
    f.feed(s, 1);
    s.ball(-8.5, 0);  // now nearer to left #2, both in reach on consecutive cycles
    f.feed(s, 2);
    const auto& e = f.events();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[2].kind, BB_PASS);
    EXPECT_EQ(e[2].player, kLeft1);
    EXPECT_EQ(e[2].target, kLeft2);
    EXPECT_EQ(e[2].start_cycle, 1);
    expectPos(e[2].end_pos, -8.5, 0);
    EXPECT_EQ(e[2].end_cycle, 2);
    EXPECT_EQ(e[3].kind, BB_RECEIVE);
    EXPECT_EQ(e[3].player, kLeft2);
    EXPECT_EQ(e[3].target, kLeft1);
    expectPos(e[3].start_pos, -9.6, 0);
}

TEST(BehaviorAnalyzer, KeepingTheBallIsOneAdjustThenOneDribble) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).ball(-9.5, 0);
    f.feed(s, 1);
    s.ball(-9.4, 0.1);
    f.feed(s, 2);
    ASSERT_EQ(f.events().size(), 3u);
    EXPECT_EQ(f.events()[2].kind, BB_ADJUST);
    expectPos(f.events()[2].start_pos, -9.5, 0);  // where the ball was before
    EXPECT_EQ(f.events()[1].end_cycle, 2);
    f.feed(s, 3);
    ASSERT_EQ(f.events().size(), 3u);
    EXPECT_EQ(f.events()[2].kind, BB_DRIBBLE);
    f.feed(s, 4);
    f.feed(s, 5);
    ASSERT_EQ(f.events().size(), 3u);
    EXPECT_EQ(f.events()[2].kind, BB_DRIBBLE);
    EXPECT_EQ(f.events()[2].start_cycle, 2);
}

TEST(BehaviorAnalyzer, KickToSelfIsDribbleAndBecomesPassWhenTeammateGetsIt) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).player(kLeft2, 5, 0).ball(-9.5, 0);
    f.feed(s, 1);
    s.ball(-8, 0, 0.3, 0);  // pushed ahead: the kicker reaches it first
    f.feed(s, 2);
    ASSERT_EQ(f.events().size(), 3u);
    EXPECT_EQ(f.events()[2].kind, BB_DRIBBLE);
    EXPECT_EQ(f.events()[2].target, kLeft1);
    EXPECT_EQ(f.events()[2].start_cycle, 1);

    Feeder g = f;
    s.ball(4.5, 0);
    f.feed(s, 3);  // a teammate gets it
    ASSERT_EQ(f.events().size(), 4u);
    EXPECT_EQ(f.events()[2].kind, BB_PASS);
    EXPECT_EQ(f.events()[2].target, kLeft2);
    EXPECT_TRUE(f.events()[2].success);
    expectPos(f.events()[2].end_pos, 4.5, 0);
    EXPECT_EQ(f.events()[3].kind, BB_RECEIVE);

    s.ball(-9.6, 0);
    g.feed(s, 3);  // the kicker gets it back: the dribble is closed there
    ASSERT_EQ(g.events().size(), 3u);
    EXPECT_EQ(g.events()[2].kind, BB_DRIBBLE);
    EXPECT_EQ(g.events()[2].end_cycle, 3);
    expectPos(g.events()[2].end_pos, -9.6, 0);
}

TEST(BehaviorAnalyzer, KickNobodyReachesIsClearBall) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).ball(-9.5, 0);
    f.feed(s, 1);
    s.ball(-8, 0, 0, 3.0);  // straight out over the side line, no teammate near
    f.feed(s, 2);
    ASSERT_EQ(f.events().size(), 3u);
    EXPECT_EQ(f.events()[2].kind, BB_CLEARBALL);
    EXPECT_EQ(f.events()[2].player, kLeft1);
    EXPECT_TRUE(f.events()[2].success);
}

TEST(BehaviorAnalyzer, TackleByOpponentFailsTheHoldersEvent) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).ball(-9.5, 0);
    f.feed(s, 1);
    s.player(kRight10, -9.2, 0);  // nearer to the ball than the holder
    f.feed(s, 2);
    const auto& e = f.events();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[2].kind, BB_DRIBBLE);  // the holder would have reached the ball himself
    EXPECT_EQ(e[2].player, kLeft1);
    EXPECT_EQ(e[2].target, kLeft1);
    EXPECT_FALSE(e[2].success);
    EXPECT_EQ(e[3].kind, BB_INTERCEPT);
    EXPECT_EQ(e[3].player, kRight10);
    EXPECT_EQ(e[3].side, 1);
    EXPECT_TRUE(e[3].success);
    EXPECT_EQ(e[1].end_cycle, 2);
}

TEST(BehaviorAnalyzer, ShotIntoGoalWithScoreChangeSurvivesKickOff) {
    Feeder f;
    Scene s;
    s.player(kLeft10, 40, 0).ball(40.5, 0);
    f.feed(s, 1);
    s.ball(41.5, 0, 2.5, 0.1);
    f.feed(s, 2);
    ASSERT_EQ(f.events().size(), 3u);
    const auto& shot = f.events()[2];
    EXPECT_EQ(shot.kind, BB_SHOOT);
    EXPECT_EQ(shot.player, kLeft10);
    EXPECT_EQ(shot.start_cycle, 1);
    EXPECT_TRUE(shot.success);  // open
    expectPos(shot.end_pos, 52, 10.5 * 0.1 / 2.5);
    s.ball(51.5, 0.4, 2.3, 0.1);
    f.feed(s, 3);
    s.ball(53, 0.5).mode(14).score(1, 0);
    f.feed(s, 4);
    s.mode(5).ball(0, 0).player(kLeft10, -5, 0).player(kRight10, 0.5, 3);
    f.feed(s, 5);
    EXPECT_EQ(f.events()[2].end_cycle, 5);
    expectPos(f.events()[2].end_pos, 53, 0.5);
    EXPECT_TRUE(f.events()[2].success);

    Feeder g = f;
    s.mode(PM_PlayOn).player(kRight10, 0.5, 0);
    f.feed(s, 6);  // the right team takes the kick-off from the spot
    ASSERT_EQ(f.events().size(), 4u);
    EXPECT_EQ(f.events()[3].kind, BB_INTERCEPT);
    EXPECT_TRUE(f.events()[2].success);
    ASSERT_EQ(f.analyzer.ComputeStatistics(), 0);
    EXPECT_EQ(f.analyzer.teamStatistics(1).shots.successes, 1);

    s.ball(0.2, 0);
    g.feed(s, 6);  // the same away from the spot fails the shot
    EXPECT_FALSE(g.events()[2].success);
    EXPECT_EQ(g.events()[2].end_cycle, 6);
}

TEST(BehaviorAnalyzer, SavedShotFailsAndAGoalMarksItSuccessfulAgain) {
    Feeder f;
    Scene s;
    s.player(kLeft10, 40, 0).player(kRight1, 51, 0.4).ball(40.5, 0);
    f.feed(s, 1);
    s.ball(41.5, 0, 2.5, 0.1);
    f.feed(s, 2);
    s.ball(50.8, 0.4, 1.0, 0);
    f.feed(s, 3);  // the goalie touches it
    ASSERT_EQ(f.events().size(), 4u);
    EXPECT_EQ(f.events()[2].kind, BB_SHOOT);
    EXPECT_FALSE(f.events()[2].success);
    EXPECT_EQ(f.events()[2].end_cycle, 3);
    EXPECT_EQ(f.events()[3].kind, BB_INTERCEPT);
    EXPECT_EQ(f.events()[3].player, kRight1);

    s.ball(53, 0.5, 1.0, 0).mode(14).score(1, 0);
    f.feed(s, 4);  // it goes in all the same
    EXPECT_EQ(f.events()[2].kind, BB_SHOOT);
    EXPECT_TRUE(f.events()[2].success);
    ASSERT_EQ(f.events().size(), 5u);
    EXPECT_EQ(f.events()[4].kind, BB_CLEARBALL);
    EXPECT_EQ(f.events()[4].player, kRight1);
}

TEST(BehaviorAnalyzer, GoalAttributionPicksTheLatestShotOfTheScoringSide) {
    Feeder f;
    Scene s;
    // Two left shots, both saved by the goalie.
    auto shootAndSave = [&](int cycle) {
        s.player(kLeft10, 40, 0).player(kRight1, 51, -10).ball(40.5, 0);
        f.feed(s, cycle);
        s.ball(41.5, 0, 2.5, 0.1);
        f.feed(s, cycle + 1);
        s.player(kRight1, 51, 0.4).ball(50.8, 0.4);
        f.feed(s, cycle + 2);
    };
    shootAndSave(1);
    shootAndSave(4);

    std::vector<std::size_t> shots;
    for (std::size_t i = 0; i < f.events().size(); ++i) {
        if (f.events()[i].kind == BB_SHOOT) shots.push_back(i);
    }
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_FALSE(f.events()[shots[0]].success);
    EXPECT_FALSE(f.events()[shots[1]].success);

    s.score(0, 1).ball(53, 0.5, 1.0, 0);
    f.feed(s, 7);  // the right team's score rises: no right shot to mark
    EXPECT_FALSE(f.events()[shots[0]].success);
    EXPECT_FALSE(f.events()[shots[1]].success);
    s.score(1, 1);
    f.feed(s, 8);
    EXPECT_FALSE(f.events()[shots[0]].success);
    EXPECT_TRUE(f.events()[shots[1]].success);
    EXPECT_EQ(f.events()[shots[1]].start_cycle, 4);
}

TEST(BehaviorAnalyzer, CornerCountsAndClosesTheLastEventAsFailed) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).player(kLeft2, 5, 0).ball(-9.5, 0);
    f.feed(s, 1);
    s.ball(-8, 0, 1.5, 0);
    f.feed(s, 2);  // an open pass
    ASSERT_EQ(f.events().back().kind, BB_PASS);
    s.ball(30, 33.5, 0, 1.0);
    f.feed(s, 3);
    s.mode(10).ball(52, 34).player(kLeft2, 51.8, 33.6);  // a left player stands at the ball
    f.feed(s, 4);
    EXPECT_EQ(f.analyzer.playModeCounters(1).corner_kicks, 1);
    EXPECT_EQ(f.analyzer.playModeCounters(-1).corner_kicks, 0);
    ASSERT_EQ(f.events().size(), 3u);  // nothing detected in the cycle of the change
    EXPECT_FALSE(f.events()[2].success);
    EXPECT_EQ(f.events()[2].end_cycle, 4);
    expectPos(f.events()[2].end_pos, 30, 33.5);
    EXPECT_TRUE(f.analyzer.ballKickable());
    EXPECT_EQ(f.analyzer.lastHolder(), kLeft1);  // not moved on in an ended step
}

TEST(BehaviorAnalyzer, PlayModeCountersGoToTheRightTeam) {
    Feeder f;
    Scene s;
    const std::vector<int> modes = {6, 7, 7, 8, 9, 9, 9, 11, 12, 13, 17, 18, 32, 33, 34, 35, 35};
    int cycle = 1;
    f.feed(s, cycle++);
    for (int m : modes) {
        s.mode(m);
        f.feed(s, cycle++);
        s.mode(PM_PlayOn);
        f.feed(s, cycle++);
    }
    const auto l = f.analyzer.playModeCounters(1);
    const auto r = f.analyzer.playModeCounters(2);
    EXPECT_EQ(l.kick_ins, 1);
    EXPECT_EQ(r.kick_ins, 2);
    EXPECT_EQ(l.free_kicks, 1);
    EXPECT_EQ(r.free_kicks, 3);
    EXPECT_EQ(l.corner_kicks, 0);
    EXPECT_EQ(r.corner_kicks, 1);
    EXPECT_EQ(l.goal_kicks, 1);
    EXPECT_EQ(r.goal_kicks, 1);
    EXPECT_EQ(l.offsides, 1);
    EXPECT_EQ(r.offsides, 1);
    EXPECT_EQ(l.back_passes, 1);
    EXPECT_EQ(r.back_passes, 1);
    EXPECT_EQ(l.free_kick_faults, 1);
    EXPECT_EQ(r.free_kick_faults, 2);
    // Staying in a mode counts it once.
    s.mode(12);
    f.feed(s, cycle++);
    f.feed(s, cycle++);
    EXPECT_EQ(f.analyzer.playModeCounters(1).goal_kicks, 2);
}

TEST(BehaviorAnalyzer, FreeKickTakerHoldingTheBallAddsNoAdjust) {
    Feeder f;
    Scene s;
    s.ball(48, 0);
    f.feed(s, 1);
    s.mode(9).player(kRight1, 48.5, 0);
    f.feed(s, 2);
    f.feed(s, 3);
    f.feed(s, 4);
    ASSERT_EQ(f.events().size(), 2u);
    EXPECT_EQ(f.events()[1].kind, BB_INTERCEPT);
    EXPECT_EQ(f.analyzer.playModeCounters(0).free_kicks, 1);
    s.mode(PM_PlayOn);
    f.feed(s, 5);
    ASSERT_EQ(f.events().size(), 3u);
    EXPECT_EQ(f.events()[2].kind, BB_ADJUST);
}

TEST(BehaviorAnalyzer, NewGameWithLowerCycleResetsEverything) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).ball(-9.5, 0);
    f.feed(s, 10);
    f.feed(s, 11);
    s.mode(10);
    f.feed(s, 12);
    f.feed(s, 12);  // the same cycle again is no new game
    ASSERT_EQ(f.analyzer.Frames().size(), 4u);
    EXPECT_EQ(f.analyzer.playModeCounters(1).corner_kicks, 1);
    ASSERT_EQ(f.analyzer.ComputeStatistics(), 0);
    EXPECT_GT(f.analyzer.statistics().teams[0].interceptions.count, 0);

    Scene fresh;
    f.feed(fresh, 3);
    ASSERT_EQ(f.analyzer.Frames().size(), 1u);
    EXPECT_EQ(f.analyzer.Frames()[0].cycle, 3);
    ASSERT_EQ(f.events().size(), 1u);
    EXPECT_EQ(f.events()[0].kind, BB_NONE);
    EXPECT_EQ(f.analyzer.playModeCounters(1).corner_kicks, 0);
    EXPECT_EQ(f.analyzer.statistics().teams[0].interceptions.count, 0);
    EXPECT_EQ(f.analyzer.lastHolder(), -1);
    EXPECT_FALSE(f.analyzer.statisticsCurrent());
    // The play mode starts again from "before_kick_off": play_on is a change, not a corner.
    EXPECT_EQ(f.analyzer.ComputeStatistics(), 0);
}

TEST(BehaviorAnalyzer, ARecordCycleThatWrapsPast32767IsCountedOn) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).ball(-9.5, 0);
    f.feed(s, 32766);
    s.ball(-9.4, 0.1);
    f.feed(s, 32767);
    ASSERT_EQ(f.events().size(), 3u);
    // The record's 16-bit cycle goes on at -32768: the same game, one cycle later.
    f.feed(s, -32768);
    f.feed(s, -32767);
    EXPECT_EQ(f.analyzer.restartCount(), 0u);
    ASSERT_EQ(f.analyzer.Frames().size(), 4u);
    EXPECT_EQ(f.analyzer.Frames()[2].cycle, 32768);
    EXPECT_EQ(f.analyzer.Frames()[3].cycle, 32769);
    ASSERT_EQ(f.events().size(), 3u) << "the events before the wrap are kept";
    EXPECT_EQ(f.events()[2].kind, BB_DRIBBLE);

    // A step back across the wrap is still a new game.
    f.feed(s, 32767);
    EXPECT_EQ(f.analyzer.restartCount(), 1u);
    EXPECT_EQ(f.analyzer.lastRestart().fromCycle, 32769);
    EXPECT_EQ(f.analyzer.Frames().back().cycle, 32767);
}

TEST(BehaviorAnalyzer, ARestartSaysWhereItHappenedAndWhatItDropped) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).ball(-9.5, 0);
    f.feed(s, 10);
    EXPECT_EQ(f.analyzer.restartCount(), 0u) << "the first record is a start, not a restart";
    s.ball(-9.4, 0.1);
    f.feed(s, 11);
    f.feed(s, 12);
    const std::size_t events = f.events().size() - 1;
    ASSERT_GT(events, 0u);

    f.feed(s, 1);  // one stray record from an earlier cycle
    EXPECT_EQ(f.analyzer.restartCount(), 1u);
    const AnalysisRestart& r = f.analyzer.lastRestart();
    EXPECT_EQ(r.fromCycle, 12);
    EXPECT_EQ(r.toCycle, 1);
    EXPECT_EQ(r.droppedEvents, events);
    EXPECT_EQ(r.droppedFrames, 3u);

    f.analyzer.clearRestarts();
    EXPECT_EQ(f.analyzer.restartCount(), 0u);
    f.feed(s, 1);
    EXPECT_EQ(f.analyzer.restartCount(), 0u) << "after clearing, the next record starts afresh";
}

TEST(BehaviorAnalyzer, UnknownPlayerTypeKeepsThePreviousOwner) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).ball(-9.5, 0);
    f.feed(s, 1);
    ASSERT_EQ(f.analyzer.owner(), kLeft1);
    s.type[5] = 7;  // a type id the store does not have
    s.ball(20, 0);
    f.feed(s, 2);
    EXPECT_EQ(f.analyzer.owner(), kLeft1);
    EXPECT_TRUE(f.analyzer.ballKickable());
    EXPECT_EQ(f.analyzer.predictInterceptor(-1, false), -1);
    EXPECT_EQ(f.analyzer.Frames().size(), 2u);  // the rest of the step ran
    ASSERT_EQ(f.events().size(), 3u);
    EXPECT_EQ(f.events()[2].kind, BB_ADJUST);
}

TEST(BehaviorAnalyzer, ShotChanceFollowsDistanceSpeedAndCrossing) {
    Feeder f;
    Scene s;
    auto chance = [&](double x, double y, double vx, double vy, int kicker) {
        s.ball(x, y, vx, vy);
        f.feed(s, 1);
        return f.analyzer.shotChance(kicker);
    };
    // 10 m out, speed 2, straight: (30 - 10) * 2 / 90.
    EXPECT_NEAR(chance(42, 0, 2, 0, 3).chance, 40.0 / 90.0, 1e-9);
    // Crossing at y = 10.95: t = 0.25.
    const double vy = 10.95 / 5.0;
    const auto c = chance(42, 0, 2, vy, 3);
    EXPECT_NEAR(c.crossingY, 10.95, 1e-3);
    const double speed = std::hypot(2.0, vy);
    EXPECT_NEAR(c.chance, 0.75 * 20.0 * speed / 90.0, 1e-3);
    // Beyond 14.6 the chance is gone; moving away or too slow, too.
    EXPECT_EQ(chance(42, 0, 2, 15.0 / 5.0, 3).chance, 0.0);
    EXPECT_EQ(chance(42, 0, -2, 0, 3).chance, 0.0);
    EXPECT_EQ(chance(42, 0, 0.005, 0, 3).chance, 0.0);
    EXPECT_EQ(chance(20, 0, 2, 0, 3).chance, 0.0);  // 32 m out
    // The right team attacks the goal at x = -52.
    EXPECT_NEAR(chance(-42, 0, -2, 0, kRight10).chance, 40.0 / 90.0, 1e-9);
    EXPECT_EQ(chance(-42, 0, -2, 0, kLeft10).chance, 0.0);
}

TEST(BehaviorAnalyzer, InterceptorPredictionHonoursTeamsAndTheField) {
    Feeder f;
    Scene s;
    s.player(kLeft1, 0, 10).player(kRight10, 5, 0).player(kLeft2, 15, 0);
    s.ball(0, 0, 1.0, 0);
    f.feed(s, 1);
    EXPECT_EQ(f.analyzer.predictInterceptor(-1, false), kRight10);
    EXPECT_EQ(f.analyzer.predictInterceptor(kLeft1, true), kLeft2);
    EXPECT_EQ(f.analyzer.predictInterceptor(kRight1, true), kRight10);
    s.ball(50, 0, 2.0, 0);  // out over the goal line before anyone gets there
    f.feed(s, 2);
    EXPECT_EQ(f.analyzer.predictInterceptor(kLeft1, true), -1);
}

TEST(BehaviorAnalyzer, BehaviourAtFindsTheEventOfThePlayer) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).player(kLeft2, 5, 0).ball(-9.5, 0);
    f.feed(s, 1);
    s.ball(-8, 0, 1.5, 0);
    f.feed(s, 2);
    s.ball(4.5, 0, 0.2, 0);
    f.feed(s, 3);
    // Events: sentinel, INTERCEPT@1 (#1), PASS@1 (#1 -> #2), RECEIVE@3 (#2).
    const auto at1 = f.analyzer.BehaviourAt(1, 1, 1);
    EXPECT_EQ(at1.kind, BB_INTERCEPT);
    EXPECT_EQ(at1.start_cycle, 1);
    EXPECT_EQ(at1.side, 0);
    EXPECT_EQ(at1.player, kLeft1);
    const auto at2 = f.analyzer.BehaviourAt(2, 1, 1);
    EXPECT_EQ(at2.kind, BB_PASS);
    EXPECT_EQ(at2.start_cycle, 2);
    EXPECT_EQ(at2.target, kLeft2);
    expectPos(at2.end_pos, 4.5, 0);
    EXPECT_EQ(f.analyzer.BehaviourAt(2, 1, 2).kind, BB_POSITION);
    EXPECT_EQ(f.analyzer.BehaviourAt(3, 1, 2).kind, BB_RECEIVE);
    EXPECT_EQ(f.analyzer.BehaviourAt(3, 1, 1).kind, BB_POSITION);
    EXPECT_EQ(f.analyzer.BehaviourAt(4, 1, 2).kind, BB_NONE);
    EXPECT_EQ(f.analyzer.BehaviourAt(0, 1, 1).kind, BB_POSITION);
    const auto right = f.analyzer.BehaviourAt(2, 0, 10);
    EXPECT_EQ(right.player, kRight10);
    EXPECT_EQ(right.side, 1);
    EXPECT_EQ(right.kind, BB_POSITION);
    EXPECT_EQ(f.analyzer.BehaviourAt(2, 1, 12).kind, BB_NONE);
}

TEST(BehaviorAnalyzer, SnapshotsAreIndependentCopies) {
    Feeder f;
    Scene s;
    s.player(kLeft1, -10, 0).ball(-9.5, 0);
    f.feed(s, 1);
    const auto events = f.analyzer.eventsSnapshot();
    const auto frames = f.analyzer.framesSnapshot();
    f.feed(s, 2);
    f.feed(s, 3);
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(frames.size(), 1u);
    EXPECT_EQ(f.analyzer.Frames().size(), 3u);
    expectPos(frames[0].players[kLeft1], -10, 0);
    expectPos(frames[0].ball, -9.5, 0);
}

TEST(BehaviorAnalyzer, PlayersFarOffTheFieldEndThePrediction) {
    Feeder f;
    Scene s;
    for (int i = 0; i < kPlayerCount; ++i) s.player(i, 20000, 20000);
    s.ball(0, 0);  // a ball at rest that nobody can reach in any sensible time
    f.feed(s, 1);
    EXPECT_EQ(f.analyzer.predictInterceptor(-1, false), -1);
    EXPECT_FALSE(f.analyzer.ballKickable());
}

TEST(BehaviorAnalyzer, ArbitraryGamesKeepTheEventListConsistent) {
    std::mt19937 rng(20261209);
    std::uniform_real_distribution<double> x(-60, 60);
    std::uniform_real_distribution<double> y(-40, 40);
    std::uniform_real_distribution<double> v(-3, 3);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> mode(0, 49);
    Feeder f;
    Scene s;
    int cycle = 1;
    int firstOfGame = 1;
    for (int step = 0; step < 3000; ++step) {
        // Mostly small moves so that players keep and pass the ball now and then.
        if (percent(rng) < 10) {
            for (int i = 0; i < kPlayerCount; ++i) s.player(i, x(rng), y(rng));
        }
        if (percent(rng) < 30) {
            const int near = std::uniform_int_distribution<int>(0, kPlayerCount - 1)(rng);
            s.ball(s.pos[static_cast<std::size_t>(near)].first + v(rng) / 4,
                   s.pos[static_cast<std::size_t>(near)].second + v(rng) / 4, v(rng), v(rng));
        } else {
            s.ball(s.bx + s.bvx, s.by + s.bvy, s.bvx * 0.94, s.bvy * 0.94);
        }
        if (percent(rng) < 3) s.mode(mode(rng));
        if (percent(rng) < 10) s.mode(PM_PlayOn);
        if (percent(rng) < 1) s.score(s.scores[0] + 1, s.scores[1]);
        if (percent(rng) < 1) s.score(s.scores[0], s.scores[1] + 1);
        if (percent(rng) < 1 && cycle > 0) {
            cycle = std::uniform_int_distribution<int>(0, cycle - 1)(rng);  // a new game
            firstOfGame = cycle;
        }
        f.feed(s, cycle);
        if (percent(rng) < 95) ++cycle;

        const auto& events = f.events();
        ASSERT_GE(events.size(), 1u);
        ASSERT_EQ(events[0].kind, BB_NONE);
        ASSERT_EQ(events[0].player, -1);
        for (std::size_t i = 1; i < events.size(); ++i) {
            ASSERT_TRUE(isPlayerIndex(events[i].player)) << i;
            ASSERT_GE(events[i].start_cycle, firstOfGame - 1);
            ASSERT_LE(events[i].start_cycle, cycle);
        }
    }
    ASSERT_EQ(f.analyzer.ComputeStatistics(), 0);
    for (const auto& p : f.analyzer.statistics().players) {
        EXPECT_LE(p.passes.successes, p.passes.count);
        EXPECT_LE(p.shots.successes, p.shots.count);
        EXPECT_GE(p.interceptions.rate, 0.0);
        EXPECT_LE(p.interceptions.rate, 1.0);
    }
    EXPECT_GT(f.events().size(), 10u);
}

}  // namespace
}  // namespace tessarin::test
