// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/WaitDisplay.h"

#include <QStringList>

namespace tilvo::test {

// Keeps every text the wait window was given, and whether it was visible.
class RecordingWaitDisplay final : public WaitDisplay
{
public:
    void open(const QString& task, const QString& message, int maximum, bool visible) override
    {
        tasks.append(task);
        messages.append(message);
        this->maximum = maximum;
        this->visible = visible;
        opened = true;
        m_position = 0;
    }
    void setTask(const QString& task) override { tasks.append(task); }
    void setMessage(const QString& message) override { messages.append(message); }
    void setMaximum(int maximum) override { this->maximum = maximum; }
    void setPosition(int position) override { m_position = position; }
    int position() const override { return m_position; }
    void close() override { closed = true; }

    QStringList tasks;
    QStringList messages;
    int maximum = 0;
    bool visible = false;
    bool opened = false;
    bool closed = false;

private:
    int m_position = 0;
};

} // namespace tilvo::test
