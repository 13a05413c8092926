// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Clock.h"
#include "common/Error.h"
#include "common/TextCatalogue.h"
#include "common/Windows1252.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/UpdateScript.h"
#include "db/VersionRecord.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

namespace {

// Records what the gauge window, the label and the question were told.
class RecordingDisplay final : public UpdateDisplay
{
public:
    void showGauge() override { events << QStringLiteral("show"); }
    void setGaugeInfo(const QString& text) override { infos << text; }
    void setGauge(int position, int maximum) override
    {
        positions << position;
        this->maximum = maximum;
    }
    void closeGauge() override { events << QStringLiteral("close"); }
    bool askBackup(const QString& question) override
    {
        questions << question;
        return answer;
    }
    void processEvents() override { ++processed; }

    bool answer = false;
    QStringList events;
    QStringList infos;
    QStringList questions;
    QList<int> positions;
    int maximum = -1;
    int processed = 0;
};

const QString kStamp = QStringLiteral("05/03/2008-14:07:09 : ");
const QString kFinished = QStringLiteral(
    "05/03/2008-14:07:09 : ********************* MISE A JOUR TERMINE *********************");
const QString kDone = kStamp + QStringLiteral("*** Mise à jour déjà effectuée ***");

} // namespace

class TestUpdateScript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void logLinesAreStampedExactly();
    void emptyScriptOnlyCloses();
    void satisfiedGuardSkipsToEnd_data();
    void satisfiedGuardSkipsToEnd();
    void conditions_data();
    void conditions();
    void untestableConditionLogsAndSkips_data();
    void untestableConditionLogsAndSkips();
    void guardWithoutEndSkipsTheRest();
    void guardsDoNotNest();
    void failingStatementIsLoggedAndTheRunGoesOn();
    void statementIsCutAtTheFirstBrace();
    void keywordInsideStatementChangesTheReading();
    void compactDataBaseCompactsUnderTheTildeName();
    void compactDataBaseLeavesAnInterruptedCompactionAlone();
    void compactDataBaseRefusesAFileThisScriptDoesNotHold();
    void conversionCommandsRunWithoutStoppingTheScript();
    void interactiveRunOffersABackupAndConsumesTheScript_data();
    void interactiveRunOffersABackupAndConsumesTheScript();
    void failedBackupChangesNothing();
    void progressTextsAndGauge();
    void shortScriptShowsAFullGauge();
    void badInputNeverStopsTheRun();
    void shippedScriptTwiceChangesNothing();
    void shippedScriptUpgradesAnOlderDatabase();
    void programFolderDatabaseIsBroughtUpToDate();
    void appendLogLineKeepsTheEncoding();
    void logEntryStartsOnItsOwnLine_data();
    void logEntryStartsOnItsOwnLine();
    void damagedDatabaseRunsNoLine();
    void skipToEnd_data();
    void skipToEnd();

private:
    QString dataFolder() const { return m_db.folder(); }
    QString databaseFile() const { return m_db.file(); }
    UpdateRunResult run(const QByteArray& script, bool interactive = false,
                        const ProgressLabel& label = ProgressLabel());
    UpdateRunResult run(const QString& script, bool interactive = false,
                        const ProgressLabel& label = ProgressLabel())
    {
        return run(EncodeWindows1252(script), interactive, label);
    }
    QStringList log() const;
    QString schemaDump(const QString& file) const;
    int rows(const QString& from);

    SchemaCopy m_db;
    FixedClock m_clock{QDateTime(QDate(2008, 3, 5), QTime(14, 7, 9))};
    RecordingDisplay m_display;
    UpdateEnvironment m_env;
};

void TestUpdateScript::initTestCase_data()
{
    AddProviderRows();
}

void TestUpdateScript::initTestCase()
{
    m_db.prepare();
}

void TestUpdateScript::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("Data/Access/TILVO.MDB")));
    m_db.open(odbc);
    m_display = RecordingDisplay();
    m_env = UpdateEnvironment();
    m_env.config.DatabaseFolder = dataFolder() + QStringLiteral("Data/");
    m_env.config.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
    m_env.config.ActiveDatabaseFile = m_env.config.OleDbFileName;
    m_env.DataFolder = dataFolder();
    m_env.ProgramVersion = QStringLiteral("1.83");
    m_env.UpdateFileName = QStringLiteral("BD_183.maj");
    m_env.clock = &m_clock;
    m_env.display = &m_display;
    m_env.lookupText = [](const QString& s, const QString& k, const QString& d) {
        return LookupText(s, k, d);
    };
}

void TestUpdateScript::cleanup()
{
    m_db.release();
}

UpdateRunResult TestUpdateScript::run(const QByteArray& script, bool interactive,
                                      const ProgressLabel& label)
{
    WriteFile(dataFolder() + QStringLiteral("test.maj"), script);
    return RunUpdateScript(m_db.connection(), dataFolder(), QStringLiteral("test.maj"), label,
                           interactive, m_env);
}

QStringList TestUpdateScript::log() const
{
    const QByteArray bytes = ReadFile(UpdateLogPath(dataFolder()));
    QStringList lines = DecodeText(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString TestUpdateScript::schemaDump(const QString& file) const
{
    QStringList parts;
    Connection c;
    c.setDatabaseFile(file);
    c.open();
    QSqlQuery q(c.database());
    q.exec(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name"));
    while (q.next())
        parts << q.value(0).toString() + u' ' + q.value(1).toString() + u' ' +
                     q.value(2).toString();
    q.exec(QStringLiteral("SELECT name, seq FROM sqlite_sequence ORDER BY name"));
    while (q.next())
        parts << q.value(0).toString() + u'=' + q.value(1).toString();
    return parts.join(u'\n');
}

int TestUpdateScript::rows(const QString& from)
{
    DataSet q(m_db.connection());
    q.setSqlText(QStringLiteral("SELECT COUNT(*) FROM ") + from);
    q.open();
    return int(q.field(0).asInteger());
}

void TestUpdateScript::logLinesAreStampedExactly()
{
    run(QStringLiteral("// Mise à jour d'essai\r\n"
                       "SqlExe{ALTER TABLE ACCOUNT ADD COLUMN Misc13 TEXT(10)}\r\n"
                       "\r\n"
                       "SqlExe{ALTER TABLE ACCOUNT ADD COLUMN Misc13 TEXT(10)}\r\n"));
    QCOMPARE(log(),
             QStringList({
                 kStamp + QStringLiteral(" Mise à jour d'essai"),
                 kStamp + QStringLiteral("SQL:ALTER TABLE ACCOUNT ADD COLUMN Misc13 TEXT(10) (Ok)"),
                 kStamp + QStringLiteral("SQL:ALTER TABLE ACCOUNT ADD COLUMN Misc13 TEXT(10) "
                                         "(error : duplicate column name: Misc13)"),
                 kFinished,
                 QString(),
             }));
    // The log is Windows-1252 text with CR LF ends, appended to on the next run.
    QVERIFY(ReadFile(UpdateLogPath(dataFolder())).contains("Mise \xe0 jour"));
    run(QStringLiteral("//encore"));
    QCOMPARE(log().size(), 8);
    QCOMPARE(log().at(5), kStamp + QStringLiteral("encore"));
}

void TestUpdateScript::emptyScriptOnlyCloses()
{
    const UpdateRunResult r = run(QByteArray());
    QCOMPARE(r.linesRun, 0);
    QCOMPARE(log(), QStringList({kFinished, QString()}));
}

void TestUpdateScript::satisfiedGuardSkipsToEnd_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("END") << "END";
    QTest::newRow("end") << "end";
    QTest::newRow("End") << "End of block";
    QTest::newRow("ENDIF") << "ENDIF";
}

void TestUpdateScript::satisfiedGuardSkipsToEnd()
{
    QFETCH(QString, end);
    const UpdateRunResult r =
        run(QStringLiteral("NotFieldExists(ACCOUNT.Misc01)\r\n"
                           "SqlExe{INSERT INTO BACKUP (Description) VALUES ('a')}\r\n"
                           " END (indented: not an end)\r\n"
                           "SqlExe{INSERT INTO BACKUP (Description) VALUES ('b')}\r\n") +
            end +
            QStringLiteral("\r\nSqlExe{INSERT INTO BACKUP (Description) "
                           "VALUES ('after')}\r\n"));
    QCOMPARE(r.errors, 0);
    QCOMPARE(rows(QStringLiteral("BACKUP")), 1);
    QCOMPARE(rows(QStringLiteral("BACKUP WHERE Description='after'")), 1);
    QCOMPARE(log().first(), kDone);
}

void TestUpdateScript::conditions_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<bool>("runs");
    QTest::newRow("NotFieldExists missing") << "NotFieldExists(ACCOUNT.Misc99)" << true;
    QTest::newRow("NotFieldExists present, other case")
        << "NotFieldExists(account.MISC01)" << false;
    QTest::newRow("FieldExists present") << "FieldExists(ACCOUNT.Title)" << true;
    QTest::newRow("FieldExists missing") << "FieldExists(ACCOUNT.Misc99)" << false;
    QTest::newRow("NotTableExists present") << "NotTableExists(ACCOUNT)" << false;
    QTest::newRow("NotTableExists missing") << "NotTableExists(NEW_TABLE)" << true;
    QTest::newRow("TableExists other case") << "TableExists(consumption)" << true;
    QTest::newRow("TableExists missing") << "TableExists(NEW_TABLE)" << false;
    QTest::newRow("TableEmpty empty") << "TableEmpty(ACCOUNT)" << true;
    QTest::newRow("TableEmpty not empty") << "TableEmpty(PROFILES)" << false;
    QTest::newRow("NotFieldType same") << "NotFieldType(ACCOUNT.Id_File,ftInteger)" << false;
    QTest::newRow("NotFieldType other") << "NotFieldType(ACCOUNT.Id_File,ftSmallint)" << true;
    QTest::newRow("NotFieldType memo") << "NotFieldType(ACCOUNT.Remark1,ftWideMemo)" << false;
    QTest::newRow("NotFieldType text") << "NotFieldType(ACCOUNT.Title,ftWideString)" << false;
    QTest::newRow("NotFieldType counter") << "NotFieldType(ACCOUNT.Id,ftAutoInc)" << false;
    QTest::newRow("NotFieldType unknown name") << "NotFieldType(ACCOUNT.Id_File,ftNothing)" << true;
    QTest::newRow("text around the keyword") << "-- FieldExists(ACCOUNT.Title) --" << true;
}

void TestUpdateScript::conditions()
{
    QFETCH(QString, condition);
    QFETCH(bool, runs);
    m_db.connection().exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('x')"));
    const UpdateRunResult r =
        run(condition + QStringLiteral("\r\nSqlExe{INSERT INTO BACKUP (Description) "
                                       "VALUES ('ran')}\r\nEND\r\n"));
    QCOMPARE(r.errors, 0);
    QCOMPARE(rows(QStringLiteral("BACKUP")), runs ? 1 : 0);
    QCOMPARE(log().first() == kDone, !runs);
}

void TestUpdateScript::untestableConditionLogsAndSkips_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("engine");
    QTest::newRow("missing table") << "NotFieldExists(NOPE.X)"
                                   << "no such table: NOPE";
    QTest::newRow("missing column") << "NotFieldType(ACCOUNT.Nope,ftInteger)"
                                    << "no such column: ACCOUNT.Nope";
    QTest::newRow("no id column") << "TableEmpty(OBJECT_VAL_STR_NOPE)"
                                  << "no such table: OBJECT_VAL_STR_NOPE";
    QTest::newRow("unbalanced") << "FieldExists(ACCOUNT"
                                << "";
}

void TestUpdateScript::untestableConditionLogsAndSkips()
{
    QFETCH(QString, condition);
    QFETCH(QString, engine);
    const UpdateRunResult r =
        run(condition + QStringLiteral("\r\nSqlExe{INSERT INTO BACKUP (Description) "
                                       "VALUES ('skipped')}\r\nEND\r\nSqlExe{INSERT "
                                       "INTO BACKUP (Description) VALUES ('after')}\r\n"));
    QCOMPARE(r.errors, 1);
    QCOMPARE(rows(QStringLiteral("BACKUP")), 1);
    QCOMPARE(rows(QStringLiteral("BACKUP WHERE Description='after'")), 1);
    QVERIFY2(log().first().startsWith(kStamp + condition + QStringLiteral(" (error : ")),
             qPrintable(log().first()));
    QVERIFY(log().first().contains(engine));
}

void TestUpdateScript::guardWithoutEndSkipsTheRest()
{
    const UpdateRunResult r = run(
        QStringLiteral("NotTableExists(ACCOUNT)\r\nSqlExe{DROP TABLE ACCOUNT}\r\nSqlExe{DROP TABLE "
                       "PROFILES}\r\n"));
    QCOMPARE(r.errors, 0);
    QCOMPARE(log(), QStringList({kDone, kFinished, QString()}));
    QVERIFY(m_db.connection().hasColumn(QStringLiteral("PROFILES"), QStringLiteral("ID")));
}

void TestUpdateScript::guardsDoNotNest()
{
    run(QStringLiteral("TableExists(NOPE)\r\n"
                       "TableExists(ACCOUNT)\r\n"
                       "SqlExe{INSERT INTO BACKUP (Description) VALUES ('inner')}\r\n"
                       "END\r\n"
                       "SqlExe{INSERT INTO BACKUP (Description) VALUES ('outer')}\r\n"
                       "END\r\n"));
    QCOMPARE(rows(QStringLiteral("BACKUP WHERE Description='inner'")), 0);
    QCOMPARE(rows(QStringLiteral("BACKUP WHERE Description='outer'")), 1);
}

void TestUpdateScript::failingStatementIsLoggedAndTheRunGoesOn()
{
    const UpdateRunResult r =
        run(QStringLiteral("SqlExe{INSERT INTO NOPE (X) VALUES (1)}\r\n"
                           "SqlExe{INSERT INTO BACKUP (Description) VALUES ('next')}\r\n"));
    QCOMPARE(r.errors, 1);
    QCOMPARE(log().at(0), kStamp + QStringLiteral("SQL:INSERT INTO NOPE (X) VALUES (1) (error : no "
                                                  "such table: NOPE)"));
    QCOMPARE(rows(QStringLiteral("BACKUP")), 1);
}

void TestUpdateScript::statementIsCutAtTheFirstBrace()
{
    run(QStringLiteral("SqlExe{INSERT INTO BACKUP (Description) VALUES ('a}b')}\r\n"));
    QVERIFY(log().at(0).startsWith(
        kStamp + QStringLiteral("SQL:INSERT INTO BACKUP (Description) VALUES ('a (error : ")));
    QCOMPARE(rows(QStringLiteral("BACKUP")), 0);
}

void TestUpdateScript::keywordInsideStatementChangesTheReading()
{
    // "TableExists" inside the text makes the line a condition on the table "Description".
    const UpdateRunResult r = run(QStringLiteral(
        "SqlExe{INSERT INTO BACKUP (Description) VALUES ('TableExists')}\r\nEND\r\n"));
    QCOMPARE(r.errors, 0);
    QCOMPARE(rows(QStringLiteral("BACKUP")), 0);
    QCOMPARE(log().first(), kDone);
}

void TestUpdateScript::compactDataBaseCompactsUnderTheTildeName()
{
    m_db.connection().beginTransaction();
    for (int i = 0; i < 300; ++i)
        m_db.connection().exec(
            QStringLiteral("INSERT INTO ACCOUNT (Remark1) VALUES ('%1')").arg(QString(500, u'x')));
    m_db.connection().commit();
    m_db.connection().exec(QStringLiteral("DELETE FROM ACCOUNT"));
    const qint64 before = QFileInfo(databaseFile()).size();
    const UpdateRunResult r = run(QStringLiteral(
        "CompactDataBase(TILVO.MDB)\r\nSqlExe{INSERT INTO BACKUP (Description) VALUES ('x')}\r\n"));
    QCOMPARE(r.errors, 0);
    QCOMPARE(log().at(0), kStamp + QStringLiteral("Compactage de la base de données (Ok)"));
    QVERIFY(QFileInfo(databaseFile()).size() < before);
    QVERIFY(!QFileInfo::exists(dataFolder() + QStringLiteral("Data/Access/TILVO~.MDB")));
    QVERIFY(m_db.connection().isOpen());
    QCOMPARE(rows(QStringLiteral("BACKUP")), 1);
    // The compaction step shows no progress text of its own.
    QVERIFY(!m_display.infos.contains(QStringLiteral("Mise à jour de la base de données ...")));
}

void TestUpdateScript::compactDataBaseLeavesAnInterruptedCompactionAlone()
{
    const QString stale = dataFolder() + QStringLiteral("Data/Access/TILVO~.MDB");
    WriteFile(stale, "left from an interrupted compaction");
    const QByteArray before = FileDigest(databaseFile());
    m_db.connection().close();
    const QByteArray closedBefore = FileDigest(databaseFile());
    QCOMPARE(closedBefore, before);
    m_db.connection().open();
    const UpdateRunResult r = run(QStringLiteral("CompactDataBase(TILVO.MDB)\r\n"));
    QCOMPARE(r.errors, 1);
    QVERIFY2(log().at(0).startsWith(kStamp + QStringLiteral("Compactage de la base de données "
                                                            "(error : ")),
             qPrintable(log().at(0)));
    QVERIFY(log().at(0).contains(QLatin1String("TILVO~.MDB")));
    QCOMPARE(ReadFile(stale), QByteArray("left from an interrupted compaction"));
    QVERIFY(m_db.connection().isOpen());
    QCOMPARE(rows(QStringLiteral("PROFILES")), 0);
}

void TestUpdateScript::compactDataBaseRefusesAFileThisScriptDoesNotHold()
{
    QFETCH_GLOBAL(bool, odbc);
    const QString other = dataFolder() + QStringLiteral("other.db");
    QVERIFY(QFile::copy(databaseFile(), other));
    Connection c;
    ConnectTo(c, odbc, other);
    WriteFile(dataFolder() + QStringLiteral("x.maj"), "CompactDataBase(TILVO.MDB)\r\n");
    const QByteArray before = FileDigest(databaseFile());
    const UpdateRunResult r =
        RunUpdateScript(c, dataFolder(), QStringLiteral("x.maj"), ProgressLabel(), false, m_env);
    QCOMPARE(r.errors, 1);
    QCOMPARE(FileDigest(databaseFile()), before);
    QVERIFY(log().at(0).contains(QLatin1String("n'est pas celle")));
}

void TestUpdateScript::conversionCommandsRunWithoutStoppingTheScript()
{
    // No definition files in the program folder: nothing to convert. No picture coder: the
    // picture command logs its error and the run goes on.
    const UpdateRunResult r =
        run(QStringLiteral("ConvertStatScript{StatTree.def}\r\n"
                           "ExtractImageToJpegCopy('ACCOUNT','Img1','Account')\r\n"
                           "SqlExe{DELETE FROM BACKUP}\r\n"));
    QCOMPARE(r.errors, 1);
    const QString header =
        QStringLiteral("OPTIMISATION:Extraction des images au format jpeg de la table ACCOUNT");
    QCOMPARE(log().mid(0, 4),
             QStringList({kStamp + QStringLiteral("CONVERSION:Statistiques (Ok)"), kStamp + header,
                          kStamp + header +
                              QStringLiteral(" (error : le traitement des images n'est pas "
                                             "disponible)"),
                          kStamp + QStringLiteral("SQL:DELETE FROM BACKUP (Ok)")}));
}

void TestUpdateScript::interactiveRunOffersABackupAndConsumesTheScript_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestUpdateScript::interactiveRunOffersABackupAndConsumesTheScript()
{
    QFETCH(bool, answer);
    m_display.answer = answer;
    m_db.connection().exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('avant')"));
    const UpdateRunResult r = run(QStringLiteral("SqlExe{DELETE FROM PROFILES}\r\n"), true);
    QCOMPARE(r.errors, 0);
    QCOMPARE(m_display.questions,
             QStringList({"Souhaitez-vous effectuer une sauvegarde de la base de données avant la "
                          "mise à jour ?"}));
    QVERIFY(!QFileInfo::exists(dataFolder() + QStringLiteral("test.maj")));
    const QString backup =
        dataFolder() + QStringLiteral("Backup/Maj/TILVO_ACCESS_BACKUP_MAJ_05032008140709.bkp");
    QCOMPARE(QFileInfo::exists(backup), answer);
    if (answer) {
        QCOMPARE(RawScalar(backup, QStringLiteral("SELECT LoginName FROM PROFILES")).toString(),
                 QStringLiteral("avant"));
        QCOMPARE(m_display.infos.mid(0, 3), QStringList({"MISE A JOUR (Sauvegarde)", databaseFile(),
                                                         "MISE A JOUR (Base de données)"}));
    } else {
        QCOMPARE(m_display.infos.first(), QStringLiteral("MISE A JOUR (Base de données)"));
    }
    QVERIFY(m_db.connection().isOpen());
    QCOMPARE(rows(QStringLiteral("PROFILES")), 0);
    QCOMPARE(m_display.events, QStringList({"show", "close"}));
}

void TestUpdateScript::failedBackupChangesNothing()
{
    m_display.answer = true;
    m_env.config.ActiveDatabaseFile = QStringLiteral("Access/NOPE.MDB");
    m_db.connection().exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('avant')"));
    const UpdateRunResult r = run(QStringLiteral("SqlExe{DELETE FROM PROFILES}\r\n"), true);
    QVERIFY(r.backupFailed);
    QVERIFY(QFileInfo::exists(dataFolder() + QStringLiteral("test.maj")));
    QVERIFY(m_db.connection().isOpen());
    QCOMPARE(rows(QStringLiteral("PROFILES")), 1);
    QVERIFY(log().at(0).startsWith(kStamp + QStringLiteral("MISE A JOUR (Sauvegarde) (error : ")));
}

void TestUpdateScript::progressTextsAndGauge()
{
    QStringList labels;
    run(QStringLiteral("// début\r\n"
                       "NotTableExists(NEW_T)\r\n"
                       "SqlExe{CREATE TABLE NEW_T (Id COUNTER)}\r\n"
                       "END\r\n"
                       "CompactDataBase(TILVO.MDB)\r\n"),
        false, [&labels](const QString& text) { labels << text; });
    QCOMPARE(labels, QStringList({"Mise à jour (préparation) ...", "Test de la mise à jour ...",
                                  "Mise à jour de la base de données ..."}));
    QCOMPARE(m_display.maximum, 4);
    QCOMPARE(m_display.positions, QList<int>({1, 1, 2, 3, 4, 4}));
    QVERIFY(m_display.processed >= 3);
}

void TestUpdateScript::shortScriptShowsAFullGauge()
{
    run(QStringLiteral("// une ligne"));
    QCOMPARE(m_display.maximum, 1);
    QCOMPARE(m_display.positions.last(), 1);
}

void TestUpdateScript::badInputNeverStopsTheRun()
{
    QByteArray script;
    script += "SqlExe{DELETE FROM PROFILES\r\n";   // no closing brace
    script += "SqlExe}DELETE FROM PROFILES{\r\n";  // braces the wrong way round
    script += "NotFieldType(ACCOUNT.Id_File)\r\n"; // no type
    script += "END\r\n";
    script += "TableEmpty)ACCOUNT(\r\n";
    script += "END\r\n";
    script +=
        "SqlExe{INSERT INTO BACKUP (Description) VALUES ('" + QByteArray(100000, 'x') + "')}\r\n";
    script += "// \xff\xfe\x80 bytes of no text\r\n";
    script += "SqlExe{INSERT INTO BACKUP (Description) VALUES ('\xc3\x28')}\r\n";
    script += "CompactDataBase()\r\n";
    script += "NotTableExists(ACCOUNT)\r\n"; // a last guard without END
    script += "SqlExe{DROP TABLE ACCOUNT}\r\n";
    const UpdateRunResult r = run(script);
    QVERIFY(r.errors >= 4);
    const QStringList lines = log();
    QCOMPARE(lines.at(lines.size() - 2), kFinished);
    QVERIFY(m_db.connection().isOpen());
    QVERIFY(m_db.connection().hasColumn(QStringLiteral("ACCOUNT"), QStringLiteral("Id")));
    // The long text is refused by the column's length, and the odd bytes are kept as text.
    QCOMPARE(rows(QStringLiteral("BACKUP")), 1);
}

void TestUpdateScript::shippedScriptTwiceChangesNothing()
{
    QFETCH_GLOBAL(bool, odbc);
    m_db.connection().close();
    {
        Connection create;
        CreateEmptyDatabase(create, databaseFile());
    }
    ConnectTo(m_db.connection(), odbc, databaseFile());
    const QString folder = UpdateScriptFolder();
    UpdateRunResult r = RunUpdateScript(m_db.connection(), folder, QStringLiteral("BD_183.maj"),
                                        ProgressLabel(), false, m_env);
    QCOMPARE(r.errors, 0);
    m_db.connection().exec(
        QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, 'Eau')"));
    m_db.connection().close();
    const QString once = schemaDump(databaseFile());
    const QByteArray data =
        RawScalar(databaseFile(), QStringLiteral("SELECT group_concat(Title) FROM ACCOUNT"))
            .toByteArray();
    m_db.connection().open();
    r = RunUpdateScript(m_db.connection(), folder, QStringLiteral("BD_183.maj"), ProgressLabel(),
                        false, m_env);
    QCOMPARE(r.errors, 0);
    m_db.connection().close();
    QCOMPARE(schemaDump(databaseFile()), once);
    QCOMPARE(RawScalar(databaseFile(), QStringLiteral("SELECT group_concat(Title) FROM ACCOUNT"))
                 .toByteArray(),
             data);
    // The second run ran no statement but the index checks.
    for (const QString& line : log().mid(log().lastIndexOf(kFinished, log().size() - 3) + 1)) {
        if (line.contains(QLatin1String("SQL:")))
            QVERIFY2(line.contains(QLatin1String("CREATE INDEX IF NOT EXISTS")), qPrintable(line));
    }
}

void TestUpdateScript::shippedScriptUpgradesAnOlderDatabase()
{
    QFETCH_GLOBAL(bool, odbc);
    m_db.connection().close();
    {
        Connection old;
        CreateEmptyDatabase(old, databaseFile());
        old.exec(
            QStringLiteral("CREATE TABLE ACCOUNT (Id COUNTER, Id_File SHORT, Title TEXT(128))"));
        old.exec(QStringLiteral("CREATE TABLE CONSUMPTION (Id COUNTER, Id_File SHORT, Id_Account "
                                "SHORT, DateAction DATETIME, Quantity DOUBLE)"));
        old.exec(QStringLiteral("CREATE TABLE OBJECT_VAL_STR (ID_CLASS LONG, ID_ATTRIBUTE LONG, "
                                "USERID LONG, VAL TEXT(255))"));
        old.exec(QStringLiteral("INSERT INTO OBJECT_VAL_STR VALUES (-99, -99, -99, '1.71')"));
        old.exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (3, 'Eau')"));
        old.exec(
            QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity) "
                           "VALUES (3, 1, #1/2/2008#, 4.5)"));
    }
    ConnectTo(m_db.connection(), odbc, databaseFile());
    const UpdateRunResult r =
        RunUpdateScript(m_db.connection(), UpdateScriptFolder(), QStringLiteral("BD_183.maj"),
                        ProgressLabel(), false, m_env);
    QCOMPARE(r.errors, 0);
    const TableInfo* account = m_db.connection().table(QStringLiteral("ACCOUNT"));
    QCOMPARE(account->column(QStringLiteral("Id_File"))->type, FieldType::ftInteger);
    QVERIFY(account->column(QStringLiteral("AllColor")));
    QCOMPARE(m_db.connection()
                 .table(QStringLiteral("CONSUMPTION"))
                 ->column(QStringLiteral("Id_Account"))
                 ->type,
             FieldType::ftInteger);
    QCOMPARE(
        GetBDVersion(m_db.connection(), QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")),
        QStringLiteral("1.71"));
    DataSet c(m_db.connection());
    c.setSqlText(QStringLiteral("SELECT * FROM CONSUMPTION LEFT JOIN ACCOUNT ON "
                                "CONSUMPTION.Id_Account = ACCOUNT.Id WHERE Id_Account=1"));
    c.open();
    QCOMPARE(c.fieldByName(QStringLiteral("TITLE")).asText(), QStringLiteral("Eau"));
    QCOMPARE(c.fieldByName(QStringLiteral("DATEACTION")).asText(), QStringLiteral("02/01/2008"));
    QCOMPARE(m_db.connection().tableNames().size(), 16);
}

void TestUpdateScript::programFolderDatabaseIsBroughtUpToDate()
{
    const QString program = dataFolder() + QStringLiteral("program/");
    m_env.ProgramFolder = program;
    UpdateProgramFolderDatabase(m_env); // no database there: nothing happens
    QVERIFY(!QFileInfo::exists(UpdateLogPath(dataFolder())));

    const QString file = program + QStringLiteral("Data/Access/TILVO.MDB");
    QDir().mkpath(program + QStringLiteral("Data/Access"));
    {
        Connection old;
        CreateEmptyDatabase(old, file);
        old.exec(QStringLiteral("CREATE TABLE OBJECT_VAL_STR (ID_CLASS LONG, ID_ATTRIBUTE LONG, "
                                "USERID LONG, VAL TEXT(255))"));
        old.exec(QStringLiteral("INSERT INTO OBJECT_VAL_STR VALUES (-99, -99, -99, '1.5')"));
    }
    QDir().mkpath(program + QStringLiteral("Maj"));
    QVERIFY(QFile::copy(UpdateScriptFolder() + QStringLiteral("BD_183.maj"),
                        program + QStringLiteral("Maj/BD_183.maj")));
    UpdateProgramFolderDatabase(m_env);
    Connection c;
    c.setDatabaseFile(file);
    c.open();
    QCOMPARE(GetBDVersion(c, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")),
             QStringLiteral("1.83"));
    QVERIFY(c.hasColumn(QStringLiteral("ACCOUNT"), QStringLiteral("Title")));
    QVERIFY(QFileInfo::exists(program + QStringLiteral("Maj/BD_183.maj")));
    c.close();
    // Up to date: the script does not run again.
    const int logged = log().size();
    UpdateProgramFolderDatabase(m_env);
    QCOMPARE(log().size(), logged);
}

void TestUpdateScript::appendLogLineKeepsTheEncoding()
{
    const QString path = dataFolder() + QStringLiteral("Maj.Log");
    AppendLogLine(path, QStringLiteral("déjà"), m_clock);
    AppendLogLine(path, QString(), m_clock);
    QCOMPARE(ReadFile(path), QByteArray("05/03/2008-14:07:09 : d\xe9j\xe0\r\n\r\n"));
    // A character Windows-1252 lacks turns the file into UTF-8, the earlier lines included.
    AppendLogLine(path, QStringLiteral("✓"), m_clock);
    QCOMPARE(ReadFile(path), QStringLiteral("05/03/2008-14:07:09 : déjà\r\n\r\n05/03/2008-14:07:09 "
                                            ": ✓\r\n")
                                 .toUtf8());
    AppendLogLine(path, QStringLiteral("é"), m_clock);
    QVERIFY(ReadFile(path).endsWith(QStringLiteral(": é\r\n").toUtf8()));
}

void TestUpdateScript::logEntryStartsOnItsOwnLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray entry = "05/03/2008-14:07:09 : entr\xe9"
                             "e\r\n";
    QTest::newRow("no line end") << QByteArray("old line") << "old line\r\n" + entry;
    QTest::newRow("line end") << QByteArray("old line\r\n") << "old line\r\n" + entry;
    QTest::newRow("line feed only") << QByteArray("old line\n") << "old line\n" + entry;
    QTest::newRow("carriage return only") << QByteArray("old line\r") << "old line\r" + entry;
    QTest::newRow("empty log") << QByteArray() << entry;
}

void TestUpdateScript::logEntryStartsOnItsOwnLine()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const QString path = UpdateLogPath(dataFolder());
    WriteFile(path, before);
    AppendLogLine(path, QStringLiteral("entrée"), m_clock);
    QCOMPARE(ReadFile(path), after);
    // A run's later entries follow one another.
    WriteFile(path, before);
    run(QStringLiteral("//un\r\n//deux\r\n"));
    QCOMPARE(ReadFile(path), before +
                                 (before.isEmpty() || before.endsWith('\n') || before.endsWith('\r')
                                      ? QByteArray()
                                      : QByteArray("\r\n")) +
                                 "05/03/2008-14:07:09 : un\r\n05/03/2008-14:07:09 : deux\r\n" +
                                 kFinished.toLatin1() + "\r\n\r\n");
}

void TestUpdateScript::damagedDatabaseRunsNoLine()
{
    QFETCH_GLOBAL(bool, odbc);
    m_db.connection().close();
    const QByteArray damaged = Damaged(ReadFile(databaseFile()), Damage::PagesZeroed);
    WriteFile(databaseFile(), damaged);
    ConnectTo(m_db.connection(), odbc, databaseFile());
    try {
        run(QStringLiteral("SqlExe{INSERT INTO BACKUP (Description) VALUES ('x')}\r\n"), true);
        QFAIL("a script ran on a damaged database");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(QStringLiteral("est endommagée")), qPrintable(e.text()));
    }
    m_db.connection().close();
    QCOMPARE(ReadFile(databaseFile()), damaged);
    QVERIFY(m_display.questions.isEmpty());
    QVERIFY(QFileInfo::exists(dataFolder() + QStringLiteral("test.maj")));
    QCOMPARE(log().size(), 2);
    QVERIFY2(
        log().at(0).startsWith(kStamp + QStringLiteral("test.maj (error : La base de données")),
        qPrintable(log().at(0)));
}

void TestUpdateScript::skipToEnd_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");
    const QStringList script = {"a", "END", "b", "endif", " END", "End"};
    QTest::newRow("first") << script << 0 << 1;
    QTest::newRow("after one") << script << 2 << 3;
    QTest::newRow("indented is not") << script << 4 << 5;
    QTest::newRow("none left") << QStringList({"a", "b"}) << 0 << 2;
}

void TestUpdateScript::skipToEnd()
{
    QFETCH(QStringList, lines);
    QFETCH(int, from);
    QFETCH(int, expected);
    QCOMPARE(SkipToEnd(lines, from), expected);
}

QTEST_GUILESS_MAIN(TestUpdateScript)
#include "tst_UpdateScript.moc"
