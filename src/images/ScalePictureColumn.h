// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "images/Picture.h"

namespace tilvo {

class Field;

// Loads the BMP file held in a binary column (a thumbnail of ACCOUNT.ImgMini1), fits it into
// the box (FitPictureInBox), resizes it to the fitted size (also when it already fits) and puts
// the result into the destination. A null or empty column gives the empty picture. Pending
// events are processed once after the loading, as the lists that call this for every row
// expect. Throws tilvo::Error for a column that holds no readable BMP; the destination is then
// left as it was.
void ScalePictureColumn(Picture& destination, const Field& column, int boxWidth, int boxHeight);

} // namespace tilvo
