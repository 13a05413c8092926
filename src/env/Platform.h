// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace tilvo {

// What the start-up reads of the system. The program uses SystemPlatform(); tests build
// their own with fixed answers.
struct Platform
{
    std::function<int()> kernelMajorVersion;
    std::function<bool(const QString& path)> isOnRemovableDrive;
    std::function<QString()> documentsFolder;   // with a final "/"
    std::function<QString()> programsFolder;    // with a final "/"
    std::function<QString()> dataAccessVersion; // the database library's version text
    QString instanceLockFolder;                 // where the single-instance lock lives
};

Platform SystemPlatform();

// The major version of the running kernel, from uname; 0 when it cannot be read.
int RunningKernelMajorVersion();
// Whether the path lies on a drive the system flags as removable: mounted under /media or
// /run/media, or a block device whose "removable" flag is set in /sys.
bool IsOnRemovableDrive(const QString& path);

} // namespace tilvo
