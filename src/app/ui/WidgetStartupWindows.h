// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Startup.h"
#include "common/ui/WaitWindow.h"

#include <QUrl>
#include <functional>
#include <memory>

namespace tilvo {

class TMainForm;
class TSplash;

// The start-up's real windows: the transfer's wait window, the data-access notice, the splash
// and the main window, and the toolkit's message loop.
class WidgetStartupWindows final : public StartupWindows
{
public:
    WidgetStartupWindows(Prompts& prompts, const Clock& clock,
                         std::function<bool(const QUrl&)> openUrl);
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
    TWait m_wait;
    std::unique_ptr<TSplash> m_splash;
    std::unique_ptr<TMainForm> m_mainForm;
};

} // namespace tilvo
