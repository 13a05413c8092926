// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "OdbcSandbox.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/UpdateScript.h"
#include "env/ConnectionConfig.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace tilvo::test {

// The global data table of a test case whose every test runs through both providers.
inline void AddProviderRows()
{
    QTest::addColumn<bool>("odbc");
    QTest::newRow("sqlite") << false;
    QTest::newRow("odbc") << true;
}

inline void ConnectTo(Connection& connection, bool odbc, const QString& file)
{
    if (odbc)
        connection.setOdbcDataSource(OdbcSandbox::instance().registerFile(file));
    else
        connection.setDatabaseFile(file);
    connection.setBusyTimeout(0);
    connection.open();
}

inline QString SourceFolder()
{
    return QStringLiteral(TILVO_SOURCE_DIR) + u'/';
}

inline QString UpdateScriptFolder()
{
    return SourceFolder() + QStringLiteral("shipped/Maj/");
}

// An empty database file brought to the full schema by the shipped update script.
inline void MakeSchemaDatabase(const QString& file, const QString& logFolder)
{
    QFile::remove(file);
    Connection c;
    c.setDatabaseFile(file);
    c.setCreateIfMissing(true);
    c.open();
    UpdateEnvironment env;
    env.DataFolder = logFolder;
    const UpdateRunResult r = RunUpdateScript(c, UpdateScriptFolder(), QStringLiteral("BD_183.maj"),
                                              ProgressLabel(), false, env);
    if (r.errors != 0)
        throw Error(QStringLiteral("the shipped update script logged errors"));
}

inline QByteArray FileDigest(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// One statement run on the file directly, without the program's translation.
inline QVariant RawScalar(const QString& file, const QString& sql)
{
    QVariant value;
    {
        Connection c;
        c.setDatabaseFile(file);
        c.open();
        QSqlQuery q(c.database());
        if (q.exec(sql) && q.next())
            value = q.value(0);
    }
    return value;
}

} // namespace tilvo::test
