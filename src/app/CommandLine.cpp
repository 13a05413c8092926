// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "app/CommandLineWindows.h"
#include "app/DatabaseStartup.h"
#include "app/Startup.h"
#include "app/TerminalOutput.h"
#include "app/TerminalPrompts.h"
#include "app/TerminalUpdateDisplay.h"
#include "app/TerminalWaitDisplay.h"
#include "common/Error.h"
#include "common/ProgramInfo.h"
#include "db/DataSet.h"
#include "db/DatabaseMaintenance.h"
#include "db/TDataModule1.h"
#include "db/VersionRecord.h"

#include <QFileInfo>
#include <QTextStream>

namespace tilvo {

namespace {

const QStringList kCommands{"backup", "restore", "import-mdb", "compact", "update", "history"};

bool NeedsFile(const QString& command)
{
    return command == u"backup" || command == u"restore" || command == u"import-mdb";
}

// The commands that replace the database, and so may run when it cannot be opened.
bool ReplacesDatabase(const QString& command)
{
    return command == u"restore" || command == u"import-mdb";
}

void PrintHistory(TDataModule1& module, TerminalOutput& output)
{
    DataSet& backup = module.Backup();
    backup.open();
    if (backup.isEmpty())
        output.message(QStringLiteral("L'historique des sauvegardes est vide."));
    for (backup.first(); !backup.eof(); backup.next()) {
        output.result(backup.fieldByName(QStringLiteral("DateSav")).asText().leftJustified(10) +
                      QStringLiteral("  ") +
                      backup.fieldByName(QStringLiteral("TimeSav")).asText().leftJustified(5) +
                      QStringLiteral("  ") +
                      backup.fieldByName(QStringLiteral("Description")).asText().leftJustified(34) +
                      QStringLiteral("  ") + backup.fieldByName(QStringLiteral("Path")).asText());
    }
    backup.close();
}

int RunPrepared(const CommandLineOptions& options, DatabaseStartup& database,
                TerminalOutput& output, TerminalUpdateDisplay& updates)
{
    TDataModule1* module = database.createdDataModule();
    if (!module || (!module->ADOConnection1().isOpen() && !ReplacesDatabase(options.command))) {
        output.message(QStringLiteral("Erreur : la base de données %1 est introuvable.")
                           .arg(database.config().databaseFile()));
        return kExitFailed;
    }
    TerminalWaitDisplay wait(output);
    const MaintenanceContext context{*module, database.updateEnvironment(&updates), wait,
                                     MaintenanceHooks()};
    const QString file =
        options.file.isEmpty() ? QString() : QFileInfo(options.file).absoluteFilePath();
    if (options.command == u"backup") {
        SaveDatabaseArchive(context, file, QString::fromUtf8(kBackupDescription));
        output.message(QStringLiteral("Sauvegarde effectuée : %1").arg(file));
    } else if (options.command == u"restore") {
        const QString converted = RestoreDatabaseArchive(context, file);
        output.message(QStringLiteral("Sauvegarde restaurée : %1").arg(file));
        if (!converted.isEmpty())
            output.message(converted);
    } else if (options.command == u"import-mdb") {
        const OldDatabaseImport done = ImportOldDatabase(context, file);
        output.message(QStringLiteral("Importation effectuée : %1").arg(file));
        output.message(done.report.summary());
        output.message(QStringLiteral("La base de données remplacée est conservée dans le "
                                      "fichier %1.")
                           .arg(done.keptIn));
    } else if (options.command == u"compact") {
        CompactAndRepairDatabase(context);
        output.message(QStringLiteral("Compactage effectué."));
    } else if (options.command == u"update") {
        output.message(
            QStringLiteral("La base de données %1 est à jour (version %2).")
                .arg(module->ADOConnection1().displayName(),
                     GetBDVersion(module->ADOConnection1(), QStringLiteral("OBJECT_VAL_STR"),
                                  QStringLiteral("VALUE"))));
    } else {
        PrintHistory(*module, output);
    }
    return kExitOk;
}

} // namespace

CommandLineOptions ParseCommandLine(const QStringList& arguments)
{
    CommandLineOptions options;
    QStringList words;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == u"--help" || a == u"-h") {
            options.help = true;
        } else if (a == u"--data" || a.startsWith(QLatin1String("--data="))) {
            QString folder;
            if (a == u"--data") {
                if (i + 1 >= arguments.size()) {
                    options.error = QStringLiteral("L'option --data demande un dossier.");
                    return options;
                }
                folder = arguments.at(++i);
            } else {
                folder = a.mid(7);
            }
            if (folder.isEmpty()) {
                options.error = QStringLiteral("L'option --data demande un dossier.");
                return options;
            }
            options.dataFolder = folder;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            options.error = QStringLiteral("Option inconnue : %1").arg(a);
            return options;
        } else {
            words << a;
        }
    }
    if (options.help)
        return options;
    if (words.isEmpty()) {
        options.error = QStringLiteral("Aucune commande n'est donnée.");
        return options;
    }
    options.command = words.takeFirst();
    if (!kCommands.contains(options.command)) {
        options.error = QStringLiteral("Commande inconnue : %1").arg(options.command);
        return options;
    }
    if (NeedsFile(options.command)) {
        if (words.isEmpty()) {
            options.error = options.command == u"import-mdb"
                                ? QStringLiteral("La commande import-mdb demande une base de "
                                                 "données de l'ancienne version (.mdb).")
                                : QStringLiteral("La commande %1 demande un fichier de "
                                                 "sauvegarde.")
                                      .arg(options.command);
            return options;
        }
        options.file = words.takeFirst();
    }
    if (!words.isEmpty())
        options.error = QStringLiteral("Argument en trop : %1").arg(words.first());
    return options;
}

QString CommandLineHelp()
{
    return QStringLiteral(
        "Utilisation : tilvo-cli [--data DOSSIER] COMMANDE\n"
        "\n"
        "Entretien de la base de données de Tilvo, sans fenêtre.\n"
        "\n"
        "Commandes :\n"
        "  backup FICHIER    sauvegarde la base de données et les images dans FICHIER (.bkp)\n"
        "  restore FICHIER   restaure la sauvegarde FICHIER (la base et les images actuelles\n"
        "                    sont remplacées)\n"
        "  import-mdb FICHIER  remplace la base de données par la conversion de la base de\n"
        "                    l'ancienne version FICHIER (.mdb), après une sauvegarde de la base\n"
        "                    et des images actuelles\n"
        "  compact           compacte et répare la base de données\n"
        "  update            exécute les scripts de mise à jour du dossier des données\n"
        "  history           affiche l'historique des sauvegardes\n"
        "\n"
        "Options :\n"
        "  --data DOSSIER    le dossier des données à utiliser au lieu de celui du logiciel\n"
        "  -h, --help        affiche cette aide\n"
        "\n"
        "Chaque commande prépare d'abord le dossier des données comme le démarrage du logiciel\n"
        "(dont les scripts de mise à jour, précédés d'une copie de la base dans Backup/Maj/).\n"
        "Elle ne s'exécute pas pendant que Tilvo est ouvert.\n"
        "\n"
        "Codes de sortie : 0 réussite, 1 échec, 2 arguments incorrects, 3 Tilvo est déjà en "
        "exécution.\n");
}

int RunCommandLine(const QStringList& arguments, CommandLineContext& context)
{
    const CommandLineOptions options = ParseCommandLine(arguments);
    if (!options.error.isEmpty()) {
        context.err << options.error << '\n' << QStringLiteral("Voir : tilvo-cli --help") << '\n';
        context.err.flush();
        return kExitUsage;
    }
    if (options.help) {
        context.out << CommandLineHelp();
        context.out.flush();
        return kExitOk;
    }

    TerminalOutput output(context.out, context.err, context.terminal);
    TerminalPrompts prompts(output);
    TerminalUpdateDisplay updates(output);
    CommandLineWindows windows(output);
    // The lock is let go only once the database is closed.
    PreparedRun run;
    DatabaseStartup database(context.clock, &updates);
    const QString programFolder =
        context.programFolder.endsWith(u'/') ? context.programFolder : context.programFolder + u'/';
    PreparationContext preparation{programFolder,    programFolder + QStringLiteral("tilvo"),
                                   context.platform, prompts,
                                   context.clock,    windows,
                                   database,         options.dataFolder};
    try {
        run = PrepareRun(preparation);
        windows.destroySplash();
        switch (run.outcome) {
        case PreparationOutcome::Ready:
            return RunPrepared(options, database, output, updates);
        case PreparationOutcome::AlreadyRunning:
            return kExitAlreadyRunning;
        case PreparationOutcome::ConnectionRefused:
            // A restore or an import is the way out of a database the engine refuses.
            if (ReplacesDatabase(options.command) && database.createdDataModule()) {
                output.message(options.command == u"restore"
                                   ? QStringLiteral("La restauration remplace la base de données "
                                                    "qui ne peut pas être ouverte.")
                                   : QStringLiteral("L'importation remplace la base de données "
                                                    "qui ne peut pas être ouverte."));
                return RunPrepared(options, database, output, updates);
            }
            output.message(QStringLiteral("Erreur : la base de données ne peut pas être ouverte. "
                                          "« tilvo-cli restore FICHIER » la remplace par une "
                                          "sauvegarde, « tilvo-cli import-mdb FICHIER » par une "
                                          "base de l'ancienne version."));
            return kExitFailed;
        case PreparationOutcome::Stopped:
            return kExitFailed;
        }
    } catch (const Error& e) {
        output.message(QStringLiteral("Erreur : ") + e.text());
    } catch (const std::exception& e) {
        output.message(QStringLiteral("Erreur : ") + QString::fromLocal8Bit(e.what()));
    }
    return kExitFailed;
}

} // namespace tilvo
