// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/WaitWindow.h"

#include "common/LetWindowsRepaint.h"
#include "common/ui/Chrome.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tilvo {

WaitGauge::WaitGauge(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Gauge"));
    setFixedSize(253, 12);
}

void WaitGauge::setMaximum(int maximum)
{
    m_maximum = maximum;
    update();
}

void WaitGauge::setPosition(int position)
{
    m_position = position;
    update();
}

int WaitGauge::filledWidth() const
{
    if (m_maximum <= 0 || m_position <= 0)
        return 0;
    const int width = static_cast<int>(static_cast<double>(m_position) / m_maximum * 251);
    return std::min(width, 251);
}

void WaitGauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(0x68, 0x89, 0xCE));
    painter.drawRect(0, 0, width() - 1, height() - 1);
    painter.fillRect(1, 1, filledWidth(), height() - 2, kActiveTitleEnd);
}

TWait::TWait(QWidget* over)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_over(over)
{
    setObjectName(QStringLiteral("TWait"));
    setFixedSize(275, 80);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    Lab_Task = new QLabel(this);
    Lab_Task->setObjectName(QStringLiteral("Lab_Task"));
    QFont bold = Lab_Task->font();
    bold.setBold(true);
    Lab_Task->setFont(bold);
    Lab_Msg = new QLabel(this);
    Lab_Msg->setObjectName(QStringLiteral("Lab_Msg"));
    Gauge = new WaitGauge(this);
    layout->addWidget(Lab_Task);
    layout->addWidget(Lab_Msg);
    layout->addWidget(Gauge);
    setStyleSheet(QStringLiteral("TWait { border: 1px solid #0050D2; background: white; }"));
}

void TWait::open(const QString& task, const QString& message, int maximum, bool visible)
{
    Lab_Task->setText(task);
    Lab_Msg->setText(message);
    Gauge->setMaximum(maximum);
    Gauge->setPosition(0);
    const QRect area = m_over ? m_over->frameGeometry() : WorkAreaOf(this);
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    if (visible) {
        show();
        repaintNow();
    }
}

void TWait::setTask(const QString& task)
{
    Lab_Task->setText(task);
    repaintNow();
}

void TWait::setMessage(const QString& message)
{
    Lab_Msg->setText(message);
    repaintNow();
}

void TWait::setMaximum(int maximum)
{
    Gauge->setMaximum(maximum);
    repaintNow();
}

void TWait::setPosition(int position)
{
    Gauge->setPosition(position);
    repaintNow();
}

int TWait::position() const
{
    return Gauge->position();
}

void TWait::close()
{
    hide();
}

void TWait::repaintNow()
{
    if (isVisible())
        LetWindowsRepaint();
}

} // namespace tilvo
