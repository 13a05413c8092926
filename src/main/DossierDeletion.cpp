// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/DossierDeletion.h"

#include "common/Error.h"
#include "common/WaitDisplay.h"
#include "db/TDataModule1.h"

#include <QStringList>

namespace tilvo {

namespace {

// Runs one step and keeps its error instead of letting it stop the steps after it.
void Attempt(QStringList& errors, const std::function<void()>& step)
{
    try {
        step();
    } catch (const Error& e) {
        errors.append(e.text());
    } catch (const std::bad_alloc&) {
        errors.append(QStringLiteral("Mémoire insuffisante pour terminer l'opération."));
    } catch (const std::exception& e) {
        errors.append(QString::fromLocal8Bit(e.what()));
    }
}

QString LiveDatabaseFile(const TDataModule1& dataModule)
{
    const DatabaseConfig& config = dataModule.config();
    const QString file =
        config.ActiveDatabaseFile.isEmpty() ? config.OleDbFileName : config.ActiveDatabaseFile;
    return config.DatabaseFolder + file;
}

} // namespace

QString DeletionBackupPath(const TDataModule1& dataModule)
{
    return dataModule.config().DatabaseFolder + QStringLiteral("Access/DEL_BACKUP.MDB");
}

void DeleteDossier(TDataModule1& dataModule, qint64 id, const DossierDeletionWindows& windows,
                   const CompactFunction& compact)
{
    Connection& connection = dataModule.ADOConnection1();
    DataSet& consumption = dataModule.Consumption();
    DataSet& mainFile = dataModule.MainFile();
    QStringList errors;

    windows.wait.open(QStringLiteral("Sauvegarde de la base"),
                      QStringLiteral("Quelques instants, SVP ..."), 100, true);
    consumption.disableControls();
    Attempt(errors, [&] {
        windows.letWindowsRepaint();
        windows.setMainWindowEnabled(false);
        connection.close();
        compact(LiveDatabaseFile(dataModule), DeletionBackupPath(dataModule));
    });

    // Whatever became of the copy, the dossier goes and the window comes back.
    Attempt(errors, [&] {
        connection.open();
        windows.wait.setTask(QStringLiteral("Suppression du dossier"));
        windows.letWindowsRepaint();
        mainFile.open();
        if (!mainFile.locate(QStringLiteral("ID"), id)) {
            mainFile.close();
            throw Error(QStringLiteral("Ce dossier n'existe plus : il a sans doute été supprimé."));
        }
        try {
            mainFile.remove();
        } catch (...) {
            mainFile.close();
            throw;
        }
        mainFile.close();
    });
    Attempt(errors, [&] { consumption.open(); });
    consumption.enableControls();
    Attempt(errors, windows.closeDossier);
    Attempt(errors, [&] { windows.setMainWindowEnabled(true); });
    Attempt(errors, [&] { windows.wait.close(); });

    errors.removeDuplicates();
    if (!errors.isEmpty())
        throw Error(errors.join(QStringLiteral("\r\r")));
}

} // namespace tilvo
