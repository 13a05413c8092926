// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Prompts.h"

#include <QColor>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

namespace tilvo::test {

// Records what was asked and answers from queues filled by the test.
//
// A question, file or colour dialog with no answer queued fails the running test with its text
// (the code under test then sees "Non" or a cancel, and goes on). An answer still queued when
// the prompts are destroyed fails the test too: the question it was meant for never came.
class ScriptedPrompts final : public Prompts
{
public:
    struct Shown
    {
        QString text;
        Icon icon;
        QString caption;
        bool question;
    };

    // What an open or save dialog was preset with: for an open dialog `name` is the folder.
    struct FileDialog
    {
        QString title;
        QString filter;
        QString name;
        QString defaultExtension;
    };

    ScriptedPrompts() = default;
    ScriptedPrompts(const ScriptedPrompts&) = default;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = default;
    ~ScriptedPrompts() override;

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

    QQueue<bool> yesNoAnswers;
    QQueue<std::optional<QString>> fileAnswers;
    QQueue<std::optional<QColor>> colorAnswers;
    QQueue<std::optional<PrintSetup>> printAnswers;        // print dialogs
    QQueue<std::optional<PrintTarget>> printTargetAnswers; // printing without a dialog

    QList<Shown> shown;              // messages and questions, in order
    QStringList fileRequests;        // titles of the file dialogs, in order
    QList<FileDialog> fileDialogs;   // the same dialogs in full
    QList<QColor> colorRequests;     // initial colours of the colour dialogs, in order
    QList<PrintSetup> printRequests; // how the print dialogs were preset, in order
    int printTargetRequests = 0;

    QStringList texts() const;
};

} // namespace tilvo::test
