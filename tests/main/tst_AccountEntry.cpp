// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/AccountEntry.h"

#include <QTest>

using namespace tilvo;

class TestAccountEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void writtenForm();
    void infoLine_data();
    void infoLine();
    void quantityEditFormat();
};

void TestAccountEntry::roundTrip_data()
{
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("description");
    QTest::newRow("plain") << qint64(7) << "Eau"
                           << "Compteur du jardin";
    QTest::newRow("large id") << qint64(12345) << "Gaz"
                              << "";
    QTest::newRow("hash in title") << qint64(3) << "N°#2 # cuisine"
                                   << "a#b";
    QTest::newRow("markers in texts") << qint64(9) << "x%&a%y"
                                      << "%&b%%&c%%25";
    QTest::newRow("quotes and keywords") << qint64(1) << "l'eau \"froide\"; DROP TABLE ACCOUNT;--"
                                         << "SELECT * FROM x";
    QTest::newRow("accents and emoji") << qint64(2) << "Électricité ⚡ été"
                                       << "Zèbre 🦓";
}

void TestAccountEntry::roundTrip()
{
    QFETCH(qint64, id);
    QFETCH(QString, title);
    QFETCH(QString, description);
    AccountEntry e;
    e.AccountId = id;
    e.Title = title;
    e.Description = description;
    e.InfoLine = QStringLiteral("01/02/2008  - 12.5 kWh");
    e.QuantityEditFormat = QStringLiteral("#######0.0");
    e.Unit = QStringLiteral("kWh %");
    e.PeriodType = 3;
    e.StatType = 6;
    e.ValueType = 1;
    e.ChartColor = 0x00FF8000;
    e.AllColor = true;
    QCOMPARE(ParseAccountEntry(ComposeAccountEntry(e)), e);
}

void TestAccountEntry::writtenForm()
{
    AccountEntry e;
    e.AccountId = 7;
    e.Title = QStringLiteral("Eau");
    e.Description = QStringLiteral("Froide");
    e.InfoLine = QStringLiteral("01/02/2008");
    e.QuantityEditFormat = QStringLiteral("#######0");
    e.PeriodType = 1;
    e.StatType = 2;
    e.ValueType = 0;
    e.ChartColor = 255;
    QCOMPARE(ComposeAccountEntry(e),
             QStringLiteral("0007#Eau%&a%Froide%&b%01/02/2008%&c%#######0%&d%%&e%1%&f%2%&g%0%&h%"
                            "255%&i%0%&j%"));
}

void TestAccountEntry::infoLine_data()
{
    QTest::addColumn<double>("count");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("expected");
    QTest::newRow("counter and unit") << 12.5 << 1 << "kWh"
                                      << "01/02/2008  - 12.5 kWh";
    QTest::newRow("zero counter, unit") << 0.0 << 1 << "kWh"
                                        << "01/02/2008  - kWh";
    QTest::newRow("zero counter, no unit") << 0.0 << 2 << ""
                                           << "01/02/2008";
    QTest::newRow("negative counter") << -4.0 << 0 << "L"
                                      << "01/02/2008  - L";
    QTest::newRow("counter, no unit") << 1234.5678 << 3 << ""
                                      << "01/02/2008  - 1234.568";
    QTest::newRow("no decimals") << 10.6 << 0 << "m3"
                                 << "01/02/2008  - 11 m3";
}

void TestAccountEntry::infoLine()
{
    QFETCH(double, count);
    QFETCH(int, decimals);
    QFETCH(QString, unit);
    QFETCH(QString, expected);
    QCOMPARE(AccountInfoLine(QDate(2008, 2, 1), count, decimals, unit), expected);
}

void TestAccountEntry::quantityEditFormat()
{
    QCOMPARE(QuantityEditFormat(0), QStringLiteral("#######0"));
    QCOMPARE(QuantityEditFormat(1), QStringLiteral("#######0.0"));
    QCOMPARE(QuantityEditFormat(3), QStringLiteral("#######0.000"));
    QCOMPARE(QuantityEditFormat(4), QStringLiteral("#######0"));
    QCOMPARE(QuantityEditFormat(-1), QStringLiteral("#######0"));
}

QTEST_APPLESS_MAIN(TestAccountEntry)
#include "tst_AccountEntry.moc"
