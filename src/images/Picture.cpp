// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/Picture.h"

#include "common/Error.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace tilvo {

namespace {

// Room after the last row for reads of four bytes at a time.
constexpr qsizetype SpareBytes = 4;

qsizetype BytesPerLine(int width, PixelFormat format)
{
    const qsizetype bytes = qsizetype(width) * (format == PixelFormat::Grey8 ? 1 : 3);
    return (bytes + 3) / 4 * 4;
}

} // namespace

std::optional<QString> PictureSizeProblem(qint64 width, qint64 height)
{
    if (width < 0 || height < 0)
        return QStringLiteral("Taille d'image incorrecte : %1 × %2 pixels.").arg(width).arg(height);
    if (width > MaxPictureSide || height > MaxPictureSide || width * height > MaxPicturePixels)
        return QStringLiteral("Image trop grande : %1 × %2 pixels. Une image peut avoir au plus "
                              "%3 pixels de côté et %4 pixels en tout.")
            .arg(width)
            .arg(height)
            .arg(MaxPictureSide)
            .arg(MaxPicturePixels);
    return std::nullopt;
}

void CheckPictureSize(qint64 width, qint64 height)
{
    if (const auto problem = PictureSizeProblem(width, height))
        throw Error(*problem);
}

Picture::Picture(int width, int height, PixelFormat format)
{
    allocate(width, height, format, true);
}

Picture::Picture(int width, int height, PixelFormat format, Uninitialised)
{
    allocate(width, height, format, false);
}

Picture MakePictureForWriting(int width, int height, PixelFormat format)
{
    return Picture(width, height, format, Picture::Uninitialised{});
}

void Picture::allocate(int width, int height, PixelFormat format, bool zeroPixels)
{
    CheckPictureSize(width, height);
    m_format = format;
    if (width == 0 || height == 0)
        return;
    const qsizetype bytesPerLine = BytesPerLine(width, format);
    const qsizetype size = bytesPerLine * height + SpareBytes;
    m_bytes.reset(new (std::nothrow) uchar[size]);
    if (!m_bytes)
        throw Error(QStringLiteral("Mémoire insuffisante pour une image de %1 × %2 pixels.")
                        .arg(width)
                        .arg(height));
    m_width = width;
    m_height = height;
    m_bytesPerLine = bytesPerLine;
    if (zeroPixels) {
        std::memset(m_bytes.get(), 0, size);
        return;
    }
    const qsizetype used = qsizetype(width) * bytesPerPixel();
    if (used < bytesPerLine) {
        for (int y = 0; y < height; ++y)
            std::memset(row(y) + used, 0, bytesPerLine - used);
    }
    std::memset(m_bytes.get() + bytesPerLine * height, 0, SpareBytes);
}

Picture::Picture(const Picture& other)
    : m_width(other.m_width), m_height(other.m_height), m_format(other.m_format),
      m_bytesPerLine(other.m_bytesPerLine)
{
    if (other.m_bytes) {
        const qsizetype size = m_bytesPerLine * m_height + SpareBytes;
        m_bytes.reset(new (std::nothrow) uchar[size]);
        if (!m_bytes)
            throw Error(QStringLiteral("Mémoire insuffisante pour une image de %1 × %2 pixels.")
                            .arg(m_width)
                            .arg(m_height));
        std::memcpy(m_bytes.get(), other.m_bytes.get(), size);
    }
}

Picture& Picture::operator=(const Picture& other)
{
    if (this != &other) {
        Picture copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Picture::Picture(Picture&& other) noexcept
    : m_width(std::exchange(other.m_width, 0)), m_height(std::exchange(other.m_height, 0)),
      m_format(other.m_format), m_bytesPerLine(std::exchange(other.m_bytesPerLine, 0)),
      m_bytes(std::move(other.m_bytes))
{}

Picture& Picture::operator=(Picture&& other) noexcept
{
    m_width = std::exchange(other.m_width, 0);
    m_height = std::exchange(other.m_height, 0);
    m_format = other.m_format;
    m_bytesPerLine = std::exchange(other.m_bytesPerLine, 0);
    m_bytes = std::move(other.m_bytes);
    return *this;
}

Picture::~Picture() = default;

void Picture::fill(uchar blue, uchar green, uchar red)
{
    for (int y = 0; y < m_height; ++y) {
        uchar* line = row(y);
        if (m_format == PixelFormat::Grey8) {
            std::memset(line, blue, m_width);
            continue;
        }
        for (int x = 0; x < m_width; ++x) {
            line[3 * x] = blue;
            line[3 * x + 1] = green;
            line[3 * x + 2] = red;
        }
    }
}

void Picture::draw(const Picture& other, int left, int top)
{
    if (other.m_format != m_format)
        throw Error(QStringLiteral("Les deux images n'ont pas le même nombre de couleurs."));
    const qint64 x0 = std::max<qint64>(0, left);
    const qint64 y0 = std::max<qint64>(0, top);
    const qint64 x1 = std::min<qint64>(m_width, qint64(left) + other.m_width);
    const qint64 y1 = std::min<qint64>(m_height, qint64(top) + other.m_height);
    if (x0 >= x1 || y0 >= y1)
        return;
    const int bpp = bytesPerPixel();
    for (qint64 y = y0; y < y1; ++y)
        std::memcpy(row(int(y)) + x0 * bpp, other.row(int(y - top)) + (x0 - left) * bpp,
                    (x1 - x0) * bpp);
}

Picture Picture::toBgr24() const
{
    if (m_format == PixelFormat::Bgr24)
        return *this;
    Picture result = MakePictureForWriting(m_width, m_height, PixelFormat::Bgr24);
    for (int y = 0; y < m_height; ++y) {
        const uchar* in = row(y);
        uchar* out = result.row(y);
        for (int x = 0; x < m_width; ++x)
            out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = in[x];
    }
    return result;
}

QImage Picture::toQImage() const
{
    if (isEmpty())
        return QImage();
    QImage image(m_width, m_height,
                 m_format == PixelFormat::Grey8 ? QImage::Format_Grayscale8
                                                : QImage::Format_BGR888);
    if (image.isNull())
        throw Error(QStringLiteral("Mémoire insuffisante pour une image de %1 × %2 pixels.")
                        .arg(m_width)
                        .arg(m_height));
    const qsizetype used = qsizetype(m_width) * bytesPerPixel();
    for (int y = 0; y < m_height; ++y)
        std::memcpy(image.scanLine(y), row(y), used);
    return image;
}

Picture Picture::fromQImage(const QImage& image)
{
    if (image.isNull())
        return Picture();
    const bool grey = image.format() == QImage::Format_Grayscale8;
    const QImage source = grey ? image : image.convertToFormat(QImage::Format_BGR888);
    if (source.isNull())
        throw Error(QStringLiteral("Mémoire insuffisante pour une image de %1 × %2 pixels.")
                        .arg(image.width())
                        .arg(image.height()));
    Picture picture = MakePictureForWriting(source.width(), source.height(),
                                            grey ? PixelFormat::Grey8 : PixelFormat::Bgr24);
    const qsizetype used = qsizetype(picture.width()) * picture.bytesPerPixel();
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(picture.row(y), source.constScanLine(y), used);
    return picture;
}

bool Picture::operator==(const Picture& other) const
{
    if (m_width != other.m_width || m_height != other.m_height || m_format != other.m_format)
        return false;
    const qsizetype used = qsizetype(m_width) * bytesPerPixel();
    for (int y = 0; y < m_height; ++y) {
        if (std::memcmp(row(y), other.row(y), used) != 0)
            return false;
    }
    return true;
}

} // namespace tilvo
