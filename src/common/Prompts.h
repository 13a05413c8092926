// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <optional>

namespace tilvo {

// Everything that waits for a person: message boxes, file, colour and print dialogs.
// The program hands in the one that shows windows; tests hand in a scripted one.
class Prompts
{
public:
    // Where printed pages go: a printer of the system by its name, or a PDF file.
    struct PrintTarget
    {
        QString printerName;
        QString pdfFile; // when not empty, the pages go to this file instead
    };

    // What the print dialog is preset with, and what the person chose in it. Pages count from 1.
    struct PrintSetup
    {
        int minPage = 1;
        int maxPage = 1;
        int fromPage = 1;
        int toPage = 1;
        int copies = 1;
        bool currentPageOnly = false;   // the person chose the selection (the page shown);
                                        // preset: the selection is chosen when the dialog opens
        bool currentPageOffered = true; // the selection can be chosen at all
        PrintTarget target;
    };

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

    // The print dialog, preset from `setup`; nothing when the person cancels. A system without
    // printers offers a PDF file instead. Prompts that cannot print answer nothing.
    virtual std::optional<PrintSetup> choosePrint(const PrintSetup&) { return std::nullopt; }
    // Printing without a dialog: the system's default printer; without any printer the person
    // names a PDF file. Nothing when there is nowhere to print.
    virtual std::optional<PrintTarget> defaultPrintTarget() { return std::nullopt; }
};

} // namespace tilvo
