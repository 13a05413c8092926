// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/WaitDisplay.h"

#include <QWidget>

class QLabel;

namespace tilvo {

// The gauge of the wait window: its filled part is position / maximum of 251 pixels.
class WaitGauge final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WaitGauge)

public:
    explicit WaitGauge(QWidget* parent);
    void setMaximum(int maximum);
    void setPosition(int position);
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }
    int filledWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_maximum = 100;
    int m_position = 0;
};

// `TWait`: a small borderless window centred over the main window (or the work area when there
// is none yet), with the task `Lab_Task`, the message `Lab_Msg` and the gauge.
class TWait final : public QWidget, public WaitDisplay
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TWait)

public:
    explicit TWait(QWidget* over = nullptr);

    void open(const QString& task, const QString& message, int maximum, bool visible) override;
    void setTask(const QString& task) override;
    void setMessage(const QString& message) override;
    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    int position() const override;
    void close() override;

    QLabel* Lab_Task;
    QLabel* Lab_Msg;
    WaitGauge* Gauge;

private:
    void repaintNow();
    QWidget* m_over;
};

} // namespace tilvo
