// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "env/Platform.h"

#include <QString>

namespace tilvo {

class Clock;
class Prompts;
class SplashDisplay;
class StartupDatabase;
class TDataModule1;
class WaitDisplay;
struct Environment;
struct Settings;

// The windows of the start-up. The program shows real ones; tests record what happens.
class StartupWindows
{
public:
    virtual ~StartupWindows() = default;
    virtual WaitDisplay& transferWait() = 0;
    virtual void showDataAccessNotice(const Environment& env) = 0;
    // The splash exists in every case; it is shown only when `visible`.
    virtual SplashDisplay& createSplash(bool visible) = 0;
    virtual void destroySplash() = 0;
    virtual void createMainWindow(Environment& env, Settings& settings, const QString& settingsPath,
                                  TDataModule1& data) = 0;
    // Runs until the main window closes.
    virtual void runMessageLoop() = 0;
};

struct StartupContext
{
    QString workingDirectory;
    QString executablePath;
    Platform platform;
    Prompts& prompts;
    const Clock& clock;
    StartupWindows& windows;
    StartupDatabase& database;
};

// The whole run: folders, single instance, configuration, first run, settings, splash,
// database and its update scripts, the main window and its message loop. Every failure ends it
// after a message. The exit code is 0 on every path.
int RunProgram(StartupContext& context);

} // namespace tilvo
