// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/WidgetStartupWindows.h"

#include "app/ui/TMdacMsg.h"
#include "app/ui/TSplash.h"
#include "common/DateHelpers.h"
#include "common/LetWindowsRepaint.h"
#include "common/ui/Chrome.h"
#include "env/Environment.h"
#include "main/ui/AccountPictureCommands.h"
#include "main/ui/TMainForm.h"

#include <QApplication>

namespace tilvo {

WidgetStartupWindows::WidgetStartupWindows(Prompts& prompts, const Clock& clock,
                                           std::function<bool(const QUrl&)> openUrl)
    : m_prompts(prompts), m_clock(clock), m_openUrl(std::move(openUrl))
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
    // Deleting an account, alone or with its dossier, deletes its picture file.
    InstallPictureFileDeleter(data);
    m_mainForm = std::make_unique<TMainForm>(
        MainFormServices{env, settings, settingsPath, m_prompts, m_clock, data, m_openUrl, {}});
    Chrome().mainWindow = m_mainForm.get();
    m_mainForm->show();
}

void WidgetStartupWindows::runMessageLoop()
{
    QApplication::exec();
    Chrome().mainWindow = nullptr;
    m_mainForm.reset();
}

} // namespace tilvo
