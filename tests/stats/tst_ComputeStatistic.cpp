// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DateHelpers.h"
#include "common/Error.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "stats/BucketTable.h"
#include "stats/ComputeStatistic.h"
#include "stats/StatisticState.h"

#include <QSqlQuery>
#include <QTest>
#include <algorithm>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

namespace {

constexpr qint64 kDossier = 1;
constexpr qint64 kAccount = 1;
constexpr qint64 kOtherAccount = 2;

// "dd/mm/yyyy;quantity;amount[;account]", "null" for a missing value.
void AddEntry(Connection& c, const QString& text)
{
    const QStringList p = text.split(u';');
    const QString account = p.size() > 3 ? p.at(3) : QString::number(kAccount);
    c.exec(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, "
                          "Price) VALUES (%1, %2, #%3#, %4, %5)")
               .arg(kDossier)
               .arg(account, SqlDateLiteral(p.at(0)), p.at(1), p.at(2)));
}

// "i=x;j=y": the buckets named hold those values (or texts), every other one 0 (or anything).
QMap<int, QString> Expected(const QString& text)
{
    QMap<int, QString> map;
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts))
        map.insert(part.section(u'=', 0, 0).toInt(), part.section(u'=', 1));
    return map;
}

} // namespace

class TestComputeStatistic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void buckets_data();
    void buckets();
    void entriesOfOneDayAreTwoPointsInARange();
    void noDossierOrNoAccountComputesNothing();
    void aRangeOfMoreThanTheTableKeepsTheFirstEntries();
    void anEngineErrorLeavesTheTableCleared();
    void queryTexts_data();
    void queryTexts();

private:
    Connection& c() { return m_db.connection(); }

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_query;
    BucketTable m_buckets;
};

void TestComputeStatistic::initTestCase_data()
{
    AddProviderRows();
}

void TestComputeStatistic::initTestCase()
{
    m_db.prepare();
}

void TestComputeStatistic::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("stat.db")));
    m_db.open(odbc);
    c().exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
    c().exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, 'Eau')"));
    c().exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, 'Gaz')"));
    m_query = std::make_unique<DataSet>(c(), QStringLiteral("Query"));
}

void TestComputeStatistic::cleanup()
{
    m_query.reset();
    m_db.release();
}

void TestComputeStatistic::buckets_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("valueKind");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("labels");
    QTest::addColumn<QString>("values");
    QTest::addColumn<bool>("allZero");

    QTest::newRow("30-day month") << QStringList{"05/04/2008;2;1", "30/04/2008;3;1",
                                                 "01/05/2008;7;1", "31/03/2008;9;1"}
                                  << kPeriodMonth << 4 << 2008 << kValueQuantity << 30
                                  << "1=01;9=09;30=30"
                                  << "5=2;30=3" << false;
    QTest::newRow("29-day February")
        << QStringList{"29/02/2008;4;0", "28/02/2008;1;0", "01/03/2008;5;0"} << kPeriodMonth << 2
        << 2008 << kValueQuantity << 29 << "28=28;29=29"
        << "28=1;29=4" << false;
    QTest::newRow("28-day February") << QStringList{"28/02/2009;1;0"} << kPeriodMonth << 2 << 2009
                                     << kValueQuantity << 28 << "28=28"
                                     << "28=1" << false;
    QTest::newRow("two entries on one day in a month")
        << QStringList{"10/03/2008;1.5;0", "10/03/2008;2.25;0", "10/03/2008;5;0;2"} << kPeriodMonth
        << 3 << 2008 << kValueQuantity << 31 << "10=10;31=31"
        << "10=3.75" << false;
    QTest::newRow("all-zero year")
        << QStringList{"15/06/2007;0;0", "15/06/2008;3;3"} << kPeriodYear << 1 << 2007
        << kValueQuantity << 12 << "1=Jan;2=Fév;8=Aoû;12=Déc"
        << "" << true;
    QTest::newRow("Jui twice, by month number")
        << QStringList{"15/06/2008;1;0", "15/07/2008;2;0", "01/07/2008;0.5;0"} << kPeriodYear << 1
        << 2008 << kValueQuantity << 12 << "6=Jui;7=Jui"
        << "6=1;7=2.5" << false;
    QTest::newRow("negative quantities")
        << QStringList{"15/01/2008;-5;0", "20/01/2008;2;0", "03/02/2008;-1;0"} << kPeriodYear << 1
        << 2008 << kValueQuantity << 12 << ""
        << "1=-3;2=-1" << true;
    QTest::newRow("amounts") << QStringList{"15/01/2008;5;12.5", "20/01/2008;2;0.25",
                                            "03/12/2008;1;null"}
                             << kPeriodYear << 1 << 2008 << kValueAmount << 12 << ""
                             << "1=12.75" << false;
    QTest::newRow("missing quantity") << QStringList{"15/01/2008;null;3", "16/01/2008;2;3"}
                                      << kPeriodYear << 1 << 2008 << kValueQuantity << 12 << ""
                                      << "1=2" << false;
    QTest::newRow("decade bounds")
        << QStringList{"01/01/2000;1;0", "31/12/2009;2;0", "01/01/2010;4;0", "31/12/1999;8;0",
                       "06/06/2005;16;0"}
        << kPeriodDecade << 1 << 2000 << kValueQuantity << 10 << "1=2000;6=2005;10=2009"
        << "1=1;6=16;10=2" << false;
    QTest::newRow("empty date range") << QStringList{"15/06/2004;3;3"} << kPeriodDates << 1 << 2005
                                      << kValueQuantity << 2 << "1=01/01/2005;2=31/12/2005"
                                      << "" << true;
    QTest::newRow("date range in date order")
        << QStringList{"03/03/2005;3;0", "01/01/2005;1;0", "31/12/2005;2;0", "01/01/2006;9;0"}
        << kPeriodDates << 1 << 2005 << kValueQuantity << 3
        << "1=01/01/2005;2=03/03/2005;3=31/12/2005"
        << "1=1;2=3;3=2" << false;
}

void TestComputeStatistic::buckets()
{
    QFETCH(QStringList, entries);
    QFETCH(int, kind);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(int, valueKind);
    QFETCH(int, count);
    QFETCH(QString, labels);
    QFETCH(QString, values);
    QFETCH(bool, allZero);

    for (const QString& e : entries)
        AddEntry(c(), e);
    StatisticState state;
    state.PeriodKind = kind;
    state.Month = month;
    state.Year = year;
    state.DecadeStart = year;
    state.BeginDate = QDate(year, 1, 1);
    state.EndDate = QDate(year, 12, 31);
    state.ValueKind = valueKind;
    state.AllZero = !allZero;

    const StatisticResult r =
        ComputeStatistic(state, m_buckets, *m_query, kDossier, kAccount, true);
    QVERIFY(r.draw);
    QVERIFY(!r.truncated);
    QCOMPARE(r.allZero, allZero);
    QCOMPARE(state.AllZero, allZero);
    QVERIFY(!m_query->isActive());
    QCOMPARE(m_buckets.count(), count);
    const QMap<int, QString> expectedLabels = Expected(labels);
    for (auto it = expectedLabels.begin(); it != expectedLabels.end(); ++it)
        QCOMPARE(m_buckets.label(it.key()), it.value());
    const QMap<int, QString> expectedValues = Expected(values);
    for (int i = 1; i <= count; ++i)
        QCOMPARE(m_buckets.value(i), expectedValues.value(i, QStringLiteral("0")).toDouble());
    QCOMPARE(m_buckets.value(count + 1), 0.0);
    QVERIFY(m_buckets.label(count + 1).isEmpty());
}

void TestComputeStatistic::entriesOfOneDayAreTwoPointsInARange()
{
    AddEntry(c(), QStringLiteral("10/03/2008;1.5;0"));
    AddEntry(c(), QStringLiteral("10/03/2008;2.25;0"));
    AddEntry(c(), QStringLiteral("11/03/2008;1;0"));
    StatisticState state;
    state.PeriodKind = kPeriodDates;
    state.BeginDate = QDate(2008, 3, 1);
    state.EndDate = QDate(2008, 3, 10);
    ComputeStatistic(state, m_buckets, *m_query, kDossier, kAccount, true);
    QCOMPARE(m_buckets.count(), 2);
    QCOMPARE(m_buckets.label(1), QStringLiteral("10/03/2008"));
    QCOMPARE(m_buckets.label(2), QStringLiteral("10/03/2008"));
    QCOMPARE(std::min(m_buckets.value(1), m_buckets.value(2)), 1.5);
    QCOMPARE(std::max(m_buckets.value(1), m_buckets.value(2)), 2.25);
}

void TestComputeStatistic::noDossierOrNoAccountComputesNothing()
{
    AddEntry(c(), QStringLiteral("10/03/2008;1.5;0"));
    StatisticState state;
    state.Year = 2008;
    ComputeStatistic(state, m_buckets, *m_query, kDossier, kAccount, true);
    QCOMPARE(m_buckets.count(), 12);

    StatisticResult r = ComputeStatistic(state, m_buckets, *m_query, -1, kAccount, true);
    QVERIFY(!r.draw);
    QCOMPARE(m_buckets.count(), 0);
    QCOMPARE(m_buckets.value(3), 0.0);
    QVERIFY(m_buckets.label(3).isEmpty());
    QVERIFY(state.AllZero);

    r = ComputeStatistic(state, m_buckets, *m_query, kDossier, -1, false);
    QVERIFY(!r.draw);
    QCOMPARE(m_buckets.count(), 0);

    // An account selected in none: twelve empty months.
    r = ComputeStatistic(state, m_buckets, *m_query, kDossier, -1, true);
    QVERIFY(r.draw);
    QCOMPARE(m_buckets.count(), 12);
    QVERIFY(r.allZero);
}

void TestComputeStatistic::aRangeOfMoreThanTheTableKeepsTheFirstEntries()
{
    const int entries = BucketTable::Capacity + 3;
    const QDate first(1990, 1, 1);
    {
        // Straight into the file: faster than one statement per entry.
        Connection direct;
        direct.setDatabaseFile(m_db.file());
        direct.open();
        Transaction t(direct);
        QSqlQuery q(direct.database());
        q.prepare(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                                 "Quantity) VALUES (1, 1, ?, ?)"));
        for (int i = entries - 1; i >= 0; --i) {
            q.addBindValue(first.addDays(i / 2).toString(QStringLiteral("yyyy-MM-dd")));
            q.addBindValue(1.0 + i % 2);
            QVERIFY(q.exec());
        }
        q.finish();
        t.commit();
    }
    StatisticState state;
    state.PeriodKind = kPeriodDates;
    state.BeginDate = first;
    state.EndDate = first.addDays(entries);
    const StatisticResult r =
        ComputeStatistic(state, m_buckets, *m_query, kDossier, kAccount, true);
    QVERIFY(r.draw);
    QVERIFY(r.truncated);
    QVERIFY(!r.allZero);
    QCOMPARE(m_buckets.count(), BucketTable::Capacity);
    QCOMPARE(m_buckets.label(1), FormatDateText(first));
    QCOMPARE(m_buckets.label(BucketTable::Capacity),
             FormatDateText(first.addDays((BucketTable::Capacity - 1) / 2)));
    QVERIFY(!TruncatedStatisticText().isEmpty());
    QVERIFY(!m_query->isActive());
}

void TestComputeStatistic::anEngineErrorLeavesTheTableCleared()
{
    AddEntry(c(), QStringLiteral("10/03/2008;1.5;0"));
    StatisticState state;
    state.Year = 2008;
    ComputeStatistic(state, m_buckets, *m_query, kDossier, kAccount, true);
    QCOMPARE(m_buckets.value(3), 1.5);
    c().exec(QStringLiteral("DROP TABLE CONSUMPTION"));
    QVERIFY_THROWS_EXCEPTION(
        Error, ComputeStatistic(state, m_buckets, *m_query, kDossier, kAccount, true));
    QCOMPARE(m_buckets.count(), 0);
    QCOMPARE(m_buckets.value(3), 0.0);
    QVERIFY(!m_query->isActive());
}

void TestComputeStatistic::queryTexts_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    const QString select =
        QStringLiteral("SELECT DATEACTION, PRICE, QUANTITY FROM CONSUMPTION WHERE Id_Account=7");
    QTest::newRow("month") << 0
                           << select + " AND MID(DATEACTION, 4, 2)='03' AND MID(DATEACTION, 7, "
                                       "4)='2008'";
    QTest::newRow("year") << 1 << select + " AND MID(DATEACTION, 7, 4)='2008'";
    QTest::newRow("decade") << 2
                            << select + " AND MID(DATEACTION, 7, 4)>='2000' AND MID(DATEACTION, "
                                        "7, 4)<='2009'";
    QTest::newRow("dates") << 3
                           << select + " AND DateAction>=#3/5/2008# AND DateAction<=#12/31/2008# "
                                       "ORDER BY DateAction";
}

void TestComputeStatistic::queryTexts()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    StatisticState state;
    state.PeriodKind = kind;
    state.Month = 3;
    state.Year = 2008;
    state.DecadeStart = 2000;
    state.BeginDate = QDate(2008, 3, 5);
    state.EndDate = QDate(2008, 12, 31);
    QCOMPARE(StatisticQueryText(state, 7), text);
}

QTEST_APPLESS_MAIN(TestComputeStatistic)
#include "tst_ComputeStatistic.moc"
