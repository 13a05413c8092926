// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartupFakes.h"
#include "app/SplashDisplay.h"
#include "app/Startup.h"
#include "app/StartupChecks.h"
#include "app/StartupDatabase.h"
#include "common/Clock.h"
#include "db/TDataModule1.h"
#include "env/Environment.h"
#include "env/Settings.h"
#include "support/RecordingWaitDisplay.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;

namespace {

const QString kConnectionFailure =
    "EXECUTION IMPOSSIBLE !!\r\rCe logiciel a rencontré un problème lors de la connexion à la "
    "base de données.\rContactez le support par email pour tenter de trouver une solution : "
    "support@vantrel-software.example";

// A database layer that records what the start-up asks of it.
struct FakeDatabase final : StartupDatabase
{
    QStringList calls;
    QString storedVersion = "1.83";
    bool engine = true;
    bool opens = true;
    bool present = true;
    QString dataFolder;
    test::ScriptedPrompts modulePrompts;
    std::unique_ptr<TDataModule1> module;

    void readConfig(const Environment& env) override
    {
        calls << "readConfig";
        dataFolder = env.DataFolder;
    }
    FirstRunTarget firstRunTarget() const override
    {
        return {dataFolder + "Data/", "Access/TILVO.MDB", "Access/TILVO.MDB"};
    }
    bool engineAvailable(Prompts&) override
    {
        calls << "engineAvailable";
        return engine;
    }
    bool createDataModules(Prompts&) override
    {
        calls << "createDataModules";
        return opens;
    }
    bool databaseFilePresent() const override { return present; }
    QString getVersion() override
    {
        calls << "getVersion";
        return storedVersion;
    }
    void setVersion(const QString& version) override { calls << "setVersion " + version; }
    double versionNumber(const QString& version) const override { return version.toDouble(); }
    void runUpdateScript(const QString& folder, const QString& file, SplashDisplay& progress,
                         bool interactive) override
    {
        QVERIFY(folder == dataFolder);
        QVERIFY(interactive);
        progress.setInfo("script " + file);
        calls << "run " + file;
    }
    void updateProgramFolderDatabase(SplashDisplay&) override { calls << "updateProgramFolder"; }
    // A data module without a database file: it opens nothing.
    TDataModule1& dataModule() override
    {
        if (!module)
            module = std::make_unique<TDataModule1>(DatabaseConfig(), modulePrompts);
        return *module;
    }
};

// A program folder with the shipped template, a documents folder, and the run's parts.
struct Fixture
{
    QTemporaryDir dir;
    QString program = dir.filePath("program/");
    QString documents = dir.filePath("documents/");
    QString dataFolder = documents + "Vantrel Software Development/Tilvo/";
    test::ScriptedPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
    test::RecordingWindows windows;
    FakeDatabase database;
    int kernel = 6;
    QString dataAccess = "3.40.1";

    Fixture()
    {
        QDir().mkpath(documents);
        test::WriteFile(program + "Ressources/DB/Data/Access/TILVO.MDB", "template");
    }

    // A settings file already in the data folder.
    void writeSettings(const QByteArray& text) { test::WriteFile(dataFolder + "tilvo.ini", text); }

    int run(const QString& executable = "/usr/local/bin/tilvo")
    {
        StartupContext context{
            program, executable, test::FixedPlatform(documents, dir.path(), kernel, dataAccess),
            prompts, clock,      windows,
            database};
        return RunProgram(context);
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstRunReachesTheMainWindow();
    void secondInstanceTouchesNothing();
    void unwritableDataFolder();
    void dataAccessCheck_data();
    void dataAccessCheck();
    void engineMissingOrConnectionRefused_data();
    void engineMissingOrConnectionRefused();
    void everyScriptRunsAndTheVersionIsWrittenOnce();
    void noScriptLeavesTheVersionAlone();
    void olderVersionFetchesTheProgramScript();
    void developmentModeStoresTheVersionFirst();
    void hiddenSplashStillReports();
    void missingDatabaseFileSkipsTheSchemaPhase();
    void noStartingDatabaseEndsQuietly();
    void chromeStyleFollowsKernelAndSetting_data();
    void chromeStyleFollowsKernelAndSetting();
    void dataAccessComponentsPresent_data();
    void dataAccessComponentsPresent();
};

void TestStartup::firstRunReachesTheMainWindow()
{
    Fixture f;
    QCOMPARE(f.run(), 0);
    QVERIFY(f.prompts.shown.isEmpty());
    QCOMPARE(f.database.calls, (QStringList{"readConfig", "engineAvailable", "createDataModules",
                                            "getVersion", "updateProgramFolder"}));
    QVERIFY(f.windows.mainWindow && f.windows.loop);
    QVERIFY(f.windows.splashVisible);
    QCOMPARE(f.windows.splash.maximum, 8);
    QCOMPARE(f.windows.splash.positions, (QList<int>{1, 4, 5, 6, 7, 8}));
    QCOMPARE(f.windows.splash.infos.first(), QString("Chargement du logiciel ..."));
    QCOMPARE(test::ReadFile(f.dataFolder + "Data/Access/TILVO.MDB"), QByteArray("template"));
    QCOMPARE(f.windows.settingsPath, f.dataFolder + "tilvo.ini");
    QVERIFY(!QFileInfo::exists(f.dataFolder + "write.tmp"));
    QVERIFY(!f.windows.wait.visible);
}

void TestStartup::secondInstanceTouchesNothing()
{
    Fixture f;
    const SingleInstanceGuard first(f.dir.path(), "ZEMBRALIK_TILVO");
    QVERIFY(first.acquired());
    QCOMPARE(f.run(), 0);
    QCOMPARE(f.prompts.texts(), QStringList{"Tilvo est déjà en exécution."});
    QCOMPARE(f.prompts.shown.first().icon, Prompts::Icon::Information);
    QVERIFY(f.database.calls.isEmpty());
    QVERIFY(!QFileInfo::exists(f.documents + "Vantrel Software Development"));
}

void TestStartup::unwritableDataFolder()
{
    Fixture f;
    // The base folder named in directories.ini is a file: nothing can be created under it.
    test::WriteFile(f.dir.filePath("blocked"), "a file, not a folder");
    test::WriteFile(f.program + "directories.ini",
                    "[Path]\r\nAppDataDir=" + f.dir.filePath("blocked/").toUtf8() + "\r\n");
    QCOMPARE(f.run(), 0);
    const QString folder = f.dir.filePath("blocked/") + "Tilvo/";
    QCOMPARE(f.prompts.texts(),
             QStringList{"TILVO 1.83 : EXECUTION IMPOSSIBLE\r\rPour utiliser ce logiciel vous "
                         "devez :\r\r  - Soit avoir un compte administrateur\r  - Soit avoir des "
                         "droits en écriture sur le répertoire : " +
                         folder + "\r\r"});
    QCOMPARE(f.prompts.shown.first().icon, Prompts::Icon::Error);
    QVERIFY(!f.windows.splashCreated);
    QCOMPARE(f.database.calls, QStringList{"readConfig"});
}

void TestStartup::dataAccessCheck_data()
{
    QTest::addColumn<bool>("testMdac");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("notice");
    QTest::newRow("check off") << false << "1.0" << false;
    QTest::newRow("recent library") << true << "3.40.1" << false;
    QTest::newRow("old library") << true << "2.1" << true;
    QTest::newRow("unreadable version") << true << "" << true;
}

void TestStartup::dataAccessCheck()
{
    QFETCH(bool, testMdac);
    QFETCH(QString, version);
    QFETCH(bool, notice);
    Fixture f;
    f.dataAccess = version;
    f.writeSettings(QByteArray("[Properties]\r\nTestMdac=") + (testMdac ? "1" : "0") + "\r\n");
    f.run();
    QCOMPARE(f.windows.notice, notice);
    QVERIFY(f.windows.mainWindow);
}

void TestStartup::engineMissingOrConnectionRefused_data()
{
    QTest::addColumn<bool>("engine");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("engine missing")
        << false << true << QStringList{"readConfig", "engineAvailable"};
    QTest::newRow("connection refused")
        << true << false << QStringList{"readConfig", "engineAvailable", "createDataModules"};
}

void TestStartup::engineMissingOrConnectionRefused()
{
    QFETCH(bool, engine);
    QFETCH(bool, opens);
    QFETCH(QStringList, calls);
    Fixture f;
    f.database.engine = engine;
    f.database.opens = opens;
    QCOMPARE(f.run(), 0);
    QCOMPARE(f.prompts.texts(), QStringList{kConnectionFailure});
    QCOMPARE(f.database.calls, calls);
    QVERIFY(!f.windows.mainWindow);
}

void TestStartup::everyScriptRunsAndTheVersionIsWrittenOnce()
{
    Fixture f;
    QDir().mkpath(f.dataFolder);
    test::WriteFile(f.dataFolder + "b.maj", "");
    test::WriteFile(f.dataFolder + "A.MAJ", "");
    test::WriteFile(f.dataFolder + "notes.txt", "");
    f.run();
    QCOMPARE(f.database.calls,
             (QStringList{"readConfig", "engineAvailable", "createDataModules", "getVersion",
                          "run A.MAJ", "run b.maj", "setVersion 1.83", "updateProgramFolder"}));
    QVERIFY(f.windows.splash.infos.contains("script b.maj"));
}

void TestStartup::noScriptLeavesTheVersionAlone()
{
    Fixture f;
    f.database.storedVersion = "1.50";
    f.run();
    QVERIFY(!f.database.calls.join(',').contains("setVersion"));
}

void TestStartup::olderVersionFetchesTheProgramScript()
{
    Fixture f;
    f.database.storedVersion = "0";
    test::WriteFile(f.program + "Maj/BD_183.maj", "script");
    f.run();
    QCOMPARE(test::ReadFile(f.dataFolder + "BD_183.maj"), QByteArray("script"));
    QVERIFY(f.database.calls.contains("run BD_183.maj"));
    QVERIFY(f.database.calls.contains("setVersion 1.83"));
}

void TestStartup::developmentModeStoresTheVersionFirst()
{
    Fixture f;
    test::WriteFile(f.program + "tilvo.dpr", "");
    f.run("/build/TILVO.EXE");
    // Development mode keeps the data in the program folder.
    QCOMPARE(f.database.dataFolder, f.program);
    QCOMPARE(f.database.calls.mid(3, 2), (QStringList{"setVersion 1.83", "getVersion"}));
    QCOMPARE(f.windows.settingsPath, f.program + "tilvo.ini");
}

void TestStartup::hiddenSplashStillReports()
{
    Fixture f;
    f.writeSettings("[Properties]\r\nSplash=0\r\n");
    test::WriteFile(f.dataFolder + "x.maj", "");
    f.run();
    QVERIFY(f.windows.splashCreated);
    QVERIFY(!f.windows.splashVisible);
    QVERIFY(f.windows.splash.infos.contains("script x.maj"));
    QCOMPARE(f.windows.splash.gaugePosition(), 8);
}

void TestStartup::missingDatabaseFileSkipsTheSchemaPhase()
{
    Fixture f;
    f.database.present = false;
    QDir().mkpath(f.dataFolder);
    test::WriteFile(f.dataFolder + "x.maj", "");
    f.run();
    QCOMPARE(f.database.calls, (QStringList{"readConfig", "engineAvailable", "createDataModules"}));
    QVERIFY(f.windows.mainWindow);
}

void TestStartup::noStartingDatabaseEndsQuietly()
{
    Fixture f;
    QFile::remove(f.program + "Ressources/DB/Data/Access/TILVO.MDB");
    QCOMPARE(f.run(), 0);
    QCOMPARE(f.prompts.shown.size(), 1);
    QVERIFY(f.prompts.texts().first().startsWith("EXECUTION IMPOSSIBLE !!\r\rCertains composants"));
    QVERIFY(!f.windows.splashCreated);
}

void TestStartup::chromeStyleFollowsKernelAndSetting_data()
{
    QTest::addColumn<int>("kernel");
    QTest::addColumn<bool>("style");
    QTest::addColumn<bool>("chrome");
    QTest::newRow("recent kernel") << 6 << false << true;
    QTest::newRow("kernel 5, style off") << 5 << false << false;
    QTest::newRow("kernel 5, style on") << 5 << true << true;
}

void TestStartup::chromeStyleFollowsKernelAndSetting()
{
    QFETCH(int, kernel);
    QFETCH(bool, style);
    QFETCH(bool, chrome);
    Fixture f;
    f.kernel = kernel;
    f.writeSettings(QByteArray("[Windows]\r\nStyle=") + (style ? "1" : "0") + "\r\n");
    f.run();
    QCOMPARE(f.windows.chromeStyle, chrome);
}

void TestStartup::dataAccessComponentsPresent_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("present");
    QTest::newRow("sqlite") << "3.40.1" << true;
    QTest::newRow("exactly 2.5") << "2.50" << true;
    QTest::newRow("comma") << "2,7" << true;
    QTest::newRow("older") << "2.1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("not a number") << "abc" << false;
}

void TestStartup::dataAccessComponentsPresent()
{
    QFETCH(QString, version);
    QFETCH(bool, present);
    QCOMPARE(DataAccessComponentsPresent(version), present);
}

QTEST_APPLESS_MAIN(TestStartup)
#include "tst_Startup.moc"
