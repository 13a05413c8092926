// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ui/WidgetUpdateDisplay.h"

#include "common/LetWindowsRepaint.h"
#include "common/Prompts.h"
#include "db/ui/TNewGauge.h"

#include <QLabel>
#include <QProgressBar>

namespace tilvo {

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
