// A team's figures over its games and the comparison of two batches, on summaries
// made by hand.

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "analysis/BatchAggregates.h"

namespace tessarin {
namespace {

GameSummary game(const std::string& left, int leftGoals, const std::string& right, int rightGoals, int shots = 0) {
    GameSummary g;
    g.file = left + "-" + right;
    g.sides[0].team = left;
    g.sides[0].goals = leftGoals;
    g.sides[0].shots = shots;
    g.sides[1].team = right;
    g.sides[1].goals = rightGoals;
    return g;
}

TEST(BatchAggregates, TeamSeenFromEitherSide) {
    std::vector<GameSummary> games = {game("Us", 2, "Them", 0, 7), game("Them", 3, "Us", 3), game("Them", 1, "Us", 0)};
    GameSummary broken;
    broken.file = "broken";
    broken.error = "cannot read";
    games.push_back(broken);
    games.push_back(game("Others", 1, "Them", 1));

    const std::vector<TeamGame> ours = gamesOfTeam(games, "Us");
    ASSERT_EQ(ours.size(), 3u);
    EXPECT_EQ(ours[1].side, 1);
    EXPECT_EQ(ours[1].result, GameResult::Draw);
    EXPECT_EQ(ours[2].result, GameResult::Loss);
    EXPECT_EQ(ours[2].our.goals, 0);
    EXPECT_EQ(ours[2].opp.goals, 1);

    const TeamAggregate a = aggregateTeam("Us", ours);
    EXPECT_EQ(a.games, 3);
    EXPECT_EQ(a.wins, 1);
    EXPECT_EQ(a.draws, 1);
    EXPECT_EQ(a.losses, 1);
    EXPECT_EQ(a.points, 4);
    EXPECT_EQ(a.goalsFor, 5);
    EXPECT_EQ(a.goalsAgainst, 4);
    EXPECT_NEAR(a.goalDifference.mean, 1.0 / 3.0, 1e-12);
    EXPECT_NEAR(a.winRate, 1.0 / 3.0, 1e-12);
    ASSERT_FALSE(a.figureMeans.empty());
    EXPECT_EQ(a.figureMeans[1].name, "shots");
    EXPECT_NEAR(a.figureMeans[1].mean.value_or(-1), 7.0 / 3.0, 1e-12);

    EXPECT_EQ(teamsOf(games), (std::vector<std::string>{"Others", "Them", "Us"}));
    EXPECT_TRUE(gamesOfTeam(games, "Nobody").empty());
}

// Cards and tackles are told by newer logs only: a game that does not tell them is left
// out of their means and tests, never counted as a zero.
TEST(BatchAggregates, FiguresAGameDoesNotTellAreLeftOut) {
    std::vector<GameSummary> games = {game("Us", 1, "Them", 0), game("Us", 0, "Them", 0), game("Us", 2, "Them", 1)};
    games[0].sides[0].yellowCards = 2;
    games[2].sides[0].yellowCards = 1;
    const auto mean = [](const TeamAggregate& a, std::string_view name) {
        for (const FigureMean& m : a.figureMeans) {
            if (m.name == name) return m.mean;
        }
        ADD_FAILURE() << name;
        return std::optional<double>();
    };
    const std::vector<TeamGame> ours = gamesOfTeam(games, "Us");
    const TeamAggregate a = aggregateTeam("Us", ours);
    EXPECT_NEAR(mean(a, "yellow_cards").value_or(-1), 1.5, 1e-12) << "over the two games that tell it";
    EXPECT_FALSE(mean(a, "red_cards")) << "no game tells it";

    const BatchComparison c = compareBatches("Us", ours, std::span(ours).first(2));
    const auto figure = [&](std::string_view name) {
        for (const FigureComparison& f : c.figures) {
            if (f.name == name) return f;
        }
        ADD_FAILURE() << name;
        return FigureComparison{};
    };
    EXPECT_EQ(figure("yellow_cards").a.n, 2);
    EXPECT_EQ(figure("yellow_cards").b.n, 1);
    EXPECT_EQ(figure("shots").b.n, 2);
    EXPECT_EQ(figure("tackles").a.n, 0);
    EXPECT_FALSE(figure("tackles").test.pValue);
}

TEST(BatchAggregates, TheSameLossTwiceHasAZeroWidthInterval) {
    const std::vector<GameSummary> games = {game("HELIOS_left", 4, "HELIOS_right", 1),
                                            game("HELIOS_left", 4, "HELIOS_right", 1)};
    const TeamAggregate a = aggregateTeam("HELIOS_right", gamesOfTeam(games, "HELIOS_right"));
    EXPECT_EQ(a.losses, 2);
    EXPECT_EQ(a.points, 0);
    EXPECT_DOUBLE_EQ(a.goalDifference.mean, -3.0);
    ASSERT_TRUE(a.goalDifference.ci95);
    EXPECT_EQ(*a.goalDifference.ci95, (Interval{-3.0, -3.0}));
    EXPECT_EQ(a.winRate, 0.0);
    EXPECT_EQ(a.winRateCi95.low, 0.0);
    EXPECT_NEAR(a.winRateCi95.high, 0.657620, 1e-6);  // Wilson, 0 of 2

    // A team without games: zeros and an unknown interval, never a division by zero.
    const TeamAggregate none = aggregateTeam("Nobody", {});
    EXPECT_EQ(none.games, 0);
    EXPECT_FALSE(none.goalDifference.ci95);
    EXPECT_EQ(none.winRate, 0.0);
}

TEST(BatchAggregates, ComparingBatches) {
    const std::vector<GameSummary> mixed = {game("Us", 2, "Them", 0), game("Us", 0, "Them", 1),
                                            game("Us", 1, "Them", 1), game("Them", 0, "Us", 3)};
    const std::vector<TeamGame> ours = gamesOfTeam(mixed, "Us");
    const BatchComparison self = compareBatches("Us", ours, ours);
    ASSERT_EQ(self.figures[0].name, "goal_difference");
    ASSERT_EQ(self.figures[1].name, "points");
    ASSERT_EQ(self.figures[2].name, "win_rate");
    for (const FigureComparison& f : self.figures) {
        if (f.a.n == 0) continue;  // cards and tackles: no game made by hand tells them
        ASSERT_TRUE(f.test.pValue) << f.name;
        EXPECT_NEAR(*f.test.pValue, 1.0, 1e-12) << f.name;
    }
    EXPECT_NE(verdictOf(self).find("does not differ"), std::string::npos) << verdictOf(self);

    // Every game alike within each batch.
    const std::vector<GameSummary> lost = {game("Us", 0, "Them", 1), game("Us", 0, "Them", 1)};
    const std::vector<GameSummary> won = {game("Us", 2, "Them", 0), game("Us", 2, "Them", 0), game("Us", 2, "Them", 0)};
    const BatchComparison change = compareBatches("Us", gamesOfTeam(lost, "Us"), gamesOfTeam(won, "Us"));
    EXPECT_EQ(change.figures[0].test.difference, 3.0);
    EXPECT_EQ(change.figures[0].test.pValue, 0.0);
    EXPECT_EQ(change.figures[1].test.pValue, 0.0);
    EXPECT_EQ(change.figures[0].test.gamesNeeded, 2);
    EXPECT_NE(verdictOf(change).find("B differs from A"), std::string::npos) << verdictOf(change);
    const BatchComparison same = compareBatches("Us", gamesOfTeam(lost, "Us"), gamesOfTeam(lost, "Us"));
    EXPECT_EQ(same.figures[0].test.pValue, 1.0);
    EXPECT_EQ(same.figures[2].test.pValue, 1.0);

    // One game in a batch: the verdict says it cannot tell.
    const std::vector<GameSummary> single = {game("Us", 0, "Them", 1)};
    const BatchComparison tooFew = compareBatches("Us", gamesOfTeam(single, "Us"), ours);
    EXPECT_FALSE(tooFew.figures[0].test.pValue);
    EXPECT_NE(verdictOf(tooFew).find("Cannot tell"), std::string::npos);
}

}  // namespace
}  // namespace tessarin
