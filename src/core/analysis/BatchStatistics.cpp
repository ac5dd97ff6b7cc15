#include "analysis/BatchStatistics.h"

#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <limits>

namespace tessarin {

namespace {

// Beyond this many degrees of freedom Student's t is the normal distribution to every
// digit we print, and Boost's t is slow to converge.
constexpr double kNormalDf = 1e7;

double normalQuantile(double p) { return boost::math::quantile(boost::math::normal_distribution<double>(), p); }

// The quantile of the two-sided interval: t with `df` degrees of freedom at 97.5 %.
double criticalT(double df) {
    const double p = 0.5 + kConfidence / 2.0;
    if (!std::isfinite(df) || df > kNormalDf) return normalQuantile(p);
    return boost::math::quantile(boost::math::students_t_distribution<double>(df), p);
}

double zCritical() { return normalQuantile(0.5 + kConfidence / 2.0); }

double mean(std::span<const double> v) {
    double sum = 0.0;
    for (double x : v) sum += x;
    return sum / static_cast<double>(v.size());
}

// Sample variance (n - 1); the caller makes sure there are two values at least.
double sampleVariance(std::span<const double> v, double m) {
    double sum = 0.0;
    for (double x : v) sum += (x - m) * (x - m);
    return sum / static_cast<double>(v.size() - 1);
}

double twoSidedNormalPValue(double z) {
    return 2.0 * boost::math::cdf(boost::math::complement(boost::math::normal_distribution<double>(), std::fabs(z)));
}

// Smallest n per batch at which |d| / sqrt((va + vb) / n) exceeds the t quantile of the
// Welch degrees of freedom for two batches of n games with these variances.
std::optional<long> welchGamesNeeded(double d, double va, double vb) {
    if (d == 0.0) return std::nullopt;
    const double v = va + vb;
    if (v == 0.0) return 2L;
    const double z = zCritical();
    const double start = std::ceil(z * z * v / (d * d));
    if (start > static_cast<double>(kMostGamesNeeded)) return kMostGamesNeeded + 1;
    for (long n = std::max(2L, static_cast<long>(start));; ++n) {
        if (n > kMostGamesNeeded) return kMostGamesNeeded + 1;
        const double nd = static_cast<double>(n);
        const double df = (nd - 1.0) * v * v / (va * va + vb * vb);
        if (std::fabs(d) / std::sqrt(v / nd) > criticalT(df)) return n;
    }
}

}  // namespace

double twoSidedTPValue(double t, double df) {
    if (std::isnan(t)) return 1.0;
    if (std::isinf(t)) return 0.0;
    if (!std::isfinite(df) || df > kNormalDf) return twoSidedNormalPValue(t);
    const boost::math::students_t_distribution<double> dist(df);
    return 2.0 * boost::math::cdf(boost::math::complement(dist, std::fabs(t)));
}

MeanEstimate estimateMean(std::span<const double> values) {
    MeanEstimate e;
    e.n = static_cast<int>(values.size());
    if (values.empty()) return e;
    e.mean = mean(values);
    if (values.size() < 2) return e;
    const double sd = std::sqrt(sampleVariance(values, e.mean));
    e.sd = sd;
    const double half = criticalT(static_cast<double>(values.size() - 1)) * sd / std::sqrt(static_cast<double>(e.n));
    e.ci95 = Interval{e.mean - half, e.mean + half};
    return e;
}

Interval wilsonInterval(int successes, int n) {
    if (n <= 0) return {0.0, 1.0};
    const double z = zCritical();
    const double nd = static_cast<double>(n);
    const double p = std::clamp(static_cast<double>(successes) / nd, 0.0, 1.0);
    const double denominator = 1.0 + z * z / nd;
    const double centre = (p + z * z / (2.0 * nd)) / denominator;
    const double half = z / denominator * std::sqrt(p * (1.0 - p) / nd + z * z / (4.0 * nd * nd));
    // The exact ends for 0 and n successes; rounding would otherwise leave 1e-17 off.
    const double low = successes <= 0 ? 0.0 : std::max(0.0, centre - half);
    const double high = successes >= n ? 1.0 : std::min(1.0, centre + half);
    return {low, high};
}

DifferenceTest welchTest(std::span<const double> a, std::span<const double> b) {
    DifferenceTest r;
    if (a.empty() || b.empty()) return r;
    const double ma = mean(a);
    const double mb = mean(b);
    r.difference = mb - ma;
    if (a.size() < 2 || b.size() < 2) return r;
    const double va = sampleVariance(a, ma);
    const double vb = sampleVariance(b, mb);
    const double sa = va / static_cast<double>(a.size());
    const double sb = vb / static_cast<double>(b.size());
    const double se = std::sqrt(sa + sb);
    r.gamesNeeded = welchGamesNeeded(r.difference, va, vb);
    if (se == 0.0) {
        // Every game of each batch alike: the means are known exactly.
        r.pValue = r.difference == 0.0 ? 1.0 : 0.0;
        r.ci95 = Interval{r.difference, r.difference};
        return r;
    }
    // Welch-Satterthwaite; a batch without spread adds nothing to the denominator.
    const double df = (sa + sb) * (sa + sb) /
                      (sa * sa / static_cast<double>(a.size() - 1) + sb * sb / static_cast<double>(b.size() - 1));
    const double t = r.difference / se;
    r.pValue = twoSidedTPValue(t, df);
    const double half = criticalT(df) * se;
    r.ci95 = Interval{r.difference - half, r.difference + half};
    return r;
}

DifferenceTest proportionTest(int successesA, int nA, int successesB, int nB) {
    DifferenceTest r;
    if (nA <= 0 || nB <= 0) return r;
    const double pa = static_cast<double>(successesA) / nA;
    const double pb = static_cast<double>(successesB) / nB;
    r.difference = pb - pa;
    const Interval wa = wilsonInterval(successesA, nA);
    const Interval wb = wilsonInterval(successesB, nB);
    // Newcombe's hybrid score interval for pb - pa.
    r.ci95 = Interval{r.difference - std::sqrt((pb - wb.low) * (pb - wb.low) + (wa.high - pa) * (wa.high - pa)),
                      r.difference + std::sqrt((wb.high - pb) * (wb.high - pb) + (pa - wa.low) * (pa - wa.low))};
    const double pooled = static_cast<double>(successesA + successesB) / (nA + nB);
    const double se = std::sqrt(pooled * (1.0 - pooled) * (1.0 / nA + 1.0 / nB));
    if (se == 0.0) {
        // Both batches all successes or all failures: no difference at all.
        r.pValue = 1.0;
    } else {
        r.pValue = twoSidedNormalPValue(r.difference / se);
    }
    if (r.difference != 0.0) {
        const double pbar = (pa + pb) / 2.0;
        const double z = zCritical();
        const double n = z * z * 2.0 * pbar * (1.0 - pbar) / (r.difference * r.difference);
        r.gamesNeeded = n >= static_cast<double>(kMostGamesNeeded) ? kMostGamesNeeded + 1
                                                                   : std::max(1L, static_cast<long>(std::floor(n)) + 1);
    }
    return r;
}

}  // namespace tessarin
