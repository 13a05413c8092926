// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartupFakes.h"
#include "app/CommandLine.h"
#include "app/StartupChecks.h"
#include "common/Clock.h"
#include "db/CabinetReader.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace tilvo;
using namespace tilvo::test;

// tilvo-cli's commands, run in temporary program, data and lock folders.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void arguments_data();
    void arguments();
    void helpNamesEveryCommand();
    void wrongArgumentsTouchNothing();
    void firstRunMakesTheDataFolderReady();
    void backupHistoryRestoreAndCompaction();
    void refusesWhileTheProgramRuns();
    void badArchiveFails();
    void damagedDatabaseCanStillBeRestored();
    void waitingScriptsRunOnceAfterASafetyCopy();
    void progressIsDrawnOnATerminalOnly();
    void exportAndImportEntries();
    void importWithRefusedLines();
    void importOfAnOldDatabase_data();
    void importOfAnOldDatabase();

private:
    // Runs statements on the data folder's database, beside the program.
    QVariant sql(const QStringList& statements);
    int run(const QStringList& arguments, bool terminal = false);
    QString data() const { return m_dir->path() + QStringLiteral("/data/"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(9, 30, 15))};
    QString m_out;
    QString m_err;
};

void TestCommandLine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_program = m_dir->path() + QStringLiteral("/program/");
    QDir().mkpath(m_program + QStringLiteral("Ressources/DB/Data/Access"));
    QDir().mkpath(m_dir->path() + QStringLiteral("/documents"));
    QVERIFY(QFile::copy(QString::fromLocal8Bit(qgetenv("TILVO_PROGRAM_DIR")) +
                            QStringLiteral("/Ressources/DB/Data/Access/TILVO.MDB"),
                        m_program + QStringLiteral("Ressources/DB/Data/Access/TILVO.MDB")));
}

void TestCommandLine::cleanup()
{
    m_dir.reset();
}

int TestCommandLine::run(const QStringList& arguments, bool terminal)
{
    m_out.clear();
    m_err.clear();
    QTextStream out(&m_out);
    QTextStream err(&m_err);
    CommandLineContext context{
        m_program,
        FixedPlatform(m_dir->path() + QStringLiteral("/documents/"), m_dir->path() + u'/'),
        m_clock,
        out,
        err,
        terminal};
    return RunCommandLine(arguments, context);
}

void TestCommandLine::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("dataFolder");
    QTest::addColumn<QString>("error");
    QTest::newRow("backup") << QStringList{"backup", "a.bkp"} << "backup"
                            << "a.bkp"
                            << ""
                            << "";
    QTest::newRow("data before") << QStringList{"--data", "/d", "restore", "a.bkp"} << "restore"
                                 << "a.bkp"
                                 << "/d"
                                 << "";
    QTest::newRow("data after") << QStringList{"compact", "--data=/d"} << "compact"
                                << ""
                                << "/d"
                                << "";
    QTest::newRow("no command") << QStringList{} << ""
                                << ""
                                << ""
                                << "Aucune commande n'est donnée.";
    QTest::newRow("unknown command") << QStringList{"purge"} << "purge"
                                     << ""
                                     << ""
                                     << "Commande inconnue : purge";
    QTest::newRow("no file") << QStringList{"backup"} << "backup"
                             << ""
                             << ""
                             << "La commande backup demande un fichier de sauvegarde.";
    QTest::newRow("import-mdb") << QStringList{"import-mdb", "TILVO.MDB"} << "import-mdb"
                            << "TILVO.MDB"
                            << ""
                            << "";
    QTest::newRow("import-mdb without file")
        << QStringList{"import-mdb"} << "import-mdb"
        << ""
        << ""
        << "La commande import-mdb demande une base de données de l'ancienne version (.mdb).";
    QTest::newRow("one too many") << QStringList{"history", "x"} << "history"
                                  << ""
                                  << ""
                                  << "Argument en trop : x";
    QTest::newRow("no folder") << QStringList{"update", "--data"} << ""
                               << ""
                               << ""
                               << "L'option --data demande un dossier.";
    QTest::newRow("unknown option") << QStringList{"update", "--force"} << ""
                                    << ""
                                    << ""
                                    << "Option inconnue : --force";
    QTest::newRow("export") << QStringList{"export", "e.csv", "--account", "3"} << "export"
                            << "e.csv"
                            << ""
                            << "";
    QTest::newRow("export of a period")
        << QStringList{"export", "--from=01/01/2008", "--to", "2008-12-31", "e.csv"} << "export"
        << "e.csv"
        << ""
        << "";
    QTest::newRow("import") << QStringList{"import", "i.csv", "--account=3", "--valid-only"}
                            << "import"
                            << "i.csv"
                            << ""
                            << "";
    QTest::newRow("import without account")
        << QStringList{"import", "i.csv"} << "import"
        << "i.csv"
        << ""
        << "La commande import demande le compte : --account NUMÉRO.";
    QTest::newRow("export without file") << QStringList{"export"} << "export"
                                         << ""
                                         << ""
                                         << "La commande export demande un fichier CSV.";
    QTest::newRow("account not a number")
        << QStringList{"export", "e.csv", "--account", "eau"} << ""
        << ""
        << ""
        << "L'option --account demande un numéro : eau";
    QTest::newRow("not a date") << QStringList{"export", "e.csv", "--from", "31/02/2008"} << ""
                                << ""
                                << ""
                                << "L'option --from demande une date (jj/mm/aaaa) : 31/02/2008";
    QTest::newRow("from alone") << QStringList{"export", "e.csv", "--from", "01/02/2008"}
                                << "export"
                                << "e.csv"
                                << ""
                                << "Les options --from et --to vont ensemble.";
    QTest::newRow("period backwards")
        << QStringList{"export", "e.csv", "--from", "02/02/2008", "--to", "01/02/2008"} << "export"
        << "e.csv"
        << ""
        << "La date de --from est après celle de --to.";
    QTest::newRow("account and dossier")
        << QStringList{"export", "e.csv", "--account", "1", "--dossier", "1"} << "export"
        << "e.csv"
        << ""
        << "Les options --account et --dossier s'excluent.";
    QTest::newRow("option of another command")
        << QStringList{"backup", "a.bkp", "--valid-only"} << "backup"
        << ""
        << ""
        << "L'option --valid-only ne s'applique pas à la commande backup.";
}

void TestCommandLine::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, command);
    QFETCH(QString, file);
    QFETCH(QString, dataFolder);
    QFETCH(QString, error);
    const CommandLineOptions options = ParseCommandLine(arguments);
    QCOMPARE(options.error, error);
    QCOMPARE(options.command, command);
    QCOMPARE(options.file, file);
    QCOMPARE(options.dataFolder, dataFolder);
    QVERIFY(!options.help);
}

void TestCommandLine::helpNamesEveryCommand()
{
    QCOMPARE(run({QStringLiteral("--help")}), kExitOk);
    for (const char* word :
         {"backup FICHIER", "restore FICHIER", "import-mdb FICHIER", "compact", "update",
          "history", "export FICHIER", "import FICHIER", "--account NUMÉRO", "--dossier NUMÉRO",
          "--from DATE, --to DATE", "--valid-only", "--data DOSSIER",
          "3 Tilvo est déjà en exécution"})
        QVERIFY2(m_out.contains(QString::fromUtf8(word)), word);
    QVERIFY(m_err.isEmpty());
    QVERIFY(!QFileInfo::exists(m_dir->path() + QStringLiteral("/documents/Vantrel Software "
                                                              "Development")));
}

void TestCommandLine::wrongArgumentsTouchNothing()
{
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("backup")}), kExitUsage);
    QVERIFY(m_err.startsWith(QStringLiteral("La commande backup demande un fichier")));
    QVERIFY(!QFileInfo::exists(data()));
}

void TestCommandLine::firstRunMakesTheDataFolderReady()
{
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("update")}), kExitOk);
    for (const char* sub : {"Backup", "Export", "Html", "Data/Access/TILVO.MDB", "Data/Images",
                            "db.ini", "Avertissement.txt"})
        QVERIFY2(QFileInfo::exists(data() + QLatin1String(sub)), sub);
    QCOMPARE(m_err.trimmed(),
             QStringLiteral("La base de données %1Data/Access/TILVO.MDB est à jour (version 1.83).")
                 .arg(data()));
    // Without --data, the data folder is the program's, under the documents folder.
    QCOMPARE(run({QStringLiteral("update")}), kExitOk);
    QVERIFY(QFileInfo::exists(m_dir->path() + QStringLiteral("/documents/Vantrel Software "
                                                             "Development/Tilvo/Data/Access/"
                                                             "TILVO.MDB")));
}

void TestCommandLine::backupHistoryRestoreAndCompaction()
{
    const QString archive = m_dir->path() + QStringLiteral("/sauvegarde.bkp");
    WriteFile(data() + QStringLiteral("Data/Images/Account1.jpg"), "jpeg");
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("backup"), archive}), kExitOk);
    QCOMPARE(m_err.trimmed(), QStringLiteral("Sauvegarde effectuée : ") + archive);
    QCOMPARE(CabinetReader(archive).entries().size(), 2);

    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("compact")}), kExitOk);
    QCOMPARE(m_err.trimmed(), QStringLiteral("Compactage effectué."));
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("history")}), kExitOk);
    QCOMPARE(
        m_out.split(u'\n', Qt::SkipEmptyParts),
        QStringList(
            {QStringLiteral("10/12/2026  09:30  Sauvagarde de la base de données    ") + archive,
             QStringLiteral("10/12/2026  09:30  Compactage de la base de données    ") + data() +
                 QStringLiteral("Data/Access/TILVO.MDB")}));

    QFile::remove(data() + QStringLiteral("Data/Images/Account1.jpg"));
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("restore"), archive}), kExitOk);
    QCOMPARE(m_err.trimmed(), QStringLiteral("Sauvegarde restaurée : ") + archive);
    QCOMPARE(ReadFile(data() + QStringLiteral("Data/Images/Account1.jpg")), QByteArray("jpeg"));
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("history")}), kExitOk);
    QCOMPARE(m_out.count(u'\n'), 2);
    QVERIFY(m_out.contains(QStringLiteral("Restauration de la base de données")));
}

void TestCommandLine::refusesWhileTheProgramRuns()
{
    const SingleInstanceGuard program(m_dir->path() + u'/', QStringLiteral("ZEMBRALIK_TILVO"));
    QVERIFY(program.acquired());
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("compact")}),
             kExitAlreadyRunning);
    QCOMPARE(m_err.trimmed(), QStringLiteral("Tilvo est déjà en exécution."));
    QVERIFY(!QFileInfo::exists(data()));
}

void TestCommandLine::badArchiveFails()
{
    const QString archive = m_dir->path() + QStringLiteral("/texte.bkp");
    WriteFile(archive, "pas une archive");
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("restore"), archive}),
             kExitFailed);
    QVERIFY2(m_err.startsWith(QStringLiteral("Erreur : Le fichier %1 n'est pas une archive de "
                                             "sauvegarde lisible")
                                  .arg(archive)),
             qPrintable(m_err));
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("history")}), kExitOk);
    QVERIFY(m_out.isEmpty());
}

void TestCommandLine::damagedDatabaseCanStillBeRestored()
{
    const QString archive = m_dir->path() + QStringLiteral("/sauvegarde.bkp");
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("backup"), archive}), kExitOk);
    const QString live = data() + QStringLiteral("Data/Access/TILVO.MDB");
    QByteArray damaged = ReadFile(live);
    damaged.replace(0, 16, QByteArray(16, 'x'));
    WriteFile(live, damaged);

    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("compact")}), kExitFailed);
    QVERIFY2(m_err.contains(QStringLiteral("« tilvo-cli restore FICHIER » la remplace")),
             qPrintable(m_err));
    QCOMPARE(ReadFile(live), damaged);

    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("restore"), archive}), kExitOk);
    QVERIFY2(m_err.contains(QStringLiteral("Sauvegarde restaurée : ") + archive),
             qPrintable(m_err));
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("history")}), kExitOk);
    QVERIFY(m_out.contains(QStringLiteral("Restauration de la base de données")));
}

void TestCommandLine::waitingScriptsRunOnceAfterASafetyCopy()
{
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("update")}), kExitOk);
    WriteFile(data() + QStringLiteral("ajout.maj"),
              "SqlExe{INSERT INTO BACKUP (Description) VALUES ('par script')}\r\n");
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("history")}), kExitOk);
    QVERIFY(m_err.contains(QStringLiteral("avant la mise à jour ? Oui")));
    QCOMPARE(m_out.count(QLatin1String("par script")), 1);
    QVERIFY(!QFileInfo::exists(data() + QStringLiteral("ajout.maj")));
    QCOMPARE(QDir(data() + QStringLiteral("Backup/Maj")).entryList({"*.bkp"}).size(), 1);
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("history")}), kExitOk);
    QCOMPARE(m_out.count(QLatin1String("par script")), 1);
}

void TestCommandLine::progressIsDrawnOnATerminalOnly()
{
    WriteFile(data() + QStringLiteral("Data/Images/Account1.jpg"), "jpeg");
    const QString archive = m_dir->path() + QStringLiteral("/a.bkp");
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("backup"), archive}, true),
             kExitOk);
    QVERIFY2(m_err.contains(QLatin1String("\rSauvegarde de la base")), qPrintable(m_err));
    QVERIFY(m_err.contains(QLatin1String("Compression : Account1.jpg")));
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("backup"), archive}, false),
             kExitOk);
    QVERIFY(!m_err.contains(u'\r'));
}

QVariant TestCommandLine::sql(const QStringList& statements)
{
    QVariant last;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("beside"));
        db.setDatabaseName(data() + QStringLiteral("Data/Access/TILVO.MDB"));
        if (!db.open())
            qFatal("cannot open the database");
        for (const QString& statement : statements) {
            QSqlQuery q(db);
            if (!q.exec(statement))
                qFatal("%s", qPrintable(q.lastError().text()));
            if (q.next())
                last = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("beside"));
    return last;
}

void TestCommandLine::exportAndImportEntries()
{
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("update")}), kExitOk);
    sql({"INSERT INTO PROFILES (ID, LoginName) VALUES (1, 'Maison')",
         "INSERT INTO ACCOUNT (Id, Id_File, Title, Count, IncCount) VALUES (1, 1, 'Eau', 0, 1)",
         "INSERT INTO ACCOUNT (Id, Id_File, Title, Count, IncCount) VALUES (2, 1, 'Copie', 1, 1)",
         "INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, Price, "
         "Description) VALUES (1, 1, '2008-03-05', 12.5, 3.25, 'a;b')",
         "INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, Price) VALUES "
         "(1, 1, '2008-04-05', 2, 0)"});
    const QString file = m_dir->path() + QStringLiteral("/eau.csv");
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("export"), file,
                  QStringLiteral("--account"), QStringLiteral("1")},
                 true),
             kExitOk);
    QVERIFY2(m_err.contains(QLatin1String("100 % Exportation des consommations")),
             qPrintable(m_err));
    QVERIFY2(m_err.contains(QStringLiteral("2 consommation(s) exportée(s) : ") + file),
             qPrintable(m_err));
    QCOMPARE(ReadFile(file), QByteArray("\xEF\xBB\xBF"
                                        "Compte;Date;Quantité;Unité;Montant;Commentaire\r\n"
                                        "Eau;05/03/2008;12,5;;3,25;\"a;b\"\r\n"
                                        "Eau;05/04/2008;2;;0;\r\n"));

    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("import"), file,
                  QStringLiteral("--account=2")}),
             kExitOk);
    QVERIFY2(m_err.contains(QStringLiteral("2 consommation(s) importée(s) dans le compte 2.")),
             qPrintable(m_err));
    QCOMPARE(sql({"SELECT group_concat(DateAction || ' ' || Quantity || ' ' || Price || ' ' || "
                  "ifnull(Description, '-'), '|') FROM (SELECT * FROM CONSUMPTION WHERE "
                  "Id_Account=2 ORDER BY DateAction)"})
                 .toString(),
             QStringLiteral("2008-03-05 12.5 3.25 a;b|2008-04-05 2.0 0.0 -"));
    QCOMPARE(sql({"SELECT Count FROM ACCOUNT WHERE Id=2"}).toDouble(), 15.5);

    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("export"), file,
                  QStringLiteral("--account"), QStringLiteral("7")}),
             kExitFailed);
    QVERIFY2(m_err.contains(QStringLiteral("Erreur : Le compte 7 n'existe pas.")),
             qPrintable(m_err));
}

void TestCommandLine::importWithRefusedLines()
{
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("update")}), kExitOk);
    sql({"INSERT INTO PROFILES (ID, LoginName) VALUES (1, 'Maison')",
         "INSERT INTO ACCOUNT (Id, Id_File, Title) VALUES (1, 1, 'Eau')"});
    const QString file = m_dir->path() + QStringLiteral("/lignes.csv");
    WriteFile(file, "Date;Quantité\n05/03/2008;1\n31/02/2008;2\n06/03/2008;12,5,3\n");
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("import"), file,
                  QStringLiteral("--account"), QStringLiteral("1")}),
             kExitFailed);
    QVERIFY2(m_err.contains(QStringLiteral("Lignes refusées :\nLigne 3 : date invalide : « "
                                           "31/02/2008 »\nLigne 4 : quantité invalide : « "
                                           "12,5,3 »\n")),
             qPrintable(m_err));
    QVERIFY2(m_err.contains(QStringLiteral("Rien n'a été importé : 2 ligne(s) refusée(s).")),
             qPrintable(m_err));
    QCOMPARE(sql({"SELECT COUNT(*) FROM CONSUMPTION"}).toInt(), 0);

    QCOMPARE(
        run({QStringLiteral("--data"), data(), QStringLiteral("import"), file,
             QStringLiteral("--account"), QStringLiteral("1"), QStringLiteral("--valid-only")}),
        kExitOk);
    QVERIFY(m_err.contains(QStringLiteral("Ligne 3 : date invalide")));
    QCOMPARE(sql({"SELECT COUNT(*) FROM CONSUMPTION"}).toInt(), 1);

    WriteFile(file, QByteArray("\x00\x01binaire", 9));
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("import"), file,
                  QStringLiteral("--account"), QStringLiteral("1")}),
             kExitFailed);
    QVERIFY2(m_err.contains(QStringLiteral("n'est pas un fichier texte.")), qPrintable(m_err));
}

void TestCommandLine::importOfAnOldDatabase_data()
{
    QTest::addColumn<bool>("underLiveName");
    QTest::newRow("file chosen") << false;
    QTest::newRow("file under the live name") << true;
}

void TestCommandLine::importOfAnOldDatabase()
{
    QFETCH(bool, underLiveName);
    const QByteArray jet = ReadFile(QString::fromLocal8Bit(qgetenv("TILVO_TEST_DATA")) +
                                    QStringLiteral("/jet/tilvo-jet4-small.mdb"));
    QVERIFY(!jet.isEmpty());
    const QString live = data() + QStringLiteral("Data/Access/TILVO.MDB");
    QString source = m_dir->path() + QStringLiteral("/ancienne.mdb");
    QString kept;
    if (underLiveName) {
        // An old data folder copied over: the start-up's question is answered "Non" here, and
        // the engine refuses the file, which the import then replaces.
        source = live;
        WriteFile(live, jet);
        kept = live + QStringLiteral(".jet");
    } else {
        WriteFile(source, jet);
        QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("update")}), kExitOk);
        kept = data() + QStringLiteral("Backup/TILVO_AVANT_IMPORT_10_12_2026_09_30_15.bkp");
    }
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("import-mdb"), source}),
             kExitOk);
    QVERIFY2(m_err.endsWith(QStringLiteral("Importation effectuée : %1\n2 dossier(s), 3 compte(s) "
                                           "et 1000 consommation(s) ont été repris.\nLa base de "
                                           "données remplacée est conservée dans le fichier "
                                           "%2.\n")
                                .arg(source, kept)),
             qPrintable(m_err));
    if (underLiveName) {
        QCOMPARE(ReadFile(kept), jet);
    } else {
        QCOMPARE(CabinetReader(kept).entries().size(), 1);
        // A second import in the same second keeps the first safety archive.
        const QByteArray first = ReadFile(kept);
        QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("import-mdb"), source}),
                 kExitOk);
        QVERIFY2(m_err.endsWith(QStringLiteral("TILVO_AVANT_IMPORT_10_12_2026_09_30_15_2.bkp.\n")),
                 qPrintable(m_err));
        QCOMPARE(ReadFile(kept), first);
    }
    QCOMPARE(run({QStringLiteral("--data"), data(), QStringLiteral("history")}), kExitOk);
    QVERIFY2(m_out.endsWith(
                 QStringLiteral("Importation d'une base de l'ancienne version  %1\n").arg(source)),
             qPrintable(m_out));
    // The two rows of the earlier platform's history came over with the database.
    QVERIFY(m_out.contains(QStringLiteral("Fin d'année")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
