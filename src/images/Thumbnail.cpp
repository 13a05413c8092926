// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/Thumbnail.h"

#include "images/FitPictureInBox.h"
#include "images/ResizePicture.h"

namespace tilvo {

Picture MakeThumbnail(const Picture& picture, int width, int height)
{
    Picture thumbnail(width, height, PixelFormat::Bgr24);
    thumbnail.fill(255, 255, 255);
    if (picture.isEmpty())
        return thumbnail;
    const Placement placement = FitPictureInBox(width, height, picture.width(), picture.height());
    const Picture resized = ResizedPicture(picture, placement.width, placement.height);
    thumbnail.draw(resized, int(static_cast<long double>(width - resized.width()) / 2.0L),
                   int(static_cast<long double>(height - resized.height()) / 2.0L));
    return thumbnail;
}

} // namespace tilvo
