// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "env/Platform.h"

#include <QDate>
#include <QString>
#include <QStringList>

class QTextStream;

namespace tilvo {

class Clock;

// tilvo-cli: the database maintenance of the program from a terminal or a script (scheduled
// backups), on the same code as the program.
//
//   tilvo-cli [--data DIR] backup FILE | restore FILE | import-mdb FILE | compact | update |
//             history
//   tilvo-cli [--data DIR] export FILE [--account ID | --dossier ID] [--from D --to D]
//   tilvo-cli [--data DIR] import FILE --account ID [--valid-only]
//   tilvo-cli --help
//
// Every command first makes the data ready exactly as the program's start-up does (the data
// folder, db.ini, the first-run transfer, the version check and the update scripts of the data
// folder), without asking anything, and holds the program's single-instance lock while it runs.

// The exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;         // the command failed; the message says why
inline constexpr int kExitUsage = 2;          // the arguments are wrong
inline constexpr int kExitAlreadyRunning = 3; // the program (or another tilvo-cli) is running

struct CommandLineOptions
{
    // "backup", "restore", "import-mdb", "compact", "update", "history", "export", "import";
    // empty with --help
    QString command;
    // the archive of backup and restore, the .mdb file of import-mdb, the entries file of
    // export and import
    QString file;
    QString dataFolder;
    int accountId = -1; // export and import
    int dossierId = -1; // export
    QDate from;         // export: both or neither
    QDate to;
    bool validOnly = false; // import: the valid lines even when others are refused
    bool help = false;
    QString error; // why the arguments are refused, in French
};

// The arguments without the program's name.
CommandLineOptions ParseCommandLine(const QStringList& arguments);
QString CommandLineHelp();

struct CommandLineContext
{
    QString programFolder; // the shipped files; the folder of tilvo-cli
    Platform platform;
    const Clock& clock;
    QTextStream& out;
    QTextStream& err;
    bool terminal = false; // the error output is a terminal: progress is drawn there
};

// Runs the command the arguments name. Returns the exit code.
int RunCommandLine(const QStringList& arguments, CommandLineContext& context);

} // namespace tilvo
