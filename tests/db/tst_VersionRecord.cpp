// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/VersionRecord.h"

#include <QTest>

using namespace tilvo;
using namespace tilvo::test;

class TestVersionRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void missingRowReadsZeroThenIsInserted();
    void existingRowIsUpdatedInPlace();
    void olderColumnNameIsRead();
    void unreadableRecordReadsZero_data();
    void unreadableRecordReadsZero();
    void writingFailureReachesTheCaller();
    void versionNumbers_data();
    void versionNumbers();

private:
    int versionRows();

    SchemaCopy m_db;
};

void TestVersionRecord::initTestCase_data()
{
    AddProviderRows();
}

void TestVersionRecord::initTestCase()
{
    m_db.prepare();
}

void TestVersionRecord::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("v.db")));
    m_db.open(odbc);
}

void TestVersionRecord::cleanup()
{
    m_db.release();
}

int TestVersionRecord::versionRows()
{
    DataSet q(m_db.connection());
    q.setSqlText(QStringLiteral("SELECT COUNT(*) FROM OBJECT_VAL_STR WHERE ID_CLASS=-99 AND "
                                "ID_ATTRIBUTE=-99 AND USERID=-99"));
    q.open();
    return int(q.field(0).asInteger());
}

void TestVersionRecord::missingRowReadsZeroThenIsInserted()
{
    const QString t = QStringLiteral("OBJECT_VAL_STR");
    QCOMPARE(GetBDVersion(m_db.connection(), t, QStringLiteral("VALUE")), QStringLiteral("0"));
    SetBDVersion(m_db.connection(), t, QStringLiteral("VALUE"), QStringLiteral("1.83"));
    QCOMPARE(GetBDVersion(m_db.connection(), t, QStringLiteral("VALUE")), QStringLiteral("1.83"));
    QCOMPARE(versionRows(), 1);
}

void TestVersionRecord::existingRowIsUpdatedInPlace()
{
    const QString t = QStringLiteral("OBJECT_VAL_STR");
    SetBDVersion(m_db.connection(), t, QStringLiteral("VALUE"), QStringLiteral("1.5"));
    // A dossier's own value of the same table is left alone.
    m_db.connection().exec(
        QStringLiteral("INSERT INTO OBJECT_VAL_STR (ID_CLASS, ID_ATTRIBUTE, USERID, [VALUE]) "
                       "VALUES (1, 2, 3, 'autre')"));
    SetBDVersion(m_db.connection(), t, QStringLiteral("VALUE"), QStringLiteral("1.830"));
    QCOMPARE(GetBDVersion(m_db.connection(), t, QStringLiteral("VALUE")), QStringLiteral("1.830"));
    QCOMPARE(versionRows(), 1);
    DataSet q(m_db.connection());
    q.setSqlText(QStringLiteral("SELECT [VALUE] FROM OBJECT_VAL_STR WHERE USERID=3"));
    q.open();
    QCOMPARE(q.field(0).asText(), QStringLiteral("autre"));
}

void TestVersionRecord::olderColumnNameIsRead()
{
    m_db.connection().exec(QStringLiteral("DROP TABLE OBJECT_VAL_STR"));
    m_db.connection().exec(
        QStringLiteral("CREATE TABLE OBJECT_VAL_STR (ID_CLASS LONG, ID_ATTRIBUTE LONG, "
                       "USERID LONG, VAL TEXT(255))"));
    m_db.connection().exec(
        QStringLiteral("INSERT INTO OBJECT_VAL_STR VALUES (-99, -99, -99, '1.71')"));
    QCOMPARE(
        GetBDVersion(m_db.connection(), QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VAL")),
        QStringLiteral("1.71"));
    QCOMPARE(
        GetBDVersion(m_db.connection(), QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")),
        QStringLiteral("0"));
    SetBDVersion(m_db.connection(), QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VAL"),
                 QStringLiteral("1.83"));
    QCOMPARE(
        GetBDVersion(m_db.connection(), QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VAL")),
        QStringLiteral("1.83"));
}

void TestVersionRecord::unreadableRecordReadsZero_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no table") << "NOPE"
                              << "VALUE" << false;
    QTest::newRow("no column") << "OBJECT_VAL_STR"
                               << "VERSION" << false;
    QTest::newRow("closed connection") << "OBJECT_VAL_STR"
                                       << "VALUE" << true;
}

void TestVersionRecord::unreadableRecordReadsZero()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(bool, closed);
    SetBDVersion(m_db.connection(), QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE"),
                 QStringLiteral("1.83"));
    if (closed)
        m_db.connection().close();
    QCOMPARE(GetBDVersion(m_db.connection(), table, column), QStringLiteral("0"));
}

void TestVersionRecord::writingFailureReachesTheCaller()
{
    QVERIFY_THROWS_EXCEPTION(Error, SetBDVersion(m_db.connection(), QStringLiteral("NOPE"),
                                                 QStringLiteral("VALUE"), QStringLiteral("1.83")));
    m_db.connection().close();
    QVERIFY_THROWS_EXCEPTION(Error,
                             SetBDVersion(m_db.connection(), QStringLiteral("OBJECT_VAL_STR"),
                                          QStringLiteral("VALUE"), QStringLiteral("1.83")));
}

void TestVersionRecord::versionNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("1.83") << "1.83" << 183;
    QTest::newRow("1.830") << "1.830" << 1830;
    QTest::newRow("1.9") << "1.9" << 19;
    QTest::newRow("2") << "2" << 2;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("two dots") << "1.8.3" << 0;
    QTest::newRow("letters") << "v1.8" << 0;
    QTest::newRow("zero") << "0" << 0;
}

void TestVersionRecord::versionNumbers()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(VersionNumber(text), number);
}

QTEST_GUILESS_MAIN(TestVersionRecord)
#include "tst_VersionRecord.moc"
