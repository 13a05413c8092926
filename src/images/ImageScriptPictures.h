// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/ScriptPictures.h"

namespace tilvo {

// The update scripts' picture work done with the program's BMP and JPEG coders and its
// column scaler (ScalePictureColumn).
class ImageScriptPictures final : public ScriptPictures
{
public:
    void writeBitmapAsJpeg(const QByteArray& bitmap, const QString& jpegPath, int quality) override;
    void checkBitmap(const QByteArray& bitmap) override;
    QByteArray fitColumnBitmap(const Field& column, int width, int height, bool whiteBox) override;
};

} // namespace tilvo
