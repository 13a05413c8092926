// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ColorHelpers.h"

#include <QTest>

using namespace tilvo;

class TestColorHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shiftColor_data();
    void shiftColor();
    void windowsLayoutIsRedInTheLowByte();
};

void TestColorHelpers::shiftColor_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<int>("amount");
    QTest::addColumn<int>("expected");
    // The drop-down's border: the list colour FF FF F2 less 35 on each component.
    QTest::newRow("list border") << 0xF2FFFF << -35 << 0xCFDCDC;
    QTest::newRow("below zero becomes one") << 0x102030 << -40 << 0x010108;
    QTest::newRow("zero amount keeps") << 0x00FF00 << 0 << 0x00FF00;
    QTest::newRow("above 255 becomes 254") << 0xF0E0D0 << 40 << 0xFEFEF8;
    QTest::newRow("shadow of white") << 0xFFFFFF << -120 << 0x878787;
}

void TestColorHelpers::shiftColor()
{
    QFETCH(int, colour);
    QFETCH(int, amount);
    QFETCH(int, expected);
    QCOMPARE(ShiftColor(colour, amount), expected);
}

void TestColorHelpers::windowsLayoutIsRedInTheLowByte()
{
    QCOMPARE(ColorFromWindows(255), QColor(255, 0, 0));
    QCOMPARE(ColorFromWindows(kPickerColor), QColor(0xFF, 0xFF, 0xF2));
    QCOMPARE(WindowsColor(QColor(0x31, 0x6A, 0xC5)), 12937777);
}

QTEST_APPLESS_MAIN(TestColorHelpers)
#include "tst_ColorHelpers.moc"
