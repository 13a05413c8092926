// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/BmpFile.h"
#include "images/PictureSamples.h"
#include "images/ReferenceResize.h"
#include "images/Thumbnail.h"

#include <QTest>

using namespace tilvo;
using tilvo::test::IsWhite;
using tilvo::test::RandomPicture;

class TestThumbnail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resizedPictureCentredOnWhite_data();
    void resizedPictureCentredOnWhite();
    void emptyPictureGivesAWhiteBox();
    void storedAsA70By70Bmp();
};

void TestThumbnail::resizedPictureCentredOnWhite_data()
{
    QTest::addColumn<int>("sourceWidth");
    QTest::addColumn<int>("sourceHeight");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    // A small picture keeps its size but still goes through the resize.
    QTest::newRow("40 x 40") << 40 << 40 << 15 << 15 << 40 << 40;
    QTest::newRow("300 x 100") << 300 << 100 << 0 << 23 << 70 << 23;
    QTest::newRow("100 x 300") << 100 << 300 << 23 << 0 << 23 << 70;
    QTest::newRow("600 x 400") << 600 << 400 << 0 << 12 << 70 << 46;
    QTest::newRow("square 500 x 500") << 500 << 500 << 0 << 0 << 70 << 70;
}

void TestThumbnail::resizedPictureCentredOnWhite()
{
    QFETCH(int, sourceWidth);
    QFETCH(int, sourceHeight);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    const Picture source = RandomPicture(sourceWidth, sourceHeight);
    const Picture thumbnail = MakeThumbnail(source, 70, 70);
    QCOMPARE(thumbnail.width(), 70);
    QCOMPARE(thumbnail.height(), 70);
    QCOMPARE(thumbnail.format(), PixelFormat::Bgr24);
    const Picture resized = reference::ResizePicture(source, width, height);
    for (int y = 0; y < 70; ++y) {
        for (int x = 0; x < 70; ++x) {
            const bool inside = x >= left && x < left + width && y >= top && y < top + height;
            if (!inside) {
                QVERIFY2(IsWhite(thumbnail, x, y), qPrintable(QString("(%1, %2)").arg(x).arg(y)));
                continue;
            }
            const uchar* got = thumbnail.row(y) + 3 * x;
            const uchar* want = resized.row(y - top) + 3 * (x - left);
            QVERIFY(got[0] == want[0] && got[1] == want[1] && got[2] == want[2]);
        }
    }
}

void TestThumbnail::emptyPictureGivesAWhiteBox()
{
    const Picture thumbnail = MakeThumbnail(Picture(), 35, 35);
    QCOMPARE(thumbnail.width(), 35);
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 35; ++x)
            QVERIFY(IsWhite(thumbnail, x, y));
}

void TestThumbnail::storedAsA70By70Bmp()
{
    const QByteArray bytes = EncodeBmp(MakeThumbnail(RandomPicture(300, 100), 70, 70));
    QCOMPARE(bytes.size(), 14894);
    const Picture back = DecodeBmp(bytes);
    QCOMPARE(back.width(), 70);
    QCOMPARE(back.height(), 70);
    QVERIFY(IsWhite(back, 0, 0));
    QVERIFY(!IsWhite(back, 0, 23));
}

QTEST_APPLESS_MAIN(TestThumbnail)
#include "tst_Thumbnail.moc"
