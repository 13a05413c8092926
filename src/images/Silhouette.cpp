// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/Silhouette.h"

#include <QPainter>
#include <QPainterPath>

namespace tilvo {

QImage SilhouettePicture()
{
    static const QImage picture = [] {
        QImage image(35, 35, QImage::Format_RGB888);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xA8, 0xB4, 0xC4));
        // Shoulders: a rounded mound cut by the bottom edge, then the head above it.
        QPainterPath shoulders;
        shoulders.moveTo(4, 35);
        shoulders.cubicTo(4, 24, 10, 21, 17.5, 21);
        shoulders.cubicTo(25, 21, 31, 24, 31, 35);
        shoulders.closeSubpath();
        painter.drawPath(shoulders);
        painter.drawEllipse(QRectF(10.5, 4, 14, 15));
        return image;
    }();
    return picture;
}

} // namespace tilvo
