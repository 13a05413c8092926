// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLineEdit;

namespace tilvo {

class Clock;
class TSelectDate;

// Opens the calendar drop-down for a date field and returns at once: the calendar starts from
// the field's date (today when it holds none), opens near the field (PlaceCalendar) and,
// closed with OK, writes the chosen date into the field. The field keeps the focus, its text
// selected, until the calendar shows.
TSelectDate* ShowDatePicker(QLineEdit* field, const Clock& clock);
TSelectDate* ShowDatePicker(QLineEdit* field);

} // namespace tilvo
