// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/StartupChecks.h"
#include "env/Environment.h"
#include "env/Platform.h"
#include "env/Settings.h"

#include <QString>
#include <memory>
#include <optional>

namespace tilvo {

class Clock;
class MainFormData;
class Prompts;
class SplashDisplay;
class StartupDatabase;
class WaitDisplay;

// The windows shown while the data is made ready. The program shows real ones, the command
// line writes to the terminal, tests record what happens.
class PreparationWindows
{
public:
    virtual ~PreparationWindows() = default;
    virtual WaitDisplay& transferWait() = 0;
    virtual void showDataAccessNotice(const Environment& env) = 0;
    // The splash exists in every case; it is shown only when `visible`.
    virtual SplashDisplay& createSplash(bool visible) = 0;
    virtual void destroySplash() = 0;
};

// The windows of the start-up: those of the preparation, then the main window.
class StartupWindows : public PreparationWindows
{
public:
    virtual void createMainWindow(Environment& env, Settings& settings, const QString& settingsPath,
                                  MainFormData& data) = 0;
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

struct PreparationContext
{
    QString workingDirectory; // the program folder
    QString executablePath;   // the names derived from it (settings file, development mode)
    Platform platform;
    Prompts& prompts;
    const Clock& clock;
    PreparationWindows& windows;
    StartupDatabase& database;
    // When not empty, the data folder used instead of the one the program folder names.
    QString dataFolder;
};

// What the preparation leaves to the rest of the run.
struct PreparedRun
{
    Environment env;
    Settings settings;
    QString settingsPath;
    SplashDisplay* splash = nullptr;            // still there, for the rest of the start-up
    std::unique_ptr<SingleInstanceGuard> guard; // held until the run ends
};

// Everything the start-up does before the main window: the formats and paths, the single
// instance, the data folder, db.ini, the first-run transfer, the write check, the settings,
// the data-access check, the splash, the shared data module with its connection, the version
// check and the update scripts of the data folder. Nothing when the run must end: the person
// has been told why (a second instance, no starting database, a folder that cannot be
// written, a refused connection); `alreadyRunning`, when given, tells whether it was the
// single instance. Errors of the update scripts reach the caller.
std::optional<PreparedRun> PrepareRun(PreparationContext& context, bool* alreadyRunning = nullptr);

// The whole run: PrepareRun, then the main window and its message loop. Every failure ends
// it after a message. The exit code is 0 on every path.
int RunProgram(StartupContext& context);

} // namespace tilvo
