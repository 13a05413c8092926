// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace tilvo::bench {

using SteadyClock = std::chrono::steady_clock;

inline double Milliseconds(SteadyClock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace tilvo::bench
