// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/WidgetStartupWindows.h"

#include "app/ui/TMdacMsg.h"
#include "app/ui/TSplash.h"
#include "common/DateHelpers.h"
#include "common/LetWindowsRepaint.h"
#include "common/ui/Chrome.h"
#include "db/TDataModule1.h"
#include "env/Environment.h"
#include "main/ui/AccountPictureCommands.h"
#include "main/ui/TMainForm.h"
#include "publish/TDataModuleReport.h"

#include <QApplication>

namespace tilvo {

WidgetStartupWindows::WidgetStartupWindows(Prompts& prompts, const Clock& clock,
                                           std::function<bool(const QUrl&)> openUrl,
                                           MaintenanceEnvironment maintenance)
    : m_prompts(prompts), m_clock(clock), m_openUrl(std::move(openUrl)),
      m_maintenance(std::move(maintenance))
{}

WidgetStartupWindows::~WidgetStartupWindows() = default;

WaitDisplay& WidgetStartupWindows::transferWait()
{
    return m_wait;
}

void WidgetStartupWindows::showDataAccessNotice(const Environment& env)
{
    Chrome().standardChrome = env.ChromeStyle;
    TMdacMsg notice(env.ProgramFolder);
    notice.exec();
}

SplashDisplay& WidgetStartupWindows::createSplash(bool visible)
{
    m_splash = std::make_unique<TSplash>(CurrentYear(m_clock));
    if (visible) {
        m_splash->show();
        LetWindowsRepaint();
    }
    return *m_splash;
}

void WidgetStartupWindows::destroySplash()
{
    m_splash.reset();
}

void WidgetStartupWindows::createMainWindow(Environment& env, Settings& settings,
                                            const QString& settingsPath, TDataModule1& data)
{
    Chrome().standardChrome = env.ChromeStyle;
    m_reports = std::make_unique<TDataModuleReport>(data.ADOConnection1());
    // Deleting an account, alone or with its dossier, deletes its picture file.
    InstallPictureFileDeleter(data);
    MainFormServices services{env, settings, settingsPath, m_prompts, m_clock, data, m_openUrl, {}};
    services.reports = m_reports.get();
    services.pictures = MakeAccountPictureHooks(data, m_prompts, env, settings);
    if (m_maintenance)
        services.maintenance = m_maintenance();
    m_mainForm = std::make_unique<TMainForm>(std::move(services));
    Chrome().mainWindow = m_mainForm.get();
    m_mainForm->show();
}

void WidgetStartupWindows::runMessageLoop()
{
    QApplication::exec();
    Chrome().mainWindow = nullptr;
    m_mainForm.reset();
    m_reports.reset();
}

} // namespace tilvo
