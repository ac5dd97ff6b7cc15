// Conversions of the stored network-order records to host values.

#include <gtest/gtest.h>

#include <cstring>

#include "record/ByteOrder.h"
#include "record/GameRecords.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

TEST(FixedPoint, NetworkOrderBytesConvertWithSign) {
    const std::uint8_t minusOne[4] = {0xFF, 0xFF, 0x00, 0x00};
    std::int32_t stored;
    std::memcpy(&stored, minusOne, 4);
    EXPECT_DOUBLE_EQ(fixed_to_double(stored), -1.0);
    const std::uint8_t oneAndHalf[4] = {0x00, 0x01, 0x80, 0x00};
    std::memcpy(&stored, oneAndHalf, 4);
    EXPECT_DOUBLE_EQ(fixed_to_double(stored), 1.5);
    EXPECT_EQ(netToHost16(hostToNet16(-12345)), -12345);
    EXPECT_EQ(be32(oneAndHalf), 0x00018000u);
}

TEST(ShowRecord, ConvertsEveryFieldToHostForm) {
    const show_info_t show = test::ShowBuilder(4321)
                                 .playmode(10)
                                 .team(0, "Left", 2)
                                 .team(1, "Right", -1)
                                 .ball(-10.5, 3.25, 0.5, -0.75)
                                 .player(0, 1 | 0x0008, 3, -50.0, 0.0)
                                 .player(21, 1, 17, 40.125, -20.5)
                                 .build();
    const ShowState s = toHost(show);
    EXPECT_EQ(s.playmode, 10);
    EXPECT_EQ(s.time, 4321);
    EXPECT_EQ(s.team[0].name, "Left");
    EXPECT_EQ(s.team[1].score, -1);
    EXPECT_DOUBLE_EQ(s.ball.x, -10.5);
    EXPECT_DOUBLE_EQ(s.ball.vy, -0.75);
    EXPECT_EQ(s.player[0].mode & 0x0008, 0x0008);
    EXPECT_EQ(s.player[0].type, 3);
    EXPECT_DOUBLE_EQ(s.player[21].x, 40.125);
    EXPECT_DOUBLE_EQ(s.player[21].y, -20.5);
    EXPECT_EQ(s.player[5].mode, 0);

    cycle_info_t record;
    record.setShow(show);
    EXPECT_EQ(recordCycle(record), 4321);
    EXPECT_EQ(std::memcmp(&show, record.data.data(), sizeof show), 0);
}

TEST(ShowRecord, FullSixteenCharacterTeamNameDoesNotOverrun) {
    show_info_t show = test::ShowBuilder(1).team(0, "ABCDEFGHIJKLMNOP", 0).build();
    // The byte after the name is the score; make it non-zero to catch a read past the name.
    show.team[0].score = hostToNet16(0x4141);
    EXPECT_EQ(teamName(show.team[0]), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(toHost(show).team[0].name.size(), 16u);
}

TEST(RecordCycle, ReadsTheCycleWhereEachKindKeepsIt) {
    cycle_info_t sight;
    sight.kind = kSightRecord;
    sight.data[0] = 0x34;
    sight.data[1] = 0x12;
    EXPECT_EQ(recordCycle(sight), 0x1234);
    cycle_info_t v2;
    v2.kind = kSightRecordV2;
    v2.data[4] = 0xFF;
    v2.data[5] = 0xFF;
    EXPECT_EQ(recordCycle(v2), -1);
}

TEST(PlayerTypes, LookupReturnsTheFirstArrivalAndDefaultsCoverMissingTypes) {
    player_type_t a{}, b{};
    a.id = b.id = hostToNet16(4);
    a.player_size = hostToNet32(test::toFixed(0.25));
    b.player_size = hostToNet32(test::toFixed(0.5));
    const std::vector<player_type_t> types = {a, b};
    const auto found = findPlayerType(types, 4);
    ASSERT_TRUE(found);
    EXPECT_DOUBLE_EQ(toHost(*found).player_size, 0.25);
    EXPECT_FALSE(findPlayerType(types, 1024));
    const PlayerTypeState missing;
    EXPECT_DOUBLE_EQ(missing.player_size, 0.3);
    EXPECT_DOUBLE_EQ(missing.kickable_margin, 0.7);
    EXPECT_DOUBLE_EQ(missing.player_speed_max, 1.0);
    EXPECT_NEAR(kickableDistance(missing, kDefaultBallSize), 1.085, 1e-12);
}

TEST(PlayerTypes, TheIndexFollowsAGrowingListAndNoticesAnotherOne) {
    auto type = [](int id, double size) {
        player_type_t t{};
        t.id = hostToNet16(static_cast<std::int16_t>(id));
        t.player_size = hostToNet32(test::toFixed(size));
        return t;
    };
    PlayerTypeIndex index;
    std::vector<player_type_t> types = {type(4, 0.25)};
    EXPECT_EQ(index.find(types, 4), &types[0]);
    EXPECT_EQ(index.find(types, 5), nullptr);
    for (int i = 0; i < 100; ++i) types.push_back(type(i % 10, 0.5));
    EXPECT_EQ(index.find(types, 4), &types[0]) << "the first arrival wins";
    EXPECT_EQ(index.find(types, 5), &types[6]);
    types.clear();
    types.push_back(type(9, 0.75));
    EXPECT_EQ(index.find(types, 4), nullptr);
    ASSERT_NE(index.find(types, 9), nullptr);
    EXPECT_DOUBLE_EQ(toHost(*index.find(types, 9)).player_size, 0.75);
    const std::vector<player_type_t> other = {type(1, 0.3), type(2, 0.3)};
    EXPECT_EQ(index.find(other, 2), &other[1]);
    EXPECT_EQ(index.find(other, 9), nullptr);
}

TEST(PlayModes, NamesMatchTheirNumbersAndOutOfRangeIsEmpty) {
    EXPECT_EQ(playModeName(0), "");
    EXPECT_EQ(playModeName(3), "play_on");
    EXPECT_EQ(playModeName(16), "drop_ball");
    EXPECT_EQ(playModeName(28), "foul_multiple_attack_l");
    EXPECT_EQ(playModeName(49), "penalty_score_r");
    EXPECT_EQ(playModeName(50), "illegal_defense_l");
    EXPECT_EQ(playModeName(51), "illegal_defense_r");
    EXPECT_EQ(playModeName(52), "");
    EXPECT_EQ(playModeName(255), "");
    EXPECT_EQ(playModeName(-1), "");
}

}  // namespace
}  // namespace tessarin
