// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "images/Picture.h"

namespace tilvo {

// The picture fitted into a width × height box (FitPictureInBox), resized to the fitted size
// (also when it is smaller than the box) and drawn centred on a white 24-bit picture of the
// box's size: the account thumbnails are made this way. An empty picture gives a white box.
Picture MakeThumbnail(const Picture& picture, int width, int height);

} // namespace tilvo
