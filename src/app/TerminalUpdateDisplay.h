// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/UpdateScript.h"

namespace tilvo {

class TerminalOutput;

// An update run on the command line: the gauge window as the progress line. Nobody is there
// to answer the backup question, so the safer answer is taken: a copy of the database is made
// before the update (Backup/Maj/), and said so.
class TerminalUpdateDisplay final : public UpdateDisplay
{
public:
    explicit TerminalUpdateDisplay(TerminalOutput& output) : m_output(output) {}

    void showGauge() override;
    void setGaugeInfo(const QString& text) override;
    void setGauge(int position, int maximum) override;
    void closeGauge() override;
    bool askBackup(const QString& question) override;
    void processEvents() override {}

private:
    TerminalOutput& m_output;
    QString m_info;
    int m_position = 0;
    int m_maximum = 0;
};

} // namespace tilvo
