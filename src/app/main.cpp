// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DatabaseStartup.h"
#include "app/Startup.h"
#include "app/ui/WidgetStartupWindows.h"
#include "common/Clock.h"
#include "common/FileHelpers.h"
#include "common/ProgramInfo.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/FrenchTranslations.h"
#include "common/ui/WidgetPrompts.h"
#include "db/ui/WidgetUpdateDisplay.h"

#include <QDesktopServices>
#include <QDir>

int main(int argc, char* argv[])
{
    using namespace tilvo;
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ProgramTitle));
    QApplication::setWindowIcon(QIcon(QDir::currentPath() + QStringLiteral("/tilvo.png")));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    InstallFrenchTranslations();

    WidgetPrompts prompts;
    SetErrorDisplay(&prompts);
    const SystemClock clock;
    WidgetUpdateDisplay updateDisplay(prompts);
    DatabaseStartup database(clock, &updateDisplay);
    WidgetStartupWindows windows(
        prompts, clock, [](const QUrl& url) { return QDesktopServices::openUrl(url); },
        [&database] { return database.updateEnvironment(nullptr); });
    StartupContext context{
        QDir::currentPath(), ExecutablePath(), SystemPlatform(), prompts, clock, windows, database};
    return RunProgram(context);
}
