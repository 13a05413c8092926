// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace tilvo {

class Field;

// The picture work of the update scripts' picture commands, done by the pictures library
// (which the database layer does not see). Every function throws Error with a French text when
// a picture cannot be read or written.
class ScriptPictures
{
public:
    virtual ~ScriptPictures() = default;

    // Reads the bytes as a bitmap (BMP) and writes it as a 24-bit JPEG file of the quality.
    virtual void writeBitmapAsJpeg(const QByteArray& bitmap, const QString& jpegPath,
                                   int quality) = 0;
    // Reads the bytes as a bitmap only, to check that they hold one.
    virtual void checkBitmap(const QByteArray& bitmap) = 0;
    // The column's bitmap fitted into a width × height box keeping its proportions (the
    // column scaler), as BMP bytes. With `whiteBox`, the fitted picture is drawn in the middle
    // of a white width × height bitmap (offsets half the differences, rounded) and that
    // bitmap is given.
    virtual QByteArray fitColumnBitmap(const Field& column, int width, int height,
                                       bool whiteBox) = 0;
};

} // namespace tilvo
