// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/IniFile.h"
#include "db/OdbcSandbox.h"
#include "env/ConnectionConfig.h"
#include "env/DatabaseConfig.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

class TestConnectionConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void emptyDataFolderGetsTheSevenDefaults();
    void shippedDbIniIsFetchedAndUsed();
    void databasePath_data();
    void databasePath();
    void existingDbIniIsNeverRewritten();
    void activeFileFollowsTheProvider_data();
    void activeFileFollowsTheProvider();
    void odbcDataSourcePointsAtOdbcPath();
    void registerDataSourceNeedsTheFile();
    void registerDataSourceFallsBackToTheUsersFile();
    void engineIsAvailable();

private:
    DatabaseConfig read(QStringList* fetched = nullptr);
    QString folder() const { return m_dir->path() + u'/'; }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestConnectionConfig::initTestCase()
{
    OdbcSandbox::instance();
}

void TestConnectionConfig::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

DatabaseConfig TestConnectionConfig::read(QStringList* fetched)
{
    return ReadDatabaseConfig(folder(), folder(), QStringLiteral("Data/"),
                              QStringLiteral("Access/"), QStringLiteral("TILVO.MDB"),
                              QStringLiteral("ZEMBRALIK_TILVO"), [fetched](const QString& name) {
                                  if (fetched)
                                      fetched->append(name);
                              });
}

void TestConnectionConfig::emptyDataFolderGetsTheSevenDefaults()
{
    QStringList fetched;
    const DatabaseConfig c = read(&fetched);
    QCOMPARE(fetched, QStringList({"db.ini"}));
    QCOMPARE(c.Provider, QStringLiteral("OLEDB"));
    QCOMPARE(c.OdbcDriver, QStringLiteral("SQLite3"));
    QCOMPARE(c.DatabaseFolder, folder() + QStringLiteral("Data/"));
    QCOMPARE(c.ActiveDatabaseFile, QStringLiteral("Access/TILVO.MDB"));
    QCOMPARE(c.databaseFile(), folder() + QStringLiteral("Data/Access/TILVO.MDB"));
    const IniFile ini(folder() + QStringLiteral("db.ini"));
    QVERIFY(ini.existed());
    QCOMPARE(ini.sections(), QStringList({"DataBase", "ODBC", "OLEDB"}));
    QCOMPARE(ini.keys(QStringLiteral("DataBase")), QStringList({"Provider", "Path"}));
    QCOMPARE(ini.keys(QStringLiteral("ODBC")), QStringList({"Name", "Driver", "Path"}));
    QCOMPARE(ini.keys(QStringLiteral("OLEDB")), QStringList({"Provider", "FileName"}));
    QCOMPARE(ini.readString(QStringLiteral("DataBase"), QStringLiteral("Path")),
             QStringLiteral("Data/"));
    QCOMPARE(ini.readString(QStringLiteral("ODBC"), QStringLiteral("Name")),
             QStringLiteral("ZEMBRALIK_TILVO"));
    QCOMPARE(ini.readString(QStringLiteral("ODBC"), QStringLiteral("Path")),
             QStringLiteral("Access/TILVO.MDB"));
    QCOMPARE(ini.readString(QStringLiteral("OLEDB"), QStringLiteral("Provider")),
             QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    QCOMPARE(ini.readString(QStringLiteral("OLEDB"), QStringLiteral("FileName")),
             QStringLiteral("Access/TILVO.MDB"));
    QVERIFY(!DatabaseFilePresent(c));
}

void TestConnectionConfig::shippedDbIniIsFetchedAndUsed()
{
    const DatabaseConfig c =
        ReadDatabaseConfig(folder(), folder(), QStringLiteral("Data/"), QStringLiteral("Access/"),
                           QStringLiteral("TILVO.MDB"), QStringLiteral("ZEMBRALIK_TILVO"),
                           [this](const QString& name) {
                               WriteFile(folder() + name, "[DataBase]\r\nPath=/srv/tilvo\r\n");
                           });
    QCOMPARE(c.DatabaseFolder, QStringLiteral("/srv/tilvo/"));
    QCOMPARE(ReadFile(folder() + QStringLiteral("db.ini")),
             QByteArray("[DataBase]\r\nPath=/srv/tilvo\r\n"));
}

void TestConnectionConfig::databasePath_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("folder"); // "@" stands for the data folder
    QTest::newRow("default") << QByteArray("[DataBase]\r\nPath=Data\\\r\n") << "@Data/";
    QTest::newRow("other case is a folder of its own")
        << QByteArray("[DataBase]\r\nPath=data\\\r\n") << "data/";
    QTest::newRow("absolute without final slash")
        << QByteArray("[DataBase]\r\nPath=/srv/db\r\n") << "/srv/db/";
    QTest::newRow("absolute with final slash")
        << QByteArray("[DataBase]\r\nPath=/srv/db/\r\n") << "/srv/db/";
}

void TestConnectionConfig::databasePath()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, folder);
    WriteFile(this->folder() + QStringLiteral("db.ini"), ini);
    folder.replace(u'@', this->folder());
    QCOMPARE(read().DatabaseFolder, folder);
}

void TestConnectionConfig::existingDbIniIsNeverRewritten()
{
    const QByteArray ini("; written by hand\r\n[ODBC]\r\nName=AUTRE\r\n");
    WriteFile(folder() + QStringLiteral("db.ini"), ini);
    const DatabaseConfig c = read();
    QCOMPARE(c.OdbcName, QStringLiteral("AUTRE"));
    QCOMPARE(c.Provider, QStringLiteral("OLEDB"));
    QCOMPARE(c.OleDbFileName, QStringLiteral("Access/TILVO.MDB"));
    QCOMPARE(ReadFile(folder() + QStringLiteral("db.ini")), ini);
}

void TestConnectionConfig::activeFileFollowsTheProvider_data()
{
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("active");
    QTest::newRow("OLEDB") << "OLEDB"
                           << "Access/OLE.MDB";
    QTest::newRow("ODBC") << "ODBC"
                          << "Access/ODBC.MDB";
    QTest::newRow("other case") << "odbc"
                                << "";
    QTest::newRow("unknown") << "ADO"
                             << "";
}

void TestConnectionConfig::activeFileFollowsTheProvider()
{
    QFETCH(QString, provider);
    QFETCH(QString, active);
    WriteFile(folder() + QStringLiteral("db.ini"),
              ("[DataBase]\r\nProvider=" + provider.toUtf8() +
               "\r\n[ODBC]\r\nPath=Access\\ODBC.MDB\r\n[OLEDB]\r\nFileName=Access\\OLE.MDB\r\n"));
    QCOMPARE(read().ActiveDatabaseFile, active);
}

void TestConnectionConfig::odbcDataSourcePointsAtOdbcPath()
{
    WriteFile(folder() + QStringLiteral("db.ini"),
              "[DataBase]\r\nProvider=ODBC\r\n[ODBC]\r\nName=TILVO_CONFIG_TEST\r\n"
              "Path=Access/ODBC.MDB\r\n");
    WriteFile(folder() + QStringLiteral("Data/Access/ODBC.MDB"), QByteArray());
    const DatabaseConfig c = read();
    // The presence test still looks for OleDbFileName.
    QVERIFY(!DatabaseFilePresent(c));
    const IniFile sources(OdbcSandbox::instance().folder() + QStringLiteral("odbc.ini"));
    QCOMPARE(sources.readString(QStringLiteral("TILVO_CONFIG_TEST"), QStringLiteral("Driver")),
             QStringLiteral("SQLite3"));
    QCOMPARE(sources.readString(QStringLiteral("TILVO_CONFIG_TEST"), QStringLiteral("Database")),
             folder() + QStringLiteral("Data/Access/ODBC.MDB"));
}

void TestConnectionConfig::registerDataSourceNeedsTheFile()
{
    const QByteArray before =
        ReadFile(OdbcSandbox::instance().folder() + QStringLiteral("odbc.ini"));
    QVERIFY(!RegisterDataSource(QStringLiteral("TILVO_NO_FILE"), QStringLiteral("SQLite3"),
                                folder() + QStringLiteral("none.mdb")));
    QCOMPARE(ReadFile(OdbcSandbox::instance().folder() + QStringLiteral("odbc.ini")), before);
}

void TestConnectionConfig::registerDataSourceFallsBackToTheUsersFile()
{
    const QString system = OdbcSandbox::instance().folder() + QStringLiteral("odbc.ini");
    const QString user = OdbcSandbox::instance().folder() + QStringLiteral("user-odbc.ini");
    const QByteArray saved = ReadFile(system);
    QVERIFY(QFile::remove(system));
    WriteFile(folder() + QStringLiteral("x.mdb"), QByteArray());
    const bool ok =
        RegisterDataSource(QStringLiteral("TILVO_USER_TEST"), QStringLiteral("Autre pilote"),
                           folder() + QStringLiteral("x.mdb"));
    WriteFile(system, saved);
    QVERIFY(ok);
    const IniFile sources(user);
    QCOMPARE(sources.readString(QStringLiteral("TILVO_USER_TEST"), QStringLiteral("Driver")),
             QStringLiteral("Autre pilote"));
    // A driver that is not SQLite's reads the file from DBQ.
    QCOMPARE(sources.readString(QStringLiteral("TILVO_USER_TEST"), QStringLiteral("DBQ")),
             folder() + QStringLiteral("x.mdb"));
}

void TestConnectionConfig::engineIsAvailable()
{
    ScriptedPrompts prompts;
    DatabaseConfig c;
    c.Provider = QStringLiteral("ODBC");
    QVERIFY(EngineAvailable(c, prompts));
    QVERIFY(prompts.shown.isEmpty());
}

QTEST_GUILESS_MAIN(TestConnectionConfig)
#include "tst_ConnectionConfig.moc"
