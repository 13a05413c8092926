// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/FitPictureInBox.h"

#include <QTest>

using namespace tilvo;

class TestFitPictureInBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placement_data();
    void placement();
};

void TestFitPictureInBox::placement_data()
{
    QTest::addColumn<int>("boxWidth");
    QTest::addColumn<int>("boxHeight");
    QTest::addColumn<int>("pictureWidth");
    QTest::addColumn<int>("pictureHeight");
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("small picture centred") << 70 << 70 << 40 << 40 << false << 15 << 15 << 40 << 40;
    QTest::newRow("wide picture") << 70 << 70 << 300 << 100 << true << 0 << 23 << 70 << 23;
    QTest::newRow("tall picture") << 70 << 70 << 100 << 300 << true << 23 << 0 << 23 << 70;
    QTest::newRow("large scan") << 5000 << 5000 << 6000 << 4000 << true << 0 << 833 << 5000 << 3333;
    QTest::newRow("square fills a non-square box")
        << 472 << 453 << 1000 << 1000 << true << 0 << 0 << 472 << 453;
    // 35 / 49 × 21 is 14.999... in extended precision, 15 in double precision.
    QTest::newRow("extended precision cut") << 35 << 35 << 21 << 49 << true << 10 << 0 << 14 << 35;
    QTest::newRow("exactly the box") << 70 << 70 << 70 << 70 << false << 0 << 0 << 70 << 70;
    QTest::newRow("odd margin truncated") << 70 << 70 << 41 << 10 << false << 14 << 30 << 41 << 10;
    QTest::newRow("wide but only too tall: fit height")
        << 100 << 50 << 90 << 60 << true << 12 << 0 << 75 << 50;
    QTest::newRow("tall but only too wide: fit width")
        << 50 << 100 << 60 << 90 << true << 0 << 12 << 50 << 75;
    QTest::newRow("list box 35 x 35") << 35 << 35 << 70 << 70 << true << 0 << 0 << 35 << 35;
    QTest::newRow("empty picture") << 70 << 70 << 0 << 0 << false << 35 << 35 << 0 << 0;
    QTest::newRow("negative sizes count as 0")
        << 70 << 70 << -5 << -8 << false << 35 << 35 << 0 << 0;

    // Where the fitted side equals the box, or a square exceeds the box one way only, the
    // picture is stretched over the box instead of getting no size at all.
    QTest::newRow("tall, fitted width equals the box")
        << 50 << 100 << 100 << 200 << true << 0 << 0 << 50 << 100;
    QTest::newRow("wide, fitted height equals the box")
        << 100 << 50 << 200 << 100 << true << 0 << 0 << 100 << 50;
    QTest::newRow("square too wide only") << 50 << 100 << 80 << 80 << true << 0 << 0 << 50 << 100;
    QTest::newRow("square too tall only") << 100 << 50 << 80 << 80 << true << 0 << 0 << 100 << 50;
}

void TestFitPictureInBox::placement()
{
    QFETCH(int, boxWidth);
    QFETCH(int, boxHeight);
    QFETCH(int, pictureWidth);
    QFETCH(int, pictureHeight);
    QFETCH(bool, scaled);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    const Placement p = FitPictureInBox(boxWidth, boxHeight, pictureWidth, pictureHeight);
    QCOMPARE(p.scaled, scaled);
    QCOMPARE(p.left, left);
    QCOMPARE(p.top, top);
    QCOMPARE(p.width, width);
    QCOMPARE(p.height, height);
}

QTEST_APPLESS_MAIN(TestFitPictureInBox)
#include "tst_FitPictureInBox.moc"
