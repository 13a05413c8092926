// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tilvo {

// A text typed by the user, made safe inside an HTML page: "&", "<", ">", '"' and "'" become
// entities, a line break becomes "<br>", another control character a blank, and a character
// Windows-1252 has no byte for (an emoji) a numeric character reference such as "&#128512;".
QString HtmlText(const QString& text);

// The lines of a page as the file holds them: each line followed by CR LF, in Windows-1252.
// A character the code page lacks is written as a character reference, never as "?".
QByteArray EncodeHtmlLines(const QStringList& lines);

} // namespace tilvo
