// SPDX-License-Identifier: GPL-3.0-or-later
// make_seeds FOLDER: writes FOLDER/bmp/* and FOLDER/jpeg/*, small files of every kind.
#include "images/BmpBuilder.h"
#include "images/BmpFile.h"
#include "images/JpegMaker.h"

#include <QDir>
#include <QFile>
#include <cstdio>

using namespace tilvo;
using namespace tilvo::test;

namespace {

void Save(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

QByteArray Bytes(int count, int step)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(i * step));
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder + "/bmp");
    QDir().mkpath(folder + "/jpeg");

    Picture picture(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 15; ++x)
            picture.row(y)[x] = uchar(x * 17 + y * 40);
    Save(folder + "/bmp/24.bmp", EncodeBmp(picture));

    QList<QRgb> palette;
    for (int i = 0; i < 16; ++i)
        palette << qRgb(i * 16, 255 - i * 16, i);
    const struct
    {
        const char* name;
        quint32 headerSize;
        int bits;
        quint32 compression;
        QList<quint32> masks;
        QByteArray pixels;
    } kinds[] = {
        {"1.bmp", 40, 1, 0, {}, Rows({Bytes(2, 85), Bytes(2, 51)})},
        {"4.bmp", 40, 4, 0, {}, Rows({Bytes(3, 33), Bytes(3, 65)})},
        {"8.bmp", 40, 8, 0, {}, Rows({Bytes(5, 3), Bytes(5, 2)})},
        {"rle8.bmp",
         40,
         8,
         1,
         {},
         QByteArray::fromHex("03010003020302000000000202010203"
                             "0001")},
        {"rle4.bmp",
         40,
         4,
         2,
         {},
         QByteArray::fromHex("03120003456000"
                             "0001")},
        {"16.bmp", 40, 16, 0, {}, Rows({Bytes(10, 29), Bytes(10, 31)})},
        {"565.bmp", 40, 16, 3, {0xF800, 0x07E0, 0x001F}, Rows({Bytes(10, 29), Bytes(10, 7)})},
        {"32.bmp", 40, 32, 0, {}, Bytes(40, 13)},
        {"v5.bmp", 124, 32, 3, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, Bytes(40, 11)},
        {"core.bmp", 12, 24, 0, {}, Rows({Bytes(15, 9), Bytes(15, 5)})},
    };
    for (const auto& kind : kinds) {
        BmpParts parts;
        parts.headerSize = kind.headerSize;
        parts.width = kind.compression == 1 || kind.compression == 2 ? 7 : 5;
        parts.height = 2;
        parts.bitsPerPixel = kind.bits;
        parts.compression = kind.compression;
        parts.masks = kind.masks;
        parts.pixels = kind.pixels;
        if (kind.bits <= 8) {
            parts.palette = palette.mid(0, 1 << std::min(kind.bits, 4));
            parts.coloursUsed = quint32(parts.palette.size());
            if (kind.headerSize == 12)
                while (parts.palette.size() < (1 << kind.bits))
                    parts.palette << 0;
        }
        Save(folder + "/bmp/" + kind.name, Build(parts));
    }
    BmpParts topDown;
    topDown.width = 2;
    topDown.height = -2;
    topDown.pixels = Rows({Bytes(6, 40), Bytes(6, 20)});
    Save(folder + "/bmp/topdown.bmp", Build(topDown));

    Save(folder + "/jpeg/colour.jpg", MakeJpeg(24, 16, 3, JCS_RGB));
    Save(folder + "/jpeg/grey.jpg", MakeJpeg(24, 16, 1, JCS_GRAYSCALE));
    Save(folder + "/jpeg/progressive.jpg", MakeJpeg(24, 16, 3, JCS_RGB, true));
    Save(folder + "/jpeg/progressive-grey.jpg", MakeJpeg(17, 9, 1, JCS_GRAYSCALE, true));
    Save(folder + "/jpeg/cmyk.jpg", MakeJpeg(8, 8, 4, JCS_CMYK));
    return 0;
}
