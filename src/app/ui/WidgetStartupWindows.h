// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Startup.h"
#include "common/ui/WaitWindow.h"
#include "db/UpdateScript.h"

#include <QUrl>
#include <functional>
#include <memory>

namespace tilvo {

class TDataModuleReport;
class TMainForm;
class TSplash;

// What the database menu's commands run with, asked when the main window is made (the
// database configuration is known by then).
using MaintenanceEnvironment = std::function<UpdateEnvironment()>;

// The start-up's real windows: the transfer's wait window, the data-access notice, the splash
// and the main window with the report data module it prints through, and the toolkit's
// message loop.
class WidgetStartupWindows final : public StartupWindows
{
public:
    WidgetStartupWindows(Prompts& prompts, const Clock& clock,
                         std::function<bool(const QUrl&)> openUrl,
                         MaintenanceEnvironment maintenance = {});
    ~WidgetStartupWindows() override;

    WaitDisplay& transferWait() override;
    void showDataAccessNotice(const Environment& env) override;
    SplashDisplay& createSplash(bool visible) override;
    void destroySplash() override;
    void createMainWindow(Environment& env, Settings& settings, const QString& settingsPath,
                          TDataModule1& data) override;
    void runMessageLoop() override;

    TMainForm* mainForm() const { return m_mainForm.get(); }

private:
    Prompts& m_prompts;
    const Clock& m_clock;
    std::function<bool(const QUrl&)> m_openUrl;
    MaintenanceEnvironment m_maintenance;
    TWait m_wait;
    std::unique_ptr<TSplash> m_splash;
    // The report module goes after the window that uses it and before the shared connection.
    std::unique_ptr<TDataModuleReport> m_reports;
    std::unique_ptr<TMainForm> m_mainForm;
};

} // namespace tilvo
