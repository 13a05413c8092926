// SPDX-License-Identifier: GPL-3.0-or-later
#include "MaintenanceFixture.h"
#include "db/BackupHistory.h"
#include "db/CabinetReader.h"
#include "db/CabinetWriter.h"
#include "db/Compaction.h"
#include "db/DataSetModel.h"
#include "db/VersionRecord.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

const QString kBackupRow = QStringLiteral("Sauvagarde de la base de données");
const QString kRestoreRow = QStringLiteral("Restauration de la base de données");
const QString kCompactRow = QStringLiteral("Compactage de la base de données");
const QString kWait = QStringLiteral("Quelques instants, SVP ...");

QByteArray Picture(char fill, int size)
{
    QByteArray bytes(size, fill);
    bytes.prepend("\xff\xd8\xff\xe0");
    return bytes;
}

QStringList Names(const QList<CabinetEntry>& entries)
{
    QStringList names;
    for (const CabinetEntry& e : entries)
        names << e.name;
    return names;
}

} // namespace

class TestDatabaseMaintenance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void backupWritesTheArchive();
    void backupOfAnEmptyPictureFolderHoldsOnlyTheDatabase();
    void archivesPassTheCabinetTools();
    void backupStopsWhileAMovedAsideFileIsThere();
    void backupThatCannotReachItsTargetKeepsTheArchive();
    void consumptionComesBackOnItsRow_data();
    void consumptionComesBackOnItsRow();
    void roundTripGivesBackDatabaseAndPictures();
    void archiveMadeByGcabIsRestored();
    void restoredOlderDatabaseIsBroughtUpToDate();
    void archiveOfTheEarlierPlatformIsConverted();
    void badArchivesChangeNothing_data();
    void badArchivesChangeNothing();
    void hostileNamesStayInTheirFolders();
    void restoreKeepsTheFilesOfTheBackupFolder();
    void compactionShrinksTheDatabaseAndIsRecorded();
    void compactionStopsWhileAMovedAsideFileIsThere();
    void failedCompactionLeavesTheDatabase();
    void longPathIsKeptByItsEnd();

private:
    QString inputFolder() const { return m_inputs->path() + u'/'; }
    // A cabinet of the given entries, each a name and the file it is made of.
    QString makeArchive(const QString& name, const QList<QPair<QString, QString>>& entries);
    // A copy of the live database as it is now.
    QString copyOfLive(const QString& name);
    void backupTo(const QString& target);

    MaintenanceFolder m_folder;
    FixedClock m_clock{QDateTime(QDate(2007, 3, 5), QTime(14, 7, 31))};
    std::unique_ptr<QTemporaryDir> m_inputs;
};

void TestDatabaseMaintenance::initTestCase_data()
{
    AddProviderRows();
}

void TestDatabaseMaintenance::initTestCase()
{
    m_folder.prepare();
}

void TestDatabaseMaintenance::init()
{
    QFETCH_GLOBAL(bool, odbc);
    m_folder.create(odbc);
    m_folder.addPicture(QStringLiteral("b.jpg"), Picture('b', 30000));
    m_folder.addPicture(QStringLiteral("a.jpg"), Picture('a', 20000));
    m_folder.addPicture(QStringLiteral("notes.txt"), "pas une image");
    m_inputs = std::make_unique<QTemporaryDir>();
}

void TestDatabaseMaintenance::cleanup()
{
    m_folder.release();
    m_inputs.reset();
}

QString TestDatabaseMaintenance::makeArchive(const QString& name,
                                             const QList<QPair<QString, QString>>& entries)
{
    CabinetWriter writer;
    for (const auto& [entry, file] : entries)
        writer.addFile(entry, file);
    const QString path = inputFolder() + name;
    writer.write(path);
    return path;
}

QString TestDatabaseMaintenance::copyOfLive(const QString& name)
{
    const QString copy = inputFolder() + name;
    QFile::remove(copy);
    if (!QFile::copy(m_folder.live(), copy))
        return QString();
    return copy;
}

void TestDatabaseMaintenance::backupTo(const QString& target)
{
    SaveDatabaseArchive(m_folder.context(m_clock), target, kBackupRow);
}

void TestDatabaseMaintenance::backupWritesTheArchive()
{
    const QString target = inputFolder() + QStringLiteral("archive.bkp");
    backupTo(target);

    CabinetReader archive(target);
    QCOMPARE(Names(archive.entries()), QStringList({"TILVO.MDB", "a.jpg", "b.jpg", "notes.txt"}));
    // The archive holds the compacted database as it is now under the live name.
    QTemporaryDir out;
    archive.extractAll(out.path());
    QCOMPARE(ReadFile(out.path() + QStringLiteral("/TILVO.MDB")), ReadFile(m_folder.live()));
    QCOMPARE(ReadFile(out.path() + QStringLiteral("/b.jpg")), Picture('b', 30000));
    // The history row was written before the archive: the archived database holds it too.
    QCOMPARE(m_folder.history(),
             QStringList({QStringLiteral("2007-03-05|14:07|%1|%2").arg(kBackupRow, target)}));

    RecordingWaitDisplay& wait = m_folder.wait;
    QCOMPARE(wait.tasks, QStringList({"Sauvegarde de la base", "Compression : a.jpg",
                                      "Compression : b.jpg", "Compression : notes.txt"}));
    QCOMPARE(wait.messages, QStringList({kWait}));
    QCOMPARE(wait.maximum, 3);
    QCOMPARE(wait.position(), 3);
    QVERIFY(wait.closed);
    QCOMPARE(m_folder.windowStates, QList<bool>({false, true}));
    QCOMPARE(m_folder.events, QStringList({"refreshCommands"}));
    QVERIFY(m_folder.connection().isOpen());
    // Nothing is left behind.
    QCOMPARE(QDir(m_folder.backup()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(QDir(m_folder.databaseFolder() + QStringLiteral("Access"))
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"TILVO.MDB"}));
}

void TestDatabaseMaintenance::backupOfAnEmptyPictureFolderHoldsOnlyTheDatabase()
{
    QVERIFY(QDir(m_folder.images()).removeRecursively());
    const QString target = inputFolder() + QStringLiteral("archive.bkp");
    backupTo(target);
    QCOMPARE(Names(CabinetReader(target).entries()), QStringList({"TILVO.MDB"}));
    QCOMPARE(m_folder.wait.position(), 0);
    QCOMPARE(m_folder.wait.tasks, QStringList({"Sauvegarde de la base"}));
}

void TestDatabaseMaintenance::archivesPassTheCabinetTools()
{
    m_folder.addPicture(QStringLiteral("Été 2007.jpg"), Picture('e', 5000));
    const QString target = inputFolder() + QStringLiteral("archive.bkp");
    backupTo(target);
    const ToolRun test = RunTool(QStringLiteral("cabextract"), {QStringLiteral("-t"), target});
    QVERIFY2(test.exitCode == 0, qPrintable(test.output));
    QVERIFY2(test.output.contains(QLatin1String("All done, no errors.")), qPrintable(test.output));
    const ToolRun list = RunTool(QStringLiteral("cabextract"), {QStringLiteral("-l"), target});
    QCOMPARE(list.exitCode, 0);
    QStringList listed;
    for (const QString& line : list.output.split(u'\n')) {
        const QStringList columns = line.split(QStringLiteral(" | "));
        if (columns.size() == 3 && !columns.at(0).contains(QLatin1String("File size")))
            listed << columns.at(2).trimmed();
    }
    QCOMPARE(listed, QStringList({"TILVO.MDB", "a.jpg", "b.jpg", "notes.txt", "Été 2007.jpg"}));
}

void TestDatabaseMaintenance::backupStopsWhileAMovedAsideFileIsThere()
{
    const QString moved = MovedAsideName(m_folder.live());
    WriteFile(moved, "left by an interrupted compaction");
    const QString target = inputFolder() + QStringLiteral("archive.bkp");
    try {
        backupTo(target);
        QFAIL("the backup went on");
    } catch (const Error& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("La sauvegarde n'a pas été faite : Le "
                                                    "fichier ") +
                                     moved),
                 qPrintable(e.text()));
    }
    QCOMPARE(ReadFile(moved), QByteArray("left by an interrupted compaction"));
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(!QFileInfo::exists(m_folder.backup() + QStringLiteral("temp.cab")));
    QVERIFY(m_folder.connection().isOpen());
    QCOMPARE(m_folder.windowStates, QList<bool>({false, true}));
    // The live database is the one that was there, with the row written before the work.
    QCOMPARE(m_folder.history().size(), 1);
    m_folder.closeModule();
    QCOMPARE(RawScalar(m_folder.live(), QStringLiteral("SELECT COUNT(*) FROM CONSUMPTION")).toInt(),
             MaintenanceFolder::kEntries);
}

void TestDatabaseMaintenance::backupThatCannotReachItsTargetKeepsTheArchive()
{
    const QString target = inputFolder() + QStringLiteral("missing folder/archive.bkp");
    const QString cabinet = m_folder.backup() + QStringLiteral("temp.cab");
    try {
        backupTo(target);
        QFAIL("the backup said nothing");
    } catch (const Error& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("La sauvegarde n'a pas pu être enregistrée "
                                                    "sous ") +
                                     target),
                 qPrintable(e.text()));
        QVERIFY2(e.text().contains(cabinet), qPrintable(e.text()));
    }
    QCOMPARE(Names(CabinetReader(cabinet).entries()),
             QStringList({"TILVO.MDB", "a.jpg", "b.jpg", "notes.txt"}));
    QVERIFY(m_folder.connection().isOpen());
    // The next backup starts afresh.
    const QString other = inputFolder() + QStringLiteral("archive.bkp");
    backupTo(other);
    QVERIFY(!QFileInfo::exists(cabinet));
    QVERIFY(QFileInfo::exists(other));
}

void TestDatabaseMaintenance::consumptionComesBackOnItsRow_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("backup") << "backup";
    QTest::newRow("restore") << "restore";
    QTest::newRow("compaction") << "compaction";
}

void TestDatabaseMaintenance::consumptionComesBackOnItsRow()
{
    QFETCH(QString, command);
    const QString archive = inputFolder() + QStringLiteral("archive.bkp");
    if (command == u"restore")
        backupTo(archive);
    DataSet& consumption = m_folder.module().Consumption();
    ReplaceWhereLine(consumption,
                     QStringLiteral("WHERE Id_Account=") + QString::number(m_folder.accountId()));
    consumption.open();
    consumption.moveTo(4);
    const qint64 id = consumption.fieldByName(QStringLiteral("Id")).asInteger();
    const QStringList sql = consumption.sql();
    DataSetModel grid(m_folder.module().DSConsumption());
    QCOMPARE(grid.rowCount(), MaintenanceFolder::kEntries);

    const MaintenanceContext context = m_folder.context(m_clock);
    if (command == u"backup")
        SaveDatabaseArchive(context, archive, kBackupRow);
    else if (command == u"restore")
        RestoreDatabaseArchive(context, archive);
    else
        CompactAndRepairDatabase(context);

    QVERIFY(consumption.isActive());
    QCOMPARE(consumption.sql(), sql);
    QCOMPARE(consumption.recNo(), 4);
    QCOMPARE(consumption.fieldByName(QStringLiteral("Id")).asInteger(), id);
    QVERIFY(!consumption.controlsDisabled());
    QCOMPARE(grid.rowCount(), MaintenanceFolder::kEntries);
    QCOMPARE(grid.currentRow(), 4);
}

void TestDatabaseMaintenance::roundTripGivesBackDatabaseAndPictures()
{
    const QString archive = inputFolder() + QStringLiteral("archive.bkp");
    backupTo(archive);
    const QString saved = m_folder.content();

    m_folder.changeEntries(3);
    m_folder.addPicture(QStringLiteral("a.jpg"), Picture('A', 100));
    m_folder.addPicture(QStringLiteral("c.jpg"), Picture('c', 100));
    QVERIFY(m_folder.content() != saved);

    RestoreDatabaseArchive(m_folder.context(m_clock), archive);
    QCOMPARE(m_folder.content(), saved);
    QCOMPARE(m_folder.history(),
             QStringList({QStringLiteral("2007-03-05|14:07|%1|%2").arg(kBackupRow, archive),
                          QStringLiteral("2007-03-05|14:07|%1|%2").arg(kRestoreRow, archive)}));
    QCOMPARE(ReadFile(m_folder.images() + QStringLiteral("a.jpg")), Picture('a', 20000));
    QCOMPARE(ReadFile(m_folder.images() + QStringLiteral("b.jpg")), Picture('b', 30000));
    QVERIFY(!QFileInfo::exists(m_folder.images() + QStringLiteral("c.jpg")));
    // A file that is no picture is not put among the pictures; it stays beside the backups.
    QCOMPARE(ReadFile(m_folder.backup() + QStringLiteral("notes.txt")),
             QByteArray("pas une image"));
    QCOMPARE(QDir(m_folder.backup()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"notes.txt"}));

    RecordingWaitDisplay& wait = m_folder.wait;
    QCOMPARE(wait.tasks.mid(wait.tasks.size() - 6),
             QStringList({"Préparation de la restauration", "Décompression des fichiers ...",
                          "Décompression des fichiers ...", "Décompression des fichiers ...",
                          "Décompression des fichiers ...", "Restauration de la base"}));
    QCOMPARE(wait.maximum, 4);
    QCOMPARE(wait.position(), 5);
    QCOMPARE(m_folder.events, QStringList({"refreshCommands", "closeDossier", "refreshCommands"}));
    QCOMPARE(m_folder.windowStates, QList<bool>({false, true, false, true}));
}

void TestDatabaseMaintenance::archiveMadeByGcabIsRestored()
{
    const QString database = copyOfLive(QStringLiteral("TILVO.MDB"));
    const QString saved = m_folder.content();
    QVERIFY(QFile::copy(m_folder.images() + QStringLiteral("a.jpg"),
                        inputFolder() + QStringLiteral("a.jpg")));
    const QString archive = inputFolder() + QStringLiteral("gcab.bkp");
    const ToolRun made = RunTool(QStringLiteral("gcab"),
                                 {QStringLiteral("-c"), QStringLiteral("-z"), QStringLiteral("-n"),
                                  archive, database, inputFolder() + QStringLiteral("a.jpg")});
    QVERIFY2(made.exitCode == 0, qPrintable(made.output));

    m_folder.changeEntries(2);
    RestoreDatabaseArchive(m_folder.context(m_clock), archive);
    QCOMPARE(m_folder.content(), saved);
    QCOMPARE(QDir(m_folder.images()).entryList({"*.jpg"}), QStringList({"a.jpg"}));
}

void TestDatabaseMaintenance::restoredOlderDatabaseIsBroughtUpToDate()
{
    SetBDVersion(m_folder.connection(), QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE"),
                 QStringLiteral("1.50"));
    const QString archive = inputFolder() + QStringLiteral("archive.bkp");
    backupTo(archive);
    SetBDVersion(m_folder.connection(), QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE"),
                 QStringLiteral("1.83"));
    WriteFile(m_folder.root() + QStringLiteral("program/Maj/BD_183.maj"),
              "NotTableExists(UPGRADED)\r\nSqlExe{CREATE TABLE UPGRADED (Id COUNTER)}\r\nEND\r\n");

    RestoreDatabaseArchive(m_folder.context(m_clock), archive);
    QVERIFY(m_folder.connection().table(QStringLiteral("UPGRADED")));
    QCOMPARE(GetBDVersion(m_folder.connection(), QStringLiteral("OBJECT_VAL_STR"),
                          QStringLiteral("VALUE")),
             QStringLiteral("1.83"));
    // The script reports into the wait window's task text.
    QVERIFY(m_folder.wait.tasks.contains(QStringLiteral("Mise à jour de la base de données ...")));
    QCOMPARE(m_folder.history().last(),
             QStringLiteral("2007-03-05|14:07|%1|%2").arg(kRestoreRow, archive));
}

void TestDatabaseMaintenance::archiveOfTheEarlierPlatformIsConverted()
{
    // The conversion starts from the program folder's template database.
    const QString templateFolder = m_folder.root() + QStringLiteral("program/Ressources/DB/Data/");
    QDir().mkpath(templateFolder + QStringLiteral("Access"));
    QVERIFY(QFile::copy(QStringLiteral(TILVO_PROGRAM_DIR "/Ressources/DB/Data/Access/TILVO.MDB"),
                        templateFolder + QStringLiteral("Access/TILVO.MDB")));
    // An archive of the earlier platform: its Jet database and two pictures.
    QVERIFY(QFile::copy(QStringLiteral(TILVO_SOURCE_DIR "/tests/data/jet/tilvo-jet4-small.mdb"),
                        inputFolder() + QStringLiteral("TILVO.MDB")));
    WriteFile(inputFolder() + QStringLiteral("Account1.jpg"), Picture('1', 5000));
    WriteFile(inputFolder() + QStringLiteral("Account3.jpg"), Picture('3', 7000));
    const QString archive = inputFolder() + QStringLiteral("ancienne.bkp");
    const ToolRun made = RunTool(QStringLiteral("gcab"),
                                 {QStringLiteral("-c"), QStringLiteral("-z"), QStringLiteral("-n"),
                                  archive, inputFolder() + QStringLiteral("TILVO.MDB"),
                                  inputFolder() + QStringLiteral("Account1.jpg"),
                                  inputFolder() + QStringLiteral("Account3.jpg")});
    QVERIFY2(made.exitCode == 0, qPrintable(made.output));

    const QString note = RestoreDatabaseArchive(m_folder.context(m_clock), archive);
    QCOMPARE(note,
             QStringLiteral("2 dossier(s), 3 compte(s) et 1000 consommation(s) ont été repris."));
    Connection& c = m_folder.connection();
    QVERIFY(c.isOpen());
    QCOMPARE(Scalar(c, QStringLiteral("SELECT COUNT(*) FROM CONSUMPTION")).toInt(), 1000);
    QCOMPARE(Scalar(c, QStringLiteral("SELECT LoginName FROM PROFILES WHERE ID = 1")).toString(),
             QStringLiteral("Maison de Léa"));
    QCOMPARE(QDir(m_folder.images()).entryList({"*.jpg"}),
             QStringList({"Account1.jpg", "Account3.jpg"}));
    QCOMPARE(ReadFile(m_folder.images() + QStringLiteral("Account3.jpg")), Picture('3', 7000));
    // Neither the Jet file nor anything converted is left among the backups.
    QVERIFY(QDir(m_folder.backup()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    // The history of the earlier platform, then the restore.
    QCOMPARE(m_folder.history().size(), 3);
    QCOMPARE(m_folder.history().last(),
             QStringLiteral("2007-03-05|14:07|%1|%2").arg(kRestoreRow, archive));
    QVERIFY(m_folder.wait.tasks.contains(QStringLiteral("Conversion de la table CONSUMPTION ...")));
}

void TestDatabaseMaintenance::badArchivesChangeNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("text file") << "text"
                               << "n'est pas une archive de sauvegarde lisible";
    QTest::newRow("empty file") << "empty"
                                << "est vide : ce n'est pas une archive";
    QTest::newRow("missing file") << "missing"
                                  << "n'existe pas";
    QTest::newRow("truncated") << "truncated"
                               << "est endommagée";
    QTest::newRow("flipped bytes") << "flipped"
                                   << "est endommagée";
    QTest::newRow("escaping name") << "escaping"
                                   << "ne contient pas de base de données";
    QTest::newRow("no database") << "pictures"
                                 << "ne contient pas de base de données";
    QTest::newRow("garbage database") << "garbage"
                                      << "n'est pas utilisable";
    QTest::newRow("damaged file of the older engine")
        << "jet"
        << "le fichier TILVO.MDB n'a pas pu être converti : la base de données de "
           "l'ancienne version est endommagée ou incomplète";
    QTest::newRow("foreign database") << "foreign"
                                      << "ce n'est pas une base de données de ce";
}

void TestDatabaseMaintenance::badArchivesChangeNothing()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const QString picture = m_folder.images() + QStringLiteral("a.jpg");
    QString archive = inputFolder() + QStringLiteral("bad.bkp");
    if (kind == u"text") {
        WriteFile(archive, "Ceci n'est pas une sauvegarde.\r\n");
    } else if (kind == u"empty") {
        WriteFile(archive, QByteArray());
    } else if (kind == u"missing") {
        archive = inputFolder() + QStringLiteral("nowhere.bkp");
    } else if (kind == u"truncated" || kind == u"flipped") {
        const QString good =
            makeArchive(QStringLiteral("good.bkp"),
                        {{"TILVO.MDB", copyOfLive(QStringLiteral("db"))}, {"a.jpg", picture}});
        QByteArray bytes = ReadFile(good);
        if (kind == u"truncated")
            bytes.truncate(bytes.size() / 2);
        else
            for (qsizetype i = bytes.size() / 3; i < bytes.size() / 3 + 16; ++i)
                bytes[i] = char(bytes[i] ^ 0x5a);
        WriteFile(archive, bytes);
    } else if (kind == u"escaping") {
        archive = makeArchive(QStringLiteral("bad.bkp"), {{"../../evil.jpg", picture}});
    } else if (kind == u"pictures") {
        archive = makeArchive(QStringLiteral("bad.bkp"), {{"a.jpg", picture}});
    } else {
        const QString database = inputFolder() + QStringLiteral("TILVO.MDB");
        if (kind == u"garbage") {
            WriteFile(database, QByteArray(65536, 'x'));
        } else if (kind == u"jet") {
            QByteArray jet(8192, '\0');
            jet.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20).left(19));
            WriteFile(database, jet);
        } else {
            Connection other;
            CreateEmptyDatabase(other, database);
            other.exec(QStringLiteral("CREATE TABLE NOTES (Id COUNTER, Body MEMO)"));
        }
        archive =
            makeArchive(QStringLiteral("bad.bkp"), {{"TILVO.MDB", database}, {"a.jpg", picture}});
    }
    m_folder.changeEntries(2);
    const QString content = m_folder.content();
    const QStringList history = m_folder.history();
    m_folder.closeModule();
    const QMap<QString, QByteArray> before = m_folder.files();
    const QByteArray archiveBytes = ReadFile(archive);
    m_folder.openModule();

    try {
        RestoreDatabaseArchive(m_folder.context(m_clock), archive);
        QFAIL("the archive was restored");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(message), qPrintable(e.text()));
        QVERIFY2(e.text().contains(archive), qPrintable(e.text()));
    }
    QVERIFY(m_folder.connection().isOpen());
    QCOMPARE(m_folder.content(), content);
    QCOMPARE(m_folder.history(), history);
    QCOMPARE(m_folder.windowStates.last(), true);
    QVERIFY(m_folder.wait.closed);
    m_folder.closeModule();
    // Not a byte written anywhere, the archive included.
    QCOMPARE(m_folder.files(), before);
    QCOMPARE(ReadFile(archive), archiveBytes);
}

void TestDatabaseMaintenance::hostileNamesStayInTheirFolders()
{
    const QString picture = m_folder.images() + QStringLiteral("a.jpg");
    const QByteArray digest = FileDigest(picture);
    const QString archive =
        makeArchive(QStringLiteral("names.bkp"), {{"TILVO.MDB", copyOfLive(QStringLiteral("db"))},
                                                  {"../../evil.jpg", picture},
                                                  {"..\\..\\windows.jpg", picture},
                                                  {"/absolute/x.jpg", picture},
                                                  {"..", picture},
                                                  {"sub/notes.txt", picture}});
    m_folder.closeModule();
    QMap<QString, QByteArray> before = m_folder.files();
    m_folder.openModule();

    RestoreDatabaseArchive(m_folder.context(m_clock), archive);
    QCOMPARE(QDir(m_folder.images()).entryList(QDir::Files),
             QStringList({"evil.jpg", "notes.txt", "windows.jpg", "x.jpg"}));
    m_folder.closeModule();
    QMap<QString, QByteArray> after = m_folder.files();
    // Apart from the database and its pictures, only the backup folder got a file.
    const QString images = QStringLiteral("data/Data/Images/");
    for (const char* name : {"a.jpg", "b.jpg"})
        before.remove(images + QLatin1String(name));
    for (const char* name : {"evil.jpg", "windows.jpg", "x.jpg"})
        QCOMPARE(after.take(images + QLatin1String(name)), digest);
    QCOMPARE(after.take(QStringLiteral("data/Backup/notes.txt")), digest);
    before.remove(QStringLiteral("data/Data/Access/TILVO.MDB"));
    after.remove(QStringLiteral("data/Data/Access/TILVO.MDB"));
    QCOMPARE(after, before);
}

void TestDatabaseMaintenance::restoreKeepsTheFilesOfTheBackupFolder()
{
    const QString earlier = m_folder.backup() + QStringLiteral("notes.txt");
    WriteFile(earlier, "an earlier file");
    const QString archive = inputFolder() + QStringLiteral("archive.bkp");
    backupTo(archive);
    RestoreDatabaseArchive(m_folder.context(m_clock), archive);
    QCOMPARE(ReadFile(earlier), QByteArray("an earlier file"));
    // The entry that would have replaced it stays in the restore's own folder.
    QCOMPARE(QDir(m_folder.backup()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList({"Restauration du 05-03-2007 14.07.31"}));
    QCOMPARE(ReadFile(m_folder.backup() +
                      QStringLiteral("Restauration du 05-03-2007 14.07.31/notes.txt")),
             QByteArray("pas une image"));
    // The work folder of an interrupted restore goes with the next restore.
    QDir().mkpath(m_folder.backup() + QStringLiteral("Restauration-a1B2c3/part"));
    RestoreDatabaseArchive(m_folder.context(m_clock), archive);
    QVERIFY(!QFileInfo::exists(m_folder.backup() + QStringLiteral("Restauration-a1B2c3")));
}

void TestDatabaseMaintenance::compactionShrinksTheDatabaseAndIsRecorded()
{
    // Pages freed by deleted rows are what a compaction gives back.
    for (int i = 0; i < 9; ++i)
        ExecSql(m_folder.module().Query(),
                QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                               "Description) SELECT Id_File, Id_Account, DateAction, "
                               "'une longue remarque pour remplir des pages' FROM CONSUMPTION"));
    m_folder.changeEntries(1);
    m_folder.closeModule();
    const qint64 before = QFileInfo(m_folder.live()).size();
    m_folder.openModule();
    const QString content = m_folder.content();

    CompactAndRepairDatabase(m_folder.context(m_clock));
    QCOMPARE(m_folder.content(), content);
    QCOMPARE(m_folder.history(),
             QStringList({QStringLiteral("2007-03-05|14:07|%1|%2")
                              .arg(kCompactRow, m_folder.databaseFolder() +
                                                    QStringLiteral("Access/TILVO.MDB"))}));
    QCOMPARE(m_folder.wait.tasks, QStringList({"Compactage de la base"}));
    QCOMPARE(m_folder.wait.messages, QStringList({kWait}));
    m_folder.closeModule();
    QVERIFY(QFileInfo(m_folder.live()).size() < before);
    QCOMPARE(QDir(m_folder.databaseFolder() + QStringLiteral("Access"))
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"TILVO.MDB"}));
}

void TestDatabaseMaintenance::compactionStopsWhileAMovedAsideFileIsThere()
{
    const QString moved = MovedAsideName(m_folder.live());
    WriteFile(moved, "older copy");
    try {
        CompactAndRepairDatabase(m_folder.context(m_clock));
        QFAIL("compacted");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(moved), qPrintable(e.text()));
    }
    QCOMPARE(ReadFile(moved), QByteArray("older copy"));
    QVERIFY(m_folder.connection().isOpen());
    QCOMPARE(m_folder.content().isEmpty(), false);
}

void TestDatabaseMaintenance::failedCompactionLeavesTheDatabase()
{
    // Something that cannot be removed stands where the compacted copy would be written.
    const QString pending = PendingDatabaseName(m_folder.live());
    WriteFile(pending + QStringLiteral("/occupied"), "x");
    const QString content = m_folder.content();
    try {
        CompactAndRepairDatabase(m_folder.context(m_clock));
        QFAIL("compacted");
    } catch (const Error& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("Le compactage de la base de données")),
                 qPrintable(e.text()));
    }
    QVERIFY(m_folder.connection().isOpen());
    QCOMPARE(m_folder.content(), content);
    QVERIFY(QDir(pending).removeRecursively());
}

void TestDatabaseMaintenance::longPathIsKeptByItsEnd()
{
    // The column holds 255 characters; the end of a longer path names the file.
    const QString path = QStringLiteral("/") + QString(300, u'd') + QStringLiteral("/fin.bkp");
    AddBackupHistory(m_folder.module(), kBackupRow, path, m_clock);
    const QString stored = m_folder.history().first().section(u'|', 3);
    QCOMPARE(stored.size(), 255);
    QCOMPARE(stored, QStringLiteral("…") + path.right(254));
}

QTEST_GUILESS_MAIN(TestDatabaseMaintenance)
#include "tst_DatabaseMaintenance.moc"
