// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/ScalePictureColumn.h"

#include "db/DataSet.h"
#include "images/BmpFile.h"
#include "images/FitPictureInBox.h"
#include "images/ResizePicture.h"

#include <QCoreApplication>

namespace tilvo {

void ScalePictureColumn(Picture& destination, const Field& column, int boxWidth, int boxHeight)
{
    Picture picture = DecodeBmp(column.asBytes());
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    if (!picture.isEmpty()) {
        const Placement placement =
            FitPictureInBox(boxWidth, boxHeight, picture.width(), picture.height());
        ResizePicture(picture, placement.width, placement.height);
    }
    destination = std::move(picture);
}

} // namespace tilvo
