// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Error.h"
#include "db/Compaction.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

class TestCompaction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void copiesAndShrinksLeavingTheSourceAlone();
    void replacesAnEarlierDestination();
    void damagedSourceFailsWithTheEnginesText_data();
    void damagedSourceFailsWithTheEnginesText();
    void refusesToWriteOverItsSource();
    void damagedSourceIsRefusedBeforeItIsCopied();
    void movedAsideNames_data();
    void movedAsideNames();
    void inPlaceCompactionLeavesOnlyTheLiveFile();
    void inPlaceCompactionLeavesAnInterruptedOneAlone();
    void failedInPlaceCompactionPutsTheDatabaseBack();
    void databaseThatCannotGoBackIsNamed();
    void liveCompactionNeverEmptiesTheLiveName();
    void liveCompactionRemovesAnInterruptedOnesWork();
    void failedLiveCompactionLeavesTheLiveFile();
    void replacementLeavesNoJournalOfTheOldFile();
    void databaseInUseElsewhereIsNotReplaced();

private:
    QString source() const { return m_dir.path() + QStringLiteral("/TILVO~.MDB"); }
    QString destination() const { return m_dir.path() + QStringLiteral("/TILVO.MDB"); }
    QTemporaryDir m_dir;
};

void TestCompaction::init()
{
    QFile::remove(source());
    QFile::remove(destination());
    MakeSchemaDatabase(source(), m_dir.path() + u'/');
    Connection c;
    c.setDatabaseFile(source());
    c.open();
    c.beginTransaction();
    for (int i = 0; i < 500; ++i)
        c.exec(
            QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title, Remark1) VALUES (1, 'A%1', '%2')")
                .arg(i)
                .arg(QString(400, u'r')));
    c.commit();
    c.exec(QStringLiteral("DELETE FROM ACCOUNT WHERE Id > 10"));
}

void TestCompaction::copiesAndShrinksLeavingTheSourceAlone()
{
    const QByteArray before = FileDigest(source());
    CompactDatabaseFile(source(), destination());
    QCOMPARE(FileDigest(source()), before);
    QVERIFY(QFileInfo(destination()).size() < QFileInfo(source()).size());
    Connection c;
    c.setDatabaseFile(destination());
    c.open();
    DataSet a(c);
    a.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT ORDER BY Id"));
    a.open();
    QCOMPARE(a.recordCount(), 10);
    a.last();
    a.append();
    a.post();
    QCOMPARE(a.fieldByName(QStringLiteral("Id")).asInteger(), 501); // keys stay unused
}

void TestCompaction::replacesAnEarlierDestination()
{
    WriteFile(destination(), "an older safety copy");
    CompactDatabaseFile(source(), destination());
    CompactDatabaseFile(source(), destination());
    QCOMPARE(RawScalar(destination(), QStringLiteral("SELECT COUNT(*) FROM ACCOUNT")).toInt(), 10);
}

void TestCompaction::damagedSourceFailsWithTheEnginesText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("engine");
    QTest::newRow("not a database") << QByteArray(8192, 'z') << "not a database";
    QTest::newRow("truncated") << QByteArray() << "malformed";
}

void TestCompaction::damagedSourceFailsWithTheEnginesText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, engine);
    if (bytes.isEmpty()) {
        const QByteArray whole = ReadFile(source());
        bytes = whole.left(whole.size() / 3);
    }
    WriteFile(source(), bytes);
    try {
        CompactDatabaseFile(source(), destination());
        QFAIL("compacted");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(engine), qPrintable(e.text()));
    }
    QCOMPARE(ReadFile(source()), bytes);
    QVERIFY(!QFileInfo::exists(destination()));
}

void TestCompaction::refusesToWriteOverItsSource()
{
    const QByteArray before = FileDigest(source());
    QVERIFY_THROWS_EXCEPTION(Error, CompactDatabaseFile(source(), source()));
    QCOMPARE(FileDigest(source()), before);
}

void TestCompaction::damagedSourceIsRefusedBeforeItIsCopied()
{
    // Zeroed pages the copy itself might read past: the check sees every page first.
    const QByteArray bytes = Damaged(ReadFile(source()), Damage::PagesZeroed);
    WriteFile(source(), bytes);
    try {
        CompactDatabaseFile(source(), destination());
        QFAIL("compacted");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(QStringLiteral("est endommagée")), qPrintable(e.text()));
    }
    QCOMPARE(ReadFile(source()), bytes);
    QVERIFY(!QFileInfo::exists(destination()));
}

void TestCompaction::movedAsideNames_data()
{
    QTest::addColumn<QString>("live");
    QTest::addColumn<QString>("moved");
    QTest::newRow("live database") << "/d/Access/TILVO.MDB"
                                   << "/d/Access/TILVO~.MDB";
    QTest::newRow("first dot of the name") << "/d/a.b/x.tar.db"
                                           << "/d/a.b/x~.tar.db";
    QTest::newRow("no dot") << "/d/base"
                            << "/d/~base";
}

void TestCompaction::movedAsideNames()
{
    QFETCH(QString, live);
    QFETCH(QString, moved);
    QCOMPARE(MovedAsideName(live), moved);
}

void TestCompaction::inPlaceCompactionLeavesOnlyTheLiveFile()
{
    const qint64 before = QFileInfo(source()).size();
    const QString live = destination();
    QVERIFY(QFile::rename(source(), live));
    CompactInPlace(live);
    QVERIFY(QFileInfo(live).size() < before);
    QVERIFY(!QFileInfo::exists(MovedAsideName(live)));
    QCOMPARE(RawScalar(live, QStringLiteral("SELECT COUNT(*) FROM ACCOUNT")).toInt(), 10);
}

void TestCompaction::inPlaceCompactionLeavesAnInterruptedOneAlone()
{
    // Here the moved-aside name of the live file is the source's.
    const QString live = destination();
    WriteFile(live, "the live file");
    const QByteArray moved = ReadFile(source());
    try {
        CompactInPlace(live);
        QFAIL("compacted");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(source()), qPrintable(e.text()));
    }
    QCOMPARE(ReadFile(live), QByteArray("the live file"));
    QCOMPARE(ReadFile(source()), moved);
}

void TestCompaction::failedInPlaceCompactionPutsTheDatabaseBack()
{
    const QString live = destination();
    QVERIFY(QFile::rename(source(), live));
    const QByteArray before = ReadFile(live);
    try {
        CompactInPlace(live, [](const QString& from, const QString& to) {
            WriteFile(to, "half a copy");
            throw Error(QStringLiteral("disque plein pendant la copie de ") + from);
        });
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("disque plein pendant la copie de ") + source());
    }
    QCOMPARE(ReadFile(live), before);
    QVERIFY(!QFileInfo::exists(source()));
}

void TestCompaction::databaseThatCannotGoBackIsNamed()
{
    const QString live = destination();
    QVERIFY(QFile::rename(source(), live));
    const QByteArray before = ReadFile(live);
    try {
        // Something takes the live name that cannot be removed to make way.
        CompactInPlace(live, [](const QString&, const QString& to) {
            QVERIFY(QDir().mkpath(to + QStringLiteral("/occupied")));
            throw Error(QStringLiteral("échec"));
        });
        QFAIL("no error");
    } catch (const Error& e) {
        QVERIFY2(e.text().startsWith(QStringLiteral("échec ; la base de données n'a pas pu "
                                                    "reprendre son nom : elle se trouve dans ") +
                                     source()),
                 qPrintable(e.text()));
    }
    // The only copy of the database is never deleted.
    QCOMPARE(ReadFile(source()), before);
    QDir(live).removeRecursively();
}

void TestCompaction::liveCompactionNeverEmptiesTheLiveName()
{
    const QString live = destination();
    QVERIFY(QFile::rename(source(), live));
    const qint64 before = QFileInfo(live).size();
    QStringList seen;
    CompactLiveDatabase(live, [&](const QString& from, const QString& to) {
        seen << from << to;
        // While the copy is written, the live name holds the database as it was.
        QVERIFY(QFileInfo(live).size() == before);
        CompactDatabaseFile(from, to);
    });
    QCOMPARE(seen, QStringList({live, PendingDatabaseName(live)}));
    QCOMPARE(PendingDatabaseName(live), m_dir.path() + QStringLiteral("/TILVO.MDB.new"));
    QVERIFY(QFileInfo(live).size() < before);
    QCOMPARE(QDir(m_dir.path()).entryList({"TILVO*"}, QDir::Files), QStringList({"TILVO.MDB"}));
    QCOMPARE(RawScalar(live, QStringLiteral("SELECT COUNT(*) FROM ACCOUNT")).toInt(), 10);
}

void TestCompaction::liveCompactionRemovesAnInterruptedOnesWork()
{
    const QString live = destination();
    QVERIFY(QFile::rename(source(), live));
    WriteFile(PendingDatabaseName(live), "half a copy");
    WriteFile(PendingDatabaseName(live) + QStringLiteral("-journal"), "its journal");
    CompactLiveDatabase(live);
    QCOMPARE(QDir(m_dir.path()).entryList({"TILVO*"}, QDir::Files), QStringList({"TILVO.MDB"}));
    QCOMPARE(RawScalar(live, QStringLiteral("SELECT COUNT(*) FROM ACCOUNT")).toInt(), 10);
}

void TestCompaction::failedLiveCompactionLeavesTheLiveFile()
{
    const QString live = destination();
    QVERIFY(QFile::rename(source(), live));
    const QByteArray before = ReadFile(live);
    try {
        CompactLiveDatabase(live, [](const QString&, const QString& to) {
            WriteFile(to, "half a copy");
            throw Error(QStringLiteral("disque plein"));
        });
        QFAIL("compacted");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("disque plein"));
    }
    QCOMPARE(ReadFile(live), before);
    QCOMPARE(QDir(m_dir.path()).entryList({"TILVO*"}, QDir::Files), QStringList({"TILVO.MDB"}));
}

void TestCompaction::replacementLeavesNoJournalOfTheOldFile()
{
    // A journal an interrupted run left beside the old file, its header wiped as the engine
    // does: the engine ignores it and never removes it.
    const QString live = destination();
    WriteFile(live, "the old file");
    QByteArray journal(12824, '\0');
    journal.replace(12, 4, "\xc0\x2f\x58\xf8");
    WriteFile(live + QStringLiteral("-journal"), journal);
    const QByteArray replacement = ReadFile(source());
    ReplaceLiveDatabase(source(), live);
    QCOMPARE(ReadFile(live), replacement);
    QCOMPARE(QDir(m_dir.path()).entryList({"TILVO*"}, QDir::Files), QStringList({"TILVO.MDB"}));
    QCOMPARE(RawScalar(live, QStringLiteral("SELECT COUNT(*) FROM ACCOUNT")).toInt(), 10);
}

void TestCompaction::databaseInUseElsewhereIsNotReplaced()
{
    const QString live = destination();
    QVERIFY(QFile::copy(source(), live));
    const QByteArray before = ReadFile(live);
    // Another program in the middle of a change to the database.
    const QString ready = m_dir.path() + QStringLiteral("/ready");
    QProcess other;
    other.start(QStringLiteral("sqlite3"),
                {live, QStringLiteral("BEGIN IMMEDIATE;"), QStringLiteral(".shell touch ") + ready,
                 QStringLiteral(".shell sleep 20")});
    QVERIFY(other.waitForStarted());
    QTRY_VERIFY(QFileInfo::exists(ready));
    try {
        ReplaceLiveDatabase(source(), live);
        QFAIL("replaced");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(QStringLiteral("en cours d'utilisation par un autre programme")),
                 qPrintable(e.text()));
    }
    QCOMPARE(ReadFile(live), before);
    QVERIFY(QFileInfo::exists(source()));
    other.kill();
    QVERIFY(other.waitForFinished());
    // Once it is done, the replacement goes through.
    ReplaceLiveDatabase(source(), live);
    QVERIFY(!QFileInfo::exists(source()));
}

QTEST_GUILESS_MAIN(TestCompaction)
#include "tst_Compaction.moc"
