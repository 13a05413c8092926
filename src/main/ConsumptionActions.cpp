// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ConsumptionActions.h"

#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "common/Prompts.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/TDataModule1.h"
#include "main/MainWindowHooks.h"

namespace tilvo {

void AdjustCounter(DataSet& query, int accountId, double delta)
{
    query.close();
    query.setSqlText(QStringLiteral("SELECT Count, IncCount FROM ACCOUNT WHERE Id=") +
                     QString::number(accountId));
    try {
        query.open();
        if (!IsEmptyDataSet(query) && query.fieldByName(QStringLiteral("IncCount")).asBoolean()) {
            const double count = query.fieldByName(QStringLiteral("Count")).asDouble() + delta;
            query.edit();
            query.fieldByName(QStringLiteral("Count")).setDouble(count < 0 ? 0 : count);
            query.post();
        }
    } catch (...) {
        query.close();
        throw;
    }
    query.close();
}

void ConfirmEntry(DataSource& dsConsumption, DataSet& consumption, const QString& dateText,
                  const QDate& today)
{
    EnsureEditing(dsConsumption, consumption);
    if (!IsValidDateText(dateText))
        consumption.fieldByName(QStringLiteral("DateAction")).setDate(today);
    PostIfEditing(dsConsumption, consumption);
}

bool EditEntry(TDataModule1& dm, int accountId, const EntryDialog& dialog,
               const MainWindowHooks& hooks)
{
    DataSet& consumption = dm.Consumption();
    bool confirmed = false;
    try {
        const double old = consumption.state() == DataSetState::Inserting
                               ? 0.0
                               : consumption.fieldByName(QStringLiteral("Quantity")).asDouble();
        {
            // The entry and the counter are written together or not at all. The dialog reads
            // nothing, so the database is not locked while it waits: only from its post on.
            Transaction transaction(dm.ADOConnection1());
            confirmed = dialog && dialog();
            if (confirmed) {
                const double now = consumption.fieldByName(QStringLiteral("Quantity")).asDouble();
                AdjustCounter(dm.Query(), accountId, now - old);
                transaction.commit();
            }
        }
        if (confirmed) {
            CallHook(hooks.ComputeStatistic);
            CallHook(hooks.RefreshAccountEntry, accountId);
        } else {
            consumption.cancel();
        }
    } catch (...) {
        try {
            consumption.cancel();
            ReopenKeepingRow(consumption);
        } catch (...) {
            // The first error is the one to show.
        }
        throw;
    }
    ReopenKeepingRow(consumption);
    return confirmed;
}

bool AddEntry(TDataModule1& dm, int dossierId, int accountId, const Clock& clock,
              const EntryDialog& dialog, const MainWindowHooks& hooks)
{
    bool confirmed = false;
    try {
        DataSet& consumption = dm.Consumption();
        if (!consumption.isActive())
            consumption.open();
        consumption.append();
        try {
            consumption.fieldByName(QStringLiteral("Id_File")).setInteger(dossierId);
            consumption.fieldByName(QStringLiteral("Id_Account")).setInteger(accountId);
            consumption.fieldByName(QStringLiteral("DateAction")).setDate(clock.today());
            consumption.fieldByName(QStringLiteral("Quantity")).setDouble(0);
            consumption.fieldByName(QStringLiteral("Price")).setDouble(0);
        } catch (...) {
            consumption.cancel();
            throw;
        }
        confirmed = EditEntry(dm, accountId, dialog, hooks);
    } catch (...) {
        RefreshCommandsAfterFailure(hooks);
        throw;
    }
    CallHook(hooks.RefreshCommands);
    return confirmed;
}

bool EditCurrentEntry(TDataModule1& dm, int accountId, const EntryDialog& dialog,
                      const MainWindowHooks& hooks)
{
    DataSet& consumption = dm.Consumption();
    bool confirmed = false;
    try {
        // Editing an empty dataset would start a new entry instead.
        if (consumption.isActive() && !IsEmptyDataSet(consumption)) {
            consumption.edit();
            confirmed = EditEntry(dm, accountId, dialog, hooks);
        }
    } catch (...) {
        RefreshCommandsAfterFailure(hooks);
        throw;
    }
    CallHook(hooks.RefreshCommands);
    return confirmed;
}

bool DeleteEntry(TDataModule1& dm, int accountId, Prompts& prompts, const MainWindowHooks& hooks)
{
    DataSet& consumption = dm.Consumption();
    bool deleted = false;
    try {
        if (prompts.askYesNo(QStringLiteral("Confirmez-vous la suppression ?"),
                             Prompts::Icon::Question) &&
            consumption.isActive() && !IsEmptyDataSet(consumption)) {
            consumption.cancel();
            const double quantity = consumption.fieldByName(QStringLiteral("Quantity")).asDouble();
            try {
                // The counter and the entry change together or not at all.
                Transaction transaction(dm.ADOConnection1());
                AdjustCounter(dm.Query(), accountId, -quantity);
                consumption.remove();
                transaction.commit();
            } catch (...) {
                try {
                    ReopenKeepingRow(consumption); // shows what the database kept
                } catch (...) {
                    // The first error is the one to show.
                }
                throw;
            }
            deleted = true;
            CallHook(hooks.RefreshAccountEntry, accountId);
            CallHook(hooks.ComputeStatistic);
        }
    } catch (...) {
        RefreshCommandsAfterFailure(hooks);
        throw;
    }
    CallHook(hooks.RefreshCommands);
    return deleted;
}

} // namespace tilvo
