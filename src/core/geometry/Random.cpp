#include "geometry/Random.h"

#include <cstdlib>
#include <mutex>

namespace tessarin {

namespace {

std::once_flag seedOnce;

}  // namespace

int RandomInt(int n) {
    std::call_once(seedOnce, [] { std::srand(1); });
    if (n <= 1) return 0;
    if (n == 2) return std::rand() % 112 < 56 ? 1 : 0;
    return std::rand() % n;
}

double uniform(double a, double b) {
    // Separate statements fix the draw order: r1 gives the low four digits, r2 the high four.
    const int r1 = RandomInt(10000);
    const int r2 = RandomInt(10000);
    return a + (b - a) * (r1 + 10000.0 * r2) / 100000000.0;
}

}  // namespace tessarin
