// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "images/JpegFile.h"
#include "images/JpegMaker.h"
#include "support/TestFiles.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdlib>

using namespace tilvo;
using namespace tilvo::test;

namespace {

struct FrameInfo
{
    int width = 0;
    int height = 0;
    int components = 0;
    qsizetype offset = -1; // of the frame header's height field
};

// The start-of-frame header of a JPEG file.
FrameInfo ReadFrame(const QByteArray& bytes)
{
    FrameInfo frame;
    qsizetype p = 2;
    while (p + 4 <= bytes.size() && uchar(bytes[p]) == 0xFF) {
        const int marker = uchar(bytes[p + 1]);
        const int length = uchar(bytes[p + 2]) << 8 | uchar(bytes[p + 3]);
        if (marker >= 0xC0 && marker <= 0xC2) {
            frame.offset = p + 5;
            frame.height = uchar(bytes[p + 5]) << 8 | uchar(bytes[p + 6]);
            frame.width = uchar(bytes[p + 7]) << 8 | uchar(bytes[p + 8]);
            frame.components = uchar(bytes[p + 9]);
            return frame;
        }
        p += 2 + length;
    }
    return frame;
}

Picture Pattern(int width, int height, PixelFormat format)
{
    // Smooth shading, as JPEG is made for.
    Picture picture(width, height, format);
    const int channels = picture.bytesPerPixel();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                picture.row(y)[x * channels + c] = uchar(x + y + c * 40);
    return picture;
}

int LargestDifference(const Picture& a, const Picture& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * a.bytesPerPixel(); ++x)
            largest = std::max(largest, std::abs(int(a.row(y)[x]) - int(b.row(y)[x])));
    return largest;
}

} // namespace

class TestJpegFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesAThreeComponentFileThatReadsBack();
    void greyPictureIsWrittenInColour();
    void writesQImagesOf24BitsAndGrey();
    void qualityIsUsedAndKeptInRange();
    void writeFailures_data();
    void writeFailures();
    void failedWriteKeepsTheExistingFile();
    void readsGreyColourAndProgressiveFiles_data();
    void readsGreyColourAndProgressiveFiles();
    void readFailures_data();
    void readFailures();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestJpegFile::writesAThreeComponentFileThatReadsBack()
{
    const Picture picture = Pattern(64, 48, PixelFormat::Bgr24);
    WriteJpegFile(picture, path("colour.jpg"), 100);
    const QByteArray bytes = test::ReadFile(path("colour.jpg"));
    QVERIFY(bytes.startsWith("\xFF\xD8"));
    const FrameInfo frame = ReadFrame(bytes);
    QCOMPARE(frame.components, 3);
    QCOMPARE(frame.width, 64);
    QCOMPARE(frame.height, 48);

    Picture back;
    QVERIFY(ReadJpegFile(back, path("colour.jpg")));
    QCOMPARE(back.format(), PixelFormat::Bgr24);
    QCOMPARE(back.width(), 64);
    QCOMPARE(back.height(), 48);
    QVERIFY2(LargestDifference(back, picture) <= 6, "the colours came back far off");
}

void TestJpegFile::greyPictureIsWrittenInColour()
{
    const Picture grey = Pattern(30, 20, PixelFormat::Grey8);
    WriteJpegFile(grey, path("grey.jpg"), 100);
    QCOMPARE(ReadFrame(test::ReadFile(path("grey.jpg"))).components, 3);
    Picture back;
    QVERIFY(ReadJpegFile(back, path("grey.jpg")));
    QCOMPARE(back.format(), PixelFormat::Bgr24);
    QVERIFY(LargestDifference(back, grey.toBgr24()) <= 3);
}

void TestJpegFile::writesQImagesOf24BitsAndGrey()
{
    QImage colour(16, 8, QImage::Format_BGR888);
    colour.fill(QColor(200, 100, 50));
    WriteJpegFile(colour, path("qcolour.jpg"), 90);
    Picture back;
    QVERIFY(ReadJpegFile(back, path("qcolour.jpg")));
    QVERIFY(std::abs(int(back.row(3)[2]) - 200) <= 4); // red of (0, 3)

    // Indexed bytes are grey levels, whatever the palette says.
    QImage indexed(16, 8, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0)});
    indexed.fill(1);
    WriteJpegFile(indexed, path("indexed.jpg"), 90);
    QVERIFY(ReadJpegFile(back, path("indexed.jpg")));
    QVERIFY(back.row(0)[0] <= 3 && back.row(0)[1] <= 3 && back.row(0)[2] <= 3);

    QImage grey(16, 8, QImage::Format_Grayscale8);
    grey.fill(QColor(128, 128, 128));
    WriteJpegFile(grey, path("qgrey.jpg"), 90);
    QCOMPARE(ReadFrame(test::ReadFile(path("qgrey.jpg"))).components, 3);
}

void TestJpegFile::qualityIsUsedAndKeptInRange()
{
    const Picture picture = Pattern(64, 64, PixelFormat::Bgr24);
    WriteJpegFile(picture, path("q10.jpg"), 10);
    WriteJpegFile(picture, path("q100.jpg"), 100);
    WriteJpegFile(picture, path("q1.jpg"), 1);
    WriteJpegFile(picture, path("q0.jpg"), 0);
    WriteJpegFile(picture, path("q150.jpg"), 150);
    const QByteArray q10 = test::ReadFile(path("q10.jpg"));
    const QByteArray q100 = test::ReadFile(path("q100.jpg"));
    QVERIFY(q10.size() < q100.size());
    QCOMPARE(test::ReadFile(path("q0.jpg")), test::ReadFile(path("q1.jpg")));
    QCOMPARE(test::ReadFile(path("q150.jpg")), q100);
}

void TestJpegFile::writeFailures_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("32-bit QImage") << 0;
    QTest::newRow("empty picture") << 1;
    QTest::newRow("missing folder") << 2;
    QTest::newRow("path is a folder") << 3;
    QTest::newRow("null QImage") << 4;
}

void TestJpegFile::writeFailures()
{
    QFETCH(int, kind);
    const Picture picture = Pattern(8, 8, PixelFormat::Bgr24);
    QDir(m_dir.path()).mkpath("folder.jpg");
    try {
        switch (kind) {
        case 0: {
            QImage image(8, 8, QImage::Format_RGB32);
            image.fill(Qt::red);
            WriteJpegFile(image, path("rgb32.jpg"), 90);
            break;
        }
        case 1:
            WriteJpegFile(Picture(), path("empty.jpg"), 90);
            break;
        case 2:
            WriteJpegFile(picture, path("no/such/folder/x.jpg"), 90);
            break;
        case 3:
            WriteJpegFile(picture, path("folder.jpg"), 90);
            break;
        case 4:
            WriteJpegFile(QImage(), path("null.jpg"), 90);
            break;
        }
        QFAIL("no error was raised");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("Error writing JPEG to file"));
    }
    QVERIFY(!QFile::exists(path("rgb32.jpg")));
    QVERIFY(!QFile::exists(path("empty.jpg")));
}

void TestJpegFile::failedWriteKeepsTheExistingFile()
{
    const QByteArray before("an earlier picture");
    test::WriteFile(path("kept.jpg"), before);
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    QVERIFY_THROWS_EXCEPTION(Error, WriteJpegFile(image, path("kept.jpg"), 90));
    QCOMPARE(test::ReadFile(path("kept.jpg")), before);
}

void TestJpegFile::readsGreyColourAndProgressiveFiles_data()
{
    QTest::addColumn<int>("components");
    QTest::addColumn<int>("space");
    QTest::addColumn<bool>("progressive");
    QTest::addColumn<int>("format");
    QTest::newRow("grey") << 1 << int(JCS_GRAYSCALE) << false << int(PixelFormat::Grey8);
    QTest::newRow("colour") << 3 << int(JCS_RGB) << false << int(PixelFormat::Bgr24);
    QTest::newRow("progressive colour") << 3 << int(JCS_RGB) << true << int(PixelFormat::Bgr24);
    QTest::newRow("progressive grey") << 1 << int(JCS_GRAYSCALE) << true << int(PixelFormat::Grey8);
}

void TestJpegFile::readsGreyColourAndProgressiveFiles()
{
    QFETCH(int, components);
    QFETCH(int, space);
    QFETCH(bool, progressive);
    QFETCH(int, format);
    const QByteArray bytes = MakeJpeg(37, 21, components, J_COLOR_SPACE(space), progressive);
    test::WriteFile(path("in.jpg"), bytes);
    Picture picture;
    QVERIFY(ReadJpegFile(picture, path("in.jpg")));
    QCOMPARE(picture.format(), PixelFormat(format));
    QCOMPARE(picture.width(), 37);
    QCOMPARE(picture.height(), 21);
    // (10, 5) was made as 50, 110, 170 (red, green, blue) or 50 (grey).
    const uchar* p = picture.row(5) + 10 * picture.bytesPerPixel();
    if (components == 1) {
        QVERIFY(std::abs(p[0] - 50) <= 6);
    } else {
        QVERIFY(std::abs(p[2] - 50) <= 10);
        QVERIFY(std::abs(p[1] - 110) <= 10);
        QVERIFY(std::abs(p[0] - 170) <= 10);
    }
    Picture fromMemory;
    QVERIFY(DecodeJpeg(fromMemory, bytes));
    QVERIFY(fromMemory == picture);
}

void TestJpegFile::readFailures_data()
{
    const QByteArray good = MakeJpeg(64, 64, 3, JCS_RGB);
    QByteArray huge = good;
    const FrameInfo frame = ReadFrame(good);
    huge[frame.offset] = char(0xEA); // 60000 x 60000
    huge[frame.offset + 1] = char(0x60);
    huge[frame.offset + 2] = char(0xEA);
    huge[frame.offset + 3] = char(0x60);
    QByteArray noWidth = good;
    noWidth[frame.offset + 2] = 0;
    noWidth[frame.offset + 3] = 0;
    QByteArray damaged = good;
    for (qsizetype i = good.size() / 2; i < good.size() / 2 + 40; ++i)
        damaged[i] = char(0xFF);

    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("asFile");
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("text") << QByteArray("not a picture at all\n") << true;
    QTest::newRow("only the start marker") << QByteArray("\xFF\xD8") << true;
    QTest::newRow("header only") << good.left(200) << true;
    QTest::newRow("truncated at half") << good.left(good.size() / 2) << true;
    QTest::newRow("damaged data") << damaged << true;
    QTest::newRow("CMYK, four components") << MakeJpeg(16, 16, 4, JCS_CMYK) << true;
    QTest::newRow("claims 60000 x 60000") << huge << true;
    QTest::newRow("claims a width of 0") << noWidth << true;
    QTest::newRow("missing file") << QByteArray() << false;
}

void TestJpegFile::readFailures()
{
    if (QTest::currentDataTag() == QLatin1String("missing file")) {
        // A folder is no file either.
        Picture picture;
        QVERIFY(!ReadJpegFile(picture, m_dir.path()));
        QVERIFY(!ReadJpegFile(picture, QString()));
    }
    QFETCH(QByteArray, bytes);
    QFETCH(bool, asFile);
    const QString file = path(asFile ? "bad.jpg" : "missing.jpg");
    if (asFile)
        test::WriteFile(file, bytes);
    const Picture before = Pattern(3, 2, PixelFormat::Bgr24);
    Picture picture = before;
    QVERIFY(!ReadJpegFile(picture, file));
    QVERIFY(picture == before);
    if (asFile) {
        QVERIFY(!DecodeJpeg(picture, bytes));
        QVERIFY(picture == before);
    }
}

QTEST_APPLESS_MAIN(TestJpegFile)
#include "tst_JpegFile.moc"
