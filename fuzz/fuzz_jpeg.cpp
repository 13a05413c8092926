// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes given to the JPEG reader return true with a picture of the size read, or false
// with the picture untouched; never an exception, never a crash.
#include "images/JpegFile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    tilvo::Picture picture(3, 2);
    const tilvo::Picture before = picture;
    if (tilvo::DecodeJpeg(picture, bytes)) {
        if (picture.isEmpty())
            std::abort();
        unsigned sum = 0; // every decoded byte is read, for the address checks
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width() * picture.bytesPerPixel(); ++x)
                sum += picture.row(y)[x];
        volatile unsigned keep = sum;
        (void)keep;
    } else if (!(picture == before)) {
        std::abort();
    }
    return 0;
}
