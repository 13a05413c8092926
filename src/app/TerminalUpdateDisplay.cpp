// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TerminalUpdateDisplay.h"

#include "app/TerminalOutput.h"

namespace tilvo {

void TerminalUpdateDisplay::showGauge()
{
    m_info.clear();
    m_position = 0;
    m_maximum = 0;
}

void TerminalUpdateDisplay::setGaugeInfo(const QString& text)
{
    m_info = text;
    m_output.progress(m_info, m_position, m_maximum);
}

void TerminalUpdateDisplay::setGauge(int position, int maximum)
{
    m_position = position;
    m_maximum = maximum;
    m_output.progress(m_info, m_position, m_maximum);
}

void TerminalUpdateDisplay::closeGauge()
{
    m_output.endProgress();
}

bool TerminalUpdateDisplay::askBackup(const QString& question)
{
    m_output.message(question + QStringLiteral(" Oui (copie dans Backup/Maj/)"));
    return true;
}

} // namespace tilvo
