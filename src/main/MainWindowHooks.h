// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace tilvo {

// What the account and entry actions ask of the main window once the data has changed. Each
// hook may be left empty; it is then skipped.
struct MainWindowHooks
{
    // Recomputes and redraws the selected account's statistic.
    std::function<void()> ComputeStatistic;
    // Rebuilds the list entry of one account (its counter, title, codes).
    std::function<void(int accountId)> RefreshAccountEntry;
    // Rebuilds the account list and makes the account with this id current (-1: the first).
    std::function<void(int accountId)> RebuildAccountList;
    // Makes the account of the list's current row the selected one.
    std::function<void()> SelectCurrentAccount;
    // The enabling pass.
    std::function<void()> RefreshCommands;
};

// Runs a hook when it is set.
template <typename Hook, typename... Args> void CallHook(const Hook& hook, Args... args)
{
    if (hook)
        hook(args...);
}

// The enabling pass after an action failed, before its error goes on to be shown: the window
// then offers what the database was left with. An error of the pass itself is dropped, so
// that the action's error is the one shown.
inline void RefreshCommandsAfterFailure(const MainWindowHooks& hooks) noexcept
{
    try {
        CallHook(hooks.RefreshCommands);
    } catch (...) {
    }
}

} // namespace tilvo
