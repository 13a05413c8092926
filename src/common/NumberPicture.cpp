// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/NumberPicture.h"

#include <QLocale>
#include <cmath>

namespace tilvo {

namespace {

bool IsDigitPlaceholder(QChar c)
{
    return c == u'#' || c == u'0';
}

struct NumberRun
{
    qsizetype start = -1;
    qsizetype end = -1; // one past the run
    int requiredIntegers = 0;
    int requiredDecimals = 0;
    int maxDecimals = 0;
    bool hasPoint = false;
};

NumberRun FindNumberRun(const QString& picture)
{
    NumberRun run;
    // The run starts at the first digit mark, or at a "." right before one (".##").
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture.at(i);
        if (IsDigitPlaceholder(c) ||
            (c == u'.' && i + 1 < picture.size() && IsDigitPlaceholder(picture.at(i + 1)))) {
            run.start = i;
            break;
        }
    }
    if (run.start < 0)
        return run;
    qsizetype i = run.start;
    for (; i < picture.size(); ++i) {
        const QChar c = picture.at(i);
        if (c == u'.' && !run.hasPoint) {
            run.hasPoint = true;
            continue;
        }
        if (!IsDigitPlaceholder(c))
            break;
        if (!run.hasPoint) {
            if (c == u'0')
                ++run.requiredIntegers;
        } else {
            ++run.maxDecimals;
            if (c == u'0')
                run.requiredDecimals = run.maxDecimals;
        }
    }
    run.end = i;
    return run;
}

QString NumberText(double value, const NumberRun& run, QChar separator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const double magnitude = std::fabs(value);
    QString text;
    if (magnitude >= 1e18) {
        text = QString::number(magnitude, 'g', 15).toUpper();
        text.replace(u'.', separator);
    } else {
        // Halves round away from zero (12.25 with one decimal is 12.3), as people expect.
        double shown = magnitude;
        const double scale = std::pow(10.0, run.maxDecimals);
        if (magnitude * scale < 1e15)
            shown = std::round(magnitude * scale) / scale;
        text = QString::number(shown, 'f', run.maxDecimals);
        QString integers = text;
        QString decimals;
        if (const qsizetype point = text.indexOf(u'.'); point >= 0) {
            integers = text.left(point);
            decimals = text.mid(point + 1);
        }
        while (decimals.size() > run.requiredDecimals && decimals.endsWith(u'0'))
            decimals.chop(1);
        if (run.requiredIntegers == 0 && integers == u"0")
            integers.clear();
        else if (integers.size() < run.requiredIntegers)
            integers.prepend(QString(run.requiredIntegers - integers.size(), u'0'));
        text = decimals.isEmpty() ? integers : integers + separator + decimals;
    }
    // No "-0,000": the sign only when a digit that is not 0 shows.
    bool nonZero = false;
    for (const QChar c : text) {
        if (c >= u'1' && c <= u'9') {
            nonZero = true;
            break;
        }
    }
    if (value < 0 && nonZero)
        text.prepend(u'-');
    return text;
}

} // namespace

QString FormatNumberPicture(double value, const QString& picture, QChar decimalSeparator)
{
    const NumberRun run = FindNumberRun(picture);
    if (run.start < 0)
        return picture;
    return picture.left(run.start) + NumberText(value, run, decimalSeparator) +
           picture.mid(run.end);
}

int PictureDecimals(const QString& picture)
{
    return FindNumberRun(picture).maxDecimals;
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
