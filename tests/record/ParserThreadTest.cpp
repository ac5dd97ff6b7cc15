// Loading on the parser thread while the GUI thread plays, reads and loads again.
// These tests are meant to run under ThreadSanitizer as well.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "record/LogPlayer.h"
#include "support/Eventually.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using namespace std::chrono_literals;
using test::FakeHost;
using test::TempDir;

// Analysis that takes its time, so that a file is still being read when the test acts.
class SlowHooks final : public GameAnalysisHooks {
public:
    void analyzeShow(const cycle_info_t&, const std::vector<player_type_t>&) override {
        std::this_thread::sleep_for(100us);
    }
    void feedOpponentModel(const cycle_info_t&) override {}
    bool opponentModelEnabled() const override { return false; }
    void startOpponentModel(const show_info_t&) override {}
    void finishOpponentModel() override {}
};

bool waitFor(const std::function<bool()>& condition) { return test::eventually(condition, 10s); }

std::string smallGame(const TempDir& dir, const std::string& name, const std::string& team, int shows) {
    test::V3LogBuilder b;
    b.playerType(0, 0.3, 0.7).playMode(3).teams(team, 0, "Other", 0);
    for (int c = 1; c <= shows; ++c) b.show(c);
    return dir.write(name, b.bytes());
}

TEST(ParserThread, ASecondLoadReplacesAGameThatIsStillBeingRead) {
    TempDir dir;
    const std::string second = smallGame(dir, "second.rcg", "Second", 3);
    FakeHost host;
    SlowHooks hooks;
    LogPlayer player(host, &hooks);
    player.command(kCmdLoad, test::demoGamePath());
    ASSERT_TRUE(waitFor([&] { return player.size() > 20; }));
    ASSERT_TRUE(player.parsing()) << "the demo game should still be loading";
    player.command(kCmdPlay);
    player.current();

    player.command(kCmdLoad, second);
    player.waitForParser();
    const auto records = player.withStore([](const std::vector<cycle_info_t>& f) { return f; });
    ASSERT_EQ(records.size(), 3u);
    for (const auto& r : records) EXPECT_EQ(toHost(r.show()).team[0].name, "Second");
    EXPECT_EQ(player.player_types().size(), 1u) << "the first game's types are gone";
    EXPECT_EQ(player.index(), 0u);
    EXPECT_EQ(player.current()->cycle, 1);
    EXPECT_FALSE(player.running()) << "loading stops playback";
}

TEST(ParserThread, GuiReadsAndTicksWhileAFileLoads) {
    FakeHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, test::demoGamePath());
    player.command(kCmdPlay);
    std::size_t reads = 0;
    while (player.parsing() && reads < 100000) {
        player.current();
        player.player_types();
        player.ball_size();
        player.last_cycle();
        player.availability(kCmdPlay);
        ++reads;
    }
    player.waitForParser();
    EXPECT_EQ(player.size(), 8667u);
    EXPECT_GT(reads, 0u);
}

TEST(ParserThread, RepeatedLoadsResetAndDestructionStopCooperatively) {
    TempDir dir;
    const std::string small = smallGame(dir, "small.rcg", "Small", 50);
    FakeHost host;
    SlowHooks hooks;
    for (int round = 0; round < 3; ++round) {
        LogPlayer player(host, &hooks);
        for (int i = 0; i < 5; ++i) {
            player.command(kCmdLoad, i % 2 ? small : test::demoGamePath());
            player.current();
        }
        player.command(kCmdLoad, test::demoGamePath());
        ASSERT_TRUE(waitFor([&] { return player.size() > 0; }));
        if (round == 1) {
            player.command(kCmdReset);
            EXPECT_FALSE(player.parsing());
            const std::size_t afterReset = player.size();
            std::this_thread::sleep_for(20ms);
            EXPECT_EQ(player.size(), afterReset) << "a reset stops the reading";
            EXPECT_EQ(afterReset, 0u);
        }
        // Destroying the player mid-read must stop and join the parser promptly.
        const auto started = std::chrono::steady_clock::now();
        {
            LogPlayer gone(host, &hooks);
            gone.command(kCmdLoad, test::demoGamePath());
            ASSERT_TRUE(waitFor([&] { return gone.size() > 5; }));
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    }
}

TEST(ParserThread, MonitorPacketsFromAnotherThreadWhileTheGuiPlays) {
    FakeHost host;
    LogPlayer player(host);
    std::atomic<bool> done{false};
    std::jthread receiver([&] {
        for (int c = 1; c <= 2000; ++c) {
            const auto message = test::dispinfoMessage("Recv " + std::to_string(c));
            player.parse_monitor_packet(message.data(), message.size());
            const auto show = test::dispinfoShow(test::ShowBuilder(c).build());
            player.parse_monitor_packet(show.data(), show.size());
        }
        done = true;
    });
    player.command(kCmdPlay);
    int ticks = 0;
    while (!done && ticks < 1000000) {
        if (const auto r = player.current()) {
            EXPECT_EQ(r->messages, "Recv " + std::to_string(r->cycle) + "\t\t\t");
        }
        if (!player.running()) player.command(kCmdPlay);
        ++ticks;
    }
    receiver.join();
    EXPECT_EQ(player.size(), 2000u);
    EXPECT_EQ(player.last_cycle(), 2000);
}

}  // namespace
}  // namespace tessarin
