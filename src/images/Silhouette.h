// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace tilvo {

// The picture shown for an account without a thumbnail: a grey head and shoulders on white,
// 35 × 35 pixels at 24 bits.
QImage SilhouettePicture();

} // namespace tilvo
