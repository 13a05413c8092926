// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/Platform.h"

#include "common/FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <sqlite3.h>
#include <sys/utsname.h>

namespace tilvo {

int RunningKernelMajorVersion()
{
    utsname name{};
    if (uname(&name) != 0)
        return 0;
    return QString::fromLatin1(name.release).section(u'.', 0, 0).toInt();
}

bool IsOnRemovableDrive(const QString& path)
{
    const QStorageInfo storage(path);
    if (!storage.isValid())
        return false;
    const QString root = WithTrailingBackslash(storage.rootPath());
    if (root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/run/media/")))
        return true;
    // /dev/sdb1 → /sys/class/block/sdb1, whose parent device carries the flag.
    const QString device = QFileInfo(QString::fromLocal8Bit(storage.device())).fileName();
    if (device.isEmpty())
        return false;
    QString sysPath = QFileInfo(QStringLiteral("/sys/class/block/") + device).canonicalFilePath();
    for (int depth = 0; depth < 2 && !sysPath.isEmpty(); ++depth) {
        QFile flag(sysPath + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
        sysPath = QFileInfo(sysPath).path();
    }
    return false;
}

Platform SystemPlatform()
{
    Platform platform;
    platform.kernelMajorVersion = RunningKernelMajorVersion;
    platform.isOnRemovableDrive = IsOnRemovableDrive;
    platform.documentsFolder = [] { return SpecialFolder(SpecialFolderKind::Documents); };
    platform.programsFolder = [] { return SpecialFolder(SpecialFolderKind::Programs); };
    platform.dataAccessVersion = [] { return QString::fromLatin1(sqlite3_libversion()); };
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty() || !QFileInfo(runtime).isDir())
        runtime = QDir::tempPath();
    platform.instanceLockFolder = WithTrailingBackslash(runtime);
    return platform;
}

} // namespace tilvo
