// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/FitPictureInBox.h"

#include <algorithm>

namespace tilvo {

namespace {

// Each step is rounded to the 64-bit mantissa of long double, then cut toward zero.
int TruncHalf(int value)
{
    return int(static_cast<long double>(value) / 2.0L);
}

int TruncScaled(int boxSide, int pictureSide, int otherPictureSide)
{
    const long double ratio = static_cast<long double>(boxSide) / pictureSide;
    return int(ratio * otherPictureSide);
}

Placement Stretched(int boxWidth, int boxHeight)
{
    return Placement{true, 0, 0, boxWidth, boxHeight};
}

} // namespace

Placement FitPictureInBox(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight)
{
    boxWidth = std::max(boxWidth, 0);
    boxHeight = std::max(boxHeight, 0);
    pictureWidth = std::max(pictureWidth, 0);
    pictureHeight = std::max(pictureHeight, 0);

    if (pictureHeight <= boxHeight && pictureWidth <= boxWidth)
        return Placement{false, TruncHalf(boxWidth - pictureWidth),
                         TruncHalf(boxHeight - pictureHeight), pictureWidth, pictureHeight};

    const auto fitHeight = [&](int heightFittedWidth) {
        return Placement{true, TruncHalf(boxWidth - heightFittedWidth), 0, heightFittedWidth,
                         boxHeight};
    };
    const auto fitWidth = [&](int widthFittedHeight) {
        return Placement{true, 0, TruncHalf(boxHeight - widthFittedHeight), boxWidth,
                         widthFittedHeight};
    };

    // Only the fitted side of the longer picture dimension is computed: the division is then
    // always by a dimension larger than the other one, so never by zero. When the fitted side
    // equals the box exactly, or a square picture exceeds the box one way only, the picture
    // is stretched over the box rather than given no size at all.
    if (pictureHeight > pictureWidth) {
        const int hw = TruncScaled(boxHeight, pictureHeight, pictureWidth);
        if (hw < boxWidth)
            return fitHeight(hw);
        if (hw > boxWidth)
            return fitWidth(TruncScaled(boxWidth, pictureWidth, pictureHeight));
        return Stretched(boxWidth, boxHeight);
    }
    if (pictureWidth > pictureHeight) {
        const int wh = TruncScaled(boxWidth, pictureWidth, pictureHeight);
        if (wh > boxHeight)
            return fitHeight(TruncScaled(boxHeight, pictureHeight, pictureWidth));
        if (wh < boxHeight)
            return fitWidth(wh);
        return Stretched(boxWidth, boxHeight);
    }
    return Stretched(boxWidth, boxHeight);
}

} // namespace tilvo
