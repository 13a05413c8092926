// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/ChartView.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace tilvo {

ChartView::ChartView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_model.setSize(width(), height());
}

void ChartView::refresh()
{
    setEnabled(m_model.isEnabled());
    update();
}

std::optional<ChartHit> ChartView::hitAt(const QPoint& position) const
{
    return ChartRenderer(m_model).hitTest(QRectF(rect()), QPointF(position));
}

bool ChartView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const std::optional<ChartHit> hit = hitAt(help->pos()))
            QToolTip::showText(help->globalPos(), hit->text, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    ChartRenderer(m_model).paint(painter, QRectF(rect()));
}

void ChartView::resizeEvent(QResizeEvent* event)
{
    m_model.setSize(width(), height());
    QWidget::resizeEvent(event);
}

} // namespace tilvo
