// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Pictures made up for the tests of the picture code.

#include "images/Picture.h"

#include <random>

namespace tilvo::test {

// A picture of random colours, none of them white, the same for the same size.
inline Picture RandomPicture(int width, int height)
{
    Picture picture(width, height);
    std::mt19937 random(unsigned(width * 7 + height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3 * width; ++x)
            picture.row(y)[x] = uchar(random() % 200); // never white
    return picture;
}

inline bool IsWhite(const Picture& picture, int x, int y)
{
    const uchar* p = picture.row(y) + 3 * x;
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

} // namespace tilvo::test
