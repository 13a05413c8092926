// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Error.h"
#include "db/DataSet.h"
#include "db/RowInserter.h"
#include "db/StreamedRow.h"

#include <QTest>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

// Bulk insertion through one prepared statement, as the datasets would store the values, for
// both providers.
class TestRowInserter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void storesValuesAsTheDatasetsDo();
    void rolledBackRowsAreGone();
    void refusals();

private:
    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_query;
};

void TestRowInserter::initTestCase_data()
{
    AddProviderRows();
}

void TestRowInserter::initTestCase()
{
    m_db.prepare();
}

void TestRowInserter::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("insert.db")));
    m_db.open(odbc);
    m_query = std::make_unique<DataSet>(m_db.connection(), QStringLiteral("Query"));
}

void TestRowInserter::cleanup()
{
    m_query.reset();
    m_db.release();
}

void TestRowInserter::storesValuesAsTheDatasetsDo()
{
    Connection& c = m_db.connection();
    // An open dataset keeps showing what it was opened on.
    m_query->setSqlText(QStringLiteral("SELECT * FROM CONSUMPTION"));
    m_query->open();
    {
        Transaction t(c);
        RowInserter rows(c, QStringLiteral("CONSUMPTION"),
                         {QStringLiteral("Id_Account"), QStringLiteral("DateAction"),
                          QStringLiteral("Quantity"), QStringLiteral("Description"),
                          QStringLiteral("Img1")});
        rows.insert({qint64(3), QDate(2008, 3, 5), 12.5, QStringLiteral("été ; « x »"),
                     QByteArray("\x00\x01", 2)});
        rows.insert({3, QDate(1999, 12, 31), -4.25, QVariant(), QVariant()});
        QCOMPARE(rows.inserted(), 2);
        t.commit();
    }
    QCOMPARE(m_query->recordCount(), 0);
    m_query->close();

    DataSet& q = *m_query;
    q.setSqlText(QStringLiteral("SELECT * FROM CONSUMPTION WHERE DateAction=#3/5/2008#"));
    q.open();
    QCOMPARE(q.recordCount(), 1);
    QCOMPARE(q.fieldByName(QStringLiteral("Id_Account")).asInteger(), 3);
    QCOMPARE(q.fieldByName(QStringLiteral("DateAction")).asDate(), QDate(2008, 3, 5));
    QCOMPARE(q.fieldByName(QStringLiteral("Quantity")).asDouble(), 12.5);
    QCOMPARE(q.fieldByName(QStringLiteral("Description")).asText(), QStringLiteral("été ; « x »"));
    QCOMPARE(q.fieldByName(QStringLiteral("Img1")).asBytes(), QByteArray("\x00\x01", 2));
    q.close();
    q.setSqlText(QStringLiteral("SELECT Description, Quantity FROM CONSUMPTION WHERE "
                                "DateAction=#12/31/1999#"));
    q.open();
    QVERIFY(q.field(0).isNull());
    QCOMPARE(q.field(1).asDouble(), -4.25);
    q.close();
}

void TestRowInserter::rolledBackRowsAreGone()
{
    Connection& c = m_db.connection();
    {
        Transaction t(c);
        RowInserter rows(c, QStringLiteral("CONSUMPTION"), {QStringLiteral("Id_Account")});
        for (int i = 0; i < 100; ++i)
            rows.insert({i});
    }
    QVERIFY(!c.hasRows(QStringLiteral("SELECT Id FROM CONSUMPTION")));
}

void TestRowInserter::refusals()
{
    Connection& c = m_db.connection();
    // The ODBC driver prepares lazily: the error may come with the first row.
    QVERIFY_THROWS_EXCEPTION(Error, [&c] {
        RowInserter missing(c, QStringLiteral("CONSUMPTION"), {QStringLiteral("NoSuchColumn")});
        missing.insert({1});
    }());
    RowInserter rows(c, QStringLiteral("CONSUMPTION"), {QStringLiteral("Id_Account")});
    QVERIFY_THROWS_EXCEPTION(Error, rows.insert({1, 2}));
    QCOMPARE(rows.inserted(), 0);
    rows.insert({1});
    QCOMPARE(rows.inserted(), 1);
}

QTEST_APPLESS_MAIN(TestRowInserter)
#include "tst_RowInserter.moc"
