// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// The wait window of long operations: a task text, a message text and a gauge.
// The program shows a small window; tests record what it was told.
class WaitDisplay
{
public:
    virtual ~WaitDisplay() = default;
    // Starts an operation of `maximum` steps at position 0; an invisible one is still
    // kept up to date, it only shows nothing.
    virtual void open(const QString& task, const QString& message, int maximum, bool visible) = 0;
    virtual void setTask(const QString& task) = 0;
    virtual void setMessage(const QString& message) = 0;
    virtual void setMaximum(int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual int position() const = 0;
    virtual void close() = 0;

    void advance() { setPosition(position() + 1); }
};

// A wait display that shows nothing, for operations run where no window exists.
class SilentWaitDisplay final : public WaitDisplay
{
public:
    void open(const QString&, const QString&, int, bool) override { m_position = 0; }
    void setTask(const QString&) override {}
    void setMessage(const QString&) override {}
    void setMaximum(int) override {}
    void setPosition(int position) override { m_position = position; }
    int position() const override { return m_position; }
    void close() override {}

private:
    int m_position = 0;
};

} // namespace tilvo
