// The analysis of a text game log finds the events of its binary twin.

#include <gtest/gtest.h>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin::test {
namespace {

std::vector<BasicBehaviorEvent> eventsOf(const std::string& path) {
    BehaviorAnalyzer analyzer;
    FakeHost host;
    GameAnalysis hooks(analyzer, nullptr);
    LogPlayer player(host, &hooks);
    player.command(kCmdLoad, path);
    player.waitForParser();
    return player.withStore([&](const std::vector<cycle_info_t>&) { return analyzer.Events(); });
}

TEST(TextLogAnalysis, FindsTheEventsOfTheVersion3Twin) {
    const auto text = eventsOf(testDataPath("text/v6-short.rcg"));
    const auto twin = eventsOf(testDataPath("text/v6-short-as-v3.rcg"));
    ASSERT_GT(text.size(), 50u);
    ASSERT_EQ(text.size(), twin.size());
    // Every event has the same kind, actor, cycles and outcome. Whether a dribble was seen
    // at its kick (its target) follows the ball's velocity, which the twin holds wrongly
    // (its vy repeats vx): those targets may differ, and only those.
    std::size_t dribbleTargets = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& a = text[i];
        const auto& b = twin[i];
        EXPECT_EQ(a.start_cycle, b.start_cycle);
        EXPECT_EQ(a.end_cycle, b.end_cycle);
        EXPECT_EQ(a.player, b.player);
        EXPECT_EQ(a.kind, b.kind);
        EXPECT_EQ(a.success, b.success);
        if (a.kind == BB_DRIBBLE) {
            dribbleTargets += a.target != b.target ? 1 : 0;
        } else {
            EXPECT_EQ(a.target, b.target);
        }
    }
    EXPECT_LE(dribbleTargets, 11u);
}

}  // namespace
}  // namespace tessarin::test
