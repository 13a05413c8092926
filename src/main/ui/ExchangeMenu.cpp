// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/ExchangeMenu.h"

#include "common/DateHelpers.h"
#include "common/Prompts.h"
#include "common/TextHelpers.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/WaitWindow.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/StreamedRow.h"
#include "db/TDataModule1.h"
#include "main/CsvExchange.h"
#include "main/ui/TExportEntries.h"
#include "main/ui/TImportEntries.h"
#include "stats/ui/TEnterPeriod.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>

namespace tilvo {

namespace {

const QString kFilter = QStringLiteral("Fichiers CSV (tableur)|*.csv");

// The first text the statement reads, empty when it reads no row.
QString FirstText(DataSet& query, const QString& select)
{
    QString text;
    query.setSqlText(select);
    StreamRows(query, [&text](const StreamedRow& row) {
        text = row.text(0);
        return false;
    });
    query.close();
    return text;
}

// The account's first and last entry dates.
std::pair<QDate, QDate> EntryBounds(DataSet& query, int accountId)
{
    std::pair<QDate, QDate> bounds;
    query.setSqlText(
        QStringLiteral("SELECT MIN(DateAction), MAX(DateAction) FROM CONSUMPTION WHERE "
                       "Id_Account=") +
        QString::number(accountId));
    StreamRows(query, [&bounds](const StreamedRow& row) {
        bounds = {row.date(0), row.date(1)};
        return false;
    });
    query.close();
    return bounds;
}

} // namespace

bool ExportEntriesAction(const ExchangeContext& context)
{
    if (context.dossierId < 0)
        return false;
    DataSet& query = context.dm.Query();
    const bool accountSelected = context.accountId >= 0;
    const QString accountTitle =
        accountSelected ? FirstText(query, QStringLiteral("SELECT Title FROM ACCOUNT WHERE Id=") +
                                               QString::number(context.accountId))
                        : QString();
    TExportEntries choice(accountTitle, accountSelected, context.parent);
    if (choice.exec() != QDialog::Accepted)
        return false;

    ExportSelection selection;
    QString proposed;
    if (choice.scope() == TExportEntries::Scope::Dossier) {
        selection.dossierId = context.dossierId;
        proposed = FirstText(query, QStringLiteral("SELECT LoginName FROM PROFILES WHERE ID=") +
                                        QString::number(context.dossierId));
    } else {
        selection.accountId = context.accountId;
        proposed = accountTitle;
    }
    if (choice.scope() == TExportEntries::Scope::AccountPeriod) {
        const auto [first, last] = EntryBounds(query, context.accountId);
        TEnterPeriod period(context.clock, context.parent);
        period.Ed_Begin_Date->setText(FormatDateText(first));
        period.Ed_End_Date->setText(FormatDateText(last));
        if (period.exec() != QDialog::Accepted)
            return false;
        selection.from = ParseDateText(period.Ed_Begin_Date->text());
        selection.to = ParseDateText(period.Ed_End_Date->text());
        if (!selection.from.isValid() || !selection.to.isValid())
            return false;
    }
    if (proposed.trimmed().isEmpty())
        proposed = QStringLiteral("Consommations");
    const std::optional<QString> file = context.prompts.saveFileName(
        QStringLiteral("Exporter les consommations"), kFilter,
        context.exportFolder + FileNameSafe(proposed.trimmed()) + QStringLiteral(".csv"),
        QStringLiteral("csv"));
    if (!file || file->isEmpty())
        return false;

    ExportResult result;
    {
        TWait wait(context.parent);
        wait.open(QStringLiteral("Exportation des consommations"),
                  QStringLiteral("Quelques instants, SVP ..."), 1000, true);
        try {
            result = ExportEntries(query, *file, selection, [&wait](qint64 done, qint64 total) {
                wait.setPosition(int(done * 1000 / std::max<qint64>(total, 1)));
                return true;
            });
        } catch (...) {
            wait.close();
            throw;
        }
        wait.close();
    }
    context.prompts.showMessage(QStringLiteral("%1 consommation(s) exportée(s) dans « %2 ».")
                                    .arg(result.entries)
                                    .arg(*file),
                                Prompts::Icon::Information);
    return true;
}

bool ImportEntriesAction(const ExchangeContext& context)
{
    if (context.accountId < 0)
        return false;
    const std::optional<QString> file = context.prompts.openFileName(
        QStringLiteral("Importer des consommations"), kFilter, context.exportFolder);
    if (!file || file->isEmpty())
        return false;
    const CsvGuess guess = GuessCsvFormat(*file);
    TImportEntries dialog(context.dm.Query(), context.accountId, *file, guess, context.prompts,
                          context.parent);
    if (dialog.exec() != QDialog::Accepted || dialog.report().imported == 0)
        return false;
    const qint64 imported = dialog.report().imported;
    try {
        // The entries show what was added, on the latest one as after selecting the account.
        DataSet& consumption = context.dm.Consumption();
        if (consumption.isActive()) {
            ReopenKeepingRow(consumption);
            consumption.last();
        }
        CallHook(context.hooks.ComputeStatistic);
        CallHook(context.hooks.RefreshAccountEntry, context.accountId);
    } catch (...) {
        RefreshCommandsAfterFailure(context.hooks);
        throw;
    }
    CallHook(context.hooks.RefreshCommands);
    context.prompts.showMessage(QStringLiteral("%1 consommation(s) importée(s).").arg(imported),
                                Prompts::Icon::Information);
    return true;
}

QMenu* AddExchangeMenu(QMenu* tools, std::function<ExchangeContext()> context)
{
    QMenu* menu = tools->addMenu(QStringLiteral("&Echanges"));
    menu->setObjectName(QStringLiteral("Popup_Tools_Exchange"));
    QAction* exportEntries = menu->addAction(QStringLiteral("&Exporter les consommations …"));
    exportEntries->setObjectName(QStringLiteral("Popup_Tools_Exchange_Export"));
    QAction* importEntries = menu->addAction(QStringLiteral("&Importer des consommations …"));
    importEntries->setObjectName(QStringLiteral("Popup_Tools_Exchange_Import"));
    QObject::connect(menu, &QMenu::aboutToShow, menu, [=] {
        const ExchangeContext now = context();
        exportEntries->setEnabled(now.dossierId >= 0);
        importEntries->setEnabled(now.accountId >= 0);
    });
    QObject::connect(exportEntries, &QAction::triggered, menu, [context] {
        const ExchangeContext now = context();
        RunGuarded(now.prompts, [&now] { ExportEntriesAction(now); });
    });
    QObject::connect(importEntries, &QAction::triggered, menu, [context] {
        const ExchangeContext now = context();
        RunGuarded(now.prompts, [&now] { ImportEntriesAction(now); });
    });
    return menu;
}

} // namespace tilvo
