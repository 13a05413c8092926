// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLineWindows.h"

#include "app/TerminalOutput.h"
#include "env/Environment.h"

namespace tilvo {

void CommandLineWindows::showDataAccessNotice(const Environment& env)
{
    m_output.message(QStringLiteral("Attention : la bibliothèque d'accès aux données est absente "
                                    "ou trop ancienne (voir %1).")
                         .arg(env.ProgramFolder + QStringLiteral("html/mdac.htm")));
}

SplashDisplay& CommandLineWindows::createSplash(bool)
{
    m_info.clear();
    m_position = 0;
    return *this;
}

void CommandLineWindows::destroySplash()
{
    m_output.endProgress();
}

void CommandLineWindows::setGauge(int, int position)
{
    m_position = position;
}

void CommandLineWindows::setInfo(const QString& text)
{
    m_info = text;
    m_output.progress(text);
}

} // namespace tilvo
