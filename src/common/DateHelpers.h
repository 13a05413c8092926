// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace tilvo {

class Clock;

// Date texts are "dd/mm/yyyy" throughout the program.
inline constexpr const char* kDateFormat = "dd/MM/yyyy";
inline constexpr const char* kTimeFormat = "hh:mm:ss";

// 0 for a month outside 1..12.
int DaysInMonth(int month, int year);
// Empty for a month outside 1..12.
QString FrenchMonthName(int month);
// Day-level comparison: the time of day is ignored.
bool IsOnOrAfter(const QDate& a, const QDate& b);
bool IsOnOrAfter(const QDateTime& a, const QDateTime& b);
// A real calendar day of the years 1900 to 2099.
bool IsValidDate(int day, int month, int year);
bool IsValidDate(const QDate& date);
// Exactly "dd/mm/yyyy" and a valid date; never throws.
bool IsValidDateText(const QString& text);
// Reads "dd/mm/yyyy" (or the shorter d/m/yyyy); an invalid QDate when it cannot.
QDate ParseDateText(const QString& text);
QString FormatDateText(const QDate& date);
// The month-first form the queries put between "#" signs: 05/03/2008 gives 3/5/2008.
// Throws Error on a text that is not a date.
QString SqlDateLiteral(const QString& text);
QString SqlDateLiteral(const QDate& date);
int CurrentYear(const Clock& clock);
int CurrentYear();

} // namespace tilvo
