// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartupFakes.h"
#include "app/DatabaseStartup.h"
#include "app/StartupChecks.h"
#include "common/Clock.h"
#include "common/IniFile.h"
#include "common/Windows1252.h"
#include "db/Connection.h"
#include "db/DamagedDatabase.h"
#include "db/DataSet.h"
#include "db/TDataModule1.h"
#include "db/UpdateScript.h"
#include "db/VersionRecord.h"
#include "main/DataModuleFormData.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;

namespace {

// The update gauge, recorded; the backup question goes to the scripted prompts, so that a
// question no test expects fails it.
struct RecordingUpdateDisplay final : UpdateDisplay
{
    explicit RecordingUpdateDisplay(Prompts& prompts) : prompts(prompts) {}
    Prompts& prompts;
    QStringList infos;
    void showGauge() override {}
    void setGaugeInfo(const QString& text) override { infos.append(text); }
    void setGauge(int, int) override {}
    void closeGauge() override {}
    bool askBackup(const QString& question) override
    {
        return prompts.askYesNo(question, Prompts::Icon::Question);
    }
    void processEvents() override {}
};

// The real sequence over a real database, in temporary program, documents and lock folders.
struct Fixture
{
    QTemporaryDir dir;
    QString program = dir.filePath("program/");
    QString documents = dir.filePath("documents/");
    QString dataFolder = documents + "Vantrel Software Development/Tilvo/";
    QString templateFile = QString::fromLocal8Bit(qgetenv("TILVO_PROGRAM_DIR")) +
                           "/Ressources/DB/Data/Access/TILVO.MDB";
    test::ScriptedPrompts prompts;
    FixedClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 30, 15))};
    test::RecordingWindows windows;
    RecordingUpdateDisplay updates{prompts};

    Fixture()
    {
        QDir().mkpath(documents);
        QDir().mkpath(program + "Ressources/DB/Data/Access");
        QVERIFY(QFile::copy(templateFile, program + "Ressources/DB/Data/Access/TILVO.MDB"));
    }

    int run(DatabaseStartup& database)
    {
        StartupContext context{program,
                               "/usr/local/bin/tilvo",
                               test::FixedPlatform(documents, dir.path()),
                               prompts,
                               clock,
                               windows,
                               database};
        return RunProgram(context);
    }

    int run()
    {
        DatabaseStartup database(clock, &updates);
        return run(database);
    }

    QString storedVersion(const QString& file)
    {
        Connection connection;
        connection.setDatabaseFile(file);
        connection.open();
        return GetBDVersion(connection, "OBJECT_VAL_STR", "VALUE");
    }
};

} // namespace

class TestDatabaseStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstRunInstallsTheTemplate();
    void firstRunTakesOverAnOlderInstallation();
    void firstRunTakesOverAnInstallationOfTheEarlierPlatform();
    void dataFolderFromDirectoriesIni_data();
    void dataFolderFromDirectoriesIni();
    void scriptInTheDataFolderRunsOnce();
    void damagedDatabaseIsRefusedAndLeftAlone();
    void damagedEmptyOrCutDatabaseIsRefusedUntouched_data();
    void damagedEmptyOrCutDatabaseIsRefusedUntouched();
    void databaseLeftAsideByACompactionIsPutBack_data();
    void databaseLeftAsideByACompactionIsPutBack();
    void secondInstanceTouchesNothing();
    void databaseOfTheEarlierPlatformIsConvertedWhenAccepted_data();
    void databaseOfTheEarlierPlatformIsConvertedWhenAccepted();
};

void TestDatabaseStartup::firstRunInstallsTheTemplate()
{
    Fixture f;
    DatabaseStartup database(f.clock, &f.updates);
    QCOMPARE(f.run(database), 0);
    QVERIFY2(f.prompts.shown.isEmpty(), qPrintable(f.prompts.texts().join('|')));
    QVERIFY(f.windows.mainWindow);
    const QString file = f.dataFolder + "Data/Access/TILVO.MDB";
    QVERIFY(QFileInfo(file).isFile());
    QCOMPARE(database.config().DatabaseFolder, f.dataFolder + "Data/");
    const IniFile ini(f.dataFolder + "db.ini");
    QCOMPARE(ini.readString("DataBase", "Provider"), QString("OLEDB"));
    QCOMPARE(ini.readString("ODBC", "Name"), QString("ZEMBRALIK_TILVO"));
    // The main window's view of the database: no dossier yet, no entries.
    DataModuleFormData data(database.dataModule());
    QVERIFY(!data.ProfilesHasRow());
    QVERIFY(data.ConsumptionEmpty());
    QCOMPARE(database.getVersion(), QString("1.83"));

    // The first dossier opens by itself only while it has no password.
    QCOMPARE(data.FirstDossierToOpen(), -1);
    DataSet& mainFile = database.dataModule().MainFile();
    mainFile.open();
    mainFile.append();
    mainFile.fieldByName("LoginName").setText("Maison");
    mainFile.post();
    const int id = int(mainFile.fieldByName("ID").asInteger());
    mainFile.close();
    QVERIFY(data.ProfilesHasRow());
    QCOMPARE(data.FirstDossierToOpen(), id);
    mainFile.open();
    mainFile.edit();
    mainFile.fieldByName("LoginPassword").setText("secret");
    mainFile.post();
    mainFile.close();
    QCOMPARE(data.FirstDossierToOpen(), -1);
}

void TestDatabaseStartup::firstRunTakesOverAnOlderInstallation()
{
    Fixture f;
    QDir().mkpath(f.program + "Data/Access");
    QVERIFY(QFile::copy(f.templateFile, f.program + "Data/Access/TILVO.MDB"));
    test::WriteFile(f.program + "Data/Images/Account3.jpg", "picture");
    test::WriteFile(f.program + "db.ini", "[DataBase]\r\nProvider=OLEDB\r\n");
    f.run();
    QCOMPARE(f.prompts.shown.size(), 1);
    QVERIFY(f.prompts.texts().first().startsWith(
        "IMPORTANT !!\r\rLa base de données a été transférée"));
    QVERIFY(f.windows.wait.visible);
    QVERIFY(QFileInfo::exists(f.dataFolder + "Data/Images/Account3.jpg"));
    // The shipped db.ini of the older installation was fetched, not rewritten.
    QCOMPARE(test::ReadFile(f.dataFolder + "db.ini"),
             QByteArray("[DataBase]\r\nProvider=OLEDB\r\n"));
    QVERIFY(f.windows.mainWindow);
}

void TestDatabaseStartup::firstRunTakesOverAnInstallationOfTheEarlierPlatform()
{
    Fixture f;
    const QByteArray jet = test::ReadFile(QString::fromLocal8Bit(qgetenv("TILVO_TEST_DATA")) +
                                          "/jet/tilvo-jet4-small.mdb");
    test::WriteFile(f.program + "Data/Access/TILVO.MDB", jet);
    test::WriteFile(f.program + "db.ini", "[DataBase]\r\nProvider=OLEDB\r\n");
    f.prompts.yesNoAnswers.enqueue(true);
    DatabaseStartup database(f.clock, &f.updates);
    QCOMPARE(f.run(database), 0);
    const QStringList texts = f.prompts.texts();
    QCOMPARE(texts.size(), 3);
    QVERIFY(texts.at(0).startsWith("IMPORTANT !!\r\rLa base de données a été transférée"));
    QVERIFY(texts.at(1).contains("est une base de données de l'ancienne version"));
    QVERIFY(texts.at(2).startsWith("La base de données de l'ancienne version a été convertie."));
    QVERIFY(f.windows.mainWindow);
    QCOMPARE(database.getVersion(), QString("1.83"));
    // The earlier installation's file is only read.
    QCOMPARE(test::ReadFile(f.program + "Data/Access/TILVO.MDB"), jet);
}

void TestDatabaseStartup::dataFolderFromDirectoriesIni_data()
{
    QTest::addColumn<bool>("appexe");
    QTest::newRow("named folder") << false;
    QTest::newRow("appexe") << true;
}

void TestDatabaseStartup::dataFolderFromDirectoriesIni()
{
    QFETCH(bool, appexe);
    Fixture f;
    const QString base = f.dir.filePath("mine/");
    QDir().mkpath(base);
    test::WriteFile(f.program + "directories.ini",
                    "[Path]\r\nAppDataDir=" + (appexe ? QByteArray("appexe") : base.toUtf8()) +
                        "\r\n");
    DatabaseStartup database(f.clock, &f.updates);
    f.run(database);
    const QString data = appexe ? f.program : base + "Tilvo/";
    QVERIFY(f.windows.mainWindow);
    QCOMPARE(database.config().DatabaseFolder, data + "Data/");
    QVERIFY(QFileInfo(data + "Data/Access/TILVO.MDB").isFile());
    QCOMPARE(QFileInfo::exists(data + "Avertissement.txt"), !appexe);
    QVERIFY(!QFileInfo::exists(f.documents + "Vantrel Software Development"));
}

void TestDatabaseStartup::scriptInTheDataFolderRunsOnce()
{
    Fixture f;
    f.run();
    QVERIFY(f.windows.mainWindow);
    // A second start with a script waiting in the data folder.
    const QByteArray script = "NotTableExists(NOTES)\r\nSqlExe{CREATE TABLE NOTES (Id COUNTER, "
                              "Texte TEXT(50))}\r\nEND\r\n";
    test::WriteFile(f.dataFolder + "notes.maj", script);
    f.windows.mainWindow = false;
    f.prompts.yesNoAnswers << false; // no backup first
    {
        DatabaseStartup database(f.clock, &f.updates);
        f.run(database);
        QVERIFY(f.windows.mainWindow);
        QVERIFY(database.dataModule().ADOConnection1().table("NOTES") != nullptr);
    }
    QCOMPARE(f.prompts.texts(),
             QStringList{"Souhaitez-vous effectuer une sauvegarde de la base de données avant la "
                         "mise à jour ?"});
    QVERIFY(!QFileInfo::exists(f.dataFolder + "notes.maj"));
    const QString log = DecodeText(test::ReadFile(f.dataFolder + "Maj.Log"));
    QVERIFY2(log.contains("10/12/2026-09:30:15 : "), qPrintable(log));
    QVERIFY(log.contains("MISE A JOUR TERMINE"));
    QCOMPARE(f.storedVersion(f.dataFolder + "Data/Access/TILVO.MDB"), QString("1.83"));
}

void TestDatabaseStartup::damagedDatabaseIsRefusedAndLeftAlone()
{
    Fixture f;
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 37) % 251);
    test::WriteFile(f.dataFolder + "Data/Access/TILVO.MDB", garbage);
    QCOMPARE(f.run(), 0);
    QVERIFY(!f.windows.mainWindow);
    QVERIFY(f.prompts.shown.size() >= 2);
    QVERIFY(
        f.prompts.texts().last().startsWith("EXECUTION IMPOSSIBLE !!\r\rCe logiciel a rencontré"));
    QCOMPARE(test::ReadFile(f.dataFolder + "Data/Access/TILVO.MDB"), garbage);
}

void TestDatabaseStartup::damagedEmptyOrCutDatabaseIsRefusedUntouched_data()
{
    test::AddDamageRows();
}

void TestDatabaseStartup::damagedEmptyOrCutDatabaseIsRefusedUntouched()
{
    QFETCH(test::Damage, damage);
    QFETCH(QString, expected);
    Fixture f;
    const QString file = f.dataFolder + "Data/Access/TILVO.MDB";
    const QByteArray bytes = test::Damaged(test::ReadFile(f.templateFile), damage);
    test::WriteFile(file, bytes);
    QCOMPARE(f.run(), 0);
    QVERIFY(!f.windows.mainWindow);
    QCOMPARE(f.prompts.shown.size(), 2);
    const QString refusal = f.prompts.texts().first();
    QVERIFY2(refusal.contains(file) && refusal.contains(expected), qPrintable(refusal));
    QVERIFY2(refusal.contains("Restaurez une sauvegarde"), qPrintable(refusal));
    QVERIFY(
        f.prompts.texts().last().startsWith("EXECUTION IMPOSSIBLE !!\r\rCe logiciel a rencontré"));
    // Nothing was written: no version, no update script, no log.
    QCOMPARE(test::ReadFile(file), bytes);
    QVERIFY(!QFileInfo::exists(file + "-journal"));
    QVERIFY(!QFileInfo::exists(f.dataFolder + "Maj.Log"));
}

void TestDatabaseStartup::databaseLeftAsideByACompactionIsPutBack_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::newRow("sound") << false;
    QTest::newRow("damaged") << true;
}

void TestDatabaseStartup::databaseLeftAsideByACompactionIsPutBack()
{
    QFETCH(bool, damaged);
    Fixture f;
    const QString live = f.dataFolder + "Data/Access/TILVO.MDB";
    const QString moved = f.dataFolder + "Data/Access/TILVO~.MDB";
    f.run();
    QVERIFY(f.windows.mainWindow);
    {
        Connection c;
        c.setDatabaseFile(live);
        c.open();
        c.exec("INSERT INTO PROFILES (LoginName) VALUES ('Maison')");
    }
    // Stopped between moving the database aside and writing its compacted copy.
    QVERIFY(QFile::rename(live, moved));
    if (damaged)
        test::WriteFile(moved, test::Damaged(test::ReadFile(moved), test::Damage::PagesZeroed));
    const QByteArray before = test::ReadFile(moved);
    f.windows.mainWindow = false;
    f.prompts.shown.clear();
    DatabaseStartup database(f.clock, &f.updates);
    f.run(database);
    QVERIFY(!f.prompts.shown.isEmpty());
    const QString text = f.prompts.texts().first();
    QVERIFY2(text.contains(moved + ", laissé par un compactage interrompu, a été trouvé"),
             qPrintable(text));
    if (damaged) {
        // The empty template is not laid over the missing database.
        QVERIFY(!f.windows.mainWindow);
        QVERIFY(!QFileInfo::exists(live));
        QCOMPARE(test::ReadFile(moved), before);
    } else {
        QVERIFY(f.windows.mainWindow);
        QVERIFY(!QFileInfo::exists(moved));
        QVERIFY(DataModuleFormData(database.dataModule()).ProfilesHasRow());
    }
}

void TestDatabaseStartup::secondInstanceTouchesNothing()
{
    Fixture f;
    const SingleInstanceGuard first(f.dir.path(), "ZEMBRALIK_TILVO");
    f.run();
    QCOMPARE(f.prompts.texts(), QStringList{"Tilvo est déjà en exécution."});
    QVERIFY(!QFileInfo::exists(f.documents + "Vantrel Software Development"));
}

void TestDatabaseStartup::databaseOfTheEarlierPlatformIsConvertedWhenAccepted_data()
{
    QTest::addColumn<bool>("accepted");
    QTest::newRow("accepted") << true;
    QTest::newRow("declined") << false;
}

void TestDatabaseStartup::databaseOfTheEarlierPlatformIsConvertedWhenAccepted()
{
    QFETCH(bool, accepted);
    Fixture f;
    // An old data folder copied over the new one: a Jet file under the live name.
    const QString file = f.dataFolder + "Data/Access/TILVO.MDB";
    const QByteArray jet = test::ReadFile(QString::fromLocal8Bit(qgetenv("TILVO_TEST_DATA")) +
                                          "/jet/tilvo-jet4-small.mdb");
    QVERIFY(!jet.isEmpty());
    test::WriteFile(file, jet);
    // What a conversion cut short left beside it goes.
    test::WriteFile(file + ".conversion", "half");
    f.prompts.yesNoAnswers.enqueue(accepted);
    DatabaseStartup database(f.clock, &f.updates);
    QCOMPARE(f.run(database), 0);
    const QStringList texts = f.prompts.texts();
    QVERIFY(!QFileInfo::exists(file + ".conversion"));
    QCOMPARE(texts.first(),
             QString("Le fichier %1 est une base de données de l'ancienne version de ce logiciel. "
                     "Voulez-vous la convertir pour cette version ?\r\rLe fichier d'origine sera "
                     "conservé sous le nom %1.jet.")
                 .arg(file));
    if (!accepted) {
        // The engine refuses the file, which stays as it was.
        QVERIFY(!f.windows.mainWindow);
        QCOMPARE(test::ReadFile(file), jet);
        QVERIFY(!QFileInfo::exists(file + ".jet"));
        QVERIFY(texts.last().startsWith("EXECUTION IMPOSSIBLE !!"));
        return;
    }
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts.last(), QString("La base de données de l'ancienne version a été convertie.\r2 "
                                   "dossier(s), 3 compte(s) et 1000 consommation(s) ont été "
                                   "repris.\rLe fichier d'origine est conservé sous le nom "
                                   "%1.jet.")
                               .arg(file));
    QCOMPARE(f.prompts.shown.last().icon, Prompts::Icon::Information);
    QVERIFY(f.windows.mainWindow);
    QCOMPARE(test::ReadFile(file + ".jet"), jet);
    // The main window works on the converted database.
    QCOMPARE(database.getVersion(), QString("1.83"));
    QSqlQuery q(database.dataModule().ADOConnection1().database());
    QVERIFY(q.exec("SELECT COUNT(*) FROM CONSUMPTION") && q.next());
    QCOMPARE(q.value(0).toInt(), 1000);
    DataModuleFormData data(database.dataModule());
    QVERIFY(data.ProfilesHasRow());
}

QTEST_APPLESS_MAIN(TestDatabaseStartup)
#include "tst_DatabaseStartup.moc"
