// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ColorControls.h"

#include "main/AccountCodes.h"

namespace tilvo {

ColorControls DecideColorControls(bool setColor, int statTypeIndex, bool hasThumbnail)
{
    ColorControls c;
    c.deletePictureEnabled = hasThumbnail;
    if (!setColor)
        return c;
    if (statTypeIndex == kPieChartIndex) {
        c.swatchVisible = false;
        c.uncheckAllColor = true;
        return c;
    }
    c.colorButtonEnabled = true;
    c.swatchVisible = true;
    c.allColorEnabled = true;
    return c;
}

} // namespace tilvo
