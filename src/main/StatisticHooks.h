// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace tilvo {

struct AccountEntry;

// Where the main window reaches the statistics panel. Either may be left empty, which does
// nothing.
struct StatisticHooks
{
    // Hands the selected account's period kind, chart kind, value kind, chart colour and
    // all-colour flag to the statistics panel.
    std::function<void(const AccountEntry& entry)> loadAccountStatistic;
    // Recomputes the statistic of the selected account for the current period and redraws it.
    std::function<void()> computeStatistic;
};

} // namespace tilvo
