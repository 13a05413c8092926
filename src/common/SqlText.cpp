// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SqlText.h"

#include "common/Error.h"
#include "common/Windows1252.h"

#include <QFile>
#include <algorithm>
#include <cmath>

namespace tilvo {

namespace {

// Only a-z change: the engine's keywords are ASCII and accented letters must stay.
QString AsciiUpper(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return upper;
}

[[noreturn]] void MissingClause(const QString& path, const char* keyword)
{
    throw Error(QStringLiteral("Le modèle de requête \"%1\" n'a pas de ligne %2.")
                    .arg(path, QLatin1String(keyword)));
}

} // namespace

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString JoinLines(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

int FindClauseLine(const QStringList& lines, const QString& keyword)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (AsciiUpper(lines.at(i)).contains(keyword))
            return i;
    }
    return -1;
}

int GetFromLine(const QStringList& lines)
{
    return FindClauseLine(lines, QStringLiteral("FROM"));
}
int GetWhereLine(const QStringList& lines)
{
    return FindClauseLine(lines, QStringLiteral("WHERE"));
}
int GetHavingLine(const QStringList& lines)
{
    return FindClauseLine(lines, QStringLiteral("HAVING"));
}
int GetOrderByLine(const QStringList& lines)
{
    return FindClauseLine(lines, QStringLiteral("ORDER BY"));
}
int GetFromLine(const QString& text)
{
    return GetFromLine(SplitLines(text));
}
int GetWhereLine(const QString& text)
{
    return GetWhereLine(SplitLines(text));
}
int GetHavingLine(const QString& text)
{
    return GetHavingLine(SplitLines(text));
}
int GetOrderByLine(const QString& text)
{
    return GetOrderByLine(SplitLines(text));
}

QString BuildQueryFromFile(const QString& path, bool dropFirstLine, const QString& fromText,
                           const QString& whereText, const QString& havingText,
                           const QString& orderByText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Impossible de lire le modèle de requête \"%1\" :\r%2")
                        .arg(path, file.errorString()));
    }
    QStringList lines = SplitLines(DecodeText(file.readAll()));

    if (dropFirstLine && !lines.isEmpty())
        lines.removeFirst();

    if (!fromText.isEmpty()) {
        const int i = GetFromLine(lines);
        if (i < 0)
            MissingClause(path, "FROM");
        lines[i] = QStringLiteral("FROM ") + fromText;
    }
    if (!whereText.isEmpty()) {
        const int i = GetWhereLine(lines);
        if (i < 0)
            MissingClause(path, "WHERE");
        lines[i] = QStringLiteral("WHERE ") + whereText;
    }
    if (!havingText.isEmpty()) {
        const QString having = QStringLiteral("HAVING ") + havingText;
        const int i = GetHavingLine(lines);
        if (i >= 0)
            lines[i] = having;
        else if (!lines.isEmpty() && AsciiUpper(lines.last()).contains(QLatin1String("ORDER BY")))
            lines.insert(lines.size() - 1, having);
        else
            lines.append(having);
    }
    if (!orderByText.isEmpty()) {
        const int i = GetOrderByLine(lines);
        if (i < 0)
            MissingClause(path, "ORDER BY");
        lines[i] = QStringLiteral("ORDER BY ") + orderByText;
    }
    return JoinLines(lines);
}

QString FormatReal(double value, int width, int decimals)
{
    decimals = std::clamp(decimals, 0, 18);
    QString text;
    if (std::isnan(value)) {
        text = QStringLiteral("NAN");
    } else if (std::isinf(value)) {
        text = value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    } else {
        text = QString::number(value, 'f', decimals);
        // A value that rounds to zero is written without a sign.
        if (text.startsWith(u'-') && text.count(u'0') == text.size() - 1 - (decimals > 0 ? 1 : 0))
            text.remove(0, 1);
    }
    const int total = decimals > 0 ? width + decimals + 1 : width;
    if (text.size() < total)
        text.prepend(QString(total - text.size(), u' '));
    return text;
}

QString ZeroPad(qint64 number, int width)
{
    width = std::min(width, 8);
    const bool negative = number < 0;
    QString digits =
        QString::number(negative ? -static_cast<quint64>(number) : static_cast<quint64>(number));
    if (digits.size() < width)
        digits.prepend(QString(width - digits.size(), u'0'));
    return negative ? QStringLiteral("-") + digits : digits;
}

QString TrimLeadingBlanks(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    return i == 0 ? text : text.mid(i);
}

} // namespace tilvo
