#pragma once

// The program's uniform random numbers. They come from the C library generator (std::rand),
// which is seeded with 1 on the first use, so every run draws the same sequence. The seeding
// is thread-safe; std::rand itself need not be, so draw from one thread at a time.

namespace tessarin {

// A value in [0, n) for n > 2; for n = 2, 1 or 0 with equal odds (from rand() % 112);
// 0 without drawing for n <= 1.
int RandomInt(int n);
// A value in [a, b) in steps of (b - a) / 10^8, built from two draws of RandomInt(10000).
double uniform(double a, double b);

}  // namespace tessarin
