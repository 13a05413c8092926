// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTestSupport.h"
#include "common/Error.h"
#include "db/DataSet.h"
#include "db/StreamedRow.h"

#include <QTest>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

class TestStreamedRow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void readsEveryRowInOrder();
    void stopsWhenAsked();
    void engineErrorsAreErrors();

private:
    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_query;
};

void TestStreamedRow::initTestCase_data()
{
    AddProviderRows();
}

void TestStreamedRow::initTestCase()
{
    m_db.prepare();
}

void TestStreamedRow::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("stream.db")));
    m_db.open(odbc);
    Connection& c = m_db.connection();
    c.exec(QStringLiteral("INSERT INTO CONSUMPTION (Id_Account, DateAction, Quantity, Price) "
                          "VALUES (1, #3/5/2008#, 1.25, NULL)"));
    c.exec(QStringLiteral("INSERT INTO CONSUMPTION (Id_Account, DateAction, Quantity, Price) "
                          "VALUES (1, #12/31/1999#, -4, 7)"));
    c.exec(QStringLiteral("INSERT INTO CONSUMPTION (Id_Account, DateAction, Quantity, Price) "
                          "VALUES (1, NULL, NULL, 2.5)"));
    c.exec(QStringLiteral("INSERT INTO CONSUMPTION (Id_Account, DateAction, Quantity, Price) "
                          "VALUES (2, #1/1/2000#, 9, 9)"));
    m_query = std::make_unique<DataSet>(c, QStringLiteral("Query"));
}

void TestStreamedRow::cleanup()
{
    m_query.reset();
    m_db.release();
}

void TestStreamedRow::readsEveryRowInOrder()
{
    m_query->setSqlText(QStringLiteral("SELECT DATEACTION, PRICE, QUANTITY FROM CONSUMPTION WHERE "
                                       "Id_Account=1 ORDER BY Quantity"));
    QList<QDate> dates;
    QList<double> prices, quantities;
    QList<bool> nullPrices;
    StreamRows(*m_query, [&](const StreamedRow& row) {
        dates << row.date(0);
        prices << row.real(1);
        nullPrices << row.isNull(1);
        quantities << row.real(2);
        return true;
    });
    // NULL sorts first.
    QCOMPARE(dates, QList<QDate>({QDate(), QDate(1999, 12, 31), QDate(2008, 3, 5)}));
    QCOMPARE(quantities, QList<double>({0, -4, 1.25}));
    QCOMPARE(prices, QList<double>({2.5, 7, 0}));
    QCOMPARE(nullPrices, QList<bool>({false, false, true}));
    QVERIFY(!m_query->isActive());
}

void TestStreamedRow::stopsWhenAsked()
{
    m_query->setSqlText(QStringLiteral("SELECT DATEACTION FROM CONSUMPTION ORDER BY DateAction"));
    int rows = 0;
    StreamRows(*m_query, [&](const StreamedRow&) { return ++rows < 2; });
    QCOMPARE(rows, 2);
    QVERIFY(!m_query->isActive());
    // The dataset opens as usual afterwards.
    m_query->open();
    QCOMPARE(m_query->recordCount(), 4);
}

void TestStreamedRow::engineErrorsAreErrors()
{
    m_query->setSqlText(QStringLiteral("SELECT Nothing FROM Nowhere"));
    QVERIFY_THROWS_EXCEPTION(Error, StreamRows(*m_query, [](const StreamedRow&) { return true; }));
    m_query->setSqlText(QStringLiteral("DELETE FROM CONSUMPTION"));
    QVERIFY_THROWS_EXCEPTION(Error, StreamRows(*m_query, [](const StreamedRow&) { return true; }));
    QCOMPARE(RawScalar(m_db.file(), QStringLiteral("SELECT COUNT(*) FROM CONSUMPTION")).toInt(), 4);
    QVERIFY(!m_query->isActive());
}

QTEST_APPLESS_MAIN(TestStreamedRow)
#include "tst_StreamedRow.moc"
