// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/TNewGauge.h"

#include "common/LetWindowsRepaint.h"
#include "common/Prompts.h"
#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tilvo {

TNewGauge::TNewGauge()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TNewGauge"));
    setFixedSize(360, 70);
    setStyleSheet(QStringLiteral("TNewGauge { background: white; border: 1px solid #0050D2; }"));
    auto* layout = new QVBoxLayout(this);
    info = new QLabel(this);
    info->setObjectName(QStringLiteral("info"));
    bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("bar"));
    bar->setTextVisible(false);
    Btn_Cancel = new QPushButton(QStringLiteral("Annuler"), this);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    Btn_Cancel->hide();
    layout->addWidget(info);
    layout->addWidget(bar);
    TranslateForm(this, QStringLiteral("[NewGauge]"));
    const QRect area = WorkAreaOf(this);
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

WidgetUpdateDisplay::WidgetUpdateDisplay(Prompts& prompts) : m_prompts(prompts)
{}

WidgetUpdateDisplay::~WidgetUpdateDisplay() = default;

void WidgetUpdateDisplay::showGauge()
{
    m_gauge = std::make_unique<TNewGauge>();
}

void WidgetUpdateDisplay::reveal()
{
    if (m_gauge && !m_gauge->isVisible())
        m_gauge->show();
}

void WidgetUpdateDisplay::setGaugeInfo(const QString& text)
{
    if (!m_gauge)
        return;
    m_gauge->info->setText(text);
    reveal();
}

void WidgetUpdateDisplay::setGauge(int position, int maximum)
{
    if (!m_gauge)
        return;
    m_gauge->bar->setMaximum(std::max(maximum, 1));
    m_gauge->bar->setValue(maximum < 1 ? 1 : std::min(position, maximum));
}

void WidgetUpdateDisplay::closeGauge()
{
    m_gauge.reset();
}

bool WidgetUpdateDisplay::askBackup(const QString& question)
{
    return m_prompts.askYesNo(question, Prompts::Icon::Question);
}

void WidgetUpdateDisplay::processEvents()
{
    reveal();
    LetWindowsRepaint();
}

} // namespace tilvo
