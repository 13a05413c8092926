// SPDX-License-Identifier: GPL-3.0-or-later
// What the integrity check costs at start-up, on a database of about 50 MB: the open as the
// start-up does it (open, then read the version row) with and without the engine's quick check
// of every page, timed in the same iterations; and, for scale, the full check that also matches
// every index against its table, which the program does not run.
//
// The database is built once, by the shipped update script and a seeded generator, into the
// benchmark's build folder, and reused by later runs.
#include "common/Error.h"
#include "db/Connection.h"
#include "db/UpdateScript.h"
#include "db/VersionRecord.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <random>

using namespace tilvo;

namespace {

constexpr qint64 kTargetBytes = 50LL * 1024 * 1024;
constexpr int kAccounts = 60;

QString CacheFolder()
{
    return QStringLiteral(TILVO_BENCH_CACHE_DIR) + u'/';
}
QString ScriptFolder()
{
    return QStringLiteral(TILVO_SOURCE_DIR) + QStringLiteral("/shipped/Maj/");
}

// Named after the update script's content, so a changed schema builds a new one.
QString CachedDatabase()
{
    QFile script(ScriptFolder() + QStringLiteral("BD_183.maj"));
    script.open(QIODevice::ReadOnly);
    const QByteArray digest = QCryptographicHash::hash(script.readAll(), QCryptographicHash::Sha1);
    return CacheFolder() +
           QStringLiteral("open-check-50mb-%1.db").arg(QString::fromLatin1(digest.toHex().left(8)));
}

// Accounts of one dossier and entries with a comment each, spread over twenty years, added in
// batches until the file holds about 50 MB.
void BuildDatabase()
{
    if (QFileInfo::exists(CachedDatabase()))
        return;
    QDir().mkpath(CacheFolder());
    const QString building = CachedDatabase() + QStringLiteral(".new");
    QFile::remove(building);
    Connection c;
    c.setDatabaseFile(building);
    c.setCreateIfMissing(true);
    c.open();
    UpdateEnvironment env;
    env.DataFolder = CacheFolder();
    if (RunUpdateScript(c, ScriptFolder(), QStringLiteral("BD_183.maj"), ProgressLabel(), false,
                        env)
            .errors != 0)
        throw Error(QStringLiteral("the update script failed"));
    SetBDVersion(c, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE"),
                 QStringLiteral("1.83"));
    c.exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Maison')"));
    for (int a = 1; a <= kAccounts; ++a)
        c.exec(QStringLiteral("INSERT INTO ACCOUNT (Id_File, Title) VALUES (1, 'Compteur %1')")
                   .arg(a));
    std::mt19937 random(1834);
    std::uniform_int_distribution<int> account(1, kAccounts);
    std::uniform_int_distribution<int> day(0, 20 * 365);
    std::uniform_int_distribution<int> amount(1, 20000);
    const QDate first(2000, 1, 1);
    while (QFileInfo(building).size() < kTargetBytes) {
        Transaction t(c);
        QSqlQuery q(c.database());
        q.prepare(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                                 "Quantity, Price, Description) VALUES (1, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < 20000; ++i) {
            q.addBindValue(account(random));
            q.addBindValue(first.addDays(day(random)).toString(QStringLiteral("yyyy-MM-dd")));
            q.addBindValue(amount(random) / 100.0);
            q.addBindValue(amount(random) / 1000.0);
            q.addBindValue(QStringLiteral("relevé du compteur n° %1").arg(amount(random)));
            q.exec();
        }
        q.finish();
        t.commit();
    }
    c.close();
    QFile::rename(building, CachedDatabase());
}

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
    c.setDatabaseFile(CachedDatabase());
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
    state.counters["MB"] = double(QFileInfo(CachedDatabase()).size()) / (1024.0 * 1024.0);
}

// For scale: the full check, against a quick one timed in the same run.
void BM_FullCheckForScale(benchmark::State& state)
{
    Connection c;
    c.setDatabaseFile(CachedDatabase());
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
    benchmark::Initialize(&argc, argv);
    try {
        BuildDatabase();
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
