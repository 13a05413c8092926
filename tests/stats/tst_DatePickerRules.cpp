// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/DatePickerRules.h"

#include <QTest>

using namespace tilvo;

class TestDatePickerRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placement_data();
    void placement();
    void startDate_data();
    void startDate();
    void periodOk_data();
    void periodOk();
};

void TestDatePickerRules::placement_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("field");
    QTest::addColumn<QPoint>("corner");
    const QRect screen(0, 0, 1280, 1024);
    // 15 pixels below the field's top, at its left.
    QTest::newRow("free") << screen << QRect(100, 200, 65, 21) << QPoint(100, 215);
    // 778 + 200 + 15 = 993 < 994: still below.
    QTest::newRow("last place below") << screen << QRect(100, 778, 65, 21) << QPoint(100, 793);
    // 779 + 200 + 15 = 994: lifted to end 30 pixels above the screen's bottom.
    QTest::newRow("near the bottom") << screen << QRect(100, 779, 65, 21) << QPoint(100, 794);
    QTest::newRow("at the bottom") << screen << QRect(100, 1000, 65, 21) << QPoint(100, 794);
    QTest::newRow("near the right edge") << screen << QRect(1200, 200, 65, 21) << QPoint(1030, 215);
    QTest::newRow("bottom right corner")
        << screen << QRect(1250, 1000, 25, 21) << QPoint(1030, 794);
    QTest::newRow("second screen")
        << QRect(1280, 0, 1024, 768) << QRect(2250, 700, 65, 21) << QPoint(2054, 538);
}

void TestDatePickerRules::placement()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, field);
    QFETCH(QPoint, corner);
    QCOMPARE(PlaceCalendar(field, QSize(250, 200), screen), corner);
}

void TestDatePickerRules::startDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("start");
    const QDate today(2026, 12, 10);
    QTest::newRow("date") << "05/03/2008" << QDate(2008, 3, 5);
    QTest::newRow("first ten characters") << "05/03/2008 12:00" << QDate(2008, 3, 5);
    QTest::newRow("empty") << "" << today;
    QTest::newRow("no such day") << "31/02/2008" << today;
    QTest::newRow("short form") << "5/3/2008" << today;
    QTest::newRow("out of range") << "01/01/2100" << today;
}

void TestDatePickerRules::startDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, start);
    QCOMPARE(CalendarStartDate(text, QDate(2026, 12, 10)), start);
}

void TestDatePickerRules::periodOk_data()
{
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("now");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("begin before end") << "01/01/2008"
                                      << "31/12/2008" << false << true;
    QTest::newRow("one day cannot be confirmed") << "05/03/2008"
                                                 << "05/03/2008" << true << false;
    QTest::newRow("begin after end") << "06/03/2008"
                                     << "05/03/2008" << true << false;
    QTest::newRow("empty begin keeps enabled") << ""
                                               << "05/03/2008" << true << true;
    QTest::newRow("empty begin keeps disabled") << ""
                                                << "05/03/2008" << false << false;
    QTest::newRow("empty end keeps") << "05/03/2008"
                                     << "" << true << true;
    QTest::newRow("not a date") << "abc"
                                << "05/03/2008" << true << false;
}

void TestDatePickerRules::periodOk()
{
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(bool, now);
    QFETCH(bool, enabled);
    QCOMPARE(PeriodOkEnabled(begin, end, now), enabled);
}

QTEST_APPLESS_MAIN(TestDatePickerRules)
#include "tst_DatePickerRules.moc"
