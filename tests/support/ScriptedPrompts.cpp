// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedPrompts.h"

namespace tilvo::test {

void ScriptedPrompts::showMessage(const QString& text, Icon icon, const QString& caption)
{
    shown.append({text, icon, caption, false});
}

bool ScriptedPrompts::askYesNo(const QString& text, Icon icon, const QString& caption)
{
    shown.append({text, icon, caption, true});
    if (yesNoAnswers.isEmpty()) {
        unexpected.append(text);
        return false;
    }
    return yesNoAnswers.dequeue();
}

std::optional<QString> ScriptedPrompts::openFileName(const QString& title, const QString&,
                                                     const QString&)
{
    fileRequests.append(title);
    if (fileAnswers.isEmpty()) {
        unexpected.append(title);
        return std::nullopt;
    }
    return fileAnswers.dequeue();
}

std::optional<QString> ScriptedPrompts::saveFileName(const QString& title, const QString&,
                                                     const QString&, const QString&)
{
    fileRequests.append(title);
    if (fileAnswers.isEmpty()) {
        unexpected.append(title);
        return std::nullopt;
    }
    return fileAnswers.dequeue();
}

std::optional<QColor> ScriptedPrompts::chooseColor(const QColor&)
{
    if (colorAnswers.isEmpty()) {
        unexpected.append(QStringLiteral("couleur"));
        return std::nullopt;
    }
    return colorAnswers.dequeue();
}

QStringList ScriptedPrompts::texts() const
{
    QStringList result;
    for (const Shown& s : shown)
        result.append(s.text);
    return result;
}

} // namespace tilvo::test
