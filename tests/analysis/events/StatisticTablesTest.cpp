// Texts and sorting of the statistics table and the player-type list.

#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/StatisticTables.h"
#include "record/ByteOrder.h"
#include "support/LogBuilder.h"

namespace tessarin::test {
namespace {

CountStatistic figure(int count, int successes) { return CountStatistic{count, successes, 0.0}; }

TEST(StatisticTextsTest, SuccessSharesAreIntegerPercentagesAndNoneIsABareZero) {
    EXPECT_EQ(percentText(figure(0, 0)), "0");
    EXPECT_EQ(percentText(figure(4, 3)), "75%");
    EXPECT_EQ(percentText(figure(3, 2)), "66%") << "integer division, not rounding";
    EXPECT_EQ(percentText(figure(5, 5)), "100%");
    EXPECT_EQ(shareText(2.0 / 3.0), "67%");
    EXPECT_EQ(shareText(0.0), "0%");
}

TEST(StatisticTableTest, RowsCarryOneTeamsPlayersInColumnOrder) {
    GameStatistics stats;
    PlayerStatistics& right7 = stats.players[11 + 6];
    right7.passes = figure(9, 8);
    right7.shots = figure(7, 6);
    right7.dribbles = figure(5, 4);
    right7.interceptions = figure(3, 2);
    stats.players[6].shots = figure(100, 1);
    const StatTable right = statTable(stats, 1);
    EXPECT_EQ(right[6], (StatRow{7, 9, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_EQ(right[0], (StatRow{1, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(statTable(stats, 0)[6][3], 100);
}

TEST(StatisticTableTest, SortOrdersByTheColumnEitherWayAndIgnoresOtherColumns) {
    StatTable table{};
    const int shots[] = {3, 0, 7, 1, 9, 2, 2, 5, 4, 8, 6};
    for (int r = 0; r < kStatRows; ++r) {
        table[static_cast<std::size_t>(r)][0] = r + 1;
        table[static_cast<std::size_t>(r)][3] = shots[r];
    }
    const auto shotsColumn = [&table] {
        std::vector<int> v;
        for (const StatRow& row : table) v.push_back(row[3]);
        return v;
    };
    sortStatTable(table, 3, true);
    std::vector<int> v = shotsColumn();
    EXPECT_TRUE(std::is_sorted(v.rbegin(), v.rend()));
    EXPECT_EQ(table[0][0], 5) << "the player with 9 shots comes first";
    sortStatTable(table, 3, false);
    v = shotsColumn();
    EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
    EXPECT_EQ(table[0][0], 2);

    const StatTable before = table;
    sortStatTable(table, 9, true);
    sortStatTable(table, -1, true);
    EXPECT_EQ(table, before);
}

player_type_t type(int id, double playerSize, double speed) {
    player_type_t t{};
    t.id = hostToNet16(static_cast<std::int16_t>(id));
    t.player_size = hostToNet32(toFixed(playerSize));
    t.player_speed_max = hostToNet32(toFixed(speed));
    t.effort_min = hostToNet32(toFixed(-0.5));
    return t;
}

TEST(PlayerTypeTableTest, TextsAndKeysFollowTheColumns) {
    const player_type_t t = type(3, 0.3, 1.2);
    EXPECT_EQ(playerTypeText(t, 0), "3");
    EXPECT_EQ(playerTypeText(t, 1), "1.200");
    EXPECT_EQ(playerTypeText(t, 6), "0.300");
    EXPECT_EQ(playerTypeText(t, 11), "-0.500");
    EXPECT_EQ(playerTypeText(t, 12), "");
    EXPECT_NEAR(playerTypeKey(t, 6), 0.3, 1e-4);
    EXPECT_DOUBLE_EQ(playerTypeKey(t, 12), -1.0);
    // The id sorts as an unsigned 16-bit number.
    EXPECT_DOUBLE_EQ(playerTypeKey(type(-1, 0.3, 1.0), 0), 65535.0);
}

TEST(PlayerTypeTableTest, SortByKeyEitherWay) {
    std::vector<player_type_t> types = {type(0, 0.30, 1.0), type(1, 0.36, 1.1), type(2, 0.25, 1.3), type(3, 0.33, 0.9)};
    const auto ids = [&types] {
        std::vector<int> v;
        for (const player_type_t& t : types) v.push_back(netToHost16(t.id));
        return v;
    };
    sortPlayerTypes(types, 6, true);
    EXPECT_EQ(ids(), (std::vector<int>{1, 3, 0, 2}));
    sortPlayerTypes(types, 6, false);
    EXPECT_EQ(ids(), (std::vector<int>{2, 0, 3, 1}));
    sortPlayerTypes(types, 0, true);
    EXPECT_EQ(ids(), (std::vector<int>{3, 2, 1, 0}));
    std::vector<player_type_t> none;
    sortPlayerTypes(none, 6, true);
    EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace tessarin::test
