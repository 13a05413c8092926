// SPDX-License-Identifier: GPL-3.0-or-later
// Conversion of the large Jet database of the earlier platform (100 000 entries, 10 MB) into a
// database of this program, against mdb-export printing every table of the same file to
// /dev/null in the same iterations: the reading alone, done by the Jet tool.
//
// Reported: the median time of each, their ratio, and the peak memory (resident set) of a
// process doing only that work: the conversion in a child of this process (what the child had
// on its start subtracted), mdb-export as its own process (its largest table).
//
// The fixture is ../shared/fixtures/jet/tilvo-jet4-large.mdb from the project's root, or the
// file named by TILVO_JET_LARGE.
#include "common/Error.h"
#include "db/JetConverter.h"
#include "support/BenchMain.h"
#include "support/Timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tilvo;
using namespace tilvo::bench;

namespace {

QString LargeFixture()
{
    const QByteArray named = qgetenv("TILVO_JET_LARGE");
    if (!named.isEmpty())
        return QString::fromLocal8Bit(named);
    return QDir::cleanPath(QStringLiteral(TILVO_SOURCE_DIR "/../shared/fixtures/jet/"
                                                           "tilvo-jet4-large.mdb"));
}

// A program folder with the template the build made and the shipped update script.
struct ProgramFolder
{
    QTemporaryDir root;
    QString program = root.path() + QStringLiteral("/program/");
    QString data = root.path() + QStringLiteral("/data/");

    ProgramFolder()
    {
        QDir().mkpath(program + QStringLiteral("Ressources/DB/Data/Access"));
        QDir().mkpath(program + QStringLiteral("Maj"));
        QDir().mkpath(data);
        if (!QFile::copy(QStringLiteral(TILVO_PROGRAM_DIR "/Ressources/DB/Data/Access/TILVO.MDB"),
                         program + QStringLiteral("Ressources/DB/Data/Access/TILVO.MDB")) ||
            !QFile::copy(QStringLiteral(TILVO_SOURCE_DIR "/shipped/Maj/BD_183.maj"),
                         program + QStringLiteral("Maj/BD_183.maj")))
            throw Error(QStringLiteral("cannot prepare the program folder"));
    }

    UpdateEnvironment environment() const
    {
        UpdateEnvironment env;
        env.config.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
        env.DataFolder = data;
        env.ProgramFolder = program;
        env.ProgramVersion = QStringLiteral("1.83");
        env.UpdateFileName = QStringLiteral("BD_183.maj");
        return env;
    }
};

QStringList JetTables(const QString& file)
{
    QProcess tool;
    tool.start(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), file});
    if (!tool.waitForFinished(-1) || tool.exitCode() != 0)
        throw Error(QStringLiteral("mdb-tables failed"));
    return QString::fromUtf8(tool.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// Runs mdb-export on one table, its output to /dev/null; returns its peak resident set in KiB.
long MdbExport(const QString& file, const QString& table)
{
    const QByteArray fileName = QFile::encodeName(file);
    const QByteArray tableName = table.toUtf8();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execlp("mdb-export", "mdb-export", "-b", "hex", fileName.constData(),
                 tableName.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        throw Error(QStringLiteral("mdb-export failed on ") + table);
    return usage.ru_maxrss;
}

// The peak resident set (KiB) a child of this process reaches doing `work`, less what it held
// when it started.
long ChildPeak(const std::function<void()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            work();
        } catch (const Error& e) {
            std::fprintf(stderr, "%s\n", e.what());
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    struct rusage usage = {};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        throw Error(QStringLiteral("the measured child failed"));
    return usage.ru_maxrss;
}

void BM_ConvertLargeJetDatabase(benchmark::State& state)
{
    const QString source = LargeFixture();
    if (!QFileInfo(source).isFile()) {
        state.SkipWithError("the large Jet fixture is missing (set TILVO_JET_LARGE)");
        return;
    }
    const ProgramFolder folder;
    const UpdateEnvironment env = folder.environment();
    const QString target = folder.root.path() + QStringLiteral("/converted.MDB");
    const QStringList tables = JetTables(source);
    std::vector<double> ours;
    std::vector<double> tool;
    long toolPeak = 0;
    int entries = 0;
    for (auto _ : state) {
        auto start = SteadyClock::now();
        for (const QString& table : tables)
            toolPeak = std::max(toolPeak, MdbExport(source, table));
        tool.push_back(Milliseconds(SteadyClock::now() - start));

        QFile::remove(target);
        start = SteadyClock::now();
        entries = ConvertJetDatabase(source, target, env).entries;
        const double ms = Milliseconds(SteadyClock::now() - start);
        ours.push_back(ms);
        state.SetIterationTime(ms / 1000.0);
    }
    // Memory, once, outside the timed work.
    const long idle = ChildPeak([] {});
    const long converting = ChildPeak([&] {
        QFile::remove(target);
        ConvertJetDatabase(source, target, env);
    });
    state.counters["entries"] = entries;
    state.counters["ours_median_ms"] = Median(ours);
    state.counters["mdbexport_median_ms"] = Median(tool);
    state.counters["ratio"] = Median(ours) / Median(tool);
    state.counters["ours_peak_MB"] = double(converting - idle) / 1024.0;
    state.counters["ours_child_peak_MB"] = double(converting) / 1024.0;
    state.counters["mdbexport_peak_MB"] = double(toolPeak) / 1024.0;
    state.counters["converted_MB"] = double(QFileInfo(target).size()) / (1024.0 * 1024.0);
}

} // namespace

BENCHMARK(BM_ConvertLargeJetDatabase)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv);
}
