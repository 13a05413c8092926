// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tilvo {

// Where a picture goes inside a box, in pixels from the box's top-left corner.
struct Placement
{
    bool scaled = false;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const Placement&) const = default;
};

// The picture's size and position inside the box: unchanged and centred when it fits, otherwise
// shrunk, keeping its proportions, to the box's height or width and centred the other way.
// A square picture larger than the box in both directions is stretched over the whole box.
// Computed in extended precision, so that the pixel counts are those of the program's files.
// Negative sizes count as 0.
Placement FitPictureInBox(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight);

} // namespace tilvo
