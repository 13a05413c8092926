// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <optional>

namespace tilvo {

// Everything that waits for a person: message boxes, file and colour dialogs.
// The program hands in the one that shows windows; tests hand in a scripted one.
class Prompts
{
public:
    enum class Icon
    {
        None,
        Information,
        Warning,
        Error,
        Question
    };

    virtual ~Prompts() = default;

    // A message box with an "OK" button. Line breaks in the text are carriage returns.
    virtual void showMessage(const QString& text, Icon icon,
                             const QString& caption = QString()) = 0;
    // A message box with "Oui" and "Non"; true only for "Oui".
    virtual bool askYesNo(const QString& text, Icon icon = Icon::Question,
                          const QString& caption = QString()) = 0;
    // Open and save dialogs; nothing when the person cancels. The filter is "Title|*.ext".
    virtual std::optional<QString> openFileName(const QString& title, const QString& filter,
                                                const QString& folder) = 0;
    virtual std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                                const QString& proposedName,
                                                const QString& defaultExtension) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
};

} // namespace tilvo
