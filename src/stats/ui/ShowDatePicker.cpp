// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/ShowDatePicker.h"

#include "common/Clock.h"
#include "common/ColorHelpers.h"
#include "stats/DatePickerRules.h"
#include "stats/ui/TSelectDate.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

namespace tilvo {

TSelectDate* ShowDatePicker(QLineEdit* field, const Clock& clock)
{
    auto* calendar = new TSelectDate(field);
    calendar->setBackColor(ColorFromWindows(kCalendarBackColor));
    calendar->setToday(clock.today());

    const QRect fieldRect(field->mapToGlobal(QPoint(0, 0)), field->size());
    const QScreen* screen = QGuiApplication::screenAt(fieldRect.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    calendar->move(PlaceCalendar(fieldRect, calendar->size(), area));

    calendar->setDateText(field->text());
    calendar->setTarget(field);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    calendar->show();
    return calendar;
}

TSelectDate* ShowDatePicker(QLineEdit* field)
{
    return ShowDatePicker(field, ProcessClock());
}

} // namespace tilvo
