// SPDX-License-Identifier: GPL-3.0-or-later
// What the integrity check costs at start-up, on a database of about 50 MB: the open as the
// start-up does it (open, then read the version row) with and without the engine's quick check
// of every page, timed in the same iterations; and, for scale, the full check that also matches
// every index against its table, which the program does not run.
//
// The database is built once (FiftyMegabyteDatabase.h) and reused by later runs.
#include "FiftyMegabyteDatabase.h"
#include "common/Error.h"
#include "db/Connection.h"
#include "db/VersionRecord.h"
#include "support/BenchMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <benchmark/benchmark.h>

using namespace tilvo;
using namespace tilvo::bench;

namespace {

double Milliseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The start-up's open: the connection with its own checks, then the version row.
void OpenAndReadTheVersion(Connection& c, bool check)
{
    c.open();
    if (check)
        c.checkIntegrity();
    benchmark::DoNotOptimize(
        GetBDVersion(c, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")));
    c.close();
}

// Each iteration opens once without and once with the check; the time reported is the open
// with the check, its ratio to the plain open of the same iterations beside it.
void BM_OpenWithAndWithoutCheck(benchmark::State& state)
{
    Connection c;
    c.setDatabaseFile(FiftyMegabyteDatabase());
    double plain = 0;
    double checked = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        OpenAndReadTheVersion(c, false);
        plain += Milliseconds(timer);
        timer.restart();
        OpenAndReadTheVersion(c, true);
        const double ms = Milliseconds(timer);
        checked += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    const double n = double(state.iterations());
    state.counters["plain_ms"] = plain / n;
    state.counters["checked_ms"] = checked / n;
    state.counters["ratio"] = checked / plain;
    state.counters["MB"] = double(QFileInfo(FiftyMegabyteDatabase()).size()) / (1024.0 * 1024.0);
}

// For scale: the full check, against a quick one timed in the same run.
void BM_FullCheckForScale(benchmark::State& state)
{
    Connection c;
    c.setDatabaseFile(FiftyMegabyteDatabase());
    c.open();
    double quick = 0;
    double full = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        c.checkIntegrity();
        quick += Milliseconds(timer);
        timer.restart();
        QSqlQuery q(c.database());
        q.exec(QStringLiteral("PRAGMA integrity_check(10)"));
        while (q.next())
            benchmark::DoNotOptimize(q.value(0));
        const double ms = Milliseconds(timer);
        full += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    c.close();
    state.counters["quick_ms"] = quick / double(state.iterations());
    state.counters["full_ms"] = full / double(state.iterations());
    state.counters["ratio"] = full / quick;
}

} // namespace

BENCHMARK(BM_OpenWithAndWithoutCheck)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullCheckForScale)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv, [] { BuildFiftyMegabyteDatabase(); });
}
