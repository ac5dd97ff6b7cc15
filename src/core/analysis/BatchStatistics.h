#pragma once

// Estimates over a batch of games: the mean of a per-game figure with its confidence
// interval, a rate with its Wilson interval, and the tests that say whether two
// batches differ (Welch's t for means, Newcombe's interval and a pooled z test for
// rates). Every result that cannot be estimated from the data (too few games) is
// empty rather than a NaN.

#include <optional>
#include <span>

namespace tessarin {

// Two-sided 95 % confidence throughout.
inline constexpr double kConfidence = 0.95;
// Above this many games per batch a needed sample size is reported as out of reach.
inline constexpr long kMostGamesNeeded = 10'000'000;

struct Interval {
    double low = 0.0;
    double high = 0.0;
    bool operator==(const Interval&) const = default;
};

// The mean of one figure over n games, its sample standard deviation (n - 1 in the
// denominator), and the Student's t interval of the mean. The standard deviation and
// the interval need two games at least; with no spread the interval has zero width.
struct MeanEstimate {
    int n = 0;
    double mean = 0.0;
    std::optional<double> sd;
    std::optional<Interval> ci95;
};
MeanEstimate estimateMean(std::span<const double> values);

// Wilson's score interval of a rate of `successes` in `n` trials; [0, 1] for n = 0.
Interval wilsonInterval(int successes, int n);

// How a second batch B differs from a first batch A in one figure: the difference
// B - A, its 95 % interval, the two-sided p-value of "no difference", and how many
// games each batch would need (both of one size) for the difference seen here to be
// significant at the 5 % level, were the spreads the same. gamesNeeded is empty when
// the difference is zero or the spread unknown, and capped at kMostGamesNeeded + 1.
struct DifferenceTest {
    double difference = 0.0;
    std::optional<Interval> ci95;
    std::optional<double> pValue;
    std::optional<long> gamesNeeded;
};

// Welch's unequal-variances t test of the means. Needs two games in each batch;
// when neither batch has any spread, equal means give p = 1 and different ones p = 0.
DifferenceTest welchTest(std::span<const double> a, std::span<const double> b);

// The difference of two rates (B - A): Newcombe's hybrid score interval (from both
// Wilson intervals) and the two-sided p-value of the pooled two-proportion z test.
DifferenceTest proportionTest(int successesA, int nA, int successesB, int nB);

// The two-sided p-value of a t statistic with `df` degrees of freedom (the normal
// distribution for an infinite df).
double twoSidedTPValue(double t, double df);

}  // namespace tessarin
