// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/DatePickerRules.h"

#include "common/DateHelpers.h"

#include <algorithm>

namespace tilvo {

QPoint PlaceCalendar(const QRect& field, const QSize& window, const QRect& screen)
{
    const int screenBottom = screen.top() + screen.height();
    int top = field.top() + 15;
    if (!(top + window.height() < screenBottom - 30))
        top = screenBottom - window.height() - 30;
    const int screenRight = screen.left() + screen.width();
    int left = field.left();
    if (left + window.width() > screenRight)
        left = screenRight - window.width();
    left = std::max(left, screen.left());
    return QPoint(left, top);
}

QDate CalendarStartDate(const QString& fieldText, const QDate& today)
{
    const QString text = fieldText.left(10);
    return IsValidDateText(text) ? ParseDateText(text) : today;
}

bool PeriodOkEnabled(const QString& beginText, const QString& endText, bool enabledNow)
{
    if (beginText.isEmpty() || endText.isEmpty())
        return enabledNow;
    const QDate begin = ParseDateText(beginText);
    const QDate end = ParseDateText(endText);
    if (!begin.isValid() || !end.isValid())
        return false;
    return !IsOnOrAfter(begin, end);
}

} // namespace tilvo
