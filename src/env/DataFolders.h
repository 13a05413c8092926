// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace tilvo {

class Prompts;
class WaitDisplay;
struct Environment;
struct Platform;

// Decides where the data folder lies (directories.ini, development mode, a removable
// drive, or a folder under the user's documents), creates it with its warning file and
// its sub-folders, and sets env.DataFolder.
void PrepareDataFolder(Environment& env, const Platform& platform);
// The same with the data folder given (the command line's --data): it is created, with its
// warning file, when it does not exist, and gets its sub-folders. A relative folder is taken
// from the current directory.
void UseDataFolder(Environment& env, const QString& folder);

// Copies a shipped file into the data folder when the data folder has none; the first of
// the program folder, its "Ressources/DB/" and its "Maj/" that holds it gives it.
void FetchMissingFile(const Environment& env, const QString& name);

// Where the first-run transfer puts the starting database.
struct FirstRunTarget
{
    FirstRunTarget() = default;
    FirstRunTarget(QString folder, QString activeFile, QString oleDbFile)
        : databaseFolder(std::move(folder)), activeDatabaseFile(std::move(activeFile)),
          oleDbFileName(std::move(oleDbFile))
    {}

    QString databaseFolder;     // with a final "/"
    QString activeDatabaseFile; // the file under a source folder, e.g. "Access/TILVO.MDB"
    QString oleDbFileName;      // the file under the database folder
    // Where a compaction moves the live database file while it works ("Access/TILVO~.MDB"
    // under the database folder); empty when unknown.
    QString movedAsideFile;
    // Checks a database file: empty when it is a sound database, else what is wrong with it.
    // Without it a moved-aside file is never put back.
    std::function<QString(const QString& path)> checkDatabase;
};

// On the first run, puts a starting database into the database folder: taken over from an
// older installation that kept its data in the program folder, or the shipped template,
// copied under a temporary name and then renamed, so that a half-copied file never counts as
// the database. A live file missing beside a moved-aside one (an interrupted compaction) is no
// first run: the moved-aside file, once checked, takes the live name back, and the person is
// told; when it cannot, the person is told what was found and nothing is installed.
// Then fetches SortList.def and the settings file. False when no starting database exists
// anywhere or a moved-aside one cannot be put back (the person has then been told).
bool TransferOnFirstRun(const Environment& env, const FirstRunTarget& target,
                        const QString& settingsFileName, Prompts& prompts, WaitDisplay& wait);

QString BaseFolderWarning();
QString DataFolderWarning();

} // namespace tilvo
