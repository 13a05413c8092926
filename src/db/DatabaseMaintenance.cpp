// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DatabaseMaintenance.h"

#include "common/Clock.h"
#include "common/Error.h"
#include "common/FileHelpers.h"
#include "common/LetWindowsRepaint.h"
#include "common/WaitDisplay.h"
#include "db/BackupHistory.h"
#include "db/CabinetReader.h"
#include "db/CabinetWriter.h"
#include "db/Compaction.h"
#include "db/Connection.h"
#include "db/JetConverter.h"
#include "db/KeptDataSet.h"
#include "db/TDataModule1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <future>
#include <optional>

namespace tilvo {

namespace {

const QString kWaitMessage = QStringLiteral("Quelques instants, SVP ...");
const QString kDatabaseEntry = QStringLiteral("TILVO.MDB");
const QString kWorkFolderPattern = QStringLiteral("Restauration-XXXXXX");
const QString kWorkFolderMask = QStringLiteral("Restauration-??????");

const Clock& ClockOf(const MaintenanceContext& context)
{
    return context.environment.clock ? *context.environment.clock : ProcessClock();
}

QString BackupFolder(const MaintenanceContext& context)
{
    return context.environment.DataFolder + QStringLiteral("Backup/");
}

QString ImagesFolder(const MaintenanceContext& context)
{
    return context.environment.config.DatabaseFolder + QStringLiteral("Images/");
}

// Runs `work` with the connection closed and the main window disabled. Whatever happens, the
// connection is then reopened (when it was open, or `openAnyway` says so by then: a database
// that could not be opened has been replaced), `afterReopen` runs once it is, Consumption comes
// back on its row, the enabling pass runs, the main window is enabled and the wait window is
// closed. The work's error is thrown after all that, followed by the error of putting things back
// when that failed too.
void RunWithConnectionClosed(const MaintenanceContext& context, const std::function<void()>& work,
                             const std::function<void()>& afterReopen = {},
                             const bool* openAnyway = nullptr)
{
    const MaintenanceHooks& hooks = context.hooks;
    Connection& connection = context.module.ADOConnection1();
    LetWindowsRepaint();
    if (hooks.setMainWindowEnabled)
        hooks.setMainWindowEnabled(false);
    std::optional<KeptDataSet> consumption;
    const bool wasOpen = connection.isOpen();
    std::exception_ptr failure;
    try {
        consumption.emplace(context.module.Consumption());
        connection.close();
        work();
    } catch (...) {
        failure = std::current_exception();
    }

    QStringList problems;
    auto attempt = [&problems](const std::function<void()>& step) {
        try {
            step();
        } catch (const Error& e) {
            problems << e.text();
        }
    };
    if (wasOpen || (openAnyway && *openAnyway))
        attempt([&] { connection.open(); });
    if (problems.isEmpty() && afterReopen) {
        if (failure)
            attempt(afterReopen);
        else {
            try {
                afterReopen();
            } catch (...) {
                failure = std::current_exception();
            }
        }
    }
    if (consumption && connection.isOpen())
        attempt([&] { consumption->reopen(); });
    consumption.reset();
    if (hooks.refreshCommands)
        attempt(hooks.refreshCommands);
    if (hooks.setMainWindowEnabled)
        hooks.setMainWindowEnabled(true);
    context.wait.close();

    if (failure) {
        if (problems.isEmpty())
            std::rethrow_exception(failure);
        try {
            std::rethrow_exception(failure);
        } catch (const Error& e) {
            throw Error(e.text() + u'\r' + problems.join(u'\r'));
        }
    }
    if (!problems.isEmpty())
        throw Error(problems.join(u'\r'));
}

} // namespace

QString ProposedBackupPath(const QString& dataFolder, const QDate& today)
{
    return dataFolder + QStringLiteral("Backup/TILVO_ACCESS_BACKUP_") +
           today.toString(QStringLiteral("dd/MM/yyyy")).replace(u'/', u'_') +
           QStringLiteral(".bkp");
}

QString LiveDatabaseFile(TDataModule1& module)
{
    Connection& connection = module.ADOConnection1();
    if (connection.isOpen()) {
        const QString path = connection.databaseFilePath();
        if (!path.isEmpty())
            return path;
    }
    const DatabaseConfig& config = module.config();
    return config.DatabaseFolder +
           (config.ActiveDatabaseFile.isEmpty() ? config.OleDbFileName : config.ActiveDatabaseFile);
}

void WriteDatabaseCabinet(const QString& database, const QString& imagesFolder,
                          const QStringList& pictures, const QString& cabinet, WaitDisplay& wait)
{
    QFile::remove(cabinet);
    CabinetWriter writer;
    writer.addFile(kDatabaseEntry, database);
    for (const QString& name : pictures)
        writer.addFile(name, imagesFolder + name);
    wait.setMaximum(int(pictures.size()));
    writer.write(cabinet, [&wait](int index, const QString& name) {
        if (index == 0)
            return; // the database
        wait.setTask(QStringLiteral("Compression : ") + name);
        wait.advance();
    });
}

void SaveDatabaseArchive(const MaintenanceContext& context, const QString& target,
                         const QString& description)
{
    WaitDisplay& wait = context.wait;
    AddBackupHistory(context.module, description, target, ClockOf(context));
    wait.open(QStringLiteral("Sauvegarde de la base"), kWaitMessage, 1, true);
    const QString live = LiveDatabaseFile(context.module);
    const QString cabinet = BackupFolder(context) + QStringLiteral("temp.cab");
    bool keepCabinet = false;
    try {
        RunWithConnectionClosed(context, [&] {
            if (QFileInfo(target).absoluteFilePath() == QFileInfo(cabinet).absoluteFilePath())
                throw Error(QStringLiteral("Le fichier %1 sert à préparer les sauvegardes : "
                                           "choisissez un autre nom pour la sauvegarde.")
                                .arg(target));
            try {
                CompactLiveDatabase(live);
            } catch (const Error& e) {
                throw Error(QStringLiteral("La sauvegarde n'a pas été faite : ") + e.text());
            }

            const QString images = ImagesFolder(context);
            const QStringList pictures = ListFiles(images, QStringLiteral("*.*"));
            for (const QString& name : pictures) {
                if (name.compare(kDatabaseEntry, Qt::CaseInsensitive) == 0)
                    throw Error(QStringLiteral("La sauvegarde n'a pas été faite : le dossier %1 "
                                               "contient un fichier nommé %2, le nom que la base "
                                               "de données prend dans l'archive. Renommez-le, "
                                               "puis recommencez.")
                                    .arg(images, name));
            }
            QDir().mkpath(BackupFolder(context));
            WriteDatabaseCabinet(live, images, pictures, cabinet, wait);
            if (!SyncToDisk(cabinet))
                throw Error(QStringLiteral("L'archive %1 n'a pas pu être écrite sur le disque.")
                                .arg(cabinet));
            try {
                MoveFileReplacing(cabinet, target);
                SyncToDisk(QFileInfo(target).absolutePath());
            } catch (const Error& e) {
                keepCabinet = true;
                throw Error(QStringLiteral("La sauvegarde n'a pas pu être enregistrée sous %1 : "
                                           "%2\rElle a été conservée dans le fichier %3 ; "
                                           "copiez-la ailleurs avant la prochaine sauvegarde, "
                                           "qui remplacera ce fichier.")
                                .arg(target, e.text(), cabinet));
            }
        });
    } catch (...) {
        if (!keepCabinet)
            QFile::remove(cabinet);
        throw;
    }
    QFile::remove(cabinet);
}

namespace {

// The extracted database must be one this program can use before anything live is replaced.
void CheckRestoredDatabase(const QString& archive, const QString& file)
{
    QString problem;
    try {
        Connection connection;
        connection.setDatabaseFile(file, true);
        connection.setBusyTimeout(0);
        connection.open();
        connection.checkIntegrity();
        QStringList missing;
        for (const char* table : {"PROFILES", "ACCOUNT", "CONSUMPTION"}) {
            if (!connection.table(QLatin1String(table)))
                missing << QLatin1String(table);
        }
        if (!missing.isEmpty())
            problem = QStringLiteral("ce n'est pas une base de données de ce logiciel : les "
                                     "tables %1 y manquent")
                          .arg(missing.join(QStringLiteral(", ")));
    } catch (const Error& e) {
        problem = e.text();
    }
    if (!problem.isEmpty())
        throw Error(QStringLiteral("La sauvegarde %1 ne peut pas être restaurée : la base de "
                                   "données qu'elle contient n'est pas utilisable (%2). Rien n'a "
                                   "été modifié.")
                        .arg(archive, problem));
}

// The extracted file that replaces the live database: TILVO.MDB, in any case of letters.
QString ExtractedDatabase(const QString& folder)
{
    const QStringList found = ListFiles(folder, kDatabaseEntry);
    if (found.contains(kDatabaseEntry))
        return folder + kDatabaseEntry;
    return found.isEmpty() ? QString() : folder + found.first();
}

// The restored database is brought up to the program's version.
void RunProgramUpdate(const MaintenanceContext& context)
{
    WaitDisplay& wait = context.wait;
    BringUpToProgramVersion(context.module.ADOConnection1(), context.environment,
                            [&wait](const QString& text) { wait.setTask(text); });
}

} // namespace

QString RestoreDatabaseArchive(const MaintenanceContext& context, const QString& archive)
{
    QString note;
    WaitDisplay& wait = context.wait;
    wait.open(QStringLiteral("Préparation de la restauration"), kWaitMessage, 1, true);
    if (context.hooks.closeDossier) {
        try {
            context.hooks.closeDossier();
        } catch (...) {
            wait.close();
            throw;
        }
    }
    const QString live = LiveDatabaseFile(context.module);
    bool replaced = false;
    RunWithConnectionClosed(
        context,
        [&] {
            const QString backup = BackupFolder(context);
            QDir().mkpath(backup);
            // The work folders of restores that were interrupted hold nothing of value.
            for (const QString& left : QDir(backup).entryList({kWorkFolderMask}, QDir::Dirs))
                QDir(backup + left).removeRecursively();
            QTemporaryDir work(backup + kWorkFolderPattern);
            if (!work.isValid())
                throw Error(QStringLiteral("Impossible de créer un dossier de travail dans %1 : "
                                           "%2")
                                .arg(backup, work.errorString()));
            const QString folder = work.path() + u'/';

            CabinetReader reader(archive);
            const QList<CabinetEntry>& entries = reader.entries();
            // The archives this program writes hold the database first: it is checked while
            // the pictures are extracted. Otherwise, or when several entries would give the
            // database, it is checked once everything is extracted.
            const auto givesDatabase = [](const CabinetEntry& entry) {
                return CabinetReader::ExtractionName(entry.name)
                           .compare(kDatabaseEntry, Qt::CaseInsensitive) == 0;
            };
            const bool checkEarly =
                !entries.isEmpty() && givesDatabase(entries.first()) &&
                std::count_if(entries.cbegin(), entries.cend(), givesDatabase) == 1;
            std::future<void> earlyCheck;
            wait.setPosition(0);
            wait.setMaximum(1);
            wait.setMaximum(int(entries.size()));
            reader.extractAll(work.path(), [&](int index, const QString&) {
                wait.setTask(QStringLiteral("Décompression des fichiers ..."));
                wait.advance();
                if (index == 1 && checkEarly) {
                    // The first entry is whole once the second one starts.
                    const QString extracted =
                        folder + CabinetReader::ExtractionName(entries.first().name);
                    earlyCheck = std::async(std::launch::async, [archive, extracted] {
                        if (!IsJetDatabaseFile(extracted))
                            CheckRestoredDatabase(archive, extracted);
                    });
                }
            });
            wait.advance();
            wait.setTask(QStringLiteral("Restauration de la base"));

            const QString database = ExtractedDatabase(folder);
            if (database.isEmpty())
                throw Error(QStringLiteral("La sauvegarde %1 ne contient pas de base de données "
                                           "(TILVO.MDB) : rien n'a été restauré.")
                                .arg(archive));
            if (earlyCheck.valid())
                earlyCheck.get();
            if (IsJetDatabaseFile(database)) {
                // An archive of the earlier platform: its database is converted, and only the
                // converted file takes the live name.
                const QString converted = folder + QStringLiteral("TILVO.MDB.converted");
                try {
                    const JetConversionReport report =
                        ConvertJetDatabase(database, converted, context.environment,
                                           [&wait](const QString& text) { wait.setTask(text); });
                    note = report.summary();
                } catch (const Error& e) {
                    // The extracted file's path means nothing to the person.
                    QString reason = e.text();
                    reason.replace(database, kDatabaseEntry);
                    reason[0] = reason.at(0).toLower();
                    throw Error(QStringLiteral("La sauvegarde %1 ne peut pas être restaurée : %2")
                                    .arg(archive, reason));
                }
                QFile::remove(database);
                ReplaceLiveDatabase(converted, live);
            } else {
                if (!earlyCheck.valid())
                    CheckRestoredDatabase(archive, database);
                ReplaceLiveDatabase(database, live);
            }
            replaced = true;

            // The pictures are replaced as a whole. The old ones go first: a file renamed over
            // another has its content written out at once by the file system, which would
            // cost a disk write per picture.
            const QString images = ImagesFolder(context);
            QDir().mkpath(images);
            DeleteFilesByMask(images, QStringLiteral("*.jpg"));
            QStringList problems;
            for (const QString& name : ListFiles(folder, QStringLiteral("*.jpg"))) {
                try {
                    MoveFileReplacing(folder + name, images + name);
                } catch (const Error& e) {
                    problems << e.text();
                }
                LetWindowsRepaint();
            }
            SyncToDisk(images);
            DeleteFilesByMask(folder, QStringLiteral("*.jpg"));

            // Any other entry goes beside the backups, unless it would replace a file there.
            bool kept = false;
            for (const QString& name : ListFiles(folder, QStringLiteral("*.*"))) {
                if (QFileInfo::exists(backup + name)) {
                    kept = true;
                    continue;
                }
                try {
                    MoveFileReplacing(folder + name, backup + name);
                } catch (const Error&) {
                    kept = true;
                }
            }
            if (kept) {
                // What stays is named after the restore, so that it is found and kept.
                work.setAutoRemove(false);
                const QString named =
                    backup + QStringLiteral("Restauration du ") +
                    ClockOf(context).now().toString(QStringLiteral("dd-MM-yyyy hh.mm.ss"));
                if (!QFileInfo::exists(named))
                    QDir().rename(work.path(), named);
            }
            if (!problems.isEmpty())
                throw Error(QStringLiteral("La base de données a été restaurée, mais des images "
                                           "n'ont pas pu être remises en place :\r") +
                            problems.join(u'\r'));
        },
        [&] {
            if (replaced)
                RunProgramUpdate(context);
        },
        &replaced);
    AddBackupHistory(context.module, QString::fromUtf8(kRestoreDescription), archive,
                     ClockOf(context));
    return note;
}

QString ImportBackupPath(const QString& dataFolder, const QDateTime& now)
{
    const QString base = dataFolder + QStringLiteral("Backup/TILVO_AVANT_IMPORT_") +
                         now.toString(QStringLiteral("dd_MM_yyyy_hh_mm_ss"));
    // A safety archive is never written over, even by an import of the same second.
    QString path = base + QStringLiteral(".bkp");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base + u'_' + QString::number(n) + QStringLiteral(".bkp");
    return path;
}

OldDatabaseImport ImportOldDatabase(const MaintenanceContext& context, const QString& jetFile)
{
    OldDatabaseImport result;
    WaitDisplay& wait = context.wait;
    const ProgressLabel progress = [&wait](const QString& text) { wait.setTask(text); };
    const QString live = LiveDatabaseFile(context.module);
    const QString work = ConversionFileName(live);
    wait.open(QStringLiteral("Importation d'une base de l'ancienne version"), kWaitMessage, 1,
              true);
    try {
        result.report = ConvertJetDatabase(jetFile, work, context.environment, progress);
    } catch (...) {
        wait.close();
        throw;
    }

    const bool archived = context.module.ADOConnection1().isOpen();
    QString keepAs;
    try {
        if (archived) {
            result.keptIn =
                ImportBackupPath(context.environment.DataFolder, ClockOf(context).now());
            SaveDatabaseArchive(context, result.keptIn,
                                QString::fromUtf8(kImportBackupDescription));
        } else {
            keepAs = UnusedName(live, IsJetDatabaseFile(live) ? QStringLiteral(".jet")
                                                              : QStringLiteral(".avant-import"));
            result.keptIn = keepAs;
        }
        wait.open(QStringLiteral("Importation d'une base de l'ancienne version"), kWaitMessage, 1,
                  true);
        if (context.hooks.closeDossier)
            context.hooks.closeDossier();
    } catch (...) {
        QFile::remove(work);
        wait.close();
        throw;
    }

    bool replaced = false;
    RunWithConnectionClosed(
        context,
        [&] {
            InstallConvertedDatabase(work, live, keepAs);
            replaced = true;
            if (!archived)
                return;
            // The pictures of the database replaced are in the safety archive; those of the
            // earlier data folder come with its database.
            const QString images = ImagesFolder(context);
            const QString oldImages =
                QFileInfo(jetFile).absolutePath() + QStringLiteral("/../Images/");
            QDir().mkpath(images);
            DeleteFilesByMask(images, QStringLiteral("*.jpg"));
            if (QFileInfo(oldImages).isDir() &&
                QFileInfo(oldImages).canonicalFilePath() != QFileInfo(images).canonicalFilePath()) {
                QStringList problems;
                for (const QString& name : ListFiles(oldImages, QStringLiteral("*.jpg"))) {
                    if (!QFile::copy(oldImages + name, images + name))
                        problems << name;
                }
                SyncToDisk(images);
                if (!problems.isEmpty())
                    throw Error(
                        QStringLiteral("La base de données a été importée, mais ces images "
                                       "n'ont pas pu être copiées depuis %1 : %2")
                            .arg(QDir::cleanPath(oldImages), problems.join(QStringLiteral(", "))));
            }
        },
        {}, &replaced);
    AddBackupHistory(context.module, QString::fromUtf8(kImportDescription), jetFile,
                     ClockOf(context));
    return result;
}

void CompactAndRepairDatabase(const MaintenanceContext& context)
{
    const DatabaseConfig& config = context.module.config();
    AddBackupHistory(context.module, QString::fromUtf8(kCompactDescription),
                     config.DatabaseFolder + config.OleDbFileName, ClockOf(context));
    context.wait.open(QStringLiteral("Compactage de la base"), kWaitMessage, 1, true);
    const QString live = LiveDatabaseFile(context.module);
    RunWithConnectionClosed(context, [&] { CompactLiveDatabase(live); });
}

} // namespace tilvo
