// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

namespace tilvo {

// Colours are kept as the database stores them: 0x00BBGGRR, red in the low byte.

// The pale yellow of the program's pick fields, lists and calendars (RGB FF FF F2).
inline constexpr int kPickerColor = 15925247;

QColor ColorFromWindows(qint64 colour);
int WindowsColor(const QColor& colour);

// Adds `amount` to each of red, green and blue. Going down (amount 0 or less) a component
// below 0 becomes 1; going up, one above 255 becomes 254.
int ShiftColor(int colour, int amount);

} // namespace tilvo
