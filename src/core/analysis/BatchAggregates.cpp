#include "analysis/BatchAggregates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

namespace tessarin {

namespace {

// Fixed-point text with '.' as the decimal point whatever the locale.
std::string fixed(double v, int precision) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, precision);
    std::string s(buffer, r.ptr);
    // No "-0.00" for a value that rounds to zero.
    if (s.front() == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
    return s;
}

std::string signedFixed(double v, int precision) { return (v > 0 ? "+" : "") + fixed(v, precision); }

std::string pText(double p) {
    if (p < 0.001) return "p < 0.001";
    return "p = " + fixed(p, 3);
}

std::vector<double> valuesOf(std::span<const TeamGame> games, double (*value)(const TeamGame&)) {
    std::vector<double> v;
    v.reserve(games.size());
    for (const TeamGame& g : games) v.push_back(value(g));
    return v;
}

double goalDifferenceOf(const TeamGame& g) { return g.our.goals - g.opp.goals; }
double pointsOf(const TeamGame& g) { return pointsFor(g.result); }

int winsOf(std::span<const TeamGame> games) {
    return static_cast<int>(
        std::count_if(games.begin(), games.end(), [](const TeamGame& g) { return g.result == GameResult::Win; }));
}

FigureComparison compareValues(std::string name, const std::vector<double>& a, const std::vector<double>& b) {
    return FigureComparison{std::move(name), estimateMean(a), estimateMean(b), welchTest(a, b)};
}

}  // namespace

std::string_view resultName(GameResult result) {
    switch (result) {
        case GameResult::Win:
            return "win";
        case GameResult::Loss:
            return "loss";
        case GameResult::Draw:
            break;
    }
    return "draw";
}

int pointsFor(GameResult result) {
    return result == GameResult::Win ? kPointsForWin : result == GameResult::Draw ? kPointsForDraw : 0;
}

std::optional<int> sideOfTeam(const GameSummary& game, std::string_view team) {
    if (!game.ok()) return std::nullopt;
    for (int side = 0; side < 2; ++side) {
        if (game.sides[static_cast<std::size_t>(side)].team == team) return side;
    }
    return std::nullopt;
}

TeamGame teamView(const GameSummary& game, int side) {
    TeamGame g;
    g.file = game.file;
    g.side = side;
    g.our = game.sides[static_cast<std::size_t>(side)];
    g.opp = game.sides[static_cast<std::size_t>(1 - side)];
    const int winner = winnerOf(game);
    g.result = winner < 0 ? GameResult::Draw : winner == side ? GameResult::Win : GameResult::Loss;
    return g;
}

std::vector<TeamGame> gamesOfTeam(std::span<const GameSummary> games, std::string_view team) {
    std::vector<TeamGame> out;
    for (const GameSummary& game : games) {
        if (const auto side = sideOfTeam(game, team)) out.push_back(teamView(game, *side));
    }
    return out;
}

std::vector<std::string> teamsOf(std::span<const GameSummary> games) {
    std::set<std::string> names;
    for (const GameSummary& game : games) {
        if (!game.ok()) continue;
        for (const SideSummary& side : game.sides) names.insert(side.team);
    }
    return {names.begin(), names.end()};
}

TeamAggregate aggregateTeam(std::string team, std::span<const TeamGame> games) {
    TeamAggregate a;
    a.team = std::move(team);
    a.games = static_cast<int>(games.size());
    for (const TeamGame& g : games) {
        a.wins += g.result == GameResult::Win;
        a.draws += g.result == GameResult::Draw;
        a.losses += g.result == GameResult::Loss;
        a.points += pointsFor(g.result);
        a.goalsFor += g.our.goals;
        a.goalsAgainst += g.opp.goals;
    }
    a.goalDifference = estimateMean(valuesOf(games, &goalDifferenceOf));
    a.winRate = a.games > 0 ? static_cast<double>(a.wins) / a.games : 0.0;
    a.winRateCi95 = wilsonInterval(a.wins, a.games);
    for (const SideFigure& figure : sideFigures()) {
        double sum = 0.0;
        int known = 0;
        for (const TeamGame& g : games) {
            const double v = figure.value(g.our);
            if (!SideFigure::known(v)) continue;
            sum += v;
            ++known;
        }
        a.figureMeans.push_back({figure.name, known > 0 ? std::optional<double>(sum / known) : std::nullopt});
    }
    return a;
}

BatchComparison compareBatches(std::string team, std::span<const TeamGame> a, std::span<const TeamGame> b) {
    BatchComparison c;
    c.team = std::move(team);
    c.gamesA = static_cast<int>(a.size());
    c.gamesB = static_cast<int>(b.size());
    c.figures.push_back(
        compareValues("goal_difference", valuesOf(a, &goalDifferenceOf), valuesOf(b, &goalDifferenceOf)));
    c.figures.push_back(compareValues("points", valuesOf(a, &pointsOf), valuesOf(b, &pointsOf)));

    FigureComparison winRate;
    winRate.name = "win_rate";
    const auto winValue = [](const TeamGame& g) { return g.result == GameResult::Win ? 1.0 : 0.0; };
    std::vector<double> winsA, winsB;
    for (const TeamGame& g : a) winsA.push_back(winValue(g));
    for (const TeamGame& g : b) winsB.push_back(winValue(g));
    winRate.a = estimateMean(winsA);
    winRate.b = estimateMean(winsB);
    // A rate's interval is Wilson's, not the t interval of a mean of zeros and ones.
    if (!a.empty()) winRate.a.ci95 = wilsonInterval(winsOf(a), c.gamesA);
    if (!b.empty()) winRate.b.ci95 = wilsonInterval(winsOf(b), c.gamesB);
    winRate.test = proportionTest(winsOf(a), c.gamesA, winsOf(b), c.gamesB);
    c.figures.push_back(std::move(winRate));

    for (const SideFigure& figure : sideFigures()) {
        std::vector<double> va, vb;
        for (const TeamGame& g : a) {
            if (const double v = figure.value(g.our); SideFigure::known(v)) va.push_back(v);
        }
        for (const TeamGame& g : b) {
            if (const double v = figure.value(g.our); SideFigure::known(v)) vb.push_back(v);
        }
        c.figures.push_back(compareValues(std::string(figure.name), va, vb));
    }
    return c;
}

std::string verdictOf(const BatchComparison& comparison) {
    const FigureComparison& gd = comparison.figures.front();
    const DifferenceTest& t = gd.test;
    if (!t.pValue) {
        return "Cannot tell whether B differs from A: each batch needs two games of " + comparison.team +
               " at least (A has " + std::to_string(comparison.gamesA) + ", B has " +
               std::to_string(comparison.gamesB) + ").";
    }
    std::string line =
        *t.pValue < 0.05 ? "B differs from A at the 5 % level: " : "B does not differ from A at the 5 % level: ";
    line += "goal difference " + signedFixed(t.difference, 2) + " per game";
    if (t.ci95)
        line += " (95 % CI [" + fixed(t.ci95->low, 2) + ", " + fixed(t.ci95->high, 2) + "], " + pText(*t.pValue) + ")";
    if (!t.gamesNeeded) {
        line += "; no number of games makes a difference of zero significant.";
    } else if (*t.gamesNeeded > kMostGamesNeeded) {
        line += "; more than " + std::to_string(kMostGamesNeeded) +
                " games per batch would be needed for it to be significant.";
    } else if (*t.pValue < 0.05) {
        line += "; " + std::to_string(*t.gamesNeeded) + " games per batch would have sufficed.";
    } else {
        line += "; about " + std::to_string(*t.gamesNeeded) +
                " games per batch would make a difference of this size significant.";
    }
    return line;
}

}  // namespace tessarin
