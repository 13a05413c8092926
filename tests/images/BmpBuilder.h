// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// BMP files put together field by field, for the tests and the fuzzing seeds.

#include <QByteArray>
#include <QList>
#include <QRgb>

namespace tilvo::test {

// A BMP file put together field by field, so that every kind and every fault can be made.
struct BmpParts
{
    quint32 headerSize = 40;
    qint32 width = 0;
    qint32 height = 0;
    int bitsPerPixel = 24;
    quint32 compression = 0;
    quint32 coloursUsed = 0;
    QList<QRgb> palette;
    QList<quint32> masks;    // red, green, blue (and alpha): after a 40-byte header, else inside
    QByteArray pixels;       // as stored in the file
    qint64 pixelOffset = -1; // computed when -1
};

inline void AppendU16(QByteArray& bytes, quint32 v)
{
    bytes.append(char(v & 0xFF));
    bytes.append(char((v >> 8) & 0xFF));
}

inline void AppendU32(QByteArray& bytes, quint32 v)
{
    AppendU16(bytes, v & 0xFFFF);
    AppendU16(bytes, v >> 16);
}

inline QByteArray Build(const BmpParts& parts)
{
    QByteArray header;
    AppendU32(header, parts.headerSize);
    if (parts.headerSize == 12) {
        AppendU16(header, quint32(parts.width));
        AppendU16(header, quint32(parts.height));
        AppendU16(header, 1);
        AppendU16(header, quint32(parts.bitsPerPixel));
    } else {
        AppendU32(header, quint32(parts.width));
        AppendU32(header, quint32(parts.height));
        AppendU16(header, 1);
        AppendU16(header, quint32(parts.bitsPerPixel));
        if (parts.headerSize >= 40) {
            AppendU32(header, parts.compression);
            AppendU32(header, quint32(parts.pixels.size()));
            AppendU32(header, 2835);
            AppendU32(header, 2835);
            AppendU32(header, parts.coloursUsed);
            AppendU32(header, 0);
        }
        if (parts.headerSize > 40)
            for (quint32 mask : parts.masks)
                AppendU32(header, mask);
        header.append(QByteArray(int(parts.headerSize) - header.size(), '\0'));
    }
    if (parts.headerSize == 40)
        for (quint32 mask : parts.masks)
            AppendU32(header, mask);
    for (QRgb colour : parts.palette) {
        header.append(char(qBlue(colour)));
        header.append(char(qGreen(colour)));
        header.append(char(qRed(colour)));
        if (parts.headerSize != 12)
            header.append('\0');
    }
    const qint64 offset = parts.pixelOffset >= 0 ? parts.pixelOffset : 14 + header.size();
    QByteArray file("BM");
    AppendU32(file, quint32(14 + header.size() + parts.pixels.size()));
    AppendU32(file, 0);
    AppendU32(file, quint32(offset));
    return file + header + parts.pixels;
}

// Rows of the given bytes each, padded to 4 bytes.
inline QByteArray Rows(const QList<QByteArray>& rows)
{
    QByteArray bytes;
    for (const QByteArray& row : rows) {
        bytes += row;
        bytes += QByteArray((4 - row.size() % 4) % 4, '\0');
    }
    return bytes;
}

} // namespace tilvo::test
