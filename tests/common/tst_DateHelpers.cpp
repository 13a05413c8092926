// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "common/Error.h"

#include <QTest>

using namespace tilvo;

class TestDateHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void daysInMonth_data();
    void daysInMonth();
    void frenchMonthNames();
    void isOnOrAfterIgnoresTime();
    void isValidDate_data();
    void isValidDate();
    void isValidDateText_data();
    void isValidDateText();
    void sqlDateLiteral_data();
    void sqlDateLiteral();
    void sqlDateLiteralRefusesNonDates();
    void currentYearFollowsTheClock();
};

void TestDateHelpers::daysInMonth_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("days");
    QTest::newRow("feb 1900") << 2 << 1900 << 28;
    QTest::newRow("feb 2000") << 2 << 2000 << 29;
    QTest::newRow("feb 2008") << 2 << 2008 << 29;
    QTest::newRow("feb 2009") << 2 << 2009 << 28;
    QTest::newRow("jan") << 1 << 2009 << 31;
    QTest::newRow("apr") << 4 << 2009 << 30;
    QTest::newRow("aug") << 8 << 2009 << 31;
    QTest::newRow("nov") << 11 << 2009 << 30;
    QTest::newRow("dec") << 12 << 2009 << 31;
    QTest::newRow("month 0") << 0 << 2009 << 0;
    QTest::newRow("month 13") << 13 << 2009 << 0;
}

void TestDateHelpers::daysInMonth()
{
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(int, days);
    QCOMPARE(DaysInMonth(month, year), days);
}

void TestDateHelpers::frenchMonthNames()
{
    const QStringList expected = {"Janvier",   "Février", "Mars",     "Avril",
                                  "Mai",       "Juin",    "Juillet",  "Août",
                                  "Septembre", "Octobre", "Novembre", "Décembre"};
    for (int m = 1; m <= 12; ++m)
        QCOMPARE(FrenchMonthName(m), expected.at(m - 1));
    QVERIFY(FrenchMonthName(0).isEmpty());
    QVERIFY(FrenchMonthName(13).isEmpty());
}

void TestDateHelpers::isOnOrAfterIgnoresTime()
{
    const QDateTime morning(QDate(2008, 3, 5), QTime(8, 0));
    const QDateTime evening(QDate(2008, 3, 5), QTime(22, 30));
    QVERIFY(IsOnOrAfter(morning, evening));
    QVERIFY(IsOnOrAfter(evening, morning));
    QVERIFY(IsOnOrAfter(QDate(2008, 3, 6), QDate(2008, 3, 5)));
    QVERIFY(!IsOnOrAfter(QDate(2008, 3, 5), QDate(2008, 3, 6)));
    QVERIFY(!IsOnOrAfter(QDate(2007, 12, 31), QDate(2008, 1, 1)));
}

void TestDateHelpers::isValidDate_data()
{
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("valid");
    QTest::newRow("leap day") << 29 << 2 << 2008 << true;
    QTest::newRow("no leap day") << 29 << 2 << 2009 << false;
    QTest::newRow("first year") << 1 << 1 << 1900 << true;
    QTest::newRow("last day") << 31 << 12 << 2099 << true;
    QTest::newRow("before 1900") << 31 << 12 << 1899 << false;
    QTest::newRow("after 2099") << 1 << 1 << 2100 << false;
    QTest::newRow("day 0") << 0 << 1 << 2008 << false;
    QTest::newRow("month 13") << 1 << 13 << 2008 << false;
}

void TestDateHelpers::isValidDate()
{
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(bool, valid);
    QCOMPARE(IsValidDate(day, month, year), valid);
    QCOMPARE(IsValidDate(QDate(year, month, day)), valid);
}

void TestDateHelpers::isValidDateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("leap day") << "29/02/2008" << true;
    QTest::newRow("last accepted") << "31/12/2099" << true;
    QTest::newRow("first accepted") << "01/01/1900" << true;
    QTest::newRow("nine characters") << "1/2/2008" << false;
    QTest::newRow("no such day") << "31/04/2008" << false;
    QTest::newRow("1899") << "01/01/1899" << false;
    QTest::newRow("2100") << "01/01/2100" << false;
    QTest::newRow("letter") << "0a/01/2008" << false;
    QTest::newRow("other separator") << "01-01-2008" << false;
    QTest::newRow("signed part") << "+1/01/2008" << false;
    QTest::newRow("blank part") << " 1/01/2008" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("long garbage") << QString(255, u'/') << false;
    QTest::newRow("unicode digits") << QString::fromUtf8("٠١/٠١/٢٠٠٨") << false;
}

void TestDateHelpers::isValidDateText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidDateText(text), valid);
}

void TestDateHelpers::sqlDateLiteral_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("literal");
    QTest::newRow("month first") << "05/03/2008"
                                 << "3/5/2008";
    QTest::newRow("end of year") << "31/12/2008"
                                 << "12/31/2008";
    QTest::newRow("no leading zeros") << "01/01/2010"
                                      << "1/1/2010";
}

void TestDateHelpers::sqlDateLiteral()
{
    QFETCH(QString, text);
    QFETCH(QString, literal);
    QCOMPARE(SqlDateLiteral(text), literal);
    QCOMPARE(SqlDateLiteral(ParseDateText(text)), literal);
}

void TestDateHelpers::sqlDateLiteralRefusesNonDates()
{
    QVERIFY_THROWS_EXCEPTION(Error, SqlDateLiteral(QString()));
    QVERIFY_THROWS_EXCEPTION(Error, SqlDateLiteral(QStringLiteral("31/02/2008")));
}

void TestDateHelpers::currentYearFollowsTheClock()
{
    FixedClock clock(QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59)));
    QCOMPARE(CurrentYear(clock), 2031);
    clock.set(QDateTime(QDate(2032, 1, 1), QTime(0, 0)));
    QCOMPARE(CurrentYear(clock), 2032);
    QCOMPARE(CurrentYear(), QDate::currentDate().year());
}

QTEST_APPLESS_MAIN(TestDateHelpers)
#include "tst_DateHelpers.moc"
