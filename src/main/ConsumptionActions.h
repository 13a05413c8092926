// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <functional>

namespace tilvo {

class Clock;
class DataSet;
class DataSource;
class Prompts;
class TDataModule1;
struct MainWindowHooks;

// Runs the entry dialog on the current row of `Consumption`, which the action has put into
// inserting or editing, and says whether it was confirmed. Confirming has posted the row
// (ConfirmEntry); the action discards a cancelled one itself.
using EntryDialog = std::function<bool()>;

// The main window's entry buttons, on the shared `Consumption` (open on the selected
// account's entries):
//   Btn_Consumption_AddClick:    AddEntry(dm, CurrentDossierId, CurrentAccountId, clock, dialog,
//                                hooks)
//   Btn_Consumption_EditClick:   EditCurrentEntry(dm, CurrentAccountId, dialog, hooks)
//                                (also the grid's double-click while that button is enabled)
//   Btn_Consumption_DeleteClick: DeleteEntry(dm, CurrentAccountId, prompts, hooks)
// where `dialog` runs TEnterConsumption (TEnterConsumption::Execute). An engine error reaches
// the caller (the window's error guard) after the enabling pass has run; an entry and its
// counter are never left half written, and Consumption shows what the database holds.

// Applies a change of quantity to an account's counter, on the scratch `query`: when the
// account's IncCount is true, Count grows by `delta` and never goes below 0; otherwise, or
// for an account that does not exist, nothing changes. The query is closed afterwards.
void AdjustCounter(DataSet& query, int accountId, double delta);

// Runs the dialog on the current row of Consumption (inserting or editing). Confirmed: the
// counter takes the difference between the new quantity and the one the row had (0 for a new
// row), in the same transaction as the dialog's post, then ComputeStatistic and
// RefreshAccountEntry. Cancelled: the row's changes are discarded. Whatever happens,
// Consumption is reopened on the same row, which shows what the database holds. Returns
// whether it was confirmed.
bool EditEntry(TDataModule1& dm, int accountId, const EntryDialog& dialog,
               const MainWindowHooks& hooks);

// Appends an entry of the account dated today with quantity and amount 0, runs EditEntry,
// then RefreshCommands. Nothing is written unless the dialog is confirmed.
bool AddEntry(TDataModule1& dm, int dossierId, int accountId, const Clock& clock,
              const EntryDialog& dialog, const MainWindowHooks& hooks);

// Runs EditEntry on the current entry, then RefreshCommands. Without entries nothing opens.
bool EditCurrentEntry(TDataModule1& dm, int accountId, const EntryDialog& dialog,
                      const MainWindowHooks& hooks);

// Asks "Confirmez-vous la suppression ?"; on "Oui" takes the entry's quantity off the counter
// and deletes the entry, together, then RefreshAccountEntry and ComputeStatistic.
// RefreshCommands in every case. Returns whether the entry was deleted.
bool DeleteEntry(TDataModule1& dm, int accountId, Prompts& prompts, const MainWindowHooks& hooks);

// The entry dialog's OK: a date text that is not a valid "dd/mm/yyyy" date makes the entry's
// date `today`; then the row is posted. An error (a quantity that is not a number, the
// engine) leaves the row as it was, still pending.
void ConfirmEntry(DataSource& dsConsumption, DataSet& consumption, const QString& dateText,
                  const QDate& today);

} // namespace tilvo
