// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "images/Picture.h"

#include <QImage>
#include <QTest>

using namespace tilvo;

class TestPicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newPictureIsBlackWithPaddedRows_data();
    void newPictureIsBlackWithPaddedRows();
    void zeroSideGivesTheEmptyPicture();
    void sizeLimits_data();
    void sizeLimits();
    void refusedSizeThrowsBeforeAllocating();
    void qimageRoundTrip();
    void qimageOfOtherFormatsBecomes24Bits();
    void greyBecomes24Bits();
    void fillAndDrawClipToThePicture();
    void drawRefusesAnotherFormat();
    void copiesAreDeepAndEqualityIgnoresPadding();
};

void TestPicture::newPictureIsBlackWithPaddedRows_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("bytesPerLine");
    QTest::newRow("24 bits, no padding") << 4 << int(PixelFormat::Bgr24) << 12;
    QTest::newRow("24 bits, 1 byte of padding") << 1 << int(PixelFormat::Bgr24) << 4;
    QTest::newRow("24 bits, 70 pixels") << 70 << int(PixelFormat::Bgr24) << 212;
    QTest::newRow("grey, 3 bytes of padding") << 5 << int(PixelFormat::Grey8) << 8;
    QTest::newRow("grey, no padding") << 8 << int(PixelFormat::Grey8) << 8;
}

void TestPicture::newPictureIsBlackWithPaddedRows()
{
    QFETCH(int, width);
    QFETCH(int, format);
    QFETCH(int, bytesPerLine);
    const Picture picture(width, 3, PixelFormat(format));
    QCOMPARE(picture.width(), width);
    QCOMPARE(picture.height(), 3);
    QCOMPARE(picture.bytesPerLine(), bytesPerLine);
    QCOMPARE(picture.row(1) - picture.row(0), bytesPerLine);
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < bytesPerLine; ++i)
            QCOMPARE(picture.row(y)[i], uchar(0));
}

void TestPicture::zeroSideGivesTheEmptyPicture()
{
    const Picture wide(10, 0);
    QVERIFY(wide.isEmpty());
    QCOMPARE(wide.width(), 0);
    QCOMPARE(wide.height(), 0);
    QVERIFY(Picture(0, 10) == Picture());
    QVERIFY(Picture().toQImage().isNull());
    QVERIFY(Picture::fromQImage(QImage()).isEmpty());
}

void TestPicture::sizeLimits_data()
{
    QTest::addColumn<qint64>("width");
    QTest::addColumn<qint64>("height");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("20000 x 20000 scan") << qint64(20000) << qint64(20000) << true;
    QTest::newRow("32768 x 32768, the pixel limit") << qint64(32768) << qint64(32768) << true;
    QTest::newRow("65535 x 16384, the side limit") << qint64(65535) << qint64(16384) << true;
    QTest::newRow("100000 x 100000") << qint64(100000) << qint64(100000) << false;
    QTest::newRow("65536 x 1") << qint64(65536) << qint64(1) << false;
    QTest::newRow("40000 x 40000, too many pixels") << qint64(40000) << qint64(40000) << false;
    QTest::newRow("negative width") << qint64(-1) << qint64(10) << false;
    QTest::newRow("negative height") << qint64(10) << qint64(-5) << false;
    QTest::newRow("zero") << qint64(0) << qint64(0) << true;
}

void TestPicture::sizeLimits()
{
    QFETCH(qint64, width);
    QFETCH(qint64, height);
    QFETCH(bool, allowed);
    QCOMPARE(!PictureSizeProblem(width, height).has_value(), allowed);
}

void TestPicture::refusedSizeThrowsBeforeAllocating()
{
    try {
        Picture picture(100000, 100000);
        QFAIL("a 100000 x 100000 picture was made");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("Image trop grande : 100000 × 100000 pixels. Une image "
                                          "peut avoir au plus 65535 pixels de côté et "
                                          "1073741824 pixels en tout."));
    }
    QVERIFY_THROWS_EXCEPTION(Error, Picture(-3, 4));
    try {
        CheckPictureSize(-3, 4);
        QFAIL("a negative size was accepted");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("Taille d'image incorrecte : -3 × 4 pixels."));
    }
}

void TestPicture::qimageRoundTrip()
{
    Picture colour(3, 2);
    colour.row(0)[0] = 10; // blue of (0, 0)
    colour.row(0)[1] = 20;
    colour.row(0)[2] = 30;
    colour.row(1)[6] = 200; // blue of (2, 1)
    const QImage image = colour.toQImage();
    QCOMPARE(image.format(), QImage::Format_BGR888);
    QCOMPARE(image.pixel(0, 0), qRgb(30, 20, 10));
    QCOMPARE(image.pixel(2, 1), qRgb(0, 0, 200));
    QVERIFY(Picture::fromQImage(image) == colour);

    Picture grey(5, 1, PixelFormat::Grey8);
    grey.row(0)[4] = 77;
    const QImage greyImage = grey.toQImage();
    QCOMPARE(greyImage.format(), QImage::Format_Grayscale8);
    QCOMPARE(qGray(greyImage.pixel(4, 0)), 77);
    const Picture back = Picture::fromQImage(greyImage);
    QCOMPARE(back.format(), PixelFormat::Grey8);
    QVERIFY(back == grey);
}

void TestPicture::qimageOfOtherFormatsBecomes24Bits()
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(1, 2, 3, 0));
    image.setPixel(1, 0, qRgba(250, 128, 9, 255));
    const Picture picture = Picture::fromQImage(image);
    QCOMPARE(picture.format(), PixelFormat::Bgr24);
    const uchar expected[6] = {3, 2, 1, 9, 128, 250};
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(picture.row(0)), 6),
             QByteArray(reinterpret_cast<const char*>(expected), 6));
}

void TestPicture::greyBecomes24Bits()
{
    Picture grey(2, 2, PixelFormat::Grey8);
    grey.row(1)[1] = 99;
    const Picture colour = grey.toBgr24();
    QCOMPARE(colour.format(), PixelFormat::Bgr24);
    QCOMPARE(colour.row(1)[3], uchar(99));
    QCOMPARE(colour.row(1)[4], uchar(99));
    QCOMPARE(colour.row(1)[5], uchar(99));
    QCOMPARE(colour.row(0)[3], uchar(0));
}

void TestPicture::fillAndDrawClipToThePicture()
{
    Picture box(4, 4);
    box.fill(255, 255, 255);
    Picture red(3, 3);
    red.fill(0, 0, 255);
    box.draw(red, 2, -1); // only its bottom-left 2 x 2 pixels land inside
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 2 && y <= 1;
            const uchar* p = box.row(y) + 3 * x;
            QCOMPARE(p[0], uchar(inside ? 0 : 255));
            QCOMPARE(p[2], uchar(255));
        }
    }
    box.draw(red, 10, 10); // entirely outside: nothing happens
    QCOMPARE(box.row(3)[9], uchar(255));
}

void TestPicture::drawRefusesAnotherFormat()
{
    Picture box(4, 4);
    QVERIFY_THROWS_EXCEPTION(Error, box.draw(Picture(2, 2, PixelFormat::Grey8), 0, 0));
}

void TestPicture::copiesAreDeepAndEqualityIgnoresPadding()
{
    Picture a(1, 2);
    a.row(0)[0] = 5;
    Picture b = a;
    QVERIFY(a == b);
    b.row(0)[0] = 6;
    QCOMPARE(a.row(0)[0], uchar(5));
    QVERIFY(!(a == b));
    b = a;
    b.row(1)[3] = 42; // padding byte
    QVERIFY(a == b);
    const Picture moved = std::move(b);
    QVERIFY(moved == a);
    QVERIFY(b.isEmpty());
}

QTEST_APPLESS_MAIN(TestPicture)
#include "tst_Picture.moc"
