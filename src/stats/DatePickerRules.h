// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace tilvo {

// The calendar drop-down and the period dialog: where the calendar opens, which date it
// starts from, and when the period can be confirmed.

// The picker colour of the calendar's month and the period fields (RGB FF FF F2).
inline constexpr int kCalendarBackColor = 15925247;
// The calendar's title band, RGB D4 D4 D4.
inline constexpr int kCalendarTitleColor = 13948116;
// The bar under the calendar with its buttons.
inline constexpr int kCalendarBarHeight = 20;

// The calendar window's top-left corner for a date field's rectangle on screen. It opens 15
// pixels below the field's top, at the field's left; when its bottom would come within 30
// pixels of the screen's bottom it is lifted to end 30 pixels above it. It is also kept
// inside the screen's right and left edges, so that it can be used whole.
QPoint PlaceCalendar(const QRect& field, const QSize& window, const QRect& screen);

// The date the calendar starts from: the first 10 characters of the field's text when they
// are a valid "dd/mm/yyyy" date, else today.
QDate CalendarStartDate(const QString& fieldText, const QDate& today);

// The period dialog's OK after a change of either date: with both texts given, enabled only
// when the begin date is strictly before the end date; with either text empty, unchanged.
bool PeriodOkEnabled(const QString& beginText, const QString& endText, bool enabledNow);

} // namespace tilvo
