// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/BackupHistory.h"

#include "common/Clock.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/TDataModule1.h"

namespace tilvo {

namespace {

constexpr int kPathLength = 255;

} // namespace

void AddBackupHistory(TDataModule1& module, const QString& description, const QString& path,
                      const Clock& clock)
{
    DataSet& backup = module.Backup();
    const bool wasOpen = backup.isActive();
    if (!wasOpen)
        backup.open();
    const QDateTime now = clock.now();
    QString storedPath = path;
    if (storedPath.size() > kPathLength)
        storedPath = QStringLiteral("…") + storedPath.right(kPathLength - 1);
    try {
        backup.append();
        backup.fieldByName(QStringLiteral("DateSav")).setDate(now.date());
        backup.fieldByName(QStringLiteral("TimeSav"))
            .setText(now.time().toString(QStringLiteral("hh:mm:ss")).left(5));
        backup.fieldByName(QStringLiteral("Description")).setText(description);
        backup.fieldByName(QStringLiteral("Path")).setText(storedPath);
        backup.post();
    } catch (...) {
        if (backup.isActive())
            backup.cancel();
        if (!wasOpen)
            backup.close();
        throw;
    }
    if (!wasOpen)
        backup.close();
}

void PurgeBackupHistory(TDataModule1& module)
{
    ExecSql(module.Query(), QStringLiteral("DELETE FROM Backup"));
    DataSet& backup = module.Backup();
    if (backup.isActive()) {
        backup.disableControls();
        try {
            backup.close();
            backup.open();
        } catch (...) {
            backup.enableControls();
            throw;
        }
        backup.enableControls();
    }
}

} // namespace tilvo
