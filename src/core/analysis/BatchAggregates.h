#pragma once

// A team's figures over a batch of games, and the comparison of one team's figures
// between two batches (before and after a change of the team, say).

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/BatchStatistics.h"
#include "analysis/GameSummary.h"

namespace tessarin {

enum class GameResult { Loss = -1, Draw = 0, Win = 1 };
inline constexpr int kPointsForWin = 3;
inline constexpr int kPointsForDraw = 1;

std::string_view resultName(GameResult result);  // "win", "draw", "loss"
int pointsFor(GameResult result);

// One game seen from one team.
struct TeamGame {
    std::string file;
    int side = 0;  // 0 left, 1 right
    SideSummary our;
    SideSummary opp;
    GameResult result = GameResult::Draw;
};

// The side a team played on in a game that was read (the left one when both sides
// carry the name), or none.
std::optional<int> sideOfTeam(const GameSummary& game, std::string_view team);
TeamGame teamView(const GameSummary& game, int side);
// The games of `team` among those that were read, in their order.
std::vector<TeamGame> gamesOfTeam(std::span<const GameSummary> games, std::string_view team);
// Every team name of the games that were read, sorted, each once.
std::vector<std::string> teamsOf(std::span<const GameSummary> games);

struct FigureMean {
    std::string_view name;
    // Over the games that tell the figure; none when no game does.
    std::optional<double> mean;
};

struct TeamAggregate {
    std::string team;
    int games = 0;
    int wins = 0;
    int draws = 0;
    int losses = 0;
    int points = 0;
    int goalsFor = 0;
    int goalsAgainst = 0;
    MeanEstimate goalDifference;  // its interval is Student's t
    double winRate = 0.0;
    Interval winRateCi95;  // Wilson's
    // The per-game means of the team's own figures, in the order of sideFigures().
    std::vector<FigureMean> figureMeans;
};
TeamAggregate aggregateTeam(std::string team, std::span<const TeamGame> games);

// One figure of a team in batches A and B.
struct FigureComparison {
    std::string name;
    MeanEstimate a;
    MeanEstimate b;
    DifferenceTest test;  // of B - A
};

struct BatchComparison {
    std::string team;
    int gamesA = 0;
    int gamesB = 0;
    // "goal_difference" (Welch), "points" (Welch), "win_rate" (rates), then the
    // team's figures of sideFigures() (Welch), in that order.
    std::vector<FigureComparison> figures;
};
BatchComparison compareBatches(std::string team, std::span<const TeamGame> a, std::span<const TeamGame> b);

// One line that says whether B differs from A at the 5 % level in goal difference, and
// how many games per batch would make the difference seen significant.
std::string verdictOf(const BatchComparison& comparison);

}  // namespace tessarin
