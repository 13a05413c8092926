// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/UpdateScript.h"

#include <functional>

class QWidget;

namespace tilvo {

class Prompts;
class TDataModule1;

// What the main window hands to the handlers of its menu "Outils › Base de données".
struct DatabaseMenuContext
{
    TDataModule1& module;
    Prompts& prompts;
    // DataFolder, the database configuration, ProgramFolder, ProgramVersion, UpdateFileName,
    // the clock and the picture coder; the handlers bind the gauge window themselves.
    UpdateEnvironment environment;
    // The wait window is centred over it, and it is disabled while the database is closed.
    QWidget* mainWindow = nullptr;
    std::function<void()> closeDossier;    // CloseDossier, run by the restore
    std::function<void()> refreshCommands; // RefreshCommands, run at the end of each command
};

// The handlers, one per menu entry. Each runs inside the main window's error guard: an error
// is thrown with its French text (the general error display shows it), and the success
// message is shown only when the command went through.
//
// Popup_Tools_DataBase_BackupClick: the save dialog, SaveDatabaseArchive with the wait window,
// then "Sauvegarde effectuée.".
void DatabaseBackupAction(const DatabaseMenuContext& context);
// Popup_Tools_DataBase_restoreClick: the open dialog, RestoreDatabaseArchive with the wait
// window (and the gauge window when the restored database is brought up to date), then
// "Sauvegarde restaurée.", followed by what was converted when the archive came from the
// earlier platform.
void DatabaseRestoreAction(const DatabaseMenuContext& context);
// Popup_Tools_DataBase_HistoryClick: the history window TBackupList, shown modally.
void DatabaseHistoryAction(const DatabaseMenuContext& context);
// Popup_Tools_DataBase_CompactClick: the confirmation, CompactAndRepairDatabase with the wait
// window, then "Compactage effectué.".
void DatabaseCompactAction(const DatabaseMenuContext& context);

// The entry "&Importer une base de l'ancienne version …": the open dialog for a .mdb file,
// the confirmation, ImportOldDatabase with the wait window, then what was converted and left
// aside and where the replaced database is kept.
void DatabaseImportOldAction(const DatabaseMenuContext& context);

} // namespace tilvo
