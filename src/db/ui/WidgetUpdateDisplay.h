// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/UpdateScript.h"

#include <memory>

namespace tilvo {

class Prompts;
class TNewGauge;

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
