// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TerminalWaitDisplay.h"

#include "app/TerminalOutput.h"

namespace tilvo {

void TerminalWaitDisplay::open(const QString& task, const QString&, int maximum, bool visible)
{
    m_task = task;
    m_maximum = maximum;
    m_position = 0;
    m_visible = visible;
    draw();
}

void TerminalWaitDisplay::setTask(const QString& task)
{
    m_task = task;
    draw();
}

void TerminalWaitDisplay::setMessage(const QString&)
{}

void TerminalWaitDisplay::setMaximum(int maximum)
{
    m_maximum = maximum;
    draw();
}

void TerminalWaitDisplay::setPosition(int position)
{
    m_position = position;
    draw();
}

void TerminalWaitDisplay::close()
{
    if (m_visible)
        m_output.endProgress();
    m_visible = false;
}

void TerminalWaitDisplay::draw()
{
    if (m_visible)
        m_output.progress(m_task, m_position, m_maximum > 1 ? m_maximum : 0);
}

} // namespace tilvo
