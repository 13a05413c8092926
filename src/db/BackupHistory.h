// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

class Clock;
class TDataModule1;

// The history of backups, restores and compactions: the table BACKUP through the shared
// dataset Backup.

// Appends one row: today's date, the time as "hh:mm", the description and the path. Opens the
// dataset for the row and closes it again, unless it was open already (the history window),
// which then shows the row. A path longer than the column (255 characters) keeps its end,
// after "…". Errors of the engine reach the caller.
void AddBackupHistory(TDataModule1& module, const QString& description, const QString& path,
                      const Clock& clock);

// Deletes every row of the history (the archive files stay) and reopens the dataset Backup
// when it was open, its controls following it once.
void PurgeBackupHistory(TDataModule1& module);

} // namespace tilvo
