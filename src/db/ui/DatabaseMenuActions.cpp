// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ui/DatabaseMenuActions.h"

#include "common/Clock.h"
#include "common/Prompts.h"
#include "common/ui/WaitWindow.h"
#include "db/DatabaseMaintenance.h"
#include "db/ui/TBackupList.h"
#include "db/ui/WidgetUpdateDisplay.h"

#include <QApplication>
#include <QPointer>

namespace tilvo {

namespace {

const QString kBackupFilter = QStringLiteral("Sauvegarde base de donnée|*bkp");

// The hourglass for the length of a command.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Runs a maintenance command with the wait window over the main window and the gauge window
// for the update scripts.
void RunCommand(const DatabaseMenuContext& context,
                const std::function<void(const MaintenanceContext&)>& command)
{
    BusyCursor busy;
    TWait wait(context.mainWindow);
    WidgetUpdateDisplay gauge(context.prompts);
    QPointer<QWidget> window = context.mainWindow;
    MaintenanceHooks hooks;
    hooks.setMainWindowEnabled = [window](bool enabled) {
        if (window)
            window->setEnabled(enabled);
    };
    hooks.closeDossier = context.closeDossier;
    hooks.refreshCommands = context.refreshCommands;
    UpdateEnvironment environment = context.environment;
    environment.display = &gauge;
    command(MaintenanceContext{context.module, environment, wait, hooks});
}

const Clock& ClockOf(const DatabaseMenuContext& context)
{
    return context.environment.clock ? *context.environment.clock : ProcessClock();
}

} // namespace

void DatabaseBackupAction(const DatabaseMenuContext& context)
{
    const std::optional<QString> target = context.prompts.saveFileName(
        QStringLiteral("Localisation de la sauvegarde"), kBackupFilter,
        ProposedBackupPath(context.environment.DataFolder, ClockOf(context).today()),
        QStringLiteral("bkp"));
    if (!target)
        return;
    RunCommand(context, [&target](const MaintenanceContext& maintenance) {
        SaveDatabaseArchive(maintenance, *target, QString::fromUtf8(kBackupDescription));
    });
    context.prompts.showMessage(QStringLiteral("Sauvegarde effectuée."),
                                Prompts::Icon::Information);
}

void DatabaseRestoreAction(const DatabaseMenuContext& context)
{
    const std::optional<QString> archive = context.prompts.openFileName(
        QStringLiteral("Sélectionnez la base de données à restaurer"), kBackupFilter,
        context.environment.DataFolder + QStringLiteral("Backup/"));
    if (!archive)
        return;
    QString converted;
    RunCommand(context, [&archive, &converted](const MaintenanceContext& maintenance) {
        converted = RestoreDatabaseArchive(maintenance, *archive);
    });
    context.prompts.showMessage(QStringLiteral("Sauvegarde restaurée.") +
                                    (converted.isEmpty() ? QString() : u'\r' + converted),
                                Prompts::Icon::Information);
}

void DatabaseHistoryAction(const DatabaseMenuContext& context)
{
    TBackupList window(context.module, context.prompts, context.mainWindow);
    window.exec();
}

void DatabaseImportOldAction(const DatabaseMenuContext& context)
{
    const std::optional<QString> file = context.prompts.openFileName(
        QStringLiteral("Sélectionnez la base de données de l'ancienne version"),
        QStringLiteral("Base de données de l'ancienne version|*.mdb"),
        context.environment.DataFolder);
    if (!file)
        return;
    if (!context.prompts.askYesNo(
            QStringLiteral("La base de données actuelle va être remplacée par celle du fichier "
                           "%1, convertie pour cette version du logiciel. Une sauvegarde de la "
                           "base actuelle et de ses images est faite d'abord.\r\rConfirmez-vous "
                           "l'importation ?")
                .arg(*file),
            Prompts::Icon::Question))
        return;
    OldDatabaseImport done;
    RunCommand(context, [&file, &done](const MaintenanceContext& maintenance) {
        done = ImportOldDatabase(maintenance, *file);
    });
    context.prompts.showMessage(QStringLiteral("Importation effectuée.\r") + done.report.summary() +
                                    QStringLiteral("\rLa base de données remplacée est conservée "
                                                   "dans le fichier %1.")
                                        .arg(done.keptIn),
                                Prompts::Icon::Information);
}

void DatabaseCompactAction(const DatabaseMenuContext& context)
{
    if (!context.prompts.askYesNo(
            QStringLiteral("Confirmez-vous le compactage de la base de données ?"),
            Prompts::Icon::Question))
        return;
    RunCommand(context, [](const MaintenanceContext& maintenance) {
        CompactAndRepairDatabase(maintenance);
    });
    context.prompts.showMessage(QStringLiteral("Compactage effectué."), Prompts::Icon::Information);
}

} // namespace tilvo
