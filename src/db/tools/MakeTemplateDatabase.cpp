// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the template database shipped in the program folder: an empty database brought to
// the full schema by the program's own update script, with the program's version recorded.
//
//   tilvo_make_template <script> <template folder> <log folder>
//
// The template folder gets Access/TILVO.MDB and the empty Images/ and Files/ folders.
#include "common/Error.h"
#include "common/ProgramInfo.h"
#include "db/Connection.h"
#include "db/UpdateScript.h"
#include "db/VersionRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

using namespace tilvo;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr,
                     "usage: tilvo_make_template <script> <template folder> <log folder>\n");
        return 2;
    }
    const QFileInfo script(args[1]);
    const QString folder = QDir(args[2]).absolutePath() + u'/';
    const QString logFolder = QDir(args[3]).absolutePath() + u'/';
    const QString file = folder + QStringLiteral("Access/TILVO.MDB");
    const QString building = file + QStringLiteral(".new");
    for (const char* sub : {"Access", "Images", "Files"})
        QDir().mkpath(folder + QLatin1String(sub));
    QDir().mkpath(logFolder);
    QFile::remove(building);
    QFile::remove(UpdateLogPath(logFolder));

    try {
        UpdateEnvironment env;
        env.config.DatabaseFolder = folder;
        env.config.OleDbFileName = QStringLiteral("Access/TILVO.MDB.new");
        env.config.ActiveDatabaseFile = env.config.OleDbFileName;
        env.DataFolder = logFolder;
        env.ProgramVersion = QString::fromLatin1(ProgramVersion);
        UpdateRunResult result;
        {
            Connection connection;
            connection.setDatabaseFile(building);
            connection.setCreateIfMissing(true);
            connection.open();
            result = RunUpdateScript(connection, script.absolutePath() + u'/', script.fileName(),
                                     ProgressLabel(), false, env);
            if (result.errors == 0)
                SetBDVersion(connection, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE"),
                             env.ProgramVersion);
            connection.close();
        }
        if (result.errors > 0) {
            std::fprintf(stderr, "%d error(s) in %s, see %s\n", result.errors,
                         qPrintable(script.filePath()), qPrintable(UpdateLogPath(logFolder)));
            QFile::remove(building);
            return 1;
        }
        QFile::remove(file);
        if (!QFile::rename(building, file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        QFile::remove(building);
        return 1;
    }
    return 0;
}
