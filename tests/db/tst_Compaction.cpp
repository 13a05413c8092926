// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Error.h"
#include "db/Compaction.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "support/TestFiles.h"

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

QTEST_GUILESS_MAIN(TestCompaction)
#include "tst_Compaction.moc"
