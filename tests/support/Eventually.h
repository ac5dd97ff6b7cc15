#pragma once

// Waiting for a condition instead of for a time: tests poll what they expect, with a
// generous bound, so that a slow machine (or a sanitizer) only makes them slower.

#include <chrono>
#include <functional>
#include <thread>

namespace tessarin::test {

// True as soon as `condition` holds, false once `limit` has passed without it. Between
// two looks `between` runs (the GUI tests pump their event loop there); by default the
// thread sleeps a moment.
inline bool eventually(
    const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(5),
    const std::function<void()>& between = [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); }) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        between();
    }
    return true;
}

}  // namespace tessarin::test
