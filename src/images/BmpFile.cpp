// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/BmpFile.h"

#include "common/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tilvo {

namespace {

constexpr int FileHeaderSize = 14;
constexpr int CoreHeaderSize = 12;
constexpr int InfoHeaderSize = 40;
constexpr int Os2HeaderSize = 64;

enum Compression : std::uint32_t
{
    Rgb = 0,
    Rle8 = 1,
    Rle4 = 2,
    BitFields = 3,
    AlphaBitFields = 6,
};

// Why a BMP cannot be read, as a French phrase completing "Image BMP illisible : ".
struct BmpProblem
{
    QString reason;
};

[[noreturn]] void Refuse(const QString& reason)
{
    throw BmpProblem{reason};
}

[[noreturn]] void Truncated()
{
    Refuse(QStringLiteral("le fichier est tronqué"));
}

class Bytes
{
public:
    Bytes(const uchar* data, qint64 size) : m_data(data), m_size(size) {}

    qint64 size() const { return m_size; }
    const uchar* at(qint64 offset) const { return m_data + offset; }
    bool has(qint64 offset, qint64 count) const
    {
        return offset >= 0 && count >= 0 && offset <= m_size && count <= m_size - offset;
    }
    std::uint16_t u16(qint64 offset) const
    {
        need(offset, 2);
        return std::uint16_t(m_data[offset] | m_data[offset + 1] << 8);
    }
    std::uint32_t u32(qint64 offset) const
    {
        need(offset, 4);
        return std::uint32_t(m_data[offset]) | std::uint32_t(m_data[offset + 1]) << 8 |
               std::uint32_t(m_data[offset + 2]) << 16 | std::uint32_t(m_data[offset + 3]) << 24;
    }
    std::int32_t i32(qint64 offset) const { return std::int32_t(u32(offset)); }
    void need(qint64 offset, qint64 count) const
    {
        if (!has(offset, count))
            Truncated();
    }

private:
    const uchar* m_data;
    qint64 m_size;
};

struct Colour
{
    uchar blue = 0;
    uchar green = 0;
    uchar red = 0;
};

// One colour mask of a 16 or 32-bit file, with its values brought to 0..255.
class Channel
{
public:
    Channel() = default;
    explicit Channel(std::uint32_t mask) : m_mask(mask)
    {
        if (mask == 0)
            return;
        m_shift = std::countr_zero(mask);
        const std::uint32_t bits = mask >> m_shift;
        if ((bits & (bits + 1)) != 0)
            Refuse(QStringLiteral("masques de couleur incorrects"));
        m_max = bits;
        if (m_max <= 0xFFFF) {
            m_table.resize(m_max + 1);
            for (std::uint32_t v = 0; v <= m_max; ++v)
                m_table[v] = scale(v);
        }
    }
    uchar operator()(std::uint32_t pixel) const
    {
        if (m_mask == 0)
            return 0;
        const std::uint32_t v = (pixel & m_mask) >> m_shift;
        return m_table.empty() ? scale(v) : m_table[v];
    }

private:
    uchar scale(std::uint32_t v) const
    {
        return uchar((std::uint64_t(v) * 255 + m_max / 2) / m_max);
    }

    std::uint32_t m_mask = 0;
    int m_shift = 0;
    std::uint32_t m_max = 0;
    std::vector<uchar> m_table;
};

struct Header
{
    bool core = false; // OS/2 1.x: 16-bit sizes and 3-byte palette entries
    std::uint32_t headerSize = 0;
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    std::uint32_t compression = Rgb;
    std::uint32_t coloursUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0}; // red, green, blue
    qint64 pixelOffset = 0;
    qint64 paletteOffset = 0;
};

Header ReadHeader(const Bytes& bytes)
{
    if (bytes.size() < 2 || bytes.at(0)[0] != 'B' || bytes.at(0)[1] != 'M')
        Refuse(QStringLiteral("ce n'est pas un fichier BMP"));
    Header h;
    h.pixelOffset = bytes.u32(10);
    h.headerSize = bytes.u32(FileHeaderSize);
    const qint64 base = FileHeaderSize;
    if (h.headerSize == CoreHeaderSize) {
        h.core = true;
        h.width = bytes.u16(base + 4);
        h.height = bytes.u16(base + 6);
        h.bitsPerPixel = bytes.u16(base + 10);
    } else if (h.headerSize >= InfoHeaderSize || h.headerSize == 16) {
        // Windows headers of 40 bytes and more; OS/2 2.x headers of 16 to 64 bytes, whose
        // missing fields are 0.
        bytes.need(base, h.headerSize);
        h.width = bytes.i32(base + 4);
        const std::int32_t height = bytes.i32(base + 8);
        h.bitsPerPixel = bytes.u16(base + 14);
        if (h.headerSize >= InfoHeaderSize) {
            h.compression = bytes.u32(base + 16);
            h.coloursUsed = bytes.u32(base + 32);
        }
        if (height == INT32_MIN)
            Refuse(QStringLiteral("en-tête incorrect"));
        h.topDown = height < 0;
        h.height = height < 0 ? -qint64(height) : qint64(height);
        if (h.headerSize == Os2HeaderSize && h.compression > Rle4)
            Refuse(QStringLiteral("compression OS/2 %1 non prise en charge").arg(h.compression));
    } else {
        Refuse(QStringLiteral("en-tête de %1 octets non pris en charge").arg(h.headerSize));
    }
    bytes.need(base, h.headerSize);
    h.paletteOffset = base + h.headerSize;

    if (h.width <= 0 || h.height <= 0)
        Refuse(QStringLiteral("dimensions incorrectes (%1 × %2 pixels)")
                   .arg(h.width)
                   .arg(h.topDown ? -h.height : h.height));

    const int bpp = h.bitsPerPixel;
    const bool known = (h.compression == Rgb && (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 ||
                                                 bpp == 24 || bpp == 32)) ||
                       (h.compression == Rle8 && bpp == 8) || (h.compression == Rle4 && bpp == 4) ||
                       ((h.compression == BitFields || h.compression == AlphaBitFields) &&
                        (bpp == 16 || bpp == 32) && !h.core);
    if (!known)
        Refuse(QStringLiteral("format non pris en charge (%1 bits par pixel, compression %2)")
                   .arg(bpp)
                   .arg(h.compression));
    if (h.topDown && (h.compression == Rle8 || h.compression == Rle4))
        Refuse(QStringLiteral("en-tête incorrect"));

    if (h.compression == BitFields || h.compression == AlphaBitFields) {
        // The masks end a header of 52 bytes or more, or follow a 40-byte one.
        const qint64 at = h.headerSize >= 52 ? base + InfoHeaderSize : h.paletteOffset;
        for (int i = 0; i < 3; ++i)
            h.masks[i] = bytes.u32(at + 4 * i);
        if (h.headerSize < 52)
            h.paletteOffset += h.compression == AlphaBitFields ? 16 : 12;
    } else if (bpp == 16) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
    } else if (bpp == 32) {
        h.masks[0] = 0xFF0000;
        h.masks[1] = 0x00FF00;
        h.masks[2] = 0x0000FF;
    }

    if (const auto problem = PictureSizeProblem(h.width, h.height))
        Refuse(QStringLiteral("image trop grande (%1 × %2 pixels ; au plus %3 pixels de côté et "
                              "%4 pixels en tout)")
                   .arg(h.width)
                   .arg(h.height)
                   .arg(MaxPictureSide)
                   .arg(MaxPicturePixels));
    if (h.pixelOffset < h.paletteOffset || h.pixelOffset > bytes.size())
        Refuse(h.pixelOffset > bytes.size() ? QStringLiteral("le fichier est tronqué")
                                            : QStringLiteral("en-tête incorrect"));
    return h;
}

std::array<Colour, 256> ReadPalette(const Bytes& bytes, const Header& h)
{
    std::array<Colour, 256> palette{};
    if (h.bitsPerPixel > 8)
        return palette;
    // The palette ends where the pixels start, whatever the header claims; colours it does
    // not have are black.
    const qint64 most = qint64(1) << h.bitsPerPixel;
    const int entrySize = h.core ? 3 : 4;
    const qint64 room = (h.pixelOffset - h.paletteOffset) / entrySize;
    const qint64 count =
        std::min<qint64>(h.coloursUsed == 0 ? most : h.coloursUsed, std::min(most, room));
    bytes.need(h.paletteOffset, count * entrySize);
    for (qint64 i = 0; i < count; ++i) {
        const uchar* entry = bytes.at(h.paletteOffset + i * entrySize);
        palette[i] = Colour{entry[0], entry[1], entry[2]};
    }
    return palette;
}

void Put(uchar* out, const Colour& c)
{
    out[0] = c.blue;
    out[1] = c.green;
    out[2] = c.red;
}

Picture ReadRows(const Bytes& bytes, const Header& h, const std::array<Colour, 256>& palette)
{
    const int width = int(h.width);
    const int height = int(h.height);
    const qint64 stride = (h.width * h.bitsPerPixel + 31) / 32 * 4;
    const qint64 used = (h.width * h.bitsPerPixel + 7) / 8;
    // The last row's padding may be missing; the pixels may not.
    bytes.need(h.pixelOffset, stride * (height - 1) + used);
    const Channel red(h.masks[0]);
    const Channel green(h.masks[1]);
    const Channel blue(h.masks[2]);

    Picture picture = MakePictureForWriting(width, height, PixelFormat::Bgr24);
    for (int r = 0; r < height; ++r) {
        const uchar* in = bytes.at(h.pixelOffset + r * stride);
        uchar* out = picture.row(h.topDown ? r : height - 1 - r);
        switch (h.bitsPerPixel) {
        case 1:
        case 4:
        case 8: {
            const int bpp = h.bitsPerPixel;
            const int perByte = 8 / bpp;
            const int mask = (1 << bpp) - 1;
            for (int x = 0; x < width; ++x) {
                const int shift = 8 - bpp * (x % perByte + 1);
                Put(out + 3 * x, palette[(in[x / perByte] >> shift) & mask]);
            }
            break;
        }
        case 16:
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = std::uint32_t(in[2 * x] | in[2 * x + 1] << 8);
                Put(out + 3 * x, Colour{blue(p), green(p), red(p)});
            }
            break;
        case 24:
            std::memcpy(out, in, std::size_t(width) * 3);
            break;
        case 32:
            for (int x = 0; x < width; ++x) {
                const uchar* q = in + 4 * x;
                const std::uint32_t p = std::uint32_t(q[0]) | std::uint32_t(q[1]) << 8 |
                                        std::uint32_t(q[2]) << 16 | std::uint32_t(q[3]) << 24;
                Put(out + 3 * x, Colour{blue(p), green(p), red(p)});
            }
            break;
        }
    }
    return picture;
}

// Run-length coded rows, bottom-up. Pixels the codes skip take the palette's first colour.
Picture ReadRunLengthRows(const Bytes& bytes, const Header& h,
                          const std::array<Colour, 256>& palette)
{
    const int width = int(h.width);
    const int height = int(h.height);
    const bool four = h.compression == Rle4;
    Picture picture = MakePictureForWriting(width, height, PixelFormat::Bgr24);
    picture.fill(palette[0].blue, palette[0].green, palette[0].red);

    qint64 x = 0;
    qint64 y = 0; // rows from the bottom
    const auto put = [&](int index) {
        if (x < width && y < height)
            Put(picture.row(int(height - 1 - y)) + 3 * x, palette[index]);
        ++x;
    };
    qint64 p = h.pixelOffset;
    while (y < height) {
        if (!bytes.has(p, 2))
            Truncated();
        const int count = *bytes.at(p);
        const int code = *bytes.at(p + 1);
        p += 2;
        if (count > 0) {
            // A run; pixels past the row's end are dropped.
            const int shown = int(std::clamp<qint64>(width - x, 0, count));
            for (int i = 0; i < shown; ++i)
                put(four ? (i % 2 == 0 ? code >> 4 : code & 0x0F) : code);
            x += count - shown;
        } else if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (!bytes.has(p, 2))
                Truncated();
            x += *bytes.at(p);
            y += *bytes.at(p + 1);
            p += 2;
        } else {
            // Literal pixels, padded to an even number of bytes.
            const qint64 length = four ? (code + 1) / 2 : code;
            if (!bytes.has(p, length))
                Truncated();
            const uchar* literal = bytes.at(p);
            const int shown = int(std::clamp<qint64>(width - x, 0, code));
            for (int i = 0; i < shown; ++i)
                put(four ? (i % 2 == 0 ? literal[i / 2] >> 4 : literal[i / 2] & 0x0F) : literal[i]);
            x += code - shown;
            p += length + (length % 2);
        }
    }
    return picture;
}

Picture Decode(const Bytes& bytes)
{
    const Header h = ReadHeader(bytes);
    const std::array<Colour, 256> palette = ReadPalette(bytes, h);
    try {
        if (h.compression == Rle8 || h.compression == Rle4)
            return ReadRunLengthRows(bytes, h, palette);
        return ReadRows(bytes, h, palette);
    } catch (const Error&) {
        Refuse(
            QStringLiteral("mémoire insuffisante pour %1 × %2 pixels").arg(h.width).arg(h.height));
    }
}

void PutU16(uchar* p, std::uint32_t v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
}

void PutU32(uchar* p, std::uint32_t v)
{
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

} // namespace

Picture DecodeBmp(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return Picture();
    try {
        return Decode(Bytes(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size()));
    } catch (const BmpProblem& problem) {
        throw Error(QStringLiteral("Image BMP illisible : %1.").arg(problem.reason));
    }
}

Picture ReadBmpFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("Le fichier image « %1 » est introuvable.").arg(path));
    if (!info.isFile())
        throw Error(QStringLiteral("« %1 » n'est pas un fichier image.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Impossible d'ouvrir le fichier image « %1 ».").arg(path));
    try {
        const qint64 size = file.size();
        const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
        if (mapped)
            return Decode(Bytes(mapped, size));
        const QByteArray bytes = file.readAll();
        return Decode(Bytes(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size()));
    } catch (const BmpProblem& problem) {
        throw Error(QStringLiteral("Image BMP illisible (« %1 ») : %2.").arg(path, problem.reason));
    }
}

QByteArray EncodeBmp(const Picture& original)
{
    if (original.isEmpty())
        return QByteArray();
    const Picture converted =
        original.format() == PixelFormat::Bgr24 ? Picture() : original.toBgr24();
    const Picture& picture = original.format() == PixelFormat::Bgr24 ? original : converted;
    const qint64 stride = picture.bytesPerLine();
    const qint64 imageSize = stride * picture.height();
    const qint64 headers = FileHeaderSize + InfoHeaderSize;
    if (headers + imageSize > qint64(UINT32_MAX))
        throw Error(QStringLiteral("Image trop grande pour un fichier BMP : %1 × %2 pixels.")
                        .arg(picture.width())
                        .arg(picture.height()));
    QByteArray bytes(headers + imageSize, Qt::Uninitialized);
    uchar* p = reinterpret_cast<uchar*>(bytes.data());
    std::memset(p, 0, headers);
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + 2, std::uint32_t(headers + imageSize));
    PutU32(p + 10, std::uint32_t(headers));
    uchar* info = p + FileHeaderSize;
    PutU32(info, InfoHeaderSize);
    PutU32(info + 4, std::uint32_t(picture.width()));
    PutU32(info + 8, std::uint32_t(picture.height()));
    PutU16(info + 12, 1);
    PutU16(info + 14, 24);
    PutU32(info + 16, Rgb);
    PutU32(info + 20, std::uint32_t(imageSize));
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(p + headers + qint64(picture.height() - 1 - y) * stride, picture.row(y),
                    stride);
    return bytes;
}

void WriteBmpFile(const Picture& picture, const QString& path)
{
    const QByteArray bytes = EncodeBmp(picture);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("Impossible d'écrire l'image « %1 ».").arg(path));
}

} // namespace tilvo
