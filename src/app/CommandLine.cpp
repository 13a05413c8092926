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
#include "main/CsvExchange.h"

#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace tilvo {

namespace {

const QStringList kCommands{"backup",  "restore", "import-mdb", "compact",
                            "update",  "history", "export",     "import"};

bool IsExchange(const QString& command)
{
    return command == u"export" || command == u"import";
}

bool NeedsFile(const QString& command)
{
    return command == u"backup" || command == u"restore" || command == u"import-mdb" ||
           IsExchange(command);
}

// The commands that replace the database, and so may run when it cannot be opened.
bool ReplacesDatabase(const QString& command)
{
    return command == u"restore" || command == u"import-mdb";
}

// Options that take a value, and what is said when it is missing.
struct ValueOption
{
    QString name;
    QString missing;
};
const std::vector<ValueOption> kValueOptions{
    {QStringLiteral("--data"), QStringLiteral("L'option --data demande un dossier.")},
    {QStringLiteral("--account"), QStringLiteral("L'option --account demande un numéro.")},
    {QStringLiteral("--dossier"), QStringLiteral("L'option --dossier demande un numéro.")},
    {QStringLiteral("--from"), QStringLiteral("L'option --from demande une date.")},
    {QStringLiteral("--to"), QStringLiteral("L'option --to demande une date.")},
};

// The options a command accepts besides --data.
QStringList OptionsOf(const QString& command)
{
    if (command == u"export")
        return {"--account", "--dossier", "--from", "--to"};
    if (command == u"import")
        return {"--account", "--valid-only"};
    return {};
}

// The progress line of export and import, and its cancel: on a terminal, Ctrl+C ends the
// process before the file or the transaction is committed.
ExchangeProgress ProgressLine(TerminalOutput& output, const QString& label)
{
    return [&output, label](qint64 done, qint64 total) {
        output.progress(label, int(done * 1000 / std::max<qint64>(total, 1)), 1000);
        return true;
    };
}

int ExportFromCommandLine(const CommandLineOptions& options, TDataModule1& module,
                          TerminalOutput& output, const QString& file)
{
    ExportSelection selection;
    selection.accountId = options.accountId;
    selection.dossierId = options.dossierId;
    selection.from = options.from;
    selection.to = options.to;
    const ExportResult result =
        ExportEntries(module.Query(), file, selection,
                      ProgressLine(output, QStringLiteral("Exportation des consommations")));
    output.endProgress();
    output.message(
        QStringLiteral("%1 consommation(s) exportée(s) : %2").arg(result.entries).arg(file));
    return kExitOk;
}

int ImportFromCommandLine(const CommandLineOptions& options, TDataModule1& module,
                          TerminalOutput& output, const QString& file)
{
    const CsvGuess guess = GuessCsvFormat(file);
    const ImportReport report =
        ImportEntries(module.Query(), options.accountId, file, guess.format, guess.mapping,
                      ProgressLine(output, QStringLiteral("Importation des consommations")),
                      [&options](const ImportReport&) { return options.validOnly; });
    output.endProgress();
    if (report.refusedCount > 0)
        output.message(QStringLiteral("Lignes refusées :\r") + report.refusedText());
    if (report.imported > 0) {
        output.message(QStringLiteral("%1 consommation(s) importée(s) dans le compte %2.")
                           .arg(report.imported)
                           .arg(options.accountId));
        return kExitOk;
    }
    if (report.valid == 0) {
        output.message(QStringLiteral("Aucune ligne à importer : rien n'a été importé."));
        return report.refusedCount > 0 ? kExitFailed : kExitOk;
    }
    output.message(QStringLiteral("Rien n'a été importé : %1 ligne(s) refusée(s). L'option "
                                  "--valid-only importe les %2 ligne(s) valide(s).")
                       .arg(report.refusedCount)
                       .arg(report.valid));
    return kExitFailed;
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
    } else if (options.command == u"export") {
        return ExportFromCommandLine(options, *module, output, file);
    } else if (options.command == u"import") {
        return ImportFromCommandLine(options, *module, output, file);
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
    QStringList given; // the options of one command, to check against it
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == u"--help" || a == u"-h") {
            options.help = true;
            continue;
        }
        if (a == u"--valid-only") {
            options.validOnly = true;
            given << a;
            continue;
        }
        const auto valueOption =
            std::find_if(kValueOptions.begin(), kValueOptions.end(), [&a](const ValueOption& o) {
                return a == o.name || a.startsWith(o.name + u'=');
            });
        if (valueOption == kValueOptions.end()) {
            if (a.startsWith(u'-') && a.size() > 1) {
                options.error = QStringLiteral("Option inconnue : %1").arg(a);
                return options;
            }
            words << a;
            continue;
        }
        QString value;
        if (a == valueOption->name) {
            if (i + 1 >= arguments.size()) {
                options.error = valueOption->missing;
                return options;
            }
            value = arguments.at(++i);
        } else {
            value = a.mid(valueOption->name.size() + 1);
        }
        if (value.isEmpty()) {
            options.error = valueOption->missing;
            return options;
        }
        const QString name = valueOption->name;
        if (name == u"--data") {
            options.dataFolder = value;
            continue;
        }
        given << name;
        if (name == u"--account" || name == u"--dossier") {
            bool ok = false;
            const int id = value.toInt(&ok);
            if (!ok || id < 0) {
                options.error =
                    QStringLiteral("L'option %1 demande un numéro : %2").arg(name, value);
                return options;
            }
            (name == u"--account" ? options.accountId : options.dossierId) = id;
        } else {
            const QDate date = ParseCsvDate(value);
            if (!date.isValid()) {
                options.error = QStringLiteral("L'option %1 demande une date (jj/mm/aaaa) : %2")
                                    .arg(name, value);
                return options;
            }
            (name == u"--from" ? options.from : options.to) = date;
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
    for (const QString& option : given) {
        if (!OptionsOf(options.command).contains(option)) {
            options.error = QStringLiteral("L'option %1 ne s'applique pas à la commande %2.")
                                .arg(option, options.command);
            return options;
        }
    }
    if (NeedsFile(options.command)) {
        if (words.isEmpty()) {
            if (IsExchange(options.command))
                options.error =
                    QStringLiteral("La commande %1 demande un fichier CSV.").arg(options.command);
            else if (options.command == u"import-mdb")
                options.error = QStringLiteral("La commande import-mdb demande une base de "
                                               "données de l'ancienne version (.mdb).");
            else
                options.error = QStringLiteral("La commande %1 demande un fichier de sauvegarde.")
                                    .arg(options.command);
            return options;
        }
        options.file = words.takeFirst();
    }
    if (!words.isEmpty()) {
        options.error = QStringLiteral("Argument en trop : %1").arg(words.first());
        return options;
    }
    if (options.command == u"import" && options.accountId < 0)
        options.error = QStringLiteral("La commande import demande le compte : --account NUMÉRO.");
    else if (options.accountId >= 0 && options.dossierId >= 0)
        options.error = QStringLiteral("Les options --account et --dossier s'excluent.");
    else if (options.from.isValid() != options.to.isValid())
        options.error = QStringLiteral("Les options --from et --to vont ensemble.");
    else if (options.from.isValid() && options.from > options.to)
        options.error = QStringLiteral("La date de --from est après celle de --to.");
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
        "  export FICHIER    exporte des consommations dans FICHIER (.csv, pour un tableur) :\n"
        "                    toutes, celles d'un compte (--account) ou d'un dossier\n"
        "                    (--dossier), d'une période (--from et --to)\n"
        "  import FICHIER    importe les consommations de FICHIER (.csv) dans le compte\n"
        "                    --account ; les lignes refusées sont affichées et, sauf avec\n"
        "                    --valid-only, rien n'est alors importé\n"
        "\n"
        "Options :\n"
        "  --data DOSSIER    le dossier des données à utiliser au lieu de celui du logiciel\n"
        "  --account NUMÉRO  le compte à exporter, ou qui reçoit l'importation\n"
        "  --dossier NUMÉRO  le dossier dont tous les comptes sont exportés\n"
        "  --from DATE, --to DATE\n"
        "                    la période exportée, bornes comprises (jj/mm/aaaa)\n"
        "  --valid-only      importe les lignes valides même si d'autres sont refusées\n"
        "  -h, --help        affiche cette aide\n"
        "\n"
        "Chaque commande prépare d'abord le dossier des données comme le démarrage du logiciel\n"
        "(dont les scripts de mise à jour, précédés d'une copie de la base dans Backup/Maj/).\n"
        "Elle ne s'exécute pas pendant que Tilvo est ouvert. Une importation\n"
        "interrompue (Ctrl+C) n'importe rien ; une exportation interrompue ne remplace pas\n"
        "le fichier.\n"
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
