// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "images/BmpBuilder.h"
#include "images/BmpFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <random>

using namespace tilvo;
using namespace tilvo::test;

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// The picture with every pixel as "rrggbb" text, top row first, rows separated by "/".
QString Describe(const Picture& picture)
{
    QStringList rows;
    for (int y = 0; y < picture.height(); ++y) {
        QStringList pixels;
        for (int x = 0; x < picture.width(); ++x) {
            const uchar* p = picture.row(y) + 3 * x;
            pixels << QStringLiteral("%1%2%3")
                          .arg(p[2], 2, 16, QChar('0'))
                          .arg(p[1], 2, 16, QChar('0'))
                          .arg(p[0], 2, 16, QChar('0'));
        }
        rows << pixels.join(u' ');
    }
    return rows.join(u'/');
}

Picture RandomPicture(int width, int height, unsigned seed)
{
    Picture picture(width, height);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3 * width; ++x)
            picture.row(y)[x] = uchar(random());
    return picture;
}

QString ProblemOf(const QByteArray& bytes)
{
    try {
        DecodeBmp(bytes);
    } catch (const Error& e) {
        return e.text();
    }
    return QString();
}

} // namespace

class TestBmpFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thumbnailFileLayout();
    void encodedFileReadsBackHereAndInQt();
    void greyPictureIsWrittenAs24Bits();
    void emptyPictureAndEmptyBytes();
    void readsEveryKind_data();
    void readsEveryKind();
    void badFiles_data();
    void badFiles();
    void readAndWriteFiles();
    void fileErrorsNameTheFile();

private:
    QTemporaryDir m_dir;
};

void TestBmpFile::thumbnailFileLayout()
{
    Picture picture(70, 70);
    picture.fill(255, 255, 255);
    picture.row(69)[0] = 1;  // blue of the bottom-left pixel
    picture.row(0)[209] = 2; // red of the top-right pixel
    const QByteArray bytes = EncodeBmp(picture);
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    QCOMPARE(bytes.size(), 14 + 40 + 212 * 70);
    QVERIFY(bytes.startsWith("BM"));
    QCOMPARE(u32(2), quint32(bytes.size()));
    QCOMPARE(u32(10), quint32(54));
    QCOMPARE(u32(14), quint32(40));
    QCOMPARE(qint32(u32(18)), 70);
    QCOMPARE(qint32(u32(22)), 70); // positive: bottom-up rows
    QCOMPARE(u16(26), quint16(1));
    QCOMPARE(u16(28), quint16(24));
    QCOMPARE(u32(30), quint32(0));
    QCOMPARE(u32(34), quint32(212 * 70));
    QCOMPARE(uchar(bytes[54]), uchar(1)); // the file starts with the bottom row
    QCOMPARE(uchar(bytes[54 + 69 * 212 + 209]), uchar(2));
    QCOMPARE(uchar(bytes[54 + 210]), uchar(0)); // padding
    QCOMPARE(uchar(bytes[54 + 211]), uchar(0));
}

void TestBmpFile::encodedFileReadsBackHereAndInQt()
{
    const Picture picture = RandomPicture(13, 7, 1); // 39 bytes a row: 1 byte of padding
    const QByteArray bytes = EncodeBmp(picture);
    QVERIFY(DecodeBmp(bytes) == picture);
    const QImage image = QImage::fromData(bytes, "BMP");
    QVERIFY(!image.isNull());
    QVERIFY(Picture::fromQImage(image) == picture);
}

void TestBmpFile::greyPictureIsWrittenAs24Bits()
{
    Picture grey(3, 2, PixelFormat::Grey8);
    grey.row(1)[2] = 90;
    const QByteArray bytes = EncodeBmp(grey);
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(24));
    QVERIFY(DecodeBmp(bytes) == grey.toBgr24());
}

void TestBmpFile::emptyPictureAndEmptyBytes()
{
    QVERIFY(EncodeBmp(Picture()).isEmpty());
    QVERIFY(DecodeBmp(QByteArray()).isEmpty());
}

void TestBmpFile::readsEveryKind_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("qtAgrees");

    const QList<QRgb> twoColours = {qRgb(0x10, 0x20, 0x30), qRgb(0xF0, 0xE0, 0xD0)};
    {
        BmpParts p;
        p.width = 10;
        p.height = 2;
        p.bitsPerPixel = 1;
        p.palette = twoColours;
        // Bottom row first: 1010000011, then 0000000001.
        p.pixels = Rows({Hex("a0c0"), Hex("0040")});
        QTest::newRow("1 bit, bottom-up")
            << Build(p)
            << "102030 102030 102030 102030 102030 102030 102030 102030 102030 f0e0d0/"
               "f0e0d0 102030 f0e0d0 102030 102030 102030 102030 102030 f0e0d0 f0e0d0"
            << true;
    }
    {
        BmpParts p;
        p.width = 5;
        p.height = 1;
        p.bitsPerPixel = 4;
        for (int i = 0; i < 16; ++i)
            p.palette << qRgb(i * 16, 255 - i * 16, i);
        p.pixels = Rows({Hex("0f1e20")});
        QTest::newRow("4 bits") << Build(p) << "00ff00 f00f0f 10ef01 e01f0e 20df02" << true;
    }
    {
        BmpParts p;
        p.width = 4;
        p.height = 1;
        p.bitsPerPixel = 8;
        p.coloursUsed = 3;
        p.palette = {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)};
        p.pixels = Rows({Hex("020001ff")});
        // An index past the palette's colours gives black.
        QTest::newRow("8 bits, short palette")
            << Build(p) << "070809 010203 040506 000000" << false;
        p.coloursUsed = 0; // 256 colours, of which only 3 come before the pixels
        QTest::newRow("8 bits, palette cut by the pixels")
            << Build(p) << "070809 010203 040506 000000" << false;
    }
    {
        BmpParts p;
        p.width = 3;
        p.height = 1;
        p.bitsPerPixel = 16;
        // 5-5-5: white, pure red, (1, 2, 3) of 31. The values are scaled to the full range,
        // where Qt shifts them (31 becomes 248).
        p.pixels = Rows({Hex("ff7f"
                             "007c"
                             "4304")});
        QTest::newRow("16 bits 5-5-5") << Build(p) << "ffffff ff0000 081019" << false;
    }
    {
        BmpParts p;
        p.width = 2;
        p.height = 1;
        p.bitsPerPixel = 16;
        p.compression = 3;
        p.masks = {0xF800, 0x07E0, 0x001F};
        // 5-6-5: green alone at its top (63), then (31, 0, 1).
        p.pixels = Rows({Hex("e007"
                             "01f8")});
        QTest::newRow("16 bits 5-6-5 masks") << Build(p) << "00ff00 ff0008" << false;
    }
    {
        BmpParts p;
        p.width = 2;
        p.height = 2;
        p.pixels = Rows({Hex("010203"
                             "040506"),
                         Hex("0a0b0c"
                             "0d0e0f")});
        QTest::newRow("24 bits, bottom-up") << Build(p) << "0c0b0a 0f0e0d/030201 060504" << true;
        p.height = -2;
        QTest::newRow("24 bits, top-down") << Build(p) << "030201 060504/0c0b0a 0f0e0d" << true;
        p.height = 2;
        BmpParts q = p;
        q.pixels.chop(2); // the last row's padding is missing
        QTest::newRow("24 bits, last padding missing")
            << Build(q) << "0c0b0a 0f0e0d/030201 060504" << false;
    }
    {
        BmpParts p;
        p.width = 2;
        p.height = 1;
        p.bitsPerPixel = 32;
        p.pixels = Hex("112233ff"
                       "44556600");
        QTest::newRow("32 bits, transparency dropped") << Build(p) << "332211 665544" << false;
    }
    {
        BmpParts p;
        p.headerSize = 124;
        p.width = 2;
        p.height = 1;
        p.bitsPerPixel = 32;
        p.compression = 3;
        p.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}; // stored R, G, B, A
        p.pixels = Hex("11223344"
                       "aabbccdd");
        QTest::newRow("32 bits, version 5 header with masks")
            << Build(p) << "112233 aabbcc" << true;
    }
    {
        BmpParts p;
        p.width = 1;
        p.height = 1;
        p.bitsPerPixel = 32;
        p.compression = 3;
        p.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
        // 10 bits each: red 1023, green 512, blue 0.
        const quint32 pixel = 1023u << 20 | 512u << 10;
        QByteArray bytes;
        AppendU32(bytes, pixel);
        p.pixels = bytes;
        QTest::newRow("32 bits, 10-bit masks") << Build(p) << "ff8000" << false;
    }
    {
        BmpParts p;
        p.headerSize = 12;
        p.width = 3;
        p.height = 1;
        p.bitsPerPixel = 8;
        p.palette = {qRgb(9, 8, 7), qRgb(6, 5, 4)};
        for (int i = 2; i < 256; ++i)
            p.palette << qRgb(0, 0, 0);
        p.pixels = Rows({Hex("010001")});
        QTest::newRow("OS/2 1.x header, 3-byte palette")
            << Build(p) << "060504 090807 060504" << true;
    }
    {
        BmpParts p;
        p.headerSize = 16;
        p.width = 1;
        p.height = 1;
        p.pixels = Rows({Hex("abcdef")});
        QTest::newRow("OS/2 2.x short header") << Build(p) << "efcdab" << false;
    }
    {
        BmpParts p;
        p.width = 6;
        p.height = 3;
        p.bitsPerPixel = 8;
        p.compression = 1;
        p.palette = {qRgb(0xAA, 0xAA, 0xAA), qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)};
        // Bottom row: a run of 3 of colour 1, literal 2 3 2 (padded), end of line.
        // Middle row: a delta of (2, 1) lands on the top row, column 2: run of 2 of colour 3,
        // end of bitmap. Every pixel not written takes the first palette colour.
        p.pixels = Hex("0301"
                       "0003020302"
                       "00"
                       "0000"
                       "00020201"
                       "0203"
                       "0001");
        QTest::newRow("8 bits run-length") << Build(p)
                                           << "aaaaaa aaaaaa 030303 030303 aaaaaa aaaaaa/"
                                              "aaaaaa aaaaaa aaaaaa aaaaaa aaaaaa aaaaaa/"
                                              "010101 010101 010101 020202 030303 020202"
                                           << false;
    }
    {
        BmpParts p;
        p.width = 7;
        p.height = 1;
        p.bitsPerPixel = 4;
        p.compression = 2;
        for (int i = 0; i < 16; ++i)
            p.palette << qRgb(i, i, i);
        // A run of 3 alternating 1 and 2, a literal of 3 nibbles 4 5 6 (padded), the end.
        // The last pixel is not written.
        p.pixels = Hex("0312"
                       "0003456000"
                       "0001");
        QTest::newRow("4 bits run-length")
            << Build(p) << "010101 020202 010101 040404 050505 060606 000000" << true;
    }
}

void TestBmpFile::readsEveryKind()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(bool, qtAgrees);
    const Picture picture = DecodeBmp(bytes);
    QCOMPARE(picture.format(), PixelFormat::Bgr24);
    QCOMPARE(Describe(picture), expected);
    if (qtAgrees) {
        // Qt's own reader, as a second opinion where it reads these files the same way.
        const QImage image = QImage::fromData(bytes, "BMP");
        QVERIFY(!image.isNull());
        QCOMPARE(Describe(Picture::fromQImage(image)), expected);
    }
}

void TestBmpFile::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    BmpParts good;
    good.width = 2;
    good.height = 2;
    good.pixels = Rows({Hex("010203040506"), Hex("0a0b0c0d0e0f")});
    const QByteArray goodBytes = Build(good);

    QTest::newRow("not a BMP") << QByteArray("GIF89a....") << "ce n'est pas un fichier BMP";
    QTest::newRow("only BM") << QByteArray("BM") << "le fichier est tronqué";
    QTest::newRow("cut in the header") << goodBytes.left(30) << "le fichier est tronqué";
    QTest::newRow("cut in the pixels")
        << goodBytes.left(goodBytes.size() - 5) << "le fichier est tronqué";
    BmpParts p = good;
    p.headerSize = 20;
    QTest::newRow("unknown header") << Build(p) << "en-tête de 20 octets non pris en charge";
    p = good;
    p.width = 0;
    QTest::newRow("width 0") << Build(p) << "dimensions incorrectes (0 × 2 pixels)";
    p = good;
    p.width = -2;
    QTest::newRow("negative width") << Build(p) << "dimensions incorrectes (-2 × 2 pixels)";
    p = good;
    p.height = 0;
    QTest::newRow("height 0") << Build(p) << "dimensions incorrectes (2 × 0 pixels)";
    p = good;
    p.width = 100000;
    p.height = 100000;
    QTest::newRow("claims 100000 x 100000")
        << Build(p)
        << "image trop grande (100000 × 100000 pixels ; au plus 65535 pixels de côté et "
           "1073741824 pixels en tout)";
    p = good;
    p.width = 30000;
    p.height = 30000;
    QTest::newRow("claims 30000 x 30000 in a few bytes") << Build(p) << "le fichier est tronqué";
    p = good;
    p.bitsPerPixel = 2;
    QTest::newRow("2 bits") << Build(p)
                            << "format non pris en charge (2 bits par pixel, compression 0)";
    p = good;
    p.compression = 4;
    QTest::newRow("JPEG inside") << Build(p)
                                 << "format non pris en charge (24 bits par pixel, compression 4)";
    p = good;
    p.bitsPerPixel = 8;
    p.compression = 1;
    p.height = -2;
    p.palette = {qRgb(0, 0, 0)};
    p.pixels = Hex("0000"
                   "0001");
    QTest::newRow("top-down run-length") << Build(p) << "en-tête incorrect";
    p.height = 2;
    p.pixels = Hex("0200");
    QTest::newRow("run-length without its end") << Build(p) << "le fichier est tronqué";
    p = good;
    p.bitsPerPixel = 16;
    p.compression = 3;
    p.masks = {0xF00F, 0x0F00, 0x00F0};
    QTest::newRow("broken mask") << Build(p) << "masques de couleur incorrects";
    p = good;
    p.pixelOffset = 5000;
    QTest::newRow("pixels past the end") << Build(p) << "le fichier est tronqué";
    p = good;
    p.pixelOffset = 20;
    QTest::newRow("pixels inside the header") << Build(p) << "en-tête incorrect";
}

void TestBmpFile::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QCOMPARE(ProblemOf(bytes), QStringLiteral("Image BMP illisible : %1.").arg(reason));
}

void TestBmpFile::readAndWriteFiles()
{
    const Picture picture = RandomPicture(5, 3, 2);
    const QString path = m_dir.filePath("thumb.bmp");
    WriteBmpFile(picture, path);
    QCOMPARE(test::ReadFile(path), EncodeBmp(picture));
    QVERIFY(ReadBmpFile(path) == picture);
}

void TestBmpFile::fileErrorsNameTheFile()
{
    const QString missing = m_dir.filePath("missing.bmp");
    const auto problem = [](const QString& path) {
        try {
            ReadBmpFile(path);
        } catch (const Error& e) {
            return e.text();
        }
        return QString();
    };
    QCOMPARE(problem(missing),
             QStringLiteral("Le fichier image « %1 » est introuvable.").arg(missing));
    QCOMPARE(problem(m_dir.path()),
             QStringLiteral("« %1 » n'est pas un fichier image.").arg(m_dir.path()));
    const QString empty = m_dir.filePath("empty.bmp");
    test::WriteFile(empty, QByteArray());
    QCOMPARE(
        problem(empty),
        QStringLiteral("Image BMP illisible (« %1 ») : ce n'est pas un fichier BMP.").arg(empty));
    const QString cut = m_dir.filePath("cut.bmp");
    test::WriteFile(cut, EncodeBmp(RandomPicture(4, 4, 3)).left(60));
    QCOMPARE(problem(cut),
             QStringLiteral("Image BMP illisible (« %1 ») : le fichier est tronqué.").arg(cut));

    const QString folderPath = m_dir.filePath("no/such/folder/x.bmp");
    try {
        WriteBmpFile(RandomPicture(2, 2, 4), folderPath);
        QFAIL("a file was written into a missing folder");
    } catch (const Error& e) {
        QCOMPARE(e.text(), QStringLiteral("Impossible d'écrire l'image « %1 ».").arg(folderPath));
    }
}

QTEST_APPLESS_MAIN(TestBmpFile)
#include "tst_BmpFile.moc"
