// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/NumberPicture.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace tilvo {

namespace {

bool IsDigitMark(QChar c)
{
    return c == u'0' || c == u'#';
}

// Where the number's run starts: the first digit mark, or a "." right before one.
qsizetype RunStart(const QString& picture)
{
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture.at(i);
        if (IsDigitMark(c))
            return i;
        if (c == u'.' && i + 1 < picture.size() && IsDigitMark(picture.at(i + 1)))
            return i;
    }
    return -1;
}

} // namespace

QString FormatNumberPicture(double value, const QString& picture, QChar decimalSeparator)
{
    const qsizetype start = RunStart(picture);
    if (start < 0)
        return picture;
    qsizetype end = start;
    bool point = false;
    while (end < picture.size()) {
        const QChar c = picture.at(end);
        if (c == u'.' && !point)
            point = true;
        else if (!IsDigitMark(c))
            break;
        ++end;
    }
    const QString run = picture.mid(start, end - start);
    const qsizetype dot = run.indexOf(u'.');
    const QString integerMarks = dot < 0 ? run : run.left(dot);
    const QString fractionMarks = dot < 0 ? QString() : run.mid(dot + 1);

    // Leading zeros from the first "0" of the integer part; trailing ones up to the last "0"
    // of the fraction.
    const qsizetype firstZero = integerMarks.indexOf(u'0');
    const int minimumInteger = firstZero < 0 ? 0 : int(integerMarks.size() - firstZero);
    const int decimals = int(fractionMarks.size());
    const int requiredDecimals = int(fractionMarks.lastIndexOf(u'0') + 1);

    QString number;
    if (!std::isfinite(value)) {
        number = QString::number(value);
    } else {
        const QString digits = QString::number(std::fabs(value), 'f', decimals);
        const qsizetype p = digits.indexOf(u'.');
        QString integerDigits = p < 0 ? digits : digits.left(p);
        QString fractionDigits = p < 0 ? QString() : digits.mid(p + 1);
        while (fractionDigits.size() > requiredDecimals && fractionDigits.endsWith(u'0'))
            fractionDigits.chop(1);
        const bool zero = std::all_of(digits.begin(), digits.end(),
                                      [](QChar c) { return c == u'0' || c == u'.'; });
        if (integerDigits == u"0" && minimumInteger == 0)
            integerDigits.clear();
        if (integerDigits.size() < minimumInteger)
            integerDigits.prepend(QString(minimumInteger - integerDigits.size(), u'0'));
        if (value < 0 && !zero)
            number += u'-';
        number += integerDigits;
        if (!fractionDigits.isEmpty())
            number += decimalSeparator + fractionDigits;
    }
    return picture.left(start) + number + picture.mid(end);
}

QString FormatNumberPicture(double value, const QString& picture)
{
    return FormatNumberPicture(value, picture, LocaleDecimalSeparator());
}

QChar LocaleDecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.at(0);
}

} // namespace tilvo
