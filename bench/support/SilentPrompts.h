// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Prompts.h"

#include <cstdio>

namespace tilvo::bench {

// Nobody answers during a benchmark: messages go to the error output, questions get "Non".
class SilentPrompts final : public Prompts
{
public:
    void showMessage(const QString& text, Icon, const QString&) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, Icon, const QString&) override { return false; }
    std::optional<QString> openFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&,
                                        const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
};

} // namespace tilvo::bench
