// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/JetConverter.h"
#include "db/UpdateScript.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace tilvo {

class TDataModule1;
class WaitDisplay;

// The descriptions the history rows of the maintenance commands carry.
inline constexpr char kBackupDescription[] = "Sauvagarde de la base de données";
inline constexpr char kRestoreDescription[] = "Restauration de la base de données";
inline constexpr char kCompactDescription[] = "Compactage de la base de données";
inline constexpr char kImportDescription[] = "Importation d'une base de l'ancienne version";
inline constexpr char kImportBackupDescription[] = "Sauvegarde avant importation";

// What the maintenance commands need of the main window; each may be left empty (the command
// line has no window).
struct MaintenanceHooks
{
    // The main window is disabled while the database is closed, and enabled again at the end.
    std::function<void(bool enabled)> setMainWindowEnabled;
    // The restore closes the open dossier before it starts (CloseDossier).
    std::function<void()> closeDossier;
    // The enabling pass, run at the end of every command before the window is enabled.
    std::function<void()> refreshCommands;
};

// Needs: the shared data module (its connection is closed during the work and reopened
// after it, Consumption coming back open on the same row), the environment of the update
// scripts (DataFolder with its "Backup/", the database configuration, ProgramFolder,
// ProgramVersion and UpdateFileName for the script a restore runs, the clock, the gauge window
// and the picture coder of the scripts), the wait window and the main window's hooks.
struct MaintenanceContext
{
    TDataModule1& module;
    UpdateEnvironment environment;
    WaitDisplay& wait;
    MaintenanceHooks hooks;
};

// DataFolder + "Backup/TILVO_ACCESS_BACKUP_" + the date as "dd_mm_yyyy" + ".bkp".
QString ProposedBackupPath(const QString& dataFolder, const QDate& today);

// The database file the connection uses (DatabaseFolder + "Access/TILVO.MDB" by default).
QString LiveDatabaseFile(TDataModule1& module);

// The cabinet of a backup: `database` as TILVO.MDB, then the named files of the pictures
// folder, in that order; the wait window's gauge counts the pictures and its task names each
// as it is compressed. Replaces the cabinet file. Throws Error with a French text.
void WriteDatabaseCabinet(const QString& database, const QString& imagesFolder,
                          const QStringList& pictures, const QString& cabinet, WaitDisplay& wait);

// Writes the backup archive to `target` and records it in the history with the description
// (the row is written first, so that the archived database holds it; it stays after a
// failure). The live database is compacted first (CompactLiveDatabase: never under another
// name, refused while a TILVO~.MDB left by an interrupted run is there); then the cabinet
// (MSZIP, bare names, TILVO.MDB first, then every file of DatabaseFolder + "Images/" in
// listing order, nothing else) is written to DataFolder + "Backup/temp.cab" and moved to the
// target in one step. Throws Error with a French text on any failure; when the archive could
// not reach the target, temp.cab is kept and the text says so.
void SaveDatabaseArchive(const MaintenanceContext& context, const QString& target,
                         const QString& description);

// Restores the archive: closes the dossier, extracts the archive into a new private folder
// under DataFolder + "Backup/" (entry names reduced to their last part), checks the extracted
// TILVO.MDB (it opens and passes the integrity check, and holds the program's tables), then
// puts it under the live name in one step (ReplaceLiveDatabase), puts the archive's "*.jpg"
// files into DatabaseFolder + "Images/" and removes the pictures the archive does not hold.
// Other entries are moved to DataFolder + "Backup/" unless a file of that name is there (they
// then stay in a folder "Backup/Restauration du dd-mm-yyyy hh.mm.ss"). The private folders of
// restores that were interrupted are removed. A restored database of an older version is brought up
// to date by the program's update script, and the history gets its row. The archive itself is only
// read. An archive made by the earlier platform holds a Jet TILVO.MDB: it is converted
// (ConvertJetDatabase, beside the extracted files) and the converted file takes the live name;
// the result is then what the conversion brought over and left aside
// (JetConversionReport::summary), and empty otherwise. Throws Error with a French text when the
// file is no cabinet, is damaged, holds no TILVO.MDB or one this program cannot use or convert:
// the live database and pictures are then left as they were and no history row is written.
QString RestoreDatabaseArchive(const MaintenanceContext& context, const QString& archive);

// What an import of a database of the earlier platform did.
struct OldDatabaseImport
{
    JetConversionReport report;
    // Where the database replaced is kept: the safety archive, or, when the live file could not
    // be opened (a Jet file under the live name, a damaged file), that file under another name.
    QString keptIn;
};

// DataFolder + "Backup/TILVO_AVANT_IMPORT_" + the moment as "dd_mm_yyyy_hh_mm_ss" + ".bkp",
// or, when a file has that name, the same with "_2", "_3" ... before ".bkp".
QString ImportBackupPath(const QString& dataFolder, const QDateTime& now);

// Replaces the live database by the conversion of the Jet database `jetFile` (any .mdb of the
// earlier platform). The file is converted first, beside the live one (ConvertJetDatabase);
// then the live database is saved as a backup does (SaveDatabaseArchive to ImportBackupPath,
// its history row included) or, when the connection is not open, kept under the live name +
// ".jet" (a Jet file) or ".avant-import"; then the dossier is closed and the converted file
// takes the live name in one step. When a safety archive was made, the pictures of
// DatabaseFolder + "Images/" are replaced by those ("*.jpg") of the Images folder beside the Jet
// file's folder (the layout of the earlier data folders), or removed when there is none. The
// history gets its row. Throws Error with a French text; the live database and pictures are
// then as they were (a safety archive made stays).
OldDatabaseImport ImportOldDatabase(const MaintenanceContext& context, const QString& jetFile);

// The compaction command: the history row (written first; path DatabaseFolder +
// OleDbFileName), then CompactLiveDatabase on the live file with the connection closed.
// Throws Error with a French text when it fails; the live file is then as it was.
void CompactAndRepairDatabase(const MaintenanceContext& context);

} // namespace tilvo
