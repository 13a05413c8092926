// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ui/DBImage.h"

#include "db/FieldLink.h"

#include <QMouseEvent>
#include <QPainter>

namespace tilvo {

DBImage::DBImage(QWidget* parent) : QFrame(parent)
{}

DBImage::~DBImage() = default;

void DBImage::setField(DataSource& dataSource, const QString& fieldName)
{
    delete m_link;
    m_link = new FieldLink(dataSource, fieldName, this);
    connect(m_link, &FieldLink::refresh, this, &DBImage::showField);
    showField();
}

void DBImage::showField()
{
    const std::optional<Field> field = m_link ? m_link->field() : std::nullopt;
    QByteArray bytes;
    if (field && !field->isNull()) {
        try {
            bytes = field->asBytes();
        } catch (const std::exception&) {
            bytes.clear();
        }
    }
    // The dataset says "changed" for every field; decode only when these bytes did.
    if (bytes == m_bytes && (bytes.isEmpty() || !m_picture.isNull()))
        return;
    m_bytes = bytes;
    m_picture = bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
    update();
    Q_EMIT pictureChanged();
}

void DBImage::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(contentsRect(), m_picture);
}

void DBImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
    QFrame::mouseDoubleClickEvent(event);
}

} // namespace tilvo
