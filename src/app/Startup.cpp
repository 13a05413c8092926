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

void Run(StartupContext& c)
{
    const QString version = QString::fromLatin1(ProgramVersion);
    const QString title = QString::fromUtf8(ProgramTitle);

    // Paths, the chrome style and the French formats for the whole process.
    const bool vistaOrLater = c.platform.kernelMajorVersion() > 5;
    Environment env = MakeEnvironment(c.workingDirectory, c.executablePath, vistaOrLater);
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));

    // One instance at a time; the guard is held until the run ends.
    const SingleInstanceGuard guard(c.platform.instanceLockFolder,
                                    QString::fromLatin1(InstanceName));
    if (!guard.acquired()) {
        c.prompts.showMessage(title + QStringLiteral(" est déjà en exécution."),
                              Prompts::Icon::Information);
        return;
    }

    // The data folder, how the database is reached, and the files a first run installs.
    PrepareDataFolder(env, c.platform);
    c.database.readConfig(env);
    const QString settingsName = SettingsFileName(env.ExecutablePath);
    env.StartupOk = TransferOnFirstRun(env, c.database.firstRunTarget(), settingsName, c.prompts,
                                       c.windows.transferWait());
    if (!env.StartupOk)
        return;

    // The data folder must be writable.
    if (!CheckWriteAccess(title + u' ' + version, env.DataFolder + QStringLiteral("write.tmp"),
                          c.prompts))
        return;

    // The user's settings, then the optional check of the database library.
    Settings settings = LoadSettings(env.DataFolder + settingsName);
    env.ChromeStyle = env.IsVistaOrLater || settings.Style;
    if (settings.TestMdac && !DataAccessComponentsPresent(c.platform.dataAccessVersion()))
        c.windows.showDataAccessNotice(env);

    // The splash window, hidden when the settings say so.
    SplashDisplay& splash = c.windows.createSplash(settings.Splash);
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
        c.prompts.showMessage(
            QStringLiteral("EXECUTION IMPOSSIBLE !!\r\rCe logiciel a rencontré un problème lors de "
                           "la connexion à la base de données.\rContactez le support par email "
                           "pour tenter de trouver une solution : ") +
                QString::fromLatin1(MakerEmail),
            Prompts::Icon::Error);
        return;
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

    // The main window, then the message loop until it closes.
    splash.setGauge(8, 5);
    splash.setInfo(kLoading);
    LetWindowsRepaint();
    splash.setGauge(8, 6);
    splash.setGauge(8, 7);
    c.windows.createMainWindow(env, settings, env.DataFolder + settingsName,
                               c.database.dataModule());
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
