// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TerminalPrompts.h"

#include "app/TerminalOutput.h"

namespace tilvo {

void TerminalPrompts::showMessage(const QString& text, Icon icon, const QString&)
{
    switch (icon) {
    case Icon::Error:
        m_output.message(QStringLiteral("Erreur : ") + text);
        break;
    case Icon::Warning:
        m_output.message(QStringLiteral("Attention : ") + text);
        break;
    default:
        m_output.message(text);
        break;
    }
}

bool TerminalPrompts::askYesNo(const QString& text, Icon, const QString&)
{
    m_output.message(text + QStringLiteral(" Non"));
    return false;
}

std::optional<QString> TerminalPrompts::openFileName(const QString&, const QString&, const QString&)
{
    return std::nullopt;
}

std::optional<QString> TerminalPrompts::saveFileName(const QString&, const QString&, const QString&,
                                                     const QString&)
{
    return std::nullopt;
}

std::optional<QColor> TerminalPrompts::chooseColor(const QColor&)
{
    return std::nullopt;
}

} // namespace tilvo
