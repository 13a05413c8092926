// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DropDownRules.h"

#include <QObject>
#include <QTest>

using namespace tilvo;

class TestDropDownRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void heights_data();
    void heights();
    void placement_data();
    void placement();
    void initialRow_data();
    void initialRow();
    void sortIgnoresCaseAndKeepsOrderOfEquals();
    void chosenIndexKeptWithTheField();
};

void TestDropDownRules::heights_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("height");
    QTest::newRow("none") << 0 << 16;
    QTest::newRow("one") << 1 << 16;
    QTest::newRow("four") << 4 << 55;
    QTest::newRow("eight") << 8 << 107;
    QTest::newRow("many") << 40 << 107;
}

void TestDropDownRules::heights()
{
    QFETCH(int, lines);
    QFETCH(int, height);
    QCOMPARE(DropDownHeight(lines), height);
}

void TestDropDownRules::placement_data()
{
    QTest::addColumn<QRect>("field");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QRect>("expected");
    // On a 1280 x 1024 screen. Under the field, as wide as it.
    QTest::newRow("under") << QRect(100, 200, 120, 21) << 12 << QRect(100, 221, 120, 107);
    QTest::newRow("under, fewer lines")
        << QRect(100, 200, 120, 21) << 3 << QRect(100, 221, 120, 42);
    // 1003 + 107 passes 1024: above the field, ending one pixel above it.
    QTest::newRow("above near the bottom")
        << QRect(100, 982, 120, 21) << 12 << QRect(100, 874, 120, 107);
    QTest::newRow("above, fewer lines stays against the field")
        << QRect(100, 982, 120, 21) << 2 << QRect(100, 952, 120, 29);
    // Exactly reaching the bottom still fits.
    QTest::newRow("just fits") << QRect(0, 896, 50, 21) << 8 << QRect(0, 917, 50, 107);
}

void TestDropDownRules::placement()
{
    QFETCH(QRect, field);
    QFETCH(int, lines);
    QFETCH(QRect, expected);
    QCOMPARE(PlaceDropDown(field, lines, QRect(0, 0, 1280, 1024)), expected);
}

void TestDropDownRules::initialRow_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::newRow("no line") << QStringList() << "" << -1;
    QTest::newRow("one line is never preselected") << QStringList{"kWh"} << "kWh" << -1;
    QTest::newRow("first by default") << QStringList{"", "kWh", "litres"} << "m3" << 0;
    QTest::newRow("equal line") << QStringList{"", "kWh", "litres"} << "litres" << 2;
    QTest::newRow("exact comparison") << QStringList{"", "kWh", "litres"} << "KWH" << 0;
    QTest::newRow("last equal wins") << QStringList{"a", "b", "a", "c"} << "a" << 2;
}

void TestDropDownRules::initialRow()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, text);
    QFETCH(int, row);
    QCOMPARE(InitialDropDownRow(lines, text), row);
}

void TestDropDownRules::sortIgnoresCaseAndKeepsOrderOfEquals()
{
    QCOMPARE(SortIgnoringCase({"litres", "KWH", "eau", "kWh", "Électricité"}),
             QStringList({"eau", "Électricité", "KWH", "kWh", "litres"}));
    QCOMPARE(SortIgnoringCase({"3", "0", "2", "1"}), QStringList({"0", "1", "2", "3"}));
}

void TestDropDownRules::chosenIndexKeptWithTheField()
{
    QObject field;
    QCOMPARE(ChosenIndex(&field), -1);
    SetChosenIndex(&field, 3);
    QCOMPARE(ChosenIndex(&field), 3);
    QCOMPARE(ChosenIndex(nullptr), -1);
}

QTEST_APPLESS_MAIN(TestDropDownRules)
#include "tst_DropDownRules.moc"
