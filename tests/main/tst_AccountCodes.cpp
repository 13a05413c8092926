// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/AccountCodes.h"
#include "main/ColorControls.h"

#include <QTest>

using namespace tilvo;

// The code lines of the account dialog and its colour enabling.
class TestAccountCodes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codeLines_data();
    void codeLines();
    void colorControls_data();
    void colorControls();
};

void TestAccountCodes::codeLines_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("month") << PeriodTypeLines() << 0 << "Mois";
    QTest::newRow("dates") << PeriodTypeLines() << 3 << "Dates";
    QTest::newRow("period past the list") << PeriodTypeLines() << 4 << "";
    QTest::newRow("3D line") << StatTypeLines() << 0 << "Ligne 3D";
    QTest::newRow("pie") << StatTypeLines() << kPieChartIndex << "Sectoriel";
    QTest::newRow("simple line") << StatTypeLines() << 5 << "Ligne simple";
    QTest::newRow("no chart") << StatTypeLines() << -1 << "";
    QTest::newRow("amount") << ValueTypeLines() << 1 << "Montant";
    QTest::newRow("three decimals") << DecimalLines() << 3 << "3";
}

void TestAccountCodes::codeLines()
{
    QFETCH(QString, lines);
    QFETCH(int, index);
    QFETCH(QString, text);
    QCOMPARE(CodeLineText(lines, index), text);
}

void TestAccountCodes::colorControls_data()
{
    QTest::addColumn<bool>("setColor");
    QTest::addColumn<int>("statType");
    QTest::addColumn<bool>("thumbnail");
    QTest::addColumn<bool>("colorButton");
    QTest::addColumn<int>("swatch"); // -1 kept, 0 hidden, 1 shown
    QTest::addColumn<bool>("allColor");
    QTest::addColumn<bool>("uncheck");
    QTest::newRow("colour off") << false << 0 << false << false << -1 << false << false;
    QTest::newRow("colour off, pie")
        << false << kPieChartIndex << true << false << -1 << false << false;
    QTest::newRow("colour on, pie")
        << true << kPieChartIndex << false << false << 0 << false << true;
    QTest::newRow("colour on, area") << true << 2 << true << true << 1 << true << false;
    QTest::newRow("colour on, no chart") << true << -1 << false << true << 1 << true << false;
}

void TestAccountCodes::colorControls()
{
    QFETCH(bool, setColor);
    QFETCH(int, statType);
    QFETCH(bool, thumbnail);
    QFETCH(bool, colorButton);
    QFETCH(int, swatch);
    QFETCH(bool, allColor);
    QFETCH(bool, uncheck);
    const ColorControls c = DecideColorControls(setColor, statType, thumbnail);
    QCOMPARE(c.colorButtonEnabled, colorButton);
    QCOMPARE(c.swatchVisible.has_value(), swatch >= 0);
    if (swatch >= 0)
        QCOMPARE(*c.swatchVisible, swatch == 1);
    QCOMPARE(c.allColorEnabled, allColor);
    QCOMPARE(c.uncheckAllColor, uncheck);
    QCOMPARE(c.deletePictureEnabled, thumbnail);
}

QTEST_APPLESS_MAIN(TestAccountCodes)
#include "tst_AccountCodes.moc"
