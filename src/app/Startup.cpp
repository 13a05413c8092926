// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"

#include "app/SplashDisplay.h"
#include "app/StartupChecks.h"
#include "app/StartupDatabase.h"
#include "common/Error.h"
#include "common/FileHelpers.h"
#include "common/LetWindowsRepaint.h"
#include "common/ProgramInfo.h"
#include "common/Prompts.h"
#include "env/DataFolders.h"
#include "env/Environment.h"
#include "env/Settings.h"

#include <QFileInfo>
#include <QLocale>

namespace tilvo {

namespace {

const QString kLoading = QStringLiteral("Chargement du logiciel ...");

} // namespace

QString ConnectionFailureMessage()
{
    return QStringLiteral("EXECUTION IMPOSSIBLE !!\r\rCe logiciel a rencontré un problème lors de "
                          "la connexion à la base de données.\rContactez le support par email "
                          "pour tenter de trouver une solution : ") +
           QString::fromLatin1(MakerEmail);
}

PreparedRun PrepareRun(PreparationContext& c)
{
    const QString version = QString::fromLatin1(ProgramVersion);
    const QString title = QString::fromUtf8(ProgramTitle);
    PreparedRun run;

    // Paths, the chrome style and the French formats for the whole process.
    const bool vistaOrLater = c.platform.kernelMajorVersion() > 5;
    run.env = MakeEnvironment(c.workingDirectory, c.executablePath, vistaOrLater);
    Environment& env = run.env;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));

    // One instance at a time; the guard is held until the run ends.
    run.guard = std::make_unique<SingleInstanceGuard>(c.platform.instanceLockFolder,
                                                      QString::fromLatin1(InstanceName));
    if (!run.guard->acquired()) {
        c.prompts.showMessage(title + QStringLiteral(" est déjà en exécution."),
                              Prompts::Icon::Information);
        run.outcome = PreparationOutcome::AlreadyRunning;
        return run;
    }

    // The data folder, how the database is reached, and the files a first run installs.
    if (c.dataFolder.isEmpty())
        PrepareDataFolder(env, c.platform);
    else
        UseDataFolder(env, c.dataFolder);
    c.database.readConfig(env);
    const QString settingsName = SettingsFileName(env.ExecutablePath);
    env.StartupOk = TransferOnFirstRun(env, c.database.firstRunTarget(), settingsName, c.prompts,
                                       c.windows.transferWait());
    if (!env.StartupOk)
        return run;

    // The data folder must be writable.
    if (!CheckWriteAccess(title + u' ' + version, env.DataFolder + QStringLiteral("write.tmp"),
                          c.prompts))
        return run;

    // The user's settings, then the optional check of the database library.
    run.settingsPath = env.DataFolder + settingsName;
    run.settings = LoadSettings(run.settingsPath);
    env.ChromeStyle = env.IsVistaOrLater || run.settings.Style;
    if (run.settings.TestMdac && !DataAccessComponentsPresent(c.platform.dataAccessVersion()))
        c.windows.showDataAccessNotice(env);

    // The splash window, hidden when the settings say so.
    run.splash = &c.windows.createSplash(run.settings.Splash);
    SplashDisplay& splash = *run.splash;
    splash.setGauge(8, 1);
    splash.setInfo(kLoading);
    LetWindowsRepaint();
    splash.setGauge(8, 4);

    // The shared data module opens the one connection.
    if (c.database.engineAvailable(c.prompts)) {
        if (!c.database.createDataModules(c.prompts))
            env.StartupOk = false;
    } else {
        env.StartupOk = false;
    }
    if (!env.StartupOk) {
        c.windows.destroySplash();
        run.splash = nullptr;
        run.outcome = PreparationOutcome::ConnectionRefused;
        return run;
    }

    // The schema is brought up to date: the program's own script when the stored version is
    // older, then every script waiting in the data folder.
    if (c.database.databaseFilePresent()) {
        if (QFileInfo::exists(env.ProgramFolder +
                              ExecutableDerivedName(env.ExecutablePath, QStringLiteral(".dpr"))))
            c.database.setVersion(version);
        const QString stored = c.database.getVersion();
        if (c.database.versionNumber(stored) < c.database.versionNumber(version))
            FetchMissingFile(env, env.UpdateFileName);
        const QStringList scripts = ListFiles(env.DataFolder, QStringLiteral("*.maj"));
        for (const QString& script : scripts)
            c.database.runUpdateScript(env.DataFolder, script, splash, true);
        if (!scripts.isEmpty())
            c.database.setVersion(version);
        c.database.updateProgramFolderDatabase(splash);
    }
    run.outcome = PreparationOutcome::Ready;
    return run;
}

namespace {

void Run(StartupContext& c)
{
    PreparationContext preparation{c.workingDirectory, c.executablePath, c.platform,
                                   c.prompts,          c.clock,          c.windows,
                                   c.database,         QString()};
    PreparedRun run = PrepareRun(preparation);
    if (run.outcome == PreparationOutcome::ConnectionRefused)
        c.prompts.showMessage(ConnectionFailureMessage(), Prompts::Icon::Error);
    if (run.outcome != PreparationOutcome::Ready)
        return;

    // The main window, then the message loop until it closes.
    SplashDisplay& splash = *run.splash;
    splash.setGauge(8, 5);
    splash.setInfo(kLoading);
    LetWindowsRepaint();
    splash.setGauge(8, 6);
    splash.setGauge(8, 7);
    c.windows.createMainWindow(run.env, run.settings, run.settingsPath, c.database.dataModule());
    splash.setGauge(8, 8);
    c.windows.destroySplash();
    c.windows.runMessageLoop();
}

} // namespace

int RunProgram(StartupContext& context)
{
    try {
        Run(context);
    } catch (const Error& e) {
        context.windows.destroySplash();
        context.prompts.showMessage(e.text(), Prompts::Icon::Error);
    } catch (const std::exception& e) {
        context.windows.destroySplash();
        context.prompts.showMessage(QString::fromLocal8Bit(e.what()), Prompts::Icon::Error);
    }
    return 0;
}

} // namespace tilvo
