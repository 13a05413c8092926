// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Connection.h"
#include "db/DataSet.h"
#include "env/DatabaseConfig.h"

#include <QObject>
#include <functional>

namespace tilvo {

class Prompts;

// The shared data module: the one connection and the shared datasets, from start-up to exit.
//
// Needs the database configuration and where to show the engine's refusal. Creating it runs
// OpenDatabase; connectionOk() is false when the engine refused the connection (its text has
// been shown), and the start-up then clears StartupOk. Without a database file nothing is
// opened and connectionOk() is true.
//
// Deleting the current row of MainFile first runs the dossier cascade (the dossier's accounts
// with their picture files, entries, custom captions, pick-list rows and generic values);
// deleting the current row of Account first deletes the account's picture file.
class TDataModule1 final : public QObject
{
    Q_OBJECT

public:
    TDataModule1(const DatabaseConfig& config, Prompts& prompts, QObject* parent = nullptr);
    ~TDataModule1() override;
    Q_DISABLE_COPY_MOVE(TDataModule1)

    bool connectionOk() const { return m_connectionOk; }
    const DatabaseConfig& config() const { return m_config; }

    Connection& ADOConnection1() { return m_connection; }
    DataSet& MainFile() { return m_mainFile; }
    DataSet& Account() { return m_account; }
    DataSet& Consumption() { return m_consumption; }
    DataSet& ComboItems() { return m_comboItems; }
    DataSet& Backup() { return m_backup; }
    DataSet& Query() { return m_query; }
    DataSource& DSMainFile() { return m_dsMainFile; }
    DataSource& DSAccount() { return m_dsAccount; }
    DataSource& DSConsumption() { return m_dsConsumption; }
    DataSource& DSComboItems() { return m_dsComboItems; }
    DataSource& DSBackup() { return m_dsBackup; }

    // DatabaseFolder + "Images/Account" + id + ".jpg".
    QString accountPicturePath(qint64 accountId) const;
    // How the account picture hook deletes a picture file: by default the file is removed
    // when it exists; the pictures code installs its own (wait cursor and all).
    void setPictureFileDeleter(std::function<void(const QString& path)> deleter);

    // The dossier cascade for dossier `id`, as run before its PROFILES row is deleted.
    void deleteDossierContents(qint64 id);

    // The statements the datasets start with.
    static QStringList mainFileSql();
    static QStringList accountSql();
    static QStringList consumptionSql();

private:
    void deleteAccountPicture(DataSet& account);

    DatabaseConfig m_config;
    Connection m_connection;
    DataSet m_mainFile;
    DataSet m_account;
    DataSet m_consumption;
    DataSet m_comboItems;
    DataSet m_backup;
    DataSet m_query;
    DataSource m_dsMainFile;
    DataSource m_dsAccount;
    DataSource m_dsConsumption;
    DataSource m_dsComboItems;
    DataSource m_dsBackup;
    std::function<void(const QString&)> m_deletePicture;
    bool m_connectionOk = true;
};

} // namespace tilvo
