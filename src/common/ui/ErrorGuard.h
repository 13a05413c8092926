// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <functional>

namespace tilvo {

class Prompts;

// Runs an event handler; an error it raises is shown with its own text (the general error
// display) and the program goes back to its message loop. Returns false when it failed.
bool RunGuarded(Prompts& prompts, const std::function<void()>& handler);

// Where the application's safety net below shows an error.
void SetErrorDisplay(Prompts* prompts);

// The last safety net: an exception that escaped a handler is shown there and stops at the
// event it came from instead of crossing the event loop.
class GuardedApplication final : public QApplication
{
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace tilvo
