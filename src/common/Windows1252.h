// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace tilvo {

// Windows-1252 differs from Latin-1 in 0x80-0x9F (the euro sign is 0x80). The five bytes
// that code page leaves undefined map to the C1 control of the same value, so every byte
// sequence decodes and encodes back to itself.
QString DecodeWindows1252(const QByteArray& bytes);

// Characters that have no Windows-1252 byte become '?'.
QByteArray EncodeWindows1252(const QString& text);

// True when every character of the text has a Windows-1252 byte.
bool FitsWindows1252(const QString& text);

// Text files we read may come from this program (Windows-1252) or from a UTF-8 editor:
// a byte-order mark or valid UTF-8 holding non-ASCII characters reads as UTF-8,
// anything else as Windows-1252.
bool LooksLikeUtf8(const QByteArray& bytes);
QString DecodeText(const QByteArray& bytes);

} // namespace tilvo
