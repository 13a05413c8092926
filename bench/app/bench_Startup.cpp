// SPDX-License-Identifier: GPL-3.0-or-later
// Time from process start to the main window shown, offscreen.
//
// Without arguments it starts itself again and again as a child, each in a new process, and
// reports the median, the fastest and the slowest. A child runs the program's own start-up
// from the program folder, with a temporary home, and writes one line when the main window is
// exposed; the first sample (the first run that installs the template database) is reported
// apart.
#include "app/DatabaseStartup.h"
#include "app/Startup.h"
#include "app/ui/TNewGauge.h"
#include "app/ui/WidgetStartupWindows.h"
#include "common/Clock.h"
#include "common/FileHelpers.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/FrenchTranslations.h"
#include "common/ui/WidgetPrompts.h"
#include "main/ui/TMainForm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

using namespace tilvo;

namespace {

// The program's windows, except that the message loop ends once the main window is exposed.
class MeasuredWindows final : public StartupWindows
{
public:
    MeasuredWindows(Prompts& prompts, const Clock& clock)
        : m_inner(prompts, clock, [](const QUrl&) { return true; })
    {}
    WaitDisplay& transferWait() override { return m_inner.transferWait(); }
    void showDataAccessNotice(const Environment& env) override
    {
        m_inner.showDataAccessNotice(env);
    }
    SplashDisplay& createSplash(bool visible) override { return m_inner.createSplash(visible); }
    void destroySplash() override { m_inner.destroySplash(); }
    void createMainWindow(Environment& env, Settings& settings, const QString& path,
                          TDataModule1& data) override
    {
        m_inner.createMainWindow(env, settings, path, data);
    }
    void runMessageLoop() override
    {
        if (QTest::qWaitForWindowExposed(m_inner.mainForm(), 10000))
            std::printf("shown\n");
        std::fflush(stdout);
    }

private:
    WidgetStartupWindows m_inner;
};

int Child(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    InstallFrenchTranslations();
    WidgetPrompts prompts;
    SetErrorDisplay(&prompts);
    const SystemClock clock;
    WidgetUpdateDisplay updates(prompts);
    DatabaseStartup database(clock, &updates);
    MeasuredWindows windows(prompts, clock);
    StartupContext context{
        QDir::currentPath(), ExecutablePath(), SystemPlatform(), prompts, clock, windows, database};
    return RunProgram(context);
}

double Sample(const QString& self, const QString& home)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(QStringLiteral(TILVO_PROGRAM_DIR));
    QElapsedTimer timer;
    timer.start();
    child.start(self, {QStringLiteral("--child")});
    while (child.waitForReadyRead(15000)) {
        if (child.readAll().contains("shown"))
            break;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!child.waitForFinished(15000)) {
        child.kill();
        child.waitForFinished();
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return Child(argc, argv);

    QCoreApplication app(argc, argv);
    const int runs = 11;
    QTemporaryDir home;
    QDir().mkpath(home.filePath(QStringLiteral("Documents")));
    QFile::setPermissions(home.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString self = QCoreApplication::applicationFilePath();
    const double first = Sample(self, home.path());
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i)
        samples.push_back(Sample(self, home.path()));
    std::sort(samples.begin(), samples.end());
    std::printf("start-up to main window shown (offscreen), %d runs:\n", runs);
    std::printf("  first run (installs the template): %.1f ms\n", first);
    std::printf("  median %.1f ms, fastest %.1f ms, slowest %.1f ms\n", samples[runs / 2],
                samples.front(), samples.back());
    return 0;
}
