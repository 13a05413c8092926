// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "images/Picture.h"

#include <QByteArray>
#include <QString>

namespace tilvo {

// Reads a BMP file of 1, 4, 8 (with their palette, also run-length coded), 16, 24 or 32 bits
// per pixel (16 and 32 also with colour masks; transparency is dropped), stored bottom-up or
// top-down, with a Windows or OS/2 header, into a 24-bit picture.
// Throws tilvo::Error with a French text for a missing, truncated, damaged, unsupported or
// too large file (see MaxPicturePixels); the size is checked before any pixel is allocated.
Picture ReadBmpFile(const QString& path);
// The same from bytes in memory (a picture column). Empty bytes give the empty picture.
Picture DecodeBmp(const QByteArray& bytes);

// A complete 24-bit BMP file of the picture (file header, 40-byte information header,
// bottom-up rows padded to 4 bytes); a grey picture is written as 24 bits. The empty picture
// gives empty bytes.
QByteArray EncodeBmp(const Picture& picture);
// Writes EncodeBmp's bytes, replacing the file only once they are all written; throws
// tilvo::Error when it cannot.
void WriteBmpFile(const Picture& picture, const QString& path);

} // namespace tilvo
