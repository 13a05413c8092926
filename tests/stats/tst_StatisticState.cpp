// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "stats/StatisticFormats.h"
#include "stats/StatisticState.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace tilvo;

class TestStatisticState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initialStateFromToday();
    void navigation_data();
    void navigation();
    void kindTexts();
    void accountDefaultsKeepTheBrowsedPeriod();
    void moneyFormat_data();
    void moneyFormat();
    void quantityFormat_data();
    void quantityFormat();
};

void TestStatisticState::initialStateFromToday()
{
    const FixedClock clock(QDateTime(QDate(2008, 2, 15), QTime(10, 30)));
    const StatisticState s = InitialStatisticState(clock);
    QCOMPARE(s.ChartKind, kChartLine);
    QCOMPARE(s.PeriodKind, kPeriodYear);
    QCOMPARE(s.ValueKind, kValueQuantity);
    QCOMPARE(s.Month, 2);
    QCOMPARE(s.Year, 2008);
    QCOMPARE(s.DecadeStart, 2000);
    QCOMPARE(s.BeginDate, QDate(2008, 1, 1));
    QCOMPARE(s.EndDate, QDate(2008, 12, 31));
    QCOMPARE(PeriodLabelText(s), QStringLiteral("2008"));
}

void TestStatisticState::navigation_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("decade");
    QTest::addColumn<int>("direction"); // -1 previous, +1 next, 0 none
    QTest::addColumn<QString>("label");

    QTest::newRow("January to December") << 0 << 1 << 2009 << 2000 << -1 << "Décembre 2008";
    QTest::newRow("December to January") << 0 << 12 << 2008 << 2000 << 1 << "Janvier 2009";
    QTest::newRow("February") << 0 << 2 << 2008 << 2000 << 0 << "Février 2008";
    QTest::newRow("month back") << 0 << 7 << 2008 << 2000 << -1 << "Juin 2008";
    QTest::newRow("year back") << 1 << 5 << 2008 << 2000 << -1 << "2007";
    QTest::newRow("year on") << 1 << 5 << 2008 << 2000 << 1 << "2009";
    QTest::newRow("decade back") << 2 << 5 << 2008 << 2000 << -1 << "1990-1999";
    QTest::newRow("decade on") << 2 << 5 << 2008 << 2000 << 1 << "2010-2019";
    QTest::newRow("dates stay") << 3 << 5 << 2008 << 2000 << 1 << "du 01/01/2008 au 31/12/2008";
}

void TestStatisticState::navigation()
{
    QFETCH(int, kind);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(int, decade);
    QFETCH(int, direction);
    QFETCH(QString, label);

    StatisticState s;
    s.PeriodKind = kind;
    s.Month = month;
    s.Year = year;
    s.DecadeStart = decade;
    s.BeginDate = QDate(2008, 1, 1);
    s.EndDate = QDate(2008, 12, 31);
    if (direction < 0)
        PreviousPeriod(s);
    else if (direction > 0)
        NextPeriod(s);
    QCOMPARE(PeriodLabelText(s), label);
    QCOMPARE(s.BeginDate, QDate(2008, 1, 1));
    QCOMPARE(s.EndDate, QDate(2008, 12, 31));

    // Going back the other way returns to the start.
    if (direction < 0)
        NextPeriod(s);
    else if (direction > 0)
        PreviousPeriod(s);
    QCOMPARE(s.Month, month);
    QCOMPARE(s.Year, year);
    QCOMPARE(s.DecadeStart, decade);
}

void TestStatisticState::kindTexts()
{
    QCOMPARE(PeriodKindText(kPeriodMonth), QStringLiteral("Mois"));
    QCOMPARE(PeriodKindText(kPeriodYear), QStringLiteral("Année"));
    QCOMPARE(PeriodKindText(kPeriodDecade), QStringLiteral("Décennie"));
    QCOMPARE(PeriodKindText(kPeriodDates), QStringLiteral("Dates"));
    QCOMPARE(PeriodKindText(4), QString());
    QCOMPARE(PeriodKindText(-1), QString());
    QCOMPARE(ValueKindText(kValueQuantity), QStringLiteral("Quantité"));
    QCOMPARE(ValueKindText(kValueAmount), QStringLiteral("Montant"));
    QCOMPARE(ValueKindText(2), QString());
    StatisticState s;
    s.PeriodKind = 7;
    QCOMPARE(PeriodLabelText(s), QString());
}

void TestStatisticState::accountDefaultsKeepTheBrowsedPeriod()
{
    StatisticState s;
    s.PeriodKind = kPeriodMonth;
    s.Month = 3;
    s.Year = 2005;
    s.DecadeStart = 1990;
    s.BeginDate = QDate(2004, 2, 1);
    s.EndDate = QDate(2004, 6, 30);
    LoadAccountDefaults(s, kPeriodDates, kChartBars, kValueAmount, 0x123456, true);
    QCOMPARE(s.PeriodKind, kPeriodDates);
    QCOMPARE(s.ChartKind, kChartBars);
    QCOMPARE(s.SavedChartKind, kChartBars);
    QCOMPARE(s.ValueKind, kValueAmount);
    QCOMPARE(s.AccountColor, 0x123456u);
    QVERIFY(s.AllColor);
    QCOMPARE(s.Month, 3);
    QCOMPARE(s.Year, 2005);
    QCOMPARE(s.DecadeStart, 1990);
    QCOMPARE(PeriodLabelText(s), QStringLiteral("du 01/02/2004 au 30/06/2004"));
}

void TestStatisticState::moneyFormat_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("format");
    QTest::newRow("F") << "F"
                       << "#######0.000 €";
    QTest::newRow("FF lower") << "ff"
                              << "#######0.000 €";
    QTest::newRow("Fr") << "Fr"
                        << "#######0.000 €";
    QTest::newRow("euro") << "€"
                          << "#######0.000 €";
    QTest::newRow("dollar") << "$"
                            << "#######0.000 $";
    QTest::newRow("FRF stays") << "FRF"
                               << "#######0.000 FRF";
    QTest::newRow("Swiss") << "CHF"
                           << "#######0.000 CHF";
}

void TestStatisticState::moneyFormat()
{
    QFETCH(QString, symbol);
    QFETCH(QString, format);
    QCOMPARE(MoneyFormatFor(symbol), format);
    QCOMPARE(CurrencySymbolOf(format), format.mid(13));
}

void TestStatisticState::quantityFormat_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("format");
    QTest::newRow("none") << 0 << ""
                          << "#######0";
    QTest::newRow("one, kWh") << 1 << "kWh"
                              << "#######0.0 kWh";
    QTest::newRow("two") << 2 << ""
                         << "#######0.00";
    QTest::newRow("three, m3") << 3 << "m3"
                               << "#######0.000 m3";
    QTest::newRow("four counts none") << 4 << "l"
                                      << "#######0 l";
    QTest::newRow("negative counts none") << -1 << ""
                                          << "#######0";
}

void TestStatisticState::quantityFormat()
{
    QFETCH(int, decimals);
    QFETCH(QString, unit);
    QFETCH(QString, format);
    QCOMPARE(QuantityFormatFor(decimals, unit), format);
}

QTEST_APPLESS_MAIN(TestStatisticState)
#include "tst_StatisticState.moc"
