// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

class QImage;

namespace tilvo {

enum class PixelFormat
{
    Grey8, // one byte per pixel, a grey level
    Bgr24, // three bytes per pixel: blue, green, red
};

// The largest picture the program accepts. A file or a column that claims more is refused
// before anything is allocated: 65 535 pixels a side and 2^30 pixels in all (3 GiB at 24 bits),
// which leaves room for a 20 000 × 20 000 scan and its resized copy on a desktop machine.
// A fuzzing build lowers the pixel count so that each try stays small and quick.
inline constexpr int MaxPictureSide = 65535;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr qint64 MaxPicturePixels = qint64(1) << 22;
#else
inline constexpr qint64 MaxPicturePixels = qint64(1) << 30;
#endif

// Why a picture of that size cannot be made (a French sentence), or nothing when it can.
std::optional<QString> PictureSizeProblem(qint64 width, qint64 height);
// Throws tilvo::Error with the sentence of PictureSizeProblem.
void CheckPictureSize(qint64 width, qint64 height);

// A bitmap stored row by row from the top row down, each row padded with zeros to a multiple
// of 4 bytes. The storage holds a few spare bytes after the last row, so that code reading
// pixels four bytes at a time never leaves it.
class Picture
{
public:
    // An empty 24-bit picture (0 × 0).
    Picture() = default;
    // A black picture; throws tilvo::Error for a negative or too large size, or when the memory
    // cannot be had. A width or a height of 0 gives the empty picture.
    Picture(int width, int height, PixelFormat format = PixelFormat::Bgr24);

    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    ~Picture();

    int width() const { return m_width; }
    int height() const { return m_height; }
    PixelFormat format() const { return m_format; }
    bool isEmpty() const { return m_width == 0 || m_height == 0; }
    int bytesPerPixel() const { return m_format == PixelFormat::Grey8 ? 1 : 3; }
    qsizetype bytesPerLine() const { return m_bytesPerLine; }

    uchar* row(int y) { return m_bytes.get() + y * m_bytesPerLine; }
    const uchar* row(int y) const { return m_bytes.get() + y * m_bytesPerLine; }

    // Every pixel set to one colour; a grey picture takes the blue value as its grey level.
    void fill(uchar blue, uchar green, uchar red);
    // Copies the other picture's pixels with its top-left corner at (left, top); what falls
    // outside this picture is left out. Both must have the same format.
    void draw(const Picture& other, int left, int top);

    // The same pixels at 24 bits (a grey level gives equal blue, green and red).
    Picture toBgr24() const;

    // A 24-bit picture becomes QImage::Format_BGR888, a grey one Format_Grayscale8.
    QImage toQImage() const;
    // A grey QImage gives a grey picture, any other a 24-bit one (transparency is dropped).
    static Picture fromQImage(const QImage& image);

    // Same size, format and pixels (the row padding is not compared).
    bool operator==(const Picture& other) const;

private:
    struct Uninitialised
    {
    };
    // Pixel bytes left unset, padding and spare bytes zeroed: for code that writes every pixel.
    Picture(int width, int height, PixelFormat format, Uninitialised);
    void allocate(int width, int height, PixelFormat format, bool zeroPixels);

    friend Picture MakePictureForWriting(int width, int height, PixelFormat format);

    int m_width = 0;
    int m_height = 0;
    PixelFormat m_format = PixelFormat::Bgr24;
    qsizetype m_bytesPerLine = 0;
    std::unique_ptr<uchar[]> m_bytes;
};

// A picture whose pixels the caller is about to write all of (decoders, the resize).
Picture MakePictureForWriting(int width, int height, PixelFormat format);

} // namespace tilvo
