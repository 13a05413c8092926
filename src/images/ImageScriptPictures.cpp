// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/ImageScriptPictures.h"

#include "images/BmpFile.h"
#include "images/JpegFile.h"
#include "images/ScalePictureColumn.h"

#include <cmath>

namespace tilvo {

void ImageScriptPictures::writeBitmapAsJpeg(const QByteArray& bitmap, const QString& jpegPath,
                                            int quality)
{
    WriteJpegFile(DecodeBmp(bitmap).toBgr24(), jpegPath, quality);
}

void ImageScriptPictures::checkBitmap(const QByteArray& bitmap)
{
    DecodeBmp(bitmap);
}

QByteArray ImageScriptPictures::fitColumnBitmap(const Field& column, int width, int height,
                                                bool whiteBox)
{
    Picture fitted;
    ScalePictureColumn(fitted, column, width, height);
    if (!whiteBox)
        return EncodeBmp(fitted);
    Picture box(width, height);
    box.fill(255, 255, 255);
    // Halves round to the even neighbour, as the program's rounding always has.
    const int left = int(std::nearbyint((width - fitted.width()) / 2.0));
    const int top = int(std::nearbyint((height - fitted.height()) / 2.0));
    box.draw(fitted, left, top);
    return EncodeBmp(box);
}

} // namespace tilvo
