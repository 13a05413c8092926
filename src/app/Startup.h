// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/StartupChecks.h"
#include "env/Environment.h"
#include "env/Platform.h"
#include "env/Settings.h"

#include <QString>
#include <memory>

namespace tilvo {

class Clock;
class Prompts;
class SplashDisplay;
class StartupDatabase;
class TDataModule1;
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

enum class PreparationOutcome
{
    Ready,             // the rest of the run can go on
    AlreadyRunning,    // another instance holds the lock (the person has been told)
    Stopped,           // the person has been told why (no starting database, no writing)
    ConnectionRefused, // the engine refused the database (its text has been shown)
};

// What the preparation leaves to the rest of the run. The lock is held as long as it lives,
// whatever the outcome.
struct PreparedRun
{
    PreparationOutcome outcome = PreparationOutcome::Stopped;
    Environment env;
    Settings settings;
    QString settingsPath;
    SplashDisplay* splash = nullptr;            // still there after Ready
    std::unique_ptr<SingleInstanceGuard> guard; // held until the run ends
};

// Everything the start-up does before the main window: the formats and paths, the single
// instance, the data folder, db.ini, the first-run transfer, the write check, the settings,
// the data-access check, the splash, the shared data module with its connection, the version
// check and the update scripts of the data folder. Stops at the first failure, having told
// the person why, except for a refused connection: the engine's text has been shown, the
// splash is gone, and what to say then is the caller's. Errors of the update scripts reach
// the caller.
PreparedRun PrepareRun(PreparationContext& context);

// The message that ends the start-up when the database cannot be reached.
QString ConnectionFailureMessage();

// The whole run: PrepareRun, then the main window and its message loop. Every failure ends
// it after a message. The exit code is 0 on every path.
int RunProgram(StartupContext& context);

} // namespace tilvo
