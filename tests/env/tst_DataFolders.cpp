// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Windows1252.h"
#include "env/DataFolders.h"
#include "env/Environment.h"
#include "env/Platform.h"
#include "support/RecordingWaitDisplay.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;

namespace {

const QStringList kSubFolders = {"Export",      "Html",        "Backup",    "Data",
                                 "Data/Access", "Data/Images", "Data/Files"};

// A program folder and a documents folder inside one temporary folder.
struct Fixture
{
    QTemporaryDir dir;
    QString program = dir.filePath("program/");
    QString documents = dir.filePath("documents/");
    Environment env;
    Platform platform;
    bool removable = false;

    Fixture()
    {
        QDir().mkpath(program);
        QDir().mkpath(documents);
        env = MakeEnvironment(program, "/opt/tilvo/bin/tilvo", true);
        platform.kernelMajorVersion = [] { return 6; };
        platform.isOnRemovableDrive = [this](const QString&) { return removable; };
        platform.documentsFolder = [this] { return documents; };
        platform.programsFolder = [] { return QStringLiteral("/opt/"); };
    }
};

} // namespace

class TestDataFolders : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void environmentNames_data();
    void environmentNames();
    void defaultDataFolderUnderDocuments();
    void existingFoldersKeepTheirFiles();
    void appDataDirChoices_data();
    void appDataDirChoices();
    void fetchMissingFile();
    void firstRunFromTemplateIsSilent();
    void firstRunFromOlderInstallation();
    void firstRunWithoutAnyDatabase();
    void existingDatabaseIsNeverReplaced();
    void movedAsideDatabaseIsPutBackNeverReplaced_data();
    void movedAsideDatabaseIsPutBackNeverReplaced();
};

void TestDataFolders::environmentNames_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("settings");
    QTest::newRow("plain") << "/usr/bin/tilvo"
                           << "tilvo.ini";
    QTest::newRow("upper case exe") << "C:/Prog/TILVO.EXE"
                                    << "tilvo.ini";
    QTest::newRow("other name") << "/x/Tilvo-Beta"
                                << "tilvo-beta.ini";
}

void TestDataFolders::environmentNames()
{
    QFETCH(QString, executable);
    QFETCH(QString, settings);
    QCOMPARE(SettingsFileName(executable), settings);
    const Environment env = MakeEnvironment("/home/u/work", executable, false);
    QCOMPARE(env.ProgramFolder, QString("/home/u/work/"));
    QCOMPARE(env.DataFolder, env.ProgramFolder);
    QCOMPARE(env.ReportsFolder, QString("/home/u/work/Reports/"));
    QCOMPARE(env.HelpFile, QString("/home/u/work/doc.html"));
    QCOMPARE(env.UpdateFileName, QString("BD_183.maj"));
    QCOMPARE(MakeEnvironment("/", executable, true).ProgramFolder, QString("/"));
    QCOMPARE(UpdateFileNameFor("2.05"), QString("BD_205.maj"));
}

void TestDataFolders::defaultDataFolderUnderDocuments()
{
    Fixture f;
    PrepareDataFolder(f.env, f.platform);
    const QString base = f.documents + "Vantrel Software Development/";
    QCOMPARE(f.env.DataFolder, base + "Tilvo/");
    QCOMPARE(DecodeWindows1252(test::ReadFile(base + "Avertissement.txt")),
             BaseFolderWarning().replace("\r", "\r\n") + "\r\n");
    const QByteArray dataWarning = test::ReadFile(f.env.DataFolder + "Avertissement.txt");
    QVERIFY(dataWarning.startsWith("ATTENTION : NE SUPPRIMEZ PAS CE REPERTOIRE \r\n\r\n"
                                   "Ce r\xe9pertoire contient les donn\xe9"
                                   "es du logiciels Tilvo "
                                   "\xe9"
                                   "dit\xe9s par Vantrel Software Developpement\r\nContact : "));
    for (const QString& sub : kSubFolders)
        QVERIFY2(QFileInfo(f.env.DataFolder + sub).isDir(), qPrintable(sub));
    QVERIFY(!QFileInfo::exists(f.program + "Avertissement.txt"));
}

void TestDataFolders::existingFoldersKeepTheirFiles()
{
    Fixture f;
    const QString data = f.documents + "Vantrel Software Development/Tilvo/";
    QDir().mkpath(data);
    test::WriteFile(data + "Avertissement.txt", "mine");
    PrepareDataFolder(f.env, f.platform);
    QCOMPARE(test::ReadFile(data + "Avertissement.txt"), QByteArray("mine"));
    // The base folder existed too: no warning written into it.
    QVERIFY(!QFileInfo::exists(f.documents + "Vantrel Software Development/Avertissement.txt"));
}

void TestDataFolders::appDataDirChoices_data()
{
    QTest::addColumn<QString>("appDataDir"); // "<base>" stands for a folder of the fixture
    QTest::addColumn<bool>("removable");
    QTest::addColumn<bool>("developmentMarker");
    QTest::addColumn<QString>("expected"); // "<program>" or "<base>Tilvo/"
    QTest::newRow("appexe") << "appexe" << false << false << "<program>";
    QTest::newRow("appexe is case-sensitive") << "AppExe" << false << false << "AppExe/Tilvo/";
    QTest::newRow("development marker") << "" << false << true << "<program>";
    QTest::newRow("removable drive") << "" << true << false << "<program>";
    QTest::newRow("named base") << "<base>" << false << false << "<base>Tilvo/";
    QTest::newRow("named base with backslashes") << "<base\\>" << false << false << "<base>Tilvo/";
    QTest::newRow("named base without final slash")
        << "<base-noslash>" << false << false << "<base>Tilvo/";
}

void TestDataFolders::appDataDirChoices()
{
    QFETCH(QString, appDataDir);
    QFETCH(bool, removable);
    QFETCH(bool, developmentMarker);
    QFETCH(QString, expected);
    Fixture f;
    const QString base = f.dir.filePath("elsewhere/");
    QDir().mkpath(base);
    QString written = appDataDir;
    written.replace("<base>", base)
        .replace("<base\\>", QString(base).replace('/', '\\'))
        .replace("<base-noslash>", base.chopped(1));
    test::WriteFile(f.program + "directories.ini",
                    "[Path]\r\nAppDataDir=" + written.toUtf8() + "\r\n");
    if (developmentMarker)
        test::WriteFile(f.program + "tilvo.dpr", "");
    f.removable = removable;
    // A relative base folder is taken from the working directory.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(f.program);
    PrepareDataFolder(f.env, f.platform);
    QDir::setCurrent(cwd);
    expected.replace("<program>", f.program).replace("<base>", base);
    QCOMPARE(f.env.DataFolder, expected);
    if (expected == f.program)
        QVERIFY(!QFileInfo::exists(f.program + "Avertissement.txt"));
    else if (expected.startsWith(base))
        QVERIFY(QFileInfo::exists(expected + "Avertissement.txt"));
    const QString created = QDir(f.program).absoluteFilePath(expected) + '/';
    for (const QString& sub : kSubFolders)
        QVERIFY2(QFileInfo(created + sub).isDir(), qPrintable(created + sub));
}

void TestDataFolders::fetchMissingFile()
{
    Fixture f;
    f.env.DataFolder = f.dir.filePath("data/");
    QDir().mkpath(f.env.DataFolder);
    test::WriteFile(f.program + "Maj/BD_183.maj", "from Maj");
    test::WriteFile(f.program + "Ressources/DB/BD_183.maj", "from Ressources");
    test::WriteFile(f.program + "Maj/db.ini", "from Maj");
    test::WriteFile(f.env.DataFolder + "tilvo.ini", "mine");
    test::WriteFile(f.program + "tilvo.ini", "shipped");

    FetchMissingFile(f.env, "BD_183.maj");
    FetchMissingFile(f.env, "db.ini");
    FetchMissingFile(f.env, "tilvo.ini");
    FetchMissingFile(f.env, "nowhere.txt");
    QCOMPARE(test::ReadFile(f.env.DataFolder + "BD_183.maj"), QByteArray("from Ressources"));
    QCOMPARE(test::ReadFile(f.env.DataFolder + "db.ini"), QByteArray("from Maj"));
    QCOMPARE(test::ReadFile(f.env.DataFolder + "tilvo.ini"), QByteArray("mine"));
    QVERIFY(!QFileInfo::exists(f.env.DataFolder + "nowhere.txt"));
}

void TestDataFolders::firstRunFromTemplateIsSilent()
{
    Fixture f;
    f.env.DataFolder = f.dir.filePath("data/");
    const QString templ = f.program + "Ressources/DB/Data/";
    test::WriteFile(templ + "Access/TILVO.MDB", "template");
    test::WriteFile(templ + "Images/Account1.jpg", "jpg");
    test::WriteFile(f.program + "Ressources/DB/SortList.def", "sort");
    test::WriteFile(f.program + "tilvo.ini", "[Properties]\r\nSplash=0\r\n");
    QDir().mkpath(f.env.DataFolder);
    const FirstRunTarget target{f.env.DataFolder + "Data/", "Access\\TILVO.MDB",
                                "Access/TILVO.MDB"};
    test::ScriptedPrompts prompts;
    test::RecordingWaitDisplay wait;

    QVERIFY(TransferOnFirstRun(f.env, target, "tilvo.ini", prompts, wait));
    QCOMPARE(test::ReadFile(target.databaseFolder + "Access/TILVO.MDB"), QByteArray("template"));
    // Copied under another name first, renamed at the end: nothing else is left there.
    QCOMPARE(QDir(target.databaseFolder + "Access").entryList(QDir::Files | QDir::Hidden),
             QStringList{"TILVO.MDB"});
    QCOMPARE(test::ReadFile(target.databaseFolder + "Images/Account1.jpg"), QByteArray("jpg"));
    QVERIFY(QFileInfo(target.databaseFolder + "Files").isDir());
    QCOMPARE(test::ReadFile(f.env.DataFolder + "SortList.def"), QByteArray("sort"));
    QCOMPARE(test::ReadFile(f.env.DataFolder + "tilvo.ini"),
             QByteArray("[Properties]\r\nSplash=0\r\n"));
    QVERIFY(prompts.shown.isEmpty());
    QVERIFY(!wait.visible);
    QCOMPARE(wait.messages,
             (QStringList{"Quelques instants, SVP ...", "Copie de la base de données",
                          "Copie des images", "Copie des fichiers"}));
    QCOMPARE(wait.position(), 3);
    QVERIFY(wait.closed);
}

void TestDataFolders::firstRunFromOlderInstallation()
{
    Fixture f;
    f.env.DataFolder = f.dir.filePath("data/");
    test::WriteFile(f.program + "Data/Access/TILVO.MDB", "older");
    test::WriteFile(f.program + "Data/Images/Account7.JPG", "picture");
    test::WriteFile(f.program + "Data/Images/notes.txt", "not a picture");
    test::WriteFile(f.program + "Data/Files/x.f", "f");
    test::WriteFile(f.program + "db.ini", "[DataBase]\r\n");
    test::WriteFile(f.program + "Ressources/DB/Data/Access/TILVO.MDB", "template");
    QDir().mkpath(f.env.DataFolder);
    const FirstRunTarget target{f.env.DataFolder + "Data/", "Access/TILVO.MDB", "Access/TILVO.MDB"};
    test::ScriptedPrompts prompts;
    test::RecordingWaitDisplay wait;

    QVERIFY(TransferOnFirstRun(f.env, target, "tilvo.ini", prompts, wait));
    QCOMPARE(test::ReadFile(target.databaseFolder + "Access/TILVO.MDB"), QByteArray("older"));
    QVERIFY(QFileInfo::exists(target.databaseFolder + "Images/Account7.JPG"));
    QVERIFY(!QFileInfo::exists(target.databaseFolder + "Images/notes.txt"));
    QVERIFY(QFileInfo::exists(target.databaseFolder + "Files/x.f"));
    QVERIFY(QFileInfo::exists(f.program + "Data/Access/TILVO.MDB"));
    QVERIFY(wait.visible);
    QCOMPARE(wait.tasks, QStringList{"TRANSFERT DES DONNEES"});
    QCOMPARE(
        prompts.texts(),
        QStringList{"IMPORTANT !!\r\rLa base de données a été transférée dans le réperoire :\r" +
                    target.databaseFolder + "\r\rNE SUPPRIMEZ PAS CE REPERTOIRE"});
    QCOMPARE(prompts.shown.first().icon, Prompts::Icon::Warning);
}

void TestDataFolders::firstRunWithoutAnyDatabase()
{
    Fixture f;
    f.env.DataFolder = f.dir.filePath("data/");
    QDir().mkpath(f.env.DataFolder);
    test::WriteFile(f.program + "SortList.def", "sort");
    const FirstRunTarget target{f.env.DataFolder + "Data/", "Access/TILVO.MDB", "Access/TILVO.MDB"};
    test::ScriptedPrompts prompts;
    test::RecordingWaitDisplay wait;
    QVERIFY(!TransferOnFirstRun(f.env, target, "tilvo.ini", prompts, wait));
    QCOMPARE(prompts.texts(),
             QStringList{"EXECUTION IMPOSSIBLE !!\r\rCertains composants nécessaires au bon "
                         "fonctionnement de cette application sont introuvables.\rEffectuez une "
                         "nouvelle installation de l'application afin de résoudre ce problème."});
    QVERIFY(!wait.opened);
    // The shipped files are still fetched.
    QVERIFY(QFileInfo::exists(f.env.DataFolder + "SortList.def"));
}

void TestDataFolders::existingDatabaseIsNeverReplaced()
{
    Fixture f;
    f.env.DataFolder = f.dir.filePath("data/");
    test::WriteFile(f.env.DataFolder + "Data/Access/TILVO.MDB", "the user's years of data");
    test::WriteFile(f.program + "Data/Access/TILVO.MDB", "older");
    test::WriteFile(f.program + "db.ini", "");
    const FirstRunTarget target{f.env.DataFolder + "Data/", "Access/TILVO.MDB", "Access/TILVO.MDB"};
    test::ScriptedPrompts prompts;
    test::RecordingWaitDisplay wait;
    QVERIFY(TransferOnFirstRun(f.env, target, "tilvo.ini", prompts, wait));
    QCOMPARE(test::ReadFile(target.databaseFolder + "Access/TILVO.MDB"),
             QByteArray("the user's years of data"));
    QVERIFY(prompts.shown.isEmpty());
    QVERIFY(!wait.opened);
}

void TestDataFolders::movedAsideDatabaseIsPutBackNeverReplaced_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("problem");
    QTest::newRow("sound") << true << QString();
    QTest::newRow("damaged") << true << "endommagée";
    QTest::newRow("nothing to check it with") << false << "il n'a pas pu être vérifié";
}

void TestDataFolders::movedAsideDatabaseIsPutBackNeverReplaced()
{
    QFETCH(bool, checked);
    QFETCH(QString, problem);
    Fixture f;
    f.env.DataFolder = f.dir.filePath("data/");
    test::WriteFile(f.program + "Ressources/DB/Data/Access/TILVO.MDB", "empty template");
    // A compaction stopped between moving the database aside and writing the new one.
    const QString live = f.env.DataFolder + "Data/Access/TILVO.MDB";
    const QString moved = f.env.DataFolder + "Data/Access/TILVO~.MDB";
    test::WriteFile(moved, "the user's years of data");
    FirstRunTarget target{f.env.DataFolder + "Data/", "Access/TILVO.MDB", "Access/TILVO.MDB"};
    target.movedAsideFile = moved;
    QStringList checks;
    if (checked) {
        target.checkDatabase = [&](const QString& path) {
            checks << path;
            return problem;
        };
    }
    test::ScriptedPrompts prompts;
    test::RecordingWaitDisplay wait;

    QCOMPARE(TransferOnFirstRun(f.env, target, "tilvo.ini", prompts, wait), problem.isEmpty());
    QCOMPARE(checks, checked ? QStringList{moved} : QStringList());
    QVERIFY(!wait.opened);
    QCOMPARE(prompts.shown.size(), 1);
    const QString text = prompts.texts().first();
    QVERIFY2(text.contains("La base de données " + live + " est absente, mais le fichier " + moved +
                           ", laissé par un compactage interrompu, a été trouvé."),
             qPrintable(text));
    if (problem.isEmpty()) {
        QCOMPARE(test::ReadFile(live), QByteArray("the user's years of data"));
        QVERIFY(!QFileInfo::exists(moved));
        QCOMPARE(prompts.shown.first().icon, Prompts::Icon::Information);
    } else {
        // Told what was found; the empty template is not laid over the missing database.
        QVERIFY(!QFileInfo::exists(live));
        QCOMPARE(test::ReadFile(moved), QByteArray("the user's years of data"));
        QVERIFY2(text.startsWith("EXECUTION IMPOSSIBLE !!") && text.contains(problem),
                 qPrintable(text));
        QCOMPARE(prompts.shown.first().icon, Prompts::Icon::Warning);
    }
}

QTEST_APPLESS_MAIN(TestDataFolders)
#include "tst_DataFolders.moc"
