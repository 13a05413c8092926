// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/AccountCodes.h"

#include <QDate>
#include <functional>

namespace tilvo {

class DataSet;
class DataSource;
class Prompts;
class TDataModule1;
class Clock;
struct MainWindowHooks;

// Runs the account dialog on the current row of `Account`, which the action has put into
// editing, and says whether it was confirmed. Confirming has posted the row
// (ConfirmAccount); the action undoes a cancelled dialog itself. `isNew` is true for an
// account the action has just created.
using AccountDialog = std::function<bool(bool isNew)>;

// The main window's account buttons. Each opens `Account` on the dossier's accounts only for
// its own work and closes it again, whatever happens. An engine error reaches the caller
// (the window's error guard) after the enabling pass has run, the database left as it was
// before the failing step.
//
//   Btn_Account_AddClick:    AddAccount(dm, CurrentDossierId, clock, dialog, hooks)
//   Btn_Account_EditClick:   EditAccount(dm, CurrentDossierId, <the list's current AccountId,
//                            -1 when the list is empty>, dialog, hooks)
//   Btn_Account_DeleteClick: DeleteAccount(dm, CurrentDossierId, <the same id>, prompts, hooks)
// where `dialog` runs TEnterAccount (TEnterAccount::Execute).

// Creates an account with the defaults (NewAccountDefaults), posts it so that it has its id,
// and runs the dialog as new. Confirmed: RebuildAccountList with the new id, which is
// returned. Cancelled: the new row is deleted again (its picture file with it) and -1 is
// returned. RefreshCommands either way.
int AddAccount(TDataModule1& dm, int dossierId, const Clock& clock, const AccountDialog& dialog,
               const MainWindowHooks& hooks);

// Runs the dialog on account `accountId` (nothing when it is -1 or gone). Confirmed:
// RefreshAccountEntry; cancelled: the changes are discarded. Then RefreshCommands,
// SelectCurrentAccount and RefreshCommands again, so that changed statistic defaults apply
// at once. Returns whether it was confirmed.
bool EditAccount(TDataModule1& dm, int dossierId, int accountId, const AccountDialog& dialog,
                 const MainWindowHooks& hooks);

// Asks "Confirmez-vous la suppression de ce compte?"; on "Oui" deletes the account's row (and
// its picture file), then its entries, together, and RebuildAccountList(-1). RefreshCommands
// in every case. Returns whether the account was deleted.
bool DeleteAccount(TDataModule1& dm, int dossierId, int accountId, Prompts& prompts,
                   const MainWindowHooks& hooks);

// The values a new account gets before the dialog opens, written into the row being inserted:
// its dossier, empty notes and free memos, no pictures, counter 0 not following the entries,
// today as creation date, monthly "Ligne 3D" of quantities, in red, colour not used.
void NewAccountDefaults(DataSet& account, int dossierId, const QDate& today);

// The codes a dialog opens with, read from the current row of `account`: each code's index
// as stored (a code outside its lines keeps its value and shows no text).
AccountCodes ReadAccountCodes(DataSet& account);

// The dialog's OK: writes the codes and the colour into the row, then posts it. An error
// (a field refusing its value, the engine) leaves the row in editing.
void ConfirmAccount(DataSource& dsAccount, DataSet& account, const AccountCodes& codes);

// The dialog's cancel: the pending changes are dropped and, for the account the action has
// just created (`newAccountId`; -1 for an edited one), its row is deleted again, which runs
// the picture hook. It is found by its id, so no other account can be deleted here.
void CancelAccount(DataSet& account, int newAccountId);

} // namespace tilvo
