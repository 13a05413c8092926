// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/ui/PictureControl.h"

#include <QPainter>

namespace tilvo {

PictureControl::PictureControl(QWidget* parent) : QWidget(parent)
{}

PictureControl::~PictureControl() = default;

void PictureControl::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void PictureControl::setStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void PictureControl::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    if (m_stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), m_picture);
        return;
    }
    painter.drawImage((width() - m_picture.width()) / 2, (height() - m_picture.height()) / 2,
                      m_picture);
}

} // namespace tilvo
