// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/FieldType.h"
#include "env/DatabaseConfig.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace tilvo {

class Clock;
class Connection;
class ScriptPictures;

// The windows of an update run: the gauge window (TNewGauge: its `info` label and its bar)
// and the backup question. The program binds them to windows; tests record them.
class UpdateDisplay
{
public:
    virtual ~UpdateDisplay() = default;
    virtual void showGauge() = 0;
    virtual void setGaugeInfo(const QString& text) = 0;
    virtual void setGauge(int position, int maximum) = 0;
    virtual void closeGauge() = 0;
    // "Oui" gives true. Asked once per interactive run.
    virtual bool askBackup(const QString& question) = 0;
    // Lets pending window messages run so the windows repaint.
    virtual void processEvents() = 0;
};

// The optional progress label of a run (the splash's `info`, a wait window's task text).
using ProgressLabel = std::function<void(const QString& text)>;

// The catalogue lookup (LookupText of common/TextCatalogue.h): section, key, default text.
using TextLookup =
    std::function<QString(const QString& section, const QString& key, const QString& text)>;

// What a run needs besides its connection. Folders end with "/".
struct UpdateEnvironment
{
    DatabaseConfig config;  // DatabaseFolder, ActiveDatabaseFile, OleDbFileName, OleDbProvider
    QString DataFolder;     // Maj.Log and the backups under "Backup/Maj/"
    QString ProgramFolder;  // for UpdateProgramFolderDatabase
    QString ProgramVersion; // "1.83"
    QString UpdateFileName; // "BD_183.maj"
    const Clock* clock = nullptr;       // the process clock when null
    UpdateDisplay* display = nullptr;   // no windows when null (and no backup question)
    TextLookup lookupText;              // the default texts when empty
    ScriptPictures* pictures = nullptr; // the picture commands log an error without it
};

struct UpdateRunResult
{
    int linesRun = 0;          // lines processed (skipped ones excluded)
    int errors = 0;            // commands and conditions that logged an error
    bool backupFailed = false; // the backup asked for failed: nothing was run or deleted
};

// The update log beside the data: DataFolder + "Maj.Log".
QString UpdateLogPath(const QString& dataFolder);

// Needs: the connection the script runs on (open), the script's folder and file name, an
// optional progress label, whether the run is interactive (backup question, script deleted at
// the end) and the environment. Runs the script line by line and logs every step to Maj.Log;
// the conversion commands are those of ScriptConversions.h.
// A command's failure is logged and the run goes on; a condition whose own test fails is
// logged and skips to END. Returns what happened; errors of the engine never escape, only a
// script that cannot be read, or a damaged database (Connection::checkIntegrity, logged; the
// script then runs no line and stays), throws Error.
UpdateRunResult RunUpdateScript(Connection& connection, const QString& folder,
                                const QString& fileName, const ProgressLabel& progressLabel,
                                bool interactive, const UpdateEnvironment& environment);

// Needs the environment (ProgramFolder, ProgramVersion, UpdateFileName, OleDbFileName,
// OleDbProvider). Brings ProgramFolder + "Data/" + OleDbFileName, when it exists, is no Jet file
// of the earlier platform and this user may write it, up to the
// program's version with ProgramFolder + "Maj/" + UpdateFileName on a connection of its own,
// then stores the program's version in it. Returns nothing.
void UpdateProgramFolderDatabase(const UpdateEnvironment& environment);

// Needs an open connection and the environment (ProgramFolder, ProgramVersion, UpdateFileName).
// When the database's version record is older than ProgramVersion and ProgramFolder + "Maj/" +
// UpdateFileName exists, runs that script (not interactive) and stores ProgramVersion. Returns
// the version the database had before ("0" when it had none).
QString BringUpToProgramVersion(Connection& connection, const UpdateEnvironment& environment,
                                const ProgressLabel& progressLabel);

// Appends one line to the log: "dd/mm/yyyy-hh:mm:ss : message", or an empty line for an
// empty message; a log whose last line has no line end gets one first. The file keeps its encoding
// (Windows-1252 unless it is already UTF-8).
void AppendLogLine(const QString& logPath, const QString& message, const Clock& clock);

// The index of the next line from `position` on whose first three characters, upper-cased,
// are "END"; lines.size() when there is none.
int SkipToEnd(const QStringList& lines, int position);

} // namespace tilvo
