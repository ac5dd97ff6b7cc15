// Figures that must hold on a whole real game, whatever the details of the detection.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <numeric>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin::test {
namespace {

// The demo game loaded as the program loads it: the parser thread stores every record
// and the store's add path feeds the analyser under the log player's lock.
class DemoGame : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        analyzer_ = std::make_unique<BehaviorAnalyzer>();
        replayed_ = std::make_unique<BehaviorAnalyzer>();
        FakeHost host;
        GameAnalysis hooks(*analyzer_, nullptr);
        LogPlayer player(host, &hooks);
        ASSERT_TRUE(player.command(kCmdLoad, demoGamePath()));
        player.waitForParser();
        const auto types = player.player_types();
        player.withStore([&](const std::vector<cycle_info_t>& frames) {
            ASSERT_EQ(analyzer_->ComputeStatistics(), 0);
            first_ = frames.front().cycle;
            last_ = frames.back().cycle;
            finalShow_ = frames.back().show();
            // The same records fed again one by one after loading.
            for (const auto& record : frames) replayed_->AnalyzeCycle(record, types);
        });
    }
    static void TearDownTestSuite() {
        analyzer_.reset();
        replayed_.reset();
    }

    static std::unique_ptr<BehaviorAnalyzer> analyzer_;
    static std::unique_ptr<BehaviorAnalyzer> replayed_;
    static int first_;
    static int last_;
    static show_info_t finalShow_;
};

std::unique_ptr<BehaviorAnalyzer> DemoGame::analyzer_;
std::unique_ptr<BehaviorAnalyzer> DemoGame::replayed_;
int DemoGame::first_ = 0;
int DemoGame::last_ = 0;
show_info_t DemoGame::finalShow_{};

void expectCountSane(const CountStatistic& c) {
    EXPECT_GE(c.count, 0);
    EXPECT_GE(c.successes, 0);
    EXPECT_LE(c.successes, c.count);
    EXPECT_GE(c.rate, 0.0);
    EXPECT_LE(c.rate, 1.0);
    if (c.count == 0) {
        EXPECT_EQ(c.rate, 0.0);
    }
}

TEST_F(DemoGame, LoadingFeedsTheSameEventsAsReplayingTheStore) {
    const auto& fed = analyzer_->Events();
    const auto& replayed = replayed_->Events();
    ASSERT_EQ(fed.size(), replayed.size());
    for (std::size_t i = 0; i < fed.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fed[i].start_cycle, replayed[i].start_cycle);
        EXPECT_EQ(fed[i].end_cycle, replayed[i].end_cycle);
        EXPECT_EQ(fed[i].player, replayed[i].player);
        EXPECT_EQ(fed[i].kind, replayed[i].kind);
        EXPECT_EQ(fed[i].target, replayed[i].target);
        EXPECT_EQ(fed[i].success, replayed[i].success);
    }
    EXPECT_EQ(analyzer_->Frames().size(), replayed_->Frames().size());
}

TEST_F(DemoGame, DetectsEveryKindAndKeepsOneFramePerShow) {
    const auto& events = analyzer_->Events();
    ASSERT_GT(events.size(), 100u);
    std::map<int, int> kinds;
    for (const auto& e : events) ++kinds[e.kind];
    EXPECT_EQ(kinds[BB_NONE], 1);  // the sentinel only
    for (int k : {BB_SHOOT, BB_PASS, BB_DRIBBLE, BB_ADJUST, BB_RECEIVE, BB_INTERCEPT}) EXPECT_GT(kinds[k], 0) << k;
    EXPECT_EQ(kinds[BB_POSITION], 0);
    EXPECT_EQ(analyzer_->Frames().front().cycle, first_);
    EXPECT_EQ(analyzer_->Frames().back().cycle, last_);
}

TEST_F(DemoGame, EventsLieWithinTheGameAndNameRealPlayers) {
    const auto& events = analyzer_->Events();
    for (std::size_t i = 1; i < events.size(); ++i) {
        const auto& e = events[i];
        SCOPED_TRACE(i);
        EXPECT_GE(e.start_cycle, first_ - 1);
        EXPECT_LE(e.start_cycle, last_);
        EXPECT_GE(e.end_cycle, e.start_cycle);
        EXPECT_LE(e.end_cycle, last_);
        ASSERT_TRUE(isPlayerIndex(e.player));
        EXPECT_TRUE(e.side == 0 || e.side == 1);
        if (e.kind == BB_PASS) {
            EXPECT_TRUE(areTeammates(e.player, e.target));
        }
        if (i > 1) {
            EXPECT_GE(e.start_cycle, events[i - 1].start_cycle - 1);
        }
    }
}

TEST_F(DemoGame, SuccessesNeverExceedCountsAndRatesAreFractions) {
    const auto& s = analyzer_->statistics();
    for (const auto& p : s.players) {
        expectCountSane(p.shots);
        expectCountSane(p.passes);
        expectCountSane(p.interceptions);
        expectCountSane(p.dribbles);
        EXPECT_LT(std::abs(p.mean_position.x), 60.0f);
    }
    for (int t = 0; t < 2; ++t) {
        const auto& team = s.teams[static_cast<std::size_t>(t)];
        expectCountSane(team.shots);
        expectCountSane(team.passes);
        expectCountSane(team.interceptions);
        expectCountSane(team.dribbles);
        // The team figures are the sums of its players'.
        int shots = 0;
        int passes = 0;
        for (int i = 0; i < kPlayersPerSide; ++i) {
            shots += s.players[static_cast<std::size_t>(t * kPlayersPerSide + i)].shots.count;
            passes += s.players[static_cast<std::size_t>(t * kPlayersPerSide + i)].passes.count;
        }
        EXPECT_EQ(team.shots.count, shots);
        EXPECT_EQ(team.passes.count, passes);
    }
}

TEST_F(DemoGame, SharesSumToOne) {
    const auto& s = analyzer_->statistics();
    EXPECT_GT(s.teams[0].possession_cycles, 0);
    EXPECT_GT(s.teams[1].possession_cycles, 0);
    EXPECT_NEAR(s.teams[0].possession_share + s.teams[1].possession_share, 1.0, 1e-9);
    for (const auto& team : s.teams) {
        for (int c : team.thirds_cycles) EXPECT_GE(c, 0);
        EXPECT_NEAR(std::accumulate(team.thirds_shares.begin(), team.thirds_shares.end(), 0.0), 1.0, 1e-9);
    }
    EXPECT_NEAR(std::accumulate(s.thirds_shares.begin(), s.thirds_shares.end(), 0.0), 1.0, 1e-9);
    // Every cycle between the first event and the last one lies in exactly one third.
    const auto& events = analyzer_->Events();
    EXPECT_EQ(std::accumulate(s.thirds_cycles.begin(), s.thirds_cycles.end(), 0), events.back().start_cycle);
}

TEST_F(DemoGame, GoalsAreMatchedBySuccessfulShotsOfTheScoringSide) {
    const ShowState final = toHost(finalShow_);
    const auto& s = analyzer_->statistics();
    EXPECT_GE(s.teams[0].shots.successes, final.team[0].score);
    EXPECT_GE(s.teams[1].shots.successes, final.team[1].score);
}

}  // namespace
}  // namespace tessarin::test
