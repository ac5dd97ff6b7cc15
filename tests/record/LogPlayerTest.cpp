// Playback: commands, ticks, availability, find and jump, replay, save.

#include <gtest/gtest.h>

#include "record/ByteOrder.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::FakeHost;

cycle_info_t showRecord(int cycle) {
    cycle_info_t r;
    r.valid = 1;
    r.kind = kShowRecord;
    r.setShow(test::ShowBuilder(cycle).playmode(PM_PlayOn).build());
    r.cycle = static_cast<std::int16_t>(cycle);
    return r;
}

class LogPlayerTest : public ::testing::Test {
protected:
    void fill(std::initializer_list<int> cycles) {
        for (int c : cycles) player.add(showRecord(c));
    }
    void fillRange(int first, int last) {
        for (int c = first; c <= last; ++c) player.add(showRecord(c));
    }
    int tick() {
        const auto r = player.current();
        return r ? r->cycle : -1;
    }

    FakeHost host;
    LogPlayer player{host};
};

TEST_F(LogPlayerTest, EmptyStoreReportsCycleZeroAndOnlyOpenIsAvailable) {
    EXPECT_EQ(player.first_cycle(), 0);
    EXPECT_EQ(player.last_cycle(), 0);
    EXPECT_EQ(player.current_cycle(), 0);
    EXPECT_FALSE(player.current());
    EXPECT_FALSE(player.last());
    EXPECT_TRUE(player.availability(kCmdOpen));
    for (int c = 1; c <= 12; ++c) EXPECT_FALSE(player.availability(c)) << c;
    EXPECT_TRUE(player.command(99));
    EXPECT_TRUE(player.command(-1));
}

TEST_F(LogPlayerTest, FirstRecordIsDrawnAtOnceAndBecomesCurrent) {
    fill({7, 8, 9});
    EXPECT_EQ(host.drawnCycles(), std::vector<int>{7});
    EXPECT_EQ(player.current_cycle(), 7);
    EXPECT_EQ(player.last()->cycle, 9);
    EXPECT_EQ(tick(), 7) << "a stopped player does not move";
}

TEST_F(LogPlayerTest, ForwardTicksStopAtTheEndAndPlayRestartsWithoutMoving) {
    fill({1, 2, 3});
    ASSERT_TRUE(player.command(kCmdPlay));
    EXPECT_EQ(host.timerStarts, std::vector<int>{100});
    EXPECT_TRUE(player.running());
    EXPECT_EQ(tick(), 2);
    EXPECT_EQ(tick(), 3);
    EXPECT_TRUE(player.running());
    EXPECT_EQ(tick(), 3) << "the first tick that cannot move stops";
    EXPECT_FALSE(player.running());
    EXPECT_EQ(host.timerStops, 1);
    player.command(kCmdPlay);
    EXPECT_EQ(tick(), 3);
    EXPECT_FALSE(player.running());
}

TEST_F(LogPlayerTest, ReverseTicksStopAtTheFirstRecord) {
    fill({1, 2, 3});
    player.command(kCmdStepForward);
    player.command(kCmdReverse);
    EXPECT_TRUE(player.reverse());
    EXPECT_EQ(tick(), 1);
    EXPECT_EQ(tick(), 1);
    EXPECT_FALSE(player.running());
    // Play while reversing turns round without restarting the timer.
    player.command(kCmdReverse);
    const auto starts = host.timerStarts.size();
    player.command(kCmdPlay);
    EXPECT_EQ(host.timerStarts.size(), starts);
    EXPECT_FALSE(player.reverse());
    EXPECT_EQ(tick(), 2);
}

TEST_F(LogPlayerTest, StepsAndRewindStopTheTimerAndStayInside) {
    fill({1, 2, 3});
    player.command(kCmdPlay);
    player.command(kCmdStepBack);
    EXPECT_FALSE(player.running());
    EXPECT_EQ(player.index(), 0u);
    player.command(kCmdStepForward);
    player.command(kCmdStepForward);
    player.command(kCmdStepForward);
    EXPECT_EQ(player.index(), 2u);
    EXPECT_TRUE(player.availability(kCmdRewind));
    player.command(kCmdRewind);
    EXPECT_EQ(player.index(), 0u);
    EXPECT_FALSE(player.availability(kCmdRewind));
}

TEST_F(LogPlayerTest, SpeedsWalkDownToSixAndAQuarterAndUpToSixteenHundred) {
    fill({1, 2});
    player.command(kCmdFaster);
    EXPECT_DOUBLE_EQ(player.period(), 100) << "faster does nothing while stopped";
    EXPECT_TRUE(player.availability(kCmdFaster)) << "yet its entry is enabled by the period alone";
    player.command(kCmdPlay);
    std::vector<double> periods;
    while (player.availability(kCmdFaster)) {
        player.command(kCmdFaster);
        periods.push_back(player.period());
    }
    EXPECT_EQ(periods, (std::vector<double>{50, 25, 12.5, 6.25}));
    EXPECT_EQ(host.timerStarts.back(), 6);
    player.command(kCmdStop);
    player.command(kCmdReset);
    fill({1, 2});
    player.command(kCmdPlay);
    periods.clear();
    while (player.availability(kCmdSlower)) {
        player.command(kCmdSlower);
        periods.push_back(player.period());
    }
    EXPECT_EQ(periods, (std::vector<double>{200, 400, 800, 1600}));
    EXPECT_EQ(host.timerStarts.back(), 1600);
    EXPECT_TRUE(player.running());
}

TEST_F(LogPlayerTest, AvailabilityFollowsThePlaybackState) {
    fill({1, 2, 3});
    EXPECT_TRUE(player.availability(kCmdPlay));
    EXPECT_FALSE(player.availability(kCmdStop));
    EXPECT_TRUE(player.availability(kCmdReverse));
    player.command(kCmdPlay);
    EXPECT_FALSE(player.availability(kCmdPlay));
    EXPECT_TRUE(player.availability(kCmdStop));
    EXPECT_TRUE(player.availability(kCmdReverse));
    player.command(kCmdReverse);
    EXPECT_TRUE(player.availability(kCmdPlay));
    EXPECT_FALSE(player.availability(kCmdReverse));
    for (int c : {kCmdLoad, kCmdStepForward, kCmdStepBack, kCmdJump, kCmdReset, kCmdSave}) {
        EXPECT_TRUE(player.availability(c)) << c;
    }
}

TEST_F(LogPlayerTest, FindLandsOnTheCycleOrANeighbour) {
    fill({1, 2, 4, 5, 5, 6, 9, 10});
    EXPECT_EQ(player.find(1), 0u);
    EXPECT_EQ(player.find(10), 7u);
    EXPECT_EQ(player.find(6), 5u);
    const std::size_t gap = player.find(3);
    EXPECT_TRUE(gap == 1u || gap == 2u) << gap;
    const std::size_t gap2 = player.find(7);
    EXPECT_TRUE(gap2 == 5u || gap2 == 6u) << gap2;
    const std::size_t repeated = player.find(5);
    EXPECT_TRUE(repeated == 3u || repeated == 4u);
}

TEST(LogPlayerFind, SearchesStoresLongerThanSixteenBitIndices) {
    FakeHost host;
    LogPlayer player(host);
    // A long live session: cycles wrap within int16 only at 32767, so use two passes of
    // increasing cycles that stay sorted within each half's search range.
    for (int i = 0; i < 40000; ++i) {
        cycle_info_t r;
        r.cycle = static_cast<std::int16_t>(i / 2);
        player.add(r);
    }
    EXPECT_EQ(player.size(), 40000u);
    EXPECT_EQ(player.find(19999) / 2, 19999u);
    EXPECT_EQ(player.find(17000) / 2, 17000u);
    EXPECT_EQ(player.find(0) / 2, 0u);
}

TEST_F(LogPlayerTest, JumpUsesTheDialogAndResumesPlayback) {
    fill({1, 2, 3, 5, 6, 7});
    player.command(kCmdPlay);
    host.jumpAnswer = 6;
    player.command(kCmdJump);
    EXPECT_EQ(host.jumpAsked, (std::vector<int>{1, 7, 1}));
    EXPECT_EQ(player.index(), 4u);
    EXPECT_TRUE(player.running());
    host.jumpAnswer = 4;
    player.command(kCmdJump);
    EXPECT_TRUE(player.index() == 2u || player.index() == 3u);
    host.jumpAnswer = 7;
    player.command(kCmdJump);
    EXPECT_EQ(player.index(), 5u) << "the last cycle lands on the last record";
    player.command(kCmdStop);
    host.jumpAnswer.reset();
    player.command(kCmdJump);
    EXPECT_EQ(player.index(), 5u);
    EXPECT_FALSE(player.running());
}

TEST_F(LogPlayerTest, PreviewDrawsWithoutMoving) {
    fill({1, 2, 3, 4});
    player.preview(3);
    EXPECT_EQ(host.drawnCycles().back(), 3);
    EXPECT_EQ(player.index(), 0u);
}

TEST_F(LogPlayerTest, ReplayGoesThirtyRecordsBackAndEndsAtTheCycleItStartedFrom) {
    fillRange(1, 100);
    for (int i = 0; i < 80; ++i) player.command(kCmdStepForward);
    tick();
    ASSERT_EQ(player.current_cycle(), 81);
    player.command(kCmdSlower);  // only while running: no effect
    player.setReplayMode(true);
    player.command(kCmdPlay);
    EXPECT_EQ(player.index(), 50u);
    EXPECT_DOUBLE_EQ(player.period(), 100);
    std::vector<int> cycles;
    while (player.running() && cycles.size() < 100) cycles.push_back(player.timerTick()->cycle);
    ASSERT_EQ(cycles.size(), 30u);
    EXPECT_EQ(cycles.front(), 52);
    EXPECT_EQ(cycles.back(), 81);
    EXPECT_FALSE(player.replayMode());
    EXPECT_EQ(host.replayPackets.size(), 30u);
}

TEST_F(LogPlayerTest, ReplayNearTheStartBeginsAtTheFirstRecordAndAtZeroOnlyLeavesReplay) {
    fillRange(1, 20);
    for (int i = 0; i < 10; ++i) player.command(kCmdStepForward);
    tick();
    player.setReplayMode(true);
    player.command(kCmdPlay);
    EXPECT_EQ(player.index(), 0u);
    EXPECT_TRUE(player.running());
    player.command(kCmdStop);
    player.command(kCmdRewind);
    player.setReplayMode(true);
    player.command(kCmdPlay);
    EXPECT_FALSE(player.replayMode());
    EXPECT_FALSE(player.running());
}

TEST_F(LogPlayerTest, ReplayAfterAJumpEndsAtTheCycleJumpedTo) {
    fillRange(1, 100);
    host.jumpAnswer = 90;
    player.command(kCmdJump);  // no tick in between: the copied current record is older
    player.setReplayMode(true);
    player.command(kCmdPlay);
    EXPECT_EQ(player.index(), 59u);
    std::vector<int> cycles;
    while (player.running() && cycles.size() < 100) cycles.push_back(player.timerTick()->cycle);
    ASSERT_EQ(cycles.size(), 30u);
    EXPECT_EQ(cycles.back(), 90);
    EXPECT_FALSE(player.replayMode());
}

TEST(ReplayPacket, CarriesTheShowAfterAMarkAndAVersion) {
    cycle_info_t r = showRecord(1234);
    r.data[1467] = 0xEE;
    const auto packet = LogPlayer::buildReplayPacket(r);
    ASSERT_EQ(packet.size(), 2060u);
    EXPECT_EQ(packet[0], 'B');
    EXPECT_EQ(packet[4], 1);
    EXPECT_EQ(packet[5], 0);
    EXPECT_TRUE(std::equal(r.data.begin(), r.data.end(), packet.begin() + 8));
    for (std::size_t i : {1u, 2u, 3u, 6u, 7u, 1476u, 2059u}) EXPECT_EQ(packet[i], 0) << i;
}

TEST_F(LogPlayerTest, ResetEmptiesTheGameAndRestoresTheDefaults) {
    fill({1, 2, 3});
    player.addPlayerType(player_type_t{});
    player.command(kCmdPlay);
    player.command(kCmdFaster);
    player.command(kCmdReverse);
    player.command(kCmdReset);
    EXPECT_EQ(player.size(), 0u);
    EXPECT_TRUE(player.player_types().empty());
    EXPECT_DOUBLE_EQ(player.period(), 100);
    EXPECT_FALSE(player.running());
    EXPECT_FALSE(player.reverse());
    EXPECT_EQ(player.index(), 0u);
    EXPECT_EQ(host.timerStops, 2) << "faster restarts once, reset stops the running timer";
}

TEST_F(LogPlayerTest, SaveAsksForAPathPausesAndResumes) {
    test::TempDir dir;
    EXPECT_FALSE(player.command(kCmdSave)) << "an empty store is not saved";
    fill({1, 2, 3});
    player.command(kCmdPlay);
    host.savePath.reset();
    EXPECT_FALSE(player.command(kCmdSave));
    EXPECT_FALSE(player.running()) << "a cancelled save leaves the timer stopped";
    player.command(kCmdPlay);
    host.savePath = dir.file("out.rcg");
    EXPECT_TRUE(player.command(kCmdSave));
    EXPECT_TRUE(player.running());
    FakeHost other;
    LogPlayer again(other);
    again.command(kCmdLoad, *host.savePath);
    again.waitForParser();
    EXPECT_EQ(again.size(), 3u);
}

TEST_F(LogPlayerTest, OpenAsksForAPathResetsAndLoads) {
    test::TempDir dir;
    fill({1, 2, 3});
    host.openPath.reset();
    EXPECT_FALSE(player.command(kCmdOpen));
    EXPECT_EQ(player.size(), 3u);
    host.openPath = dir.write("g.rcg", test::V3LogBuilder().show(40).show(41).bytes());
    EXPECT_TRUE(player.command(kCmdOpen));
    player.waitForParser();
    EXPECT_EQ(player.size(), 2u);
    EXPECT_EQ(player.first_cycle(), 40);
}

TEST_F(LogPlayerTest, AFileThatIsNotAGameKeepsTheOpenGameAndItsPlayback) {
    test::TempDir dir;
    fill({1, 2, 3});
    player.command(kCmdPlay);
    player.command(kCmdFaster);
    const double period = player.period();
    ASSERT_LT(period, 100.0);
    host.openPath = dir.write("README", {'#', ' ', 'T', 'e', 's', 's'});
    EXPECT_FALSE(player.command(kCmdOpen));
    EXPECT_EQ(player.loadOutcome(), LoadOutcome::UnknownFormat);
    EXPECT_FALSE(player.command(kCmdLoad, dir.file("missing.rcg")));
    EXPECT_EQ(player.loadOutcome(), LoadOutcome::CannotOpen);
    EXPECT_FALSE(player.command(kCmdLoad, dir.write("empty.rcg", {})));
    EXPECT_EQ(player.loadOutcome(), LoadOutcome::Empty);
    EXPECT_EQ(player.size(), 3u);
    EXPECT_EQ(player.period(), period) << "an open that read nothing does not reset";
    EXPECT_TRUE(player.running());
    player.command(kCmdStepForward);
    EXPECT_EQ(player.current_cycle(), 2);
}

// A flood of bogus types (a hostile file or peer) is bounded; lookups stay by id.
TEST_F(LogPlayerTest, PlayerTypesAreBoundedAndFoundById) {
    for (int i = 0; i < 300; ++i) {
        player_type_t t{};
        t.id = hostToNet16(static_cast<std::int16_t>(1000 - i % 280));
        t.player_size = hostToNet32(test::toFixed(i));
        player.addPlayerType(t);
    }
    EXPECT_EQ(player.player_types().size(), kMaxPlayerTypes);
    EXPECT_EQ(player.droppedPlayerTypes(), 300 - kMaxPlayerTypes);
    ASSERT_TRUE(player.player_type(1000));
    EXPECT_DOUBLE_EQ(toHost(*player.player_type(1000)).player_size, 0.0) << "the first arrival wins";
    ASSERT_TRUE(player.player_type(1000 - 255));
    EXPECT_FALSE(player.player_type(1000 - 256)) << "arrived after the bound";
    player.command(kCmdReset);
    EXPECT_FALSE(player.player_type(1000));
    EXPECT_EQ(player.droppedPlayerTypes(), 0u);
}

TEST_F(LogPlayerTest, ParameterBlocksAndBallSize) {
    EXPECT_DOUBLE_EQ(player.ball_size(), 0.085);
    server_param_t params{};
    putBe32(params.bytes.data() + 104, static_cast<std::uint32_t>(test::toFixed(0.25)));
    player.setServerParameters(params);
    EXPECT_DOUBLE_EQ(player.ball_size(), 0.25);
}

}  // namespace
}  // namespace tessarin
