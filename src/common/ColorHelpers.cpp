// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ColorHelpers.h"

namespace tilvo {

QColor ColorFromWindows(qint64 colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

int WindowsColor(const QColor& colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

int ShiftColor(int colour, int amount)
{
    int result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int component = ((colour >> shift) & 0xFF) + amount;
        if (amount <= 0 && component < 0)
            component = 1;
        else if (amount > 0 && component > 255)
            component = 254;
        result |= component << shift;
    }
    return result;
}

} // namespace tilvo
