// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "env/DataFolders.h"

#include <QString>

namespace tilvo {

class Prompts;
class SplashDisplay;
class TDataModule1;
struct Environment;

// What the start-up does with the database, in the order it does it.
class StartupDatabase
{
public:
    virtual ~StartupDatabase() = default;

    // Reads (or, the first time, writes) db.ini in the data folder.
    virtual void readConfig(const Environment& env) = 0;
    virtual FirstRunTarget firstRunTarget() const = 0;
    // Whether the database engine can be used; when not, its text has been shown.
    virtual bool engineAvailable(Prompts& prompts) = 0;
    // Creates the shared datasets and opens the connection; false when the engine refused it
    // (its text has been shown).
    virtual bool createDataModules(Prompts& prompts) = 0;
    virtual bool databaseFilePresent() const = 0;
    virtual QString getVersion() = 0;
    virtual void setVersion(const QString& version) = 0;
    virtual double versionNumber(const QString& version) const = 0;
    // Runs one update script of the folder, reporting its progress into the splash.
    virtual void runUpdateScript(const QString& folder, const QString& fileName,
                                 SplashDisplay& progress, bool interactive) = 0;
    virtual void updateProgramFolderDatabase(SplashDisplay& progress) = 0;
    // The shared data module the main window works with, valid once it exists.
    virtual TDataModule1& dataModule() = 0;
};

} // namespace tilvo
