// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedPrompts.h"

#include <QTest>

namespace tilvo::test {

namespace {

// Message texts break lines with carriage returns, which would garble the test log.
QString Printable(const QString& text)
{
    QString shown = text;
    shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    return u'"' + shown + u'"';
}

void Fail(const QString& message)
{
    if (QTest::currentTestFunction())
        QTest::qFail(qPrintable(message), __FILE__, __LINE__);
    else
        qFatal("%s", qPrintable(message)); // outside any test function: nothing else would see it
}

} // namespace

ScriptedPrompts::~ScriptedPrompts()
{
    // After a failed check the test stopped early, so its answers are rightly left over.
    if (QTest::currentTestFunction() && QTest::currentTestFailed())
        return;
    for (const bool answer : std::as_const(yesNoAnswers))
        Fail(QStringLiteral("scripted answer never asked for: ") +
             (answer ? QStringLiteral("Oui") : QStringLiteral("Non")));
    for (const std::optional<QString>& answer : std::as_const(fileAnswers))
        Fail(QStringLiteral("scripted file never asked for: ") +
             (answer ? Printable(*answer) : QStringLiteral("cancel")));
    for (const std::optional<QColor>& answer : std::as_const(colorAnswers))
        Fail(QStringLiteral("scripted colour never asked for: ") +
             (answer ? answer->name() : QStringLiteral("cancel")));
    if (!printAnswers.isEmpty())
        Fail(QStringLiteral("scripted print dialog answer never asked for"));
    if (!printTargetAnswers.isEmpty())
        Fail(QStringLiteral("scripted printer never asked for"));
}

void ScriptedPrompts::showMessage(const QString& text, Icon icon, const QString& caption)
{
    shown.append({text, icon, caption, false});
}

bool ScriptedPrompts::askYesNo(const QString& text, Icon icon, const QString& caption)
{
    shown.append({text, icon, caption, true});
    if (yesNoAnswers.isEmpty()) {
        Fail(QStringLiteral("unscripted question: ") + Printable(text));
        return false;
    }
    return yesNoAnswers.dequeue();
}

std::optional<QString> ScriptedPrompts::openFileName(const QString& title, const QString& filter,
                                                     const QString& folder)
{
    fileRequests.append(title);
    fileDialogs.append({title, filter, folder, QString()});
    if (fileAnswers.isEmpty()) {
        Fail(QStringLiteral("unscripted open dialog: ") + Printable(title));
        return std::nullopt;
    }
    return fileAnswers.dequeue();
}

std::optional<QString> ScriptedPrompts::saveFileName(const QString& title, const QString& filter,
                                                     const QString& proposedName,
                                                     const QString& defaultExtension)
{
    fileRequests.append(title);
    fileDialogs.append({title, filter, proposedName, defaultExtension});
    if (fileAnswers.isEmpty()) {
        Fail(QStringLiteral("unscripted save dialog: ") + Printable(title));
        return std::nullopt;
    }
    return fileAnswers.dequeue();
}

std::optional<QColor> ScriptedPrompts::chooseColor(const QColor& initial)
{
    colorRequests.append(initial);
    if (colorAnswers.isEmpty()) {
        Fail(QStringLiteral("unscripted colour dialog, starting from ") + initial.name());
        return std::nullopt;
    }
    return colorAnswers.dequeue();
}

std::optional<Prompts::PrintSetup> ScriptedPrompts::choosePrint(const PrintSetup& setup)
{
    printRequests.append(setup);
    if (printAnswers.isEmpty()) {
        Fail(QStringLiteral("unscripted print dialog, pages %1 to %2")
                 .arg(setup.minPage)
                 .arg(setup.maxPage));
        return std::nullopt;
    }
    return printAnswers.dequeue();
}

std::optional<Prompts::PrintTarget> ScriptedPrompts::defaultPrintTarget()
{
    ++printTargetRequests;
    if (printTargetAnswers.isEmpty()) {
        Fail(QStringLiteral("unscripted printing without a dialog"));
        return std::nullopt;
    }
    return printTargetAnswers.dequeue();
}

QStringList ScriptedPrompts::texts() const
{
    QStringList result;
    for (const Shown& s : shown)
        result.append(s.text);
    return result;
}

} // namespace tilvo::test
