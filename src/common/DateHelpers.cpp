// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DateHelpers.h"

#include "common/Clock.h"
#include "common/Error.h"
#include "common/TextHelpers.h"

#include <QStringList>
#include <array>

namespace tilvo {

int DaysInMonth(int month, int year)
{
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))
        return 29;
    return kDays[month - 1];
}

QString FrenchMonthName(int month)
{
    static const std::array<QString, 12> kNames = {
        QStringLiteral("Janvier"), QStringLiteral("Février"),  QStringLiteral("Mars"),
        QStringLiteral("Avril"),   QStringLiteral("Mai"),      QStringLiteral("Juin"),
        QStringLiteral("Juillet"), QStringLiteral("Août"),     QStringLiteral("Septembre"),
        QStringLiteral("Octobre"), QStringLiteral("Novembre"), QStringLiteral("Décembre"),
    };
    if (month < 1 || month > 12)
        return QString();
    return kNames[month - 1];
}

bool IsOnOrAfter(const QDate& a, const QDate& b)
{
    return a >= b;
}

bool IsOnOrAfter(const QDateTime& a, const QDateTime& b)
{
    return IsOnOrAfter(a.date(), b.date());
}

bool IsValidDate(int day, int month, int year)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, year) &&
           year >= 1900 && year <= 2099;
}

bool IsValidDate(const QDate& date)
{
    return date.isValid() && IsValidDate(date.day(), date.month(), date.year());
}

QDate ParseDateText(const QString& text)
{
    const QStringList parts = text.split(u'/');
    if (parts.size() != 3)
        return QDate();
    int values[3];
    for (int i = 0; i < 3; ++i) {
        const QString& part = parts.at(i);
        if (part.isEmpty() || part.size() > 4)
            return QDate();
        for (const QChar c : part) {
            if (c < u'0' || c > u'9')
                return QDate();
        }
        values[i] = part.toInt();
    }
    if (parts.at(2).size() != 4)
        return QDate();
    return QDate(values[2], values[1], values[0]);
}

QString FormatDateText(const QDate& date)
{
    return date.toString(QLatin1String(kDateFormat));
}

bool IsValidDateText(const QString& text)
{
    if (text.size() != 10)
        return false;
    // Day, month and year must each read as a number on their own.
    if (!IsNumberText(text.mid(0, 2)) || !IsNumberText(text.mid(3, 2)) ||
        !IsNumberText(text.mid(6, 4)))
        return false;
    return IsValidDate(ParseDateText(text));
}

QString SqlDateLiteral(const QDate& date)
{
    if (!date.isValid())
        throw Error(QStringLiteral("Date invalide."));
    return QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year());
}

QString SqlDateLiteral(const QString& text)
{
    const QDate date = ParseDateText(text);
    if (!date.isValid())
        throw Error(QStringLiteral("\"%1\" n'est pas une date valide.").arg(text));
    return SqlDateLiteral(date);
}

int CurrentYear(const Clock& clock)
{
    return clock.today().year();
}

int CurrentYear()
{
    return CurrentYear(ProcessClock());
}

} // namespace tilvo
