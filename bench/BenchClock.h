#pragma once

#include <chrono>

// The clock of the benchmarks and the seconds between two of its readings.
namespace qv::bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

}  // namespace qv::bench
