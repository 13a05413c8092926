// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/SplashDisplay.h"
#include "app/Startup.h"
#include "app/TerminalWaitDisplay.h"

namespace tilvo {

class TerminalOutput;

// The start-up's windows on the command line: the transfer's wait window and the splash's
// status text become the progress line; the data-access notice a message.
class CommandLineWindows final : public PreparationWindows, private SplashDisplay
{
public:
    explicit CommandLineWindows(TerminalOutput& output) : m_output(output), m_wait(output) {}

    WaitDisplay& transferWait() override { return m_wait; }
    void showDataAccessNotice(const Environment& env) override;
    SplashDisplay& createSplash(bool visible) override;
    void destroySplash() override;

private:
    void setGauge(int maximum, int position) override;
    void setInfo(const QString& text) override;
    QString info() const override { return m_info; }
    int gaugePosition() const override { return m_position; }

    TerminalOutput& m_output;
    TerminalWaitDisplay m_wait;
    QString m_info;
    int m_position = 0;
};

} // namespace tilvo
