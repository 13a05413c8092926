// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DamagedDatabase.h"
#include "OdbcSandbox.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/UpdateScript.h"
#include "env/ConnectionConfig.h"
#include "env/DatabaseConfig.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// A new empty database file, any earlier file of that name removed, opened by `connection`
// on the file directly.
inline void CreateEmptyDatabase(Connection& connection, const QString& file)
{
    QFile::remove(file);
    connection.setDatabaseFile(file);
    connection.setCreateIfMissing(true);
    connection.open();
}

// An empty database file brought to the full schema by the shipped update script.
inline void MakeSchemaDatabase(const QString& file, const QString& logFolder)
{
    Connection c;
    CreateEmptyDatabase(c, file);
    UpdateEnvironment env;
    env.DataFolder = logFolder;
    const UpdateRunResult r = RunUpdateScript(c, UpdateScriptFolder(), QStringLiteral("BD_183.maj"),
                                              ProgressLabel(), false, env);
    if (r.errors != 0)
        throw Error(QStringLiteral("the shipped update script logged errors"));
}

// The database of a test case whose tests each start from the full schema. The schema is
// made once, in a master folder kept for every global data row; each test gets a copy of it
// in a folder of its own and, where it wants one, a connection to that copy.
class SchemaCopy
{
public:
    // In initTestCase: the ODBC sandbox, then the master unless an earlier row made it.
    void prepare()
    {
        OdbcSandbox::instance();
        if (!QFileInfo::exists(masterFile()))
            MakeSchemaDatabase(masterFile(), m_master.path() + u'/');
    }

    // In init: a new folder holding a copy of the master at `relativePath`, the folders on
    // the way made; false where the copy failed.
    [[nodiscard]] bool copyTo(const QString& relativePath)
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_file = folder() + relativePath;
        QDir().mkpath(QFileInfo(m_file).path());
        return QFile::copy(masterFile(), m_file);
    }

    // A connection to the copy, through an ODBC data source or on the file directly.
    void open(bool odbc)
    {
        m_connection = std::make_unique<Connection>();
        ConnectTo(*m_connection, odbc, m_file);
    }

    // In cleanup: the connection first, then the folder and the copy.
    void release()
    {
        m_connection.reset();
        m_folder.reset();
    }

    QString folder() const { return m_folder->path() + u'/'; }
    const QString& file() const { return m_file; }
    Connection& connection() { return *m_connection; }

private:
    QString masterFile() const { return m_master.path() + QStringLiteral("/schema.db"); }

    QTemporaryDir m_master;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_file;
    std::unique_ptr<Connection> m_connection;
};

// How the data module reaches a schema copy made at "Access/TILVO.MDB" of its folder, which
// is then the database folder ("Images/" beside "Access/").
inline DatabaseConfig DataModuleConfig(const SchemaCopy& db, bool odbc)
{
    DatabaseConfig c;
    c.DatabasePath = db.folder();
    c.DatabaseFolder = c.DatabasePath;
    c.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
    c.OdbcPath = c.OleDbFileName;
    c.Provider = odbc ? QStringLiteral("ODBC") : QStringLiteral("OLEDB");
    c.ActiveDatabaseFile = c.OleDbFileName;
    if (odbc && QFileInfo::exists(c.databaseFile()))
        c.OdbcName = OdbcSandbox::instance().registerFile(c.databaseFile());
    return c;
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
