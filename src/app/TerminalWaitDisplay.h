// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/WaitDisplay.h"

namespace tilvo {

class TerminalOutput;

// The wait window of long operations as the command line's progress line: the task text
// and the gauge.
class TerminalWaitDisplay final : public WaitDisplay
{
public:
    explicit TerminalWaitDisplay(TerminalOutput& output) : m_output(output) {}

    void open(const QString& task, const QString& message, int maximum, bool visible) override;
    void setTask(const QString& task) override;
    void setMessage(const QString& message) override;
    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    int position() const override { return m_position; }
    void close() override;

private:
    void draw();

    TerminalOutput& m_output;
    QString m_task;
    int m_maximum = 0;
    int m_position = 0;
    bool m_visible = false;
};

} // namespace tilvo
