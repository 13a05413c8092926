// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Prompts.h"

namespace tilvo {

class TerminalOutput;

// The prompts of the command line, where nobody answers: messages are printed, every question
// is answered "Non" (and printed with its answer), every dialog is cancelled.
class TerminalPrompts final : public Prompts
{
public:
    explicit TerminalPrompts(TerminalOutput& output) : m_output(output) {}

    void showMessage(const QString& text, Icon icon, const QString& caption) override;
    bool askYesNo(const QString& text, Icon icon, const QString& caption) override;
    std::optional<QString> openFileName(const QString& title, const QString& filter,
                                        const QString& folder) override;
    std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                        const QString& proposedName,
                                        const QString& defaultExtension) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;

private:
    TerminalOutput& m_output;
};

} // namespace tilvo
