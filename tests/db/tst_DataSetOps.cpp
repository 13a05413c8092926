// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Error.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

class TestDataSetOps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void replaceWhereLineChangesOnlyThatLine();
    void replaceWhereLineRefusesAStatementWithoutOne();
    void execSqlRunsAndLeavesTheDataSetClosed();
    void execSqlPassesEngineErrorsOn();
    void ensureEditingAndPostIfEditing();
    void reopenKeepingRowReturnsToTheRow_data();
    void reopenKeepingRowReturnsToTheRow();
    void reopenKeepingRowOnAnEmptyDataSet();

private:
    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_account;
};

void TestDataSetOps::initTestCase_data()
{
    AddProviderRows();
}

void TestDataSetOps::initTestCase()
{
    m_db.prepare();
}

void TestDataSetOps::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("ops.db")));
    m_db.open(odbc);
    for (const char* t : {"A", "B", "C"})
        m_db.connection().exec(
            QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, '%1')")
                .arg(QLatin1String(t)));
    m_account = std::make_unique<DataSet>(m_db.connection(), QStringLiteral("Account"));
    m_account->setSql({QStringLiteral("SELECT * FROM ACCOUNT"), QStringLiteral("WHERE ID_FILE=-1"),
                       QStringLiteral("ORDER BY TITLE, DESCRIPTION")});
}

void TestDataSetOps::cleanup()
{
    m_account.reset();
    m_db.release();
}

void TestDataSetOps::replaceWhereLineChangesOnlyThatLine()
{
    m_account->open();
    ReplaceWhereLine(*m_account, QStringLiteral("WHERE Id_File=1"));
    QVERIFY(!m_account->isActive());
    QCOMPARE(m_account->sql(), QStringList({"SELECT * FROM ACCOUNT", "WHERE Id_File=1",
                                            "ORDER BY TITLE, DESCRIPTION"}));
    m_account->open();
    QCOMPARE(m_account->recordCount(), 3);
}

void TestDataSetOps::replaceWhereLineRefusesAStatementWithoutOne()
{
    DataSet combo(m_db.connection(), QStringLiteral("ComboItems"));
    combo.setSql({QStringLiteral("SELECT * FROM COMBOITEMS")});
    QVERIFY_THROWS_EXCEPTION(Error, ReplaceWhereLine(combo, QStringLiteral("WHERE Id=1")));
    QCOMPARE(combo.sql(), QStringList({"SELECT * FROM COMBOITEMS"}));
}

void TestDataSetOps::execSqlRunsAndLeavesTheDataSetClosed()
{
    DataSet query(m_db.connection(), QStringLiteral("Query"));
    query.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT"));
    query.open();
    ExecSql(query, QStringLiteral("DELETE FROM ACCOUNT WHERE ACCOUNT.Id_File=1"));
    QVERIFY(!query.isActive());
    QCOMPARE(query.sqlText(), QStringLiteral("DELETE FROM ACCOUNT WHERE ACCOUNT.Id_File=1\r\n"));
    ReplaceWhereLine(*m_account, QStringLiteral("WHERE Id_File=1"));
    m_account->open();
    QVERIFY(IsEmptyDataSet(*m_account));
}

void TestDataSetOps::execSqlPassesEngineErrorsOn()
{
    DataSet query(m_db.connection(), QStringLiteral("Query"));
    try {
        ExecSql(query, QStringLiteral("DELETE FROM NOPE WHERE NOPE.Id=1"));
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("no such table: NOPE"));
    }
    QVERIFY(!query.isActive());
}

void TestDataSetOps::ensureEditingAndPostIfEditing()
{
    DataSource source(*m_account);
    ReplaceWhereLine(*m_account, QStringLiteral("WHERE Id_File=1"));
    m_account->open();
    PostIfEditing(source, *m_account); // browsing: nothing to do
    EnsureEditing(source, *m_account);
    QCOMPARE(source.state(), DataSetState::Editing);
    m_account->fieldByName(QStringLiteral("Unit")).setText(QStringLiteral("kWh"));
    EnsureEditing(source, *m_account); // already editing: the change stays
    QCOMPARE(m_account->fieldByName(QStringLiteral("Unit")).asText(), QStringLiteral("kWh"));
    PostIfEditing(source, *m_account);
    QCOMPARE(source.state(), DataSetState::Browsing);

    ReplaceWhereLine(*m_account, QStringLiteral("WHERE Id_File=2"));
    m_account->open();
    EnsureEditing(source, *m_account); // empty: an insertion
    QCOMPARE(source.state(), DataSetState::Inserting);
    m_account->fieldByName(QStringLiteral("Id_File")).setInteger(2);
    PostIfEditing(source, *m_account);
    m_account->close();
    m_account->open();
    QCOMPARE(m_account->recordCount(), 1);
}

void TestDataSetOps::reopenKeepingRowReturnsToTheRow_data()
{
    QTest::addColumn<bool>("deleteIt");
    QTest::newRow("row still there") << false;
    QTest::newRow("row gone") << true;
}

void TestDataSetOps::reopenKeepingRowReturnsToTheRow()
{
    QFETCH(bool, deleteIt);
    ReplaceWhereLine(*m_account, QStringLiteral("WHERE Id_File=1"));
    m_account->open();
    m_account->next();
    const qint64 id = m_account->fieldByName(QStringLiteral("Id")).asInteger();
    if (deleteIt)
        m_db.connection().exec(QStringLiteral("DELETE FROM ACCOUNT WHERE Id=%1").arg(id));
    m_db.connection().exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, '0')"));
    QSignalSpy current(m_account.get(), &DataSet::currentChanged);
    ReopenKeepingRow(*m_account);
    QCOMPARE(current.count(), 1); // bound controls followed once, after the reload
    QCOMPARE(m_account->recordCount(), deleteIt ? 3 : 4);
    if (deleteIt) {
        QCOMPARE(m_account->recNo(), 0);
        QCOMPARE(m_account->fieldByName(QStringLiteral("Title")).asText(), QStringLiteral("0"));
    } else {
        QCOMPARE(m_account->fieldByName(QStringLiteral("Id")).asInteger(), id);
    }
}

void TestDataSetOps::reopenKeepingRowOnAnEmptyDataSet()
{
    ReplaceWhereLine(*m_account, QStringLiteral("WHERE Id_File=9"));
    m_account->open();
    ReopenKeepingRow(*m_account);
    QVERIFY(m_account->isActive());
    QVERIFY(IsEmptyDataSet(*m_account));
    QVERIFY(!m_account->controlsDisabled());
}

QTEST_GUILESS_MAIN(TestDataSetOps)
#include "tst_DataSetOps.moc"
