// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Compaction.h"

#include <QString>
#include <functional>

namespace tilvo {

class TDataModule1;
class WaitDisplay;

// What the deletion of a dossier asks of the windows around it.
struct DossierDeletionWindows
{
    WaitDisplay& wait; // opened shown, closed at the end
    std::function<void(bool enabled)> setMainWindowEnabled;
    std::function<void()> letWindowsRepaint;
    // Closes the dossier in the main window (CloseDossier).
    std::function<void()> closeDossier;
};

// The safety copy taken before a dossier is deleted: "Access/DEL_BACKUP.MDB" beside the
// database, replaced by each deletion.
QString DeletionBackupPath(const TDataModule1& dataModule);

// Deletes dossier `id` with everything that belongs to it. First a compacted copy of the whole
// database is written to DeletionBackupPath, the connection closed around it; then, whatever
// became of the copy, the connection is opened again, the dossier's row is deleted through
// MainFile (which runs the dossier cascade), `Consumption` is opened again, the dossier is
// closed in the main window, the main window is enabled and the wait window closed. Every step
// of that second part runs even when an earlier one failed.
//
// Throws Error afterwards when anything failed, the copy's error first: a failed copy still
// deletes the dossier. A dossier that no longer exists is reported, and no other row is
// deleted in its place.
void DeleteDossier(TDataModule1& dataModule, qint64 id, const DossierDeletionWindows& windows,
                   const CompactFunction& compact = CompactDatabaseFile);

} // namespace tilvo
