// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "images/Picture.h"

#include <QByteArray>
#include <QString>

class QImage;

namespace tilvo {

// The text of every JPEG writing failure.
inline constexpr char JpegWriteError[] = "Error writing JPEG to file";

// Writes the picture (24-bit, or grey whose bytes are grey levels) as a three-component YCbCr
// JPEG file of the same size at the given quality (1 to 100; values outside are brought to the
// nearest end). The file is replaced only once the whole picture is written; an existing file
// stays as it was on failure. Throws tilvo::Error "Error writing JPEG to file" on any failure,
// an empty picture included.
void WriteJpegFile(const Picture& picture, const QString& path, int quality);
// The same from a QImage, which must be QImage::Format_BGR888 (24 bits) or Format_Grayscale8
// or Format_Indexed8 (its bytes taken as grey levels, whatever the palette); any other format
// throws the same error.
void WriteJpegFile(const QImage& image, const QString& path, int quality);

// Reads a baseline or progressive JPEG file of one (grey) or three (colour) components into a
// grey or 24-bit picture of its size. False, with the picture unchanged, when the path is not
// a readable file, the data is not a JPEG, is truncated or damaged, has another number of
// components or exceeds the picture limits. Never throws.
bool ReadJpegFile(Picture& picture, const QString& path);
// The same from bytes in memory.
bool DecodeJpeg(Picture& picture, const QByteArray& bytes);

} // namespace tilvo
