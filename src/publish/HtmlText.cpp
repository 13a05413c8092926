// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/HtmlText.h"

#include "common/Windows1252.h"

namespace tilvo {

namespace {

bool HasCodePageByte(char32_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return true;
    if (code > 0xFFFF)
        return false;
    return FitsWindows1252(QString(QChar(char16_t(code))));
}

void AppendReference(QString& out, char32_t code)
{
    out += QStringLiteral("&#") + QString::number(code) + u';';
}

// Walks the text by code point, so that a character beyond the 16-bit range (an emoji, two
// UTF-16 units) gives one reference; a lone surrogate becomes the replacement character.
template <typename OnCode> void ForEachCodePoint(const QString& text, OnCode onCode)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text.at(i + 1));
            ++i;
        } else if (c.isSurrogate()) {
            code = 0xFFFD;
        }
        onCode(code);
    }
}

} // namespace

QString HtmlText(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    QString out;
    out.reserve(lines.size() + 16);
    ForEachCodePoint(lines, [&out](char32_t code) {
        switch (code) {
        case u'&':
            out += QLatin1String("&amp;");
            return;
        case u'<':
            out += QLatin1String("&lt;");
            return;
        case u'>':
            out += QLatin1String("&gt;");
            return;
        case u'"':
            out += QLatin1String("&quot;");
            return;
        case u'\'':
            out += QLatin1String("&#39;");
            return;
        case u'\n':
            out += QLatin1String("<br>");
            return;
        default:
            break;
        }
        if (code < 0x20 || code == 0x7F)
            out += u' ';
        else if (HasCodePageByte(code))
            out += QChar(char16_t(code));
        else
            AppendReference(out, code);
    });
    return out;
}

QByteArray EncodeHtmlLines(const QStringList& lines)
{
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : lines) {
        if (FitsWindows1252(line)) {
            text += line;
        } else {
            ForEachCodePoint(line, [&text](char32_t code) {
                if (HasCodePageByte(code))
                    text += QChar(char16_t(code));
                else
                    AppendReference(text, code);
            });
        }
        text += QLatin1String("\r\n");
    }
    return EncodeWindows1252(text);
}

} // namespace tilvo
