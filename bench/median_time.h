// The time a piece of work takes, as the middle of several runs: one slow run (a page fault,
// the scheduler) does not move it.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

inline double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(msSince(start));
    }
    return median(times);
}

// How a figure stands against its target, in a bench's report.
inline const char* verdict(bool met) { return met ? "met" : "NOT MET"; }

}  // namespace bench
