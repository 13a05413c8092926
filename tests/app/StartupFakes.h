// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/SplashDisplay.h"
#include "app/Startup.h"
#include "env/Environment.h"
#include "env/Platform.h"
#include "support/RecordingWaitDisplay.h"

#include <QList>
#include <QStringList>

namespace tilvo::test {

// A system with fixed answers: a recent kernel, no removable drive, the given documents and
// lock folders, and the given database library version.
inline Platform FixedPlatform(const QString& documents, const QString& lockFolder, int kernel = 6,
                              const QString& dataAccessVersion = QStringLiteral("3.40.1"))
{
    Platform platform;
    platform.kernelMajorVersion = [kernel] { return kernel; };
    platform.isOnRemovableDrive = [](const QString&) { return false; };
    platform.documentsFolder = [documents] { return documents; };
    platform.programsFolder = [] { return QStringLiteral("/usr/local/"); };
    platform.dataAccessVersion = [dataAccessVersion] { return dataAccessVersion; };
    platform.instanceLockFolder = lockFolder;
    return platform;
}

// The start-up's windows, recorded instead of shown.
struct RecordingSplash final : SplashDisplay
{
    void setGauge(int maximum, int position) override
    {
        this->maximum = maximum;
        positions.append(position);
    }
    void setInfo(const QString& text) override { infos.append(text); }
    QString info() const override { return infos.isEmpty() ? QString() : infos.last(); }
    int gaugePosition() const override { return positions.isEmpty() ? 0 : positions.last(); }
    int maximum = 0;
    QList<int> positions;
    QStringList infos;
};

struct RecordingWindows final : StartupWindows
{
    RecordingWaitDisplay wait;
    RecordingSplash splash;
    bool splashVisible = false;
    bool splashCreated = false;
    bool splashAlive = false; // created and not yet destroyed
    bool notice = false;
    bool mainWindow = false;
    bool loop = false;
    QString settingsPath;
    bool chromeStyle = false;

    WaitDisplay& transferWait() override { return wait; }
    void showDataAccessNotice(const Environment&) override { notice = true; }
    SplashDisplay& createSplash(bool visible) override
    {
        splashCreated = true;
        splashAlive = true;
        splashVisible = visible;
        return splash;
    }
    void destroySplash() override { splashAlive = false; }
    void createMainWindow(Environment& env, Settings&, const QString& path, TDataModule1&) override
    {
        mainWindow = true;
        settingsPath = path;
        chromeStyle = env.ChromeStyle;
    }
    void runMessageLoop() override { loop = true; }
};

} // namespace tilvo::test
