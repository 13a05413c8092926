// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartupFakes.h"
#include "app/SplashDisplay.h"
#include "app/Startup.h"
#include "app/StartupChecks.h"
#include "app/StartupDatabase.h"
#include "common/Clock.h"
#include "common/Error.h"
#include "common/ProgramInfo.h"
#include "db/TDataModule1.h"
#include "env/Environment.h"
#include "env/Settings.h"
#include "support/RecordingWaitDisplay.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <stdexcept>

using namespace tilvo;

namespace {

const char* const kHoldLock = "--hold-instance-lock";

// Run in a child process: takes the instance lock of the folder and keeps it until killed.
int HoldInstanceLock(const QString& folder)
{
    const SingleInstanceGuard guard(folder, QString::fromLatin1(InstanceName));
    std::printf(guard.acquired() ? "held\n" : "busy\n");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(60);
}

const QString kConnectionFailure =
    "EXECUTION IMPOSSIBLE !!\r\rCe logiciel a rencontré un problème lors de la connexion à la "
    "base de données.\rContactez le support par email pour tenter de trouver une solution : "
    "support@vantrel-software.example";

// A database layer that records what the start-up asks of it.
struct FakeDatabase final : StartupDatabase
{
    enum class Failure
    {
        Error,
        StdException
    };

    QStringList calls;
    // The call that fails instead of doing its work, and how.
    QString failingCall;
    Failure failure = Failure::Error;
    QString failureText;
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
        record("getVersion");
        return storedVersion;
    }
    void setVersion(const QString& version) override { record("setVersion " + version); }
    double versionNumber(const QString& version) const override { return version.toDouble(); }
    void runUpdateScript(const QString& folder, const QString& file, SplashDisplay& progress,
                         bool interactive) override
    {
        QVERIFY(folder == dataFolder);
        QVERIFY(interactive);
        progress.setInfo("script " + file);
        record("run " + file);
    }
    void updateProgramFolderDatabase(SplashDisplay&) override { calls << "updateProgramFolder"; }
    // A data module without a database file: it opens nothing.
    TDataModule1& dataModule() override
    {
        if (!module)
            module = std::make_unique<TDataModule1>(DatabaseConfig(), modulePrompts);
        return *module;
    }

    void record(const QString& call)
    {
        calls << call;
        if (call != failingCall)
            return;
        if (failure == Failure::Error)
            throw Error(failureText);
        throw std::runtime_error(failureText.toStdString());
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
    void lockLeftByAKilledProcessIsTakenOver();
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
    void failureInTheSchemaPhaseIsShownAndEndsCleanly_data();
    void failureInTheSchemaPhaseIsShownAndEndsCleanly();
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
    QVERIFY(f.windows.splashVisible && !f.windows.splashAlive);
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

void TestStartup::lockLeftByAKilledProcessIsTakenOver()
{
    Fixture f;
    const QString lockFile = f.dir.filePath("ZEMBRALIK_TILVO.lock");
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {kHoldLock, f.dir.path()});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readAll(), QByteArray("held\n"));
    // While its holder runs, a start is refused.
    QCOMPARE(f.run(), 0);
    QCOMPARE(f.prompts.texts(), QStringList{"Tilvo est déjà en exécution."});
    QVERIFY(!f.windows.mainWindow);

    // Killed, the holder leaves its lock file behind; the next start takes it over.
    holder.kill();
    QVERIFY(holder.waitForFinished(30000));
    QVERIFY(QFileInfo::exists(lockFile));
    f.prompts.shown.clear();
    QCOMPARE(f.run(), 0);
    QVERIFY2(f.prompts.shown.isEmpty(), qPrintable(f.prompts.texts().join('|')));
    QVERIFY(f.windows.mainWindow && f.windows.loop);
    // Ending the run lets the lock go.
    QVERIFY(!QFileInfo::exists(lockFile));
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

void TestStartup::failureInTheSchemaPhaseIsShownAndEndsCleanly_data()
{
    QTest::addColumn<bool>("developmentMode");
    QTest::addColumn<QString>("failingCall");
    QTest::addColumn<bool>("libraryException");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("calls");
    const QStringList opened{"readConfig", "engineAvailable", "createDataModules"};
    const QStringList scripts = opened + QStringList{"getVersion", "run A.MAJ", "run b.maj"};
    QTest::newRow("version stored first in development mode")
        << true << "setVersion 1.83" << false << "Table OBJECT_VAL_STR introuvable"
        << opened + QStringList{"setVersion 1.83"};
    QTest::newRow("unreadable update script")
        << false << "run b.maj" << false
        << "Impossible de lire le script de mise à jour /data/b.maj." << scripts;
    QTest::newRow("version stored after the scripts")
        << false << "setVersion 1.83" << false << "Table OBJECT_VAL_STR introuvable"
        << scripts + QStringList{"setVersion 1.83"};
    QTest::newRow("library exception") << false << "setVersion 1.83" << true << "disk I/O error"
                                       << scripts + QStringList{"setVersion 1.83"};
}

void TestStartup::failureInTheSchemaPhaseIsShownAndEndsCleanly()
{
    QFETCH(bool, developmentMode);
    QFETCH(QString, failingCall);
    QFETCH(bool, libraryException);
    QFETCH(QString, text);
    QFETCH(QStringList, calls);
    Fixture f;
    const QString data = developmentMode ? f.program : f.dataFolder;
    if (developmentMode)
        test::WriteFile(f.program + "tilvo.dpr", "");
    test::WriteFile(data + "b.maj", "");
    test::WriteFile(data + "A.MAJ", "");
    f.database.failingCall = failingCall;
    f.database.failure =
        libraryException ? FakeDatabase::Failure::StdException : FakeDatabase::Failure::Error;
    f.database.failureText = text;
    QCOMPARE(f.run(), 0);
    QCOMPARE(f.prompts.texts(), QStringList{text});
    QCOMPARE(f.prompts.shown.first().icon, Prompts::Icon::Error);
    // Nothing runs after the failing step, and no window is left.
    QCOMPARE(f.database.calls, calls);
    QVERIFY(f.windows.splashCreated && !f.windows.splashAlive);
    QVERIFY(!f.windows.mainWindow && !f.windows.loop);
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

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kHoldLock) == 0)
        return HoldInstanceLock(QString::fromLocal8Bit(argv[2]));
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Startup.moc"
