// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace tilvo {

struct AccountEntry;

// What the main window tells others about its statistics panel, after the panel has done its
// own work. Either may be left empty, which does nothing.
struct StatisticHooks
{
    // The panel has taken the selected account's period kind, chart kind, value kind, chart
    // colour and all-colour flag.
    std::function<void(const AccountEntry& entry)> loadAccountStatistic;
    // The statistic of the selected account has been recomputed and redrawn.
    std::function<void()> computeStatistic;
};

} // namespace tilvo
