// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/UpdateScript.h"

#include <QWidget>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tilvo {

class Prompts;

// `TNewGauge`: the small stay-on-top window of an update run, with its label `info` and its bar.
class TNewGauge final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TNewGauge)

public:
    TNewGauge();

    QLabel* info;
    QProgressBar* bar;
    QPushButton* Btn_Cancel;
};

// Binds an update run to the gauge window and asks the backup question through the prompts.
// The gauge appears with the run's first progress text or repaint: the backup question, asked
// before either, never has an empty gauge beside it.
class WidgetUpdateDisplay final : public UpdateDisplay
{
public:
    explicit WidgetUpdateDisplay(Prompts& prompts);
    ~WidgetUpdateDisplay() override;

    void showGauge() override;
    void setGaugeInfo(const QString& text) override;
    void setGauge(int position, int maximum) override;
    void closeGauge() override;
    bool askBackup(const QString& question) override;
    void processEvents() override;

    TNewGauge* gauge() const { return m_gauge.get(); }

private:
    void reveal();

    Prompts& m_prompts;
    std::unique_ptr<TNewGauge> m_gauge;
};

} // namespace tilvo
