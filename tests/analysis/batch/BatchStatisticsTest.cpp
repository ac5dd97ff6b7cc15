// Estimates and tests over batches of games. The expected values were computed apart
// from this code: Wilson's and Newcombe's intervals are the worked examples of
// Newcombe (1998), the t figures come from a numerical integration of Student's t
// density in Python's standard library.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/BatchStatistics.h"

namespace tessarin {
namespace {

TEST(BatchStatistics, WilsonIntervalsMatchWorkedExamples) {
    const Interval none = wilsonInterval(0, 10);
    EXPECT_EQ(none.low, 0.0);
    EXPECT_NEAR(none.high, 0.277533, 1e-6);
    const Interval all = wilsonInterval(10, 10);
    EXPECT_NEAR(all.low, 1.0 - 0.277533, 1e-6);
    EXPECT_EQ(all.high, 1.0);
    const Interval some = wilsonInterval(81, 263);
    EXPECT_NEAR(some.low, 0.255289, 1e-6);
    EXPECT_NEAR(some.high, 0.366210, 1e-6);
    // Nothing known about a rate of no games.
    EXPECT_EQ(wilsonInterval(0, 0), (Interval{0.0, 1.0}));
}

TEST(BatchStatistics, MeanIntervalIsStudentsT) {
    const std::vector<double> v = {1, 2, 3, 4, 5};
    const MeanEstimate e = estimateMean(v);
    EXPECT_EQ(e.n, 5);
    EXPECT_DOUBLE_EQ(e.mean, 3.0);
    ASSERT_TRUE(e.sd && e.ci95);
    EXPECT_NEAR(*e.sd, std::sqrt(2.5), 1e-12);
    EXPECT_NEAR(e.ci95->low, 1.036757, 1e-6);
    EXPECT_NEAR(e.ci95->high, 4.963243, 1e-6);

    // Games all alike: a zero-width interval, not a NaN.
    const std::vector<double> same = {-3, -3};
    const MeanEstimate s = estimateMean(same);
    ASSERT_TRUE(s.ci95);
    EXPECT_EQ(*s.ci95, (Interval{-3.0, -3.0}));

    // One game has a mean but no spread; none has nothing.
    const std::vector<double> one = {2};
    EXPECT_FALSE(estimateMean(one).ci95);
    EXPECT_DOUBLE_EQ(estimateMean(one).mean, 2.0);
    EXPECT_EQ(estimateMean({}).n, 0);
}

TEST(BatchStatistics, WelchTestMatchesIndependentValues) {
    const std::vector<double> a = {1, 2, 3, 4, 5};
    const std::vector<double> b = {2, 4, 6, 8, 10, 12};
    const DifferenceTest t = welchTest(a, b);
    EXPECT_DOUBLE_EQ(t.difference, 4.0);
    ASSERT_TRUE(t.pValue && t.ci95);
    EXPECT_NEAR(*t.pValue, 0.049284, 1e-5);
    EXPECT_NEAR(t.ci95->low, 0.016531, 1e-5);
    EXPECT_NEAR(t.ci95->high, 7.983469, 1e-5);
    // With these spreads, six games a batch make a difference of 4 significant
    // (t = 2.412 against 2.384 at 6.73 degrees of freedom), five do not.
    EXPECT_EQ(t.gamesNeeded, 6);
    // Swapping the batches swaps the sign and nothing else.
    const DifferenceTest back = welchTest(b, a);
    EXPECT_DOUBLE_EQ(back.difference, -4.0);
    EXPECT_NEAR(*back.pValue, *t.pValue, 1e-12);
}

TEST(BatchStatistics, WelchTestWithoutSpreadOrWithTooFewGames) {
    const std::vector<double> twos = {2, 2, 2};
    const std::vector<double> otherTwos = {2, 2};
    const std::vector<double> threes = {3, 3, 3, 3};
    const DifferenceTest equal = welchTest(twos, otherTwos);
    EXPECT_EQ(equal.pValue, 1.0);
    EXPECT_EQ(equal.ci95, (Interval{0.0, 0.0}));
    EXPECT_FALSE(equal.gamesNeeded) << "no number of games makes no difference significant";
    const DifferenceTest different = welchTest(twos, threes);
    EXPECT_EQ(different.pValue, 0.0);
    EXPECT_EQ(different.ci95, (Interval{1.0, 1.0}));
    EXPECT_EQ(different.gamesNeeded, 2);

    // A batch with spread against one without: the spread of the one decides.
    const std::vector<double> spread = {1, 2, 3, 4, 5};
    const DifferenceTest mixed = welchTest(spread, threes);
    ASSERT_TRUE(mixed.pValue);
    EXPECT_FALSE(std::isnan(*mixed.pValue));
    EXPECT_NEAR(*mixed.pValue, 1.0, 1e-12);

    // The same games on both sides: no difference at all.
    const DifferenceTest self = welchTest(spread, spread);
    EXPECT_NEAR(*self.pValue, 1.0, 1e-12);

    // One game gives no spread to test against.
    const std::vector<double> one = {7};
    EXPECT_FALSE(welchTest(one, spread).pValue);
    EXPECT_FALSE(welchTest({}, spread).pValue);
}

TEST(BatchStatistics, ProportionTestIsNewcombesIntervalAndPooledZ) {
    // B = 56/70 against A = 48/80.
    const DifferenceTest t = proportionTest(48, 80, 56, 70);
    EXPECT_NEAR(t.difference, 0.2, 1e-12);
    ASSERT_TRUE(t.ci95 && t.pValue);
    EXPECT_NEAR(t.ci95->low, 0.052431, 1e-6);
    EXPECT_NEAR(t.ci95->high, 0.333873, 1e-6);
    EXPECT_NEAR(*t.pValue, 0.008045, 1e-6);
    // z^2 * 2 * 0.7 * 0.3 / 0.2^2 = 40.3: 41 games a batch.
    EXPECT_EQ(t.gamesNeeded, 41);

    // All losses on both sides, or all wins: identical, p = 1.
    EXPECT_EQ(proportionTest(0, 10, 0, 12).pValue, 1.0);
    EXPECT_EQ(proportionTest(5, 5, 9, 9).pValue, 1.0);
    // All losses against all wins: as far apart as rates go.
    const DifferenceTest extreme = proportionTest(0, 10, 10, 10);
    EXPECT_LT(*extreme.pValue, 1e-4);
    EXPECT_GT(extreme.ci95->low, 0.5);
    EXPECT_LE(extreme.ci95->high, 1.0);
    EXPECT_FALSE(proportionTest(0, 0, 3, 4).pValue);
}

TEST(BatchStatistics, TwoSidedPValueAtTheEdges) {
    EXPECT_DOUBLE_EQ(twoSidedTPValue(0.0, 5.0), 1.0);
    EXPECT_EQ(twoSidedTPValue(INFINITY, 5.0), 0.0);
    // Very many degrees of freedom: the normal distribution.
    EXPECT_NEAR(twoSidedTPValue(1.959964, 1e12), 0.05, 1e-6);
    EXPECT_NEAR(twoSidedTPValue(2.776445, 4.0), 0.05, 1e-6);
}

}  // namespace
}  // namespace tessarin
