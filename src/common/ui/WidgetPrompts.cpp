// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/WidgetPrompts.h"

#include "common/FileHelpers.h"
#include "common/ProgramInfo.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace tilvo {

namespace {

QMessageBox::Icon BoxIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Error:
        return QMessageBox::Critical;
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString Caption(const QString& caption)
{
    return caption.isEmpty() ? QString::fromUtf8(ProgramTitle) : caption;
}

// The window a box belongs to, so that it opens above it: the active window, or, while none is
// active (the start-up), a visible window kept on top, which would otherwise cover the box.
QWidget* Owner()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
            type != Qt::Popup && type != Qt::ToolTip)
            return window;
    }
    return nullptr;
}

// A box whose owner is kept on top is kept on top too: the window manager would otherwise
// stack it below its owner.
void KeepAboveOwner(QWidget& box)
{
    const QWidget* owner = box.parentWidget();
    if (owner && owner->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
}

bool SystemHasPrinters()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

} // namespace

QString DisplayText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    return shown;
}

QString DialogFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries.append(parts.at(i) + QStringLiteral(" (") +
                       QString(parts.at(i + 1)).replace(u';', u' ') + u')');
    return entries.join(QStringLiteral(";;"));
}

void WidgetPrompts::showMessage(const QString& text, Icon icon, const QString& caption)
{
    QMessageBox box(BoxIcon(icon), Caption(caption), DisplayText(text), QMessageBox::Ok, Owner());
    KeepAboveOwner(box);
    box.setTextFormat(Qt::PlainText);
    // A path or an address in the message can be copied from it.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

bool WidgetPrompts::askYesNo(const QString& text, Icon icon, const QString& caption)
{
    QMessageBox box(BoxIcon(icon), Caption(caption), DisplayText(text),
                    QMessageBox::Yes | QMessageBox::No, Owner());
    KeepAboveOwner(box);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> WidgetPrompts::openFileName(const QString& title, const QString& filter,
                                                   const QString& folder)
{
    const QString name = QFileDialog::getOpenFileName(Owner(), title, folder, DialogFilter(filter));
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> WidgetPrompts::saveFileName(const QString& title, const QString& filter,
                                                   const QString& proposedName,
                                                   const QString& defaultExtension)
{
    QFileDialog dialog(Owner(), title, QString(), DialogFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultExtension);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QColor> WidgetPrompts::chooseColor(const QColor& initial)
{
    const QColor color = QColorDialog::getColor(initial, Owner());
    if (!color.isValid())
        return std::nullopt;
    return color;
}

std::optional<Prompts::PrintSetup> WidgetPrompts::choosePrint(const PrintSetup& setup)
{
    QPrinter printer;
    // Without a printer the dialog still offers its PDF file output; start there.
    if (!SystemHasPrinters()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(SpecialFolder(SpecialFolderKind::Documents) +
                                  QStringLiteral("impression.pdf"));
    }
    printer.setCopyCount(qMax(1, setup.copies));
    QPrintDialog dialog(&printer, Owner());
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintPageRange |
                                                       QAbstractPrintDialog::PrintShowPageSize |
                                                       QAbstractPrintDialog::PrintToFile;
    if (setup.currentPageOffered)
        options |= QAbstractPrintDialog::PrintSelection | QAbstractPrintDialog::PrintCurrentPage;
    dialog.setOptions(options);
    dialog.setMinMax(setup.minPage, setup.maxPage);
    dialog.setFromTo(setup.fromPage, setup.toPage);
    if (setup.currentPageOffered && setup.currentPageOnly)
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;

    PrintSetup chosen = setup;
    chosen.copies = qMax(1, printer.copyCount());
    chosen.currentPageOnly = false;
    switch (dialog.printRange()) {
    case QAbstractPrintDialog::PageRange:
        chosen.fromPage = qMax(setup.minPage, dialog.fromPage());
        chosen.toPage = qMin(setup.maxPage, dialog.toPage());
        break;
    case QAbstractPrintDialog::Selection:
    case QAbstractPrintDialog::CurrentPage:
        chosen.currentPageOnly = true;
        break;
    case QAbstractPrintDialog::AllPages:
        chosen.fromPage = setup.minPage;
        chosen.toPage = setup.maxPage;
        break;
    }
    if (printer.outputFormat() == QPrinter::PdfFormat)
        chosen.target = {QString(), printer.outputFileName()};
    else
        chosen.target = {printer.printerName(), QString()};
    return chosen;
}

std::optional<Prompts::PrintTarget> WidgetPrompts::defaultPrintTarget()
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull())
        return PrintTarget{printer.printerName(), QString()};
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (!names.isEmpty())
        return PrintTarget{names.first(), QString()};
    const std::optional<QString> file =
        saveFileName(QStringLiteral("Aucune imprimante : enregistrer en PDF sous ..."),
                     QStringLiteral("Document PDF|*.pdf"), QStringLiteral("impression.pdf"),
                     QStringLiteral("pdf"));
    if (!file)
        return std::nullopt;
    return PrintTarget{QString(), *file};
}

} // namespace tilvo
