// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

class Prompts;
class WaitDisplay;
struct Environment;
struct Platform;

// Decides where the data folder lies (directories.ini, development mode, a removable
// drive, or a folder under the user's documents), creates it with its warning file and
// its sub-folders, and sets env.DataFolder.
void PrepareDataFolder(Environment& env, const Platform& platform);

// Copies a shipped file into the data folder when the data folder has none; the first of
// the program folder, its "Ressources/DB/" and its "Maj/" that holds it gives it.
void FetchMissingFile(const Environment& env, const QString& name);

// Where the first-run transfer puts the starting database.
struct FirstRunTarget
{
    QString databaseFolder;     // with a final "/"
    QString activeDatabaseFile; // the file under a source folder, e.g. "Access/TILVO.MDB"
    QString oleDbFileName;      // the file under the database folder
};

// On the first run, puts a starting database into the database folder: taken over from an
// older installation that kept its data in the program folder, or the shipped template.
// Then fetches SortList.def and the settings file. False only when no starting database
// exists anywhere (the person has then been told).
bool TransferOnFirstRun(const Environment& env, const FirstRunTarget& target,
                        const QString& settingsFileName, Prompts& prompts, WaitDisplay& wait);

QString BaseFolderWarning();
QString DataFolderWarning();

} // namespace tilvo
