// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextHelpers.h"

#include <QLocale>
#include <QRegularExpression>

namespace tilvo {

QString FoldAccents(const QString& text)
{
    QString folded = text;
    for (QChar& c : folded) {
        switch (c.unicode()) {
        case u'é':
        case u'è':
        case u'ê':
        case u'ë':
            c = u'e';
            break;
        case u'à':
        case u'â':
        case u'ä':
            c = u'a';
            break;
        case u'ù':
        case u'û':
        case u'ü':
            c = u'u';
            break;
        case u'ô':
        case u'ö':
            c = u'o';
            break;
        case u'î':
        case u'ï':
            c = u'i';
            break;
        case u'ç':
            c = u'c';
            break;
        default:
            break;
        }
    }
    return folded;
}

QString FileNameSafe(const QString& text)
{
    QString safe = text;
    for (QChar& c : safe) {
        switch (c.unicode()) {
        case u'/':
        case u'\\':
        case u':':
        case u'*':
        case u'?':
        case u'"':
        case u'<':
        case u'>':
        case u'|':
            c = u'_';
            break;
        default:
            break;
        }
    }
    return safe;
}

QString TrimBlanks(const QString& text)
{
    if (text.isEmpty())
        return text;
    qsizetype first = 0;
    qsizetype last = text.size() - 1;
    while (first <= last && text.at(first) == u' ')
        ++first;
    if (first > last)
        return QStringLiteral(" ");
    while (text.at(last) == u' ')
        --last;
    return text.mid(first, last - first + 1);
}

bool IsNumberText(const QString& text)
{
    static const QRegularExpression kNumber(
        QStringLiteral("\\A[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?\\z"));
    QString copy = text;
    const qsizetype comma = copy.indexOf(u',');
    if (comma >= 0)
        copy[comma] = u'.';
    return kNumber.match(copy).hasMatch();
}

QString ToLocaleDecimal(const QString& text, QChar separator)
{
    QString result = text;
    qsizetype i = result.indexOf(u',');
    if (i < 0)
        i = result.indexOf(u'.');
    if (i >= 0)
        result[i] = separator;
    return result;
}

QString ToLocaleDecimal(const QString& text)
{
    const QString point = QLocale().decimalPoint();
    return ToLocaleDecimal(text, point.isEmpty() ? QChar(u'.') : point.at(0));
}

} // namespace tilvo
