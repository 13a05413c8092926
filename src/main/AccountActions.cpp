// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/AccountActions.h"

#include "common/Clock.h"
#include "common/Prompts.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/TDataModule1.h"
#include "main/MainWindowHooks.h"

namespace tilvo {

namespace {

// Closes a dataset however the work on it ends; closing drops a pending edit.
class ClosingDataSet
{
public:
    explicit ClosingDataSet(DataSet& set) : m_set(set) {}
    ~ClosingDataSet() { m_set.close(); }
    Q_DISABLE_COPY_MOVE(ClosingDataSet)

private:
    DataSet& m_set;
};

// Account on the dossier's accounts, as opening the dossier leaves it.
void OpenDossierAccounts(DataSet& account, int dossierId)
{
    account.close();
    ReplaceWhereLine(account, QStringLiteral("WHERE Id_File=") + QString::number(dossierId));
    account.open();
}

} // namespace

void NewAccountDefaults(DataSet& account, int dossierId, const QDate& today)
{
    account.fieldByName(QStringLiteral("Id_File")).setInteger(dossierId);
    // Empty texts, not nulls.
    for (const char* memo : {"Remark1", "Remark2", "Misc11", "Misc12"})
        account.fieldByName(QLatin1String(memo)).setText(QStringLiteral(""));
    for (const char* picture :
         {"ImgMini1", "ImgMini2", "ImgMini3", "ImgMini4", "Img1", "Img2", "Img3", "Img4"})
        account.fieldByName(QLatin1String(picture)).clear();
    account.fieldByName(QStringLiteral("Count")).setDouble(0);
    account.fieldByName(QStringLiteral("IncCount")).setBoolean(false);
    account.fieldByName(QStringLiteral("CreateDate")).setDate(today);
    account.fieldByName(QStringLiteral("PeriodType")).setInteger(0);
    account.fieldByName(QStringLiteral("StatType")).setInteger(1);
    account.fieldByName(QStringLiteral("ValueType")).setInteger(0);
    account.fieldByName(QStringLiteral("Color")).setInteger(255);
    account.fieldByName(QStringLiteral("SetColor")).setBoolean(false);
    account.fieldByName(QStringLiteral("AllColor")).setBoolean(false);
}

AccountCodes ReadAccountCodes(DataSet& account)
{
    AccountCodes codes;
    codes.periodTypeIndex = int(account.fieldByName(QStringLiteral("PeriodType")).asInteger());
    codes.statTypeIndex = int(account.fieldByName(QStringLiteral("StatType")).asInteger()) - 1;
    codes.valueTypeIndex = int(account.fieldByName(QStringLiteral("ValueType")).asInteger());
    codes.color = account.fieldByName(QStringLiteral("Color")).asInteger();
    return codes;
}

void ConfirmAccount(DataSource& dsAccount, DataSet& account, const AccountCodes& codes)
{
    EnsureEditing(dsAccount, account);
    account.fieldByName(QStringLiteral("PeriodType")).setInteger(codes.periodTypeIndex);
    account.fieldByName(QStringLiteral("StatType")).setInteger(codes.statTypeIndex + 1);
    account.fieldByName(QStringLiteral("ValueType")).setInteger(codes.valueTypeIndex);
    account.fieldByName(QStringLiteral("Color")).setInteger(codes.color);
    PostIfEditing(dsAccount, account);
}

void CancelAccount(DataSet& account, int newAccountId)
{
    if (!account.isActive())
        return;
    account.cancel();
    // Found again by its id: only the account the action created is ever deleted here.
    if (newAccountId >= 0 && account.locate(QStringLiteral("Id"), newAccountId))
        account.remove();
}

int AddAccount(TDataModule1& dm, int dossierId, const Clock& clock, const AccountDialog& dialog,
               const MainWindowHooks& hooks)
{
    DataSet& account = dm.Account();
    int created = -1;
    try {
        ClosingDataSet closing(account);
        OpenDossierAccounts(account, dossierId);
        account.append();
        NewAccountDefaults(account, dossierId, clock.today());
        account.post();
        const int id = int(account.fieldByName(QStringLiteral("Id")).asInteger());
        bool confirmed = false;
        try {
            account.edit();
            confirmed = dialog && dialog(true);
        } catch (...) {
            try {
                CancelAccount(account, id);
            } catch (...) {
                // The first error is the one to show.
            }
            throw;
        }
        if (confirmed) {
            created = id;
            CallHook(hooks.RebuildAccountList, id);
        } else {
            CancelAccount(account, id);
        }
    } catch (...) {
        RefreshCommandsAfterFailure(hooks);
        throw;
    }
    CallHook(hooks.RefreshCommands);
    return created;
}

bool EditAccount(TDataModule1& dm, int dossierId, int accountId, const AccountDialog& dialog,
                 const MainWindowHooks& hooks)
{
    if (accountId == -1)
        return false;
    DataSet& account = dm.Account();
    bool confirmed = false;
    try {
        ClosingDataSet closing(account);
        OpenDossierAccounts(account, dossierId);
        if (!account.locate(QStringLiteral("Id"), accountId))
            return false;
        account.edit();
        confirmed = dialog && dialog(false);
        if (confirmed)
            CallHook(hooks.RefreshAccountEntry, accountId);
        else
            CancelAccount(account, -1);
    } catch (...) {
        RefreshCommandsAfterFailure(hooks);
        throw;
    }
    CallHook(hooks.RefreshCommands);
    CallHook(hooks.SelectCurrentAccount);
    CallHook(hooks.RefreshCommands);
    return confirmed;
}

bool DeleteAccount(TDataModule1& dm, int dossierId, int accountId, Prompts& prompts,
                   const MainWindowHooks& hooks)
{
    bool deleted = false;
    try {
        if (prompts.askYesNo(QStringLiteral("Confirmez-vous la suppression de ce compte?"),
                             Prompts::Icon::Question)) {
            DataSet& account = dm.Account();
            ClosingDataSet closing(account);
            OpenDossierAccounts(account, dossierId);
            if (accountId != -1 && account.locate(QStringLiteral("Id"), accountId)) {
                // The row and its entries go together or not at all.
                Transaction transaction(dm.ADOConnection1());
                account.remove();
                ExecSql(dm.Query(),
                        QStringLiteral("DELETE FROM CONSUMPTION WHERE CONSUMPTION.Id_Account=") +
                            QString::number(accountId));
                transaction.commit();
                deleted = true;
            }
        }
        if (deleted)
            CallHook(hooks.RebuildAccountList, -1);
    } catch (...) {
        RefreshCommandsAfterFailure(hooks);
        throw;
    }
    CallHook(hooks.RefreshCommands);
    return deleted;
}

} // namespace tilvo
