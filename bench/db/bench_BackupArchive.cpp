// SPDX-License-Identifier: GPL-3.0-or-later
// Backup and restore of a data folder holding a 50 MB database and 500 pictures of 200 KB,
// each against the standard cabinet tools doing the same work on the same files in the same
// iterations: `gcab -c -z -n` (MSZIP, bare names) for the archive, `cabextract` for the
// extraction. The compaction that precedes every backup is timed on its own.
//
// Reported: the program's time per iteration, the tool's beside it and their ratio.
#include "FiftyMegabyteDatabase.h"
#include "common/Clock.h"
#include "common/FileHelpers.h"
#include "common/Prompts.h"
#include "common/WaitDisplay.h"
#include "db/CabinetReader.h"
#include "db/Compaction.h"
#include "db/DatabaseMaintenance.h"
#include "db/TDataModule1.h"
#include "support/BenchMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <unistd.h>

using namespace tilvo;
using namespace tilvo::bench;

namespace {

constexpr int kPictures = 500;
constexpr int kPictureBytes = 200 * 1024;

class SilentPrompts final : public Prompts
{
public:
    void showMessage(const QString& text, Icon, const QString&) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    bool askYesNo(const QString&, Icon, const QString&) override { return false; }
    std::optional<QString> openFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&,
                                        const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
};

// Every timed step starts with nothing left to write out: what an earlier step wrote would
// otherwise slow the next one down.
void Settle()
{
    ::sync();
}

double Milliseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        throw Error(program + QStringLiteral(" failed"));
}

// The pictures: JPEG files hold data that barely compresses, which random bytes stand for.
QString PictureFolder()
{
    const QString folder = CacheFolder() + QStringLiteral("pictures-500x200k/");
    if (QFileInfo::exists(folder + QStringLiteral("complete")))
        return folder;
    QDir().mkpath(folder);
    QRandomGenerator random(2007);
    QByteArray bytes(kPictureBytes, Qt::Uninitialized);
    for (int i = 1; i <= kPictures; ++i) {
        random.fillRange(reinterpret_cast<quint32*>(bytes.data()), kPictureBytes / 4);
        bytes.replace(0, 4, "\xff\xd8\xff\xe0");
        QFile file(folder + QStringLiteral("Account%1.jpg").arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw Error(QStringLiteral("cannot write the pictures"));
    }
    QFile(folder + QStringLiteral("complete")).open(QIODevice::WriteOnly);
    return folder;
}

// A data folder of the program with the database and the pictures.
struct DataFolder
{
    QTemporaryDir root{CacheFolder() + QStringLiteral("work-XXXXXX")};
    QString data = root.path() + QStringLiteral("/data/");
    QString live = data + QStringLiteral("Data/Access/TILVO.MDB");
    QString images = data + QStringLiteral("Data/Images/");
    QStringList pictures;

    DataFolder()
    {
        for (const char* sub : {"Backup", "Data/Access", "Data/Images"})
            QDir().mkpath(data + QLatin1String(sub));
        if (!QFile::copy(FiftyMegabyteDatabase(), live))
            throw Error(QStringLiteral("cannot copy the database"));
        const QString source = PictureFolder();
        CopyFilesByMask(source, images, QStringLiteral("*.jpg"));
        pictures = ListFiles(images, QStringLiteral("*.*"));
    }

    DatabaseConfig config() const
    {
        DatabaseConfig c;
        c.DatabasePath = QStringLiteral("Data/");
        c.DatabaseFolder = data + QStringLiteral("Data/");
        c.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
        c.OdbcPath = c.OleDbFileName;
        c.ActiveDatabaseFile = c.OleDbFileName;
        return c;
    }

    UpdateEnvironment environment(const Clock& clock) const
    {
        UpdateEnvironment env;
        env.config = config();
        env.DataFolder = data;
        env.ProgramFolder = root.path() + QStringLiteral("/program/");
        env.ProgramVersion = QStringLiteral("1.83");
        env.UpdateFileName = QStringLiteral("BD_183.maj");
        env.clock = &clock;
        return env;
    }
};

// The archive as a backup writes it (cabinet, flushed to the disk, moved to its place),
// against gcab writing the same files.
void BM_BackupArchive(benchmark::State& state)
{
    DataFolder folder;
    SilentWaitDisplay wait;
    const QString cabinet = folder.data + QStringLiteral("Backup/temp.cab");
    const QString target = folder.root.path() + QStringLiteral("/archive.bkp");
    const QString reference = folder.root.path() + QStringLiteral("/gcab.bkp");
    QStringList toolArguments{QStringLiteral("-c"), QStringLiteral("-z"), QStringLiteral("-n"),
                              reference, folder.live};
    for (const QString& name : folder.pictures)
        toolArguments << folder.images + name;
    double ours = 0;
    double tool = 0;
    for (auto _ : state) {
        QFile::remove(reference);
        Settle();
        QElapsedTimer timer;
        timer.start();
        RunTool(QStringLiteral("gcab"), toolArguments);
        tool += Milliseconds(timer);
        Settle();
        timer.restart();
        WriteDatabaseCabinet(folder.live, folder.images, folder.pictures, cabinet, wait);
        SyncToDisk(cabinet);
        MoveFileReplacing(cabinet, target);
        const double ms = Milliseconds(timer);
        ours += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = ours / n;
    state.counters["gcab_ms"] = tool / n;
    state.counters["ratio"] = ours / tool;
    state.counters["MB"] = double(QFileInfo(target).size()) / (1024.0 * 1024.0);
}

// The compaction a backup does first, on its own.
void BM_CompactionBeforeBackup(benchmark::State& state)
{
    DataFolder folder;
    for (auto _ : state) {
        Settle();
        QElapsedTimer timer;
        timer.start();
        CompactLiveDatabase(folder.live);
        state.SetIterationTime(Milliseconds(timer) / 1000.0);
    }
}

// The whole backup command (history row, compaction, archive), for scale.
void BM_WholeBackup(benchmark::State& state)
{
    DataFolder folder;
    SilentPrompts prompts;
    const SystemClock clock;
    SilentWaitDisplay wait;
    TDataModule1 module(folder.config(), prompts);
    const MaintenanceContext context{module, folder.environment(clock), wait, MaintenanceHooks()};
    const QString target = folder.root.path() + QStringLiteral("/archive.bkp");
    for (auto _ : state) {
        Settle();
        QElapsedTimer timer;
        timer.start();
        SaveDatabaseArchive(context, target, QString::fromUtf8(kBackupDescription));
        state.SetIterationTime(Milliseconds(timer) / 1000.0);
    }
}

// The restore command (extraction into a private folder, the database checked and put in
// place, the pictures moved, the connection reopened), and the extraction alone, against
// cabextract extracting the same archive.
void BM_Restore(benchmark::State& state)
{
    DataFolder folder;
    SilentPrompts prompts;
    const SystemClock clock;
    SilentWaitDisplay wait;
    const QString archive = folder.root.path() + QStringLiteral("/archive.bkp");
    WriteDatabaseCabinet(folder.live, folder.images, folder.pictures, archive, wait);
    TDataModule1 module(folder.config(), prompts);
    const MaintenanceContext context{module, folder.environment(clock), wait, MaintenanceHooks()};
    const QString toolFolder = folder.root.path() + QStringLiteral("/cabextract");
    const QString extractFolder = folder.root.path() + QStringLiteral("/extract");
    double restore = 0;
    double extract = 0;
    double tool = 0;
    for (auto _ : state) {
        QDir(toolFolder).removeRecursively();
        QDir(extractFolder).removeRecursively();
        QDir().mkpath(extractFolder);
        Settle();
        QElapsedTimer timer;
        timer.start();
        RunTool(QStringLiteral("cabextract"),
                {QStringLiteral("-q"), QStringLiteral("-d"), toolFolder, archive});
        tool += Milliseconds(timer);
        Settle();
        timer.restart();
        CabinetReader(archive).extractAll(extractFolder);
        extract += Milliseconds(timer);
        Settle();
        timer.restart();
        RestoreDatabaseArchive(context, archive);
        const double ms = Milliseconds(timer);
        restore += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    const double n = double(state.iterations());
    state.counters["restore_ms"] = restore / n;
    state.counters["extract_ms"] = extract / n;
    state.counters["cabextract_ms"] = tool / n;
    state.counters["ratio"] = restore / tool;
    state.counters["extract_ratio"] = extract / tool;
}

} // namespace

BENCHMARK(BM_BackupArchive)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CompactionBeforeBackup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WholeBackup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Restore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv, [] {
        BuildFiftyMegabyteDatabase();
        PictureFolder();
    });
}
