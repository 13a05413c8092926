// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Prompts.h"

class QWidget;

namespace tilvo {

// Message boxes and dialogs shown to the person, over the active window.
class WidgetPrompts final : public Prompts
{
public:
    void showMessage(const QString& text, Icon icon, const QString& caption) override;
    bool askYesNo(const QString& text, Icon icon, const QString& caption) override;
    std::optional<QString> openFileName(const QString& title, const QString& filter,
                                        const QString& folder) override;
    std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                        const QString& proposedName,
                                        const QString& defaultExtension) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<PrintSetup> choosePrint(const PrintSetup& setup) override;
    std::optional<PrintTarget> defaultPrintTarget() override;
};

// Texts keep single carriage returns as line breaks; the toolkit breaks lines at "\n".
QString DisplayText(const QString& text);
// "Image Jpeg|*.jpg" becomes the toolkit's "Image Jpeg (*.jpg)".
QString DialogFilter(const QString& filter);

} // namespace tilvo
