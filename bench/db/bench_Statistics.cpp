// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics queries over a database of 1 000 000 entries in 100 accounts (one holding
// 100 000), and the deletion of a dossier holding 500 000 entries.
#include "StatisticsDatabase.h"
#include "common/Error.h"
#include "common/Prompts.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/TDataModule1.h"
#include "db/UpdateScript.h"
#include "support/BenchMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using namespace tilvo;
using namespace tilvo::bench;

namespace {

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

const QString kSelect = QStringLiteral("SELECT DATEACTION, PRICE, QUANTITY FROM CONSUMPTION WHERE "
                                       "Id_Account=%1")
                            .arg(kBigAccount);

// Opens the statement and reads every row the way the statistics do.
void Query(benchmark::State& state, const QString& where, bool ranges)
{
    std::unique_ptr<Connection> c = OpenCached();
    c->setDateRangeRewriting(ranges);
    DataSet q(*c, QStringLiteral("Query"));
    q.setSqlText(kSelect + where);
    qint64 rows = 0;
    for (auto _ : state) {
        q.close();
        q.open();
        double sum = 0;
        for (q.first(); !q.eof(); q.next()) {
            sum += q.field(2).asDouble() + q.field(0).asDate().month();
            ++rows;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["rows"] = double(rows) / double(state.iterations());
}

const QString kYear = QStringLiteral(" AND MID(DATEACTION, 7, 4)='2008'");
const QString kMonth =
    QStringLiteral(" AND MID(DATEACTION, 4, 2)='03' AND MID(DATEACTION, 7, 4)='2008'");
const QString kDecade =
    QStringLiteral(" AND MID(DATEACTION, 7, 4)>='2000' AND MID(DATEACTION, 7, 4)<='2009'");

void BM_YearQuery(benchmark::State& state)
{
    Query(state, kYear, true);
}
void BM_YearQueryAsText(benchmark::State& state)
{
    Query(state, kYear, false);
}
void BM_MonthQuery(benchmark::State& state)
{
    Query(state, kMonth, true);
}
void BM_MonthQueryAsText(benchmark::State& state)
{
    Query(state, kMonth, false);
}
void BM_DecadeQuery(benchmark::State& state)
{
    Query(state, kDecade, true);
}
void BM_DecadeQueryAsText(benchmark::State& state)
{
    Query(state, kDecade, false);
}

// The floor through the same dataset: the 2008 rows of the account by the index range.
void BM_YearIndexRange(benchmark::State& state)
{
    Query(state, QStringLiteral(" AND DateAction >= '2008-01-01' AND DateAction < '2009-01-01'"),
          true);
}

// The floor without the program's layers: the engine's own cursor over the index range, with
// the engine's default page cache (range 0) or with the connection's (range 1).
void BM_YearIndexRangeEngineOnly(benchmark::State& state)
{
    BuildDatabase();
    sqlite3* db = nullptr;
    sqlite3_open_v2(CachedDatabase().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (state.range(0) == 1)
        sqlite3_exec(db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT DATEACTION, PRICE, QUANTITY FROM CONSUMPTION WHERE Id_Account=1 AND "
                       "DateAction >= '2008-01-01' AND DateAction < '2009-01-01'",
                       -1, &stmt, nullptr);
    qint64 rows = 0;
    for (auto _ : state) {
        double sum = 0;
        sqlite3_reset(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            sum += sqlite3_column_double(stmt, 2) + sqlite3_column_bytes(stmt, 0);
            ++rows;
        }
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    state.counters["rows"] = double(rows) / double(state.iterations());
}

// The entries grid of the main window on the account of 100 000 entries: every column.
void BM_ConsumptionOfTheLargestAccount(benchmark::State& state)
{
    std::unique_ptr<Connection> c = OpenCached();
    DataSet consumption(*c, QStringLiteral("Consumption"));
    consumption.setSql({QStringLiteral("SELECT * FROM CONSUMPTION"),
                        QStringLiteral("WHERE Id_Account=%1").arg(kBigAccount),
                        QStringLiteral("ORDER BY DATEACTION")});
    for (auto _ : state) {
        consumption.close();
        consumption.open();
        consumption.last();
        benchmark::DoNotOptimize(consumption.fieldByName(QStringLiteral("Quantity")).asDouble());
    }
    state.counters["rows"] = consumption.recordCount();
}

// Deleting dossier 1 through MainFile: its 50 accounts, their pictures and 500 000 entries.
void BM_DossierCascade(benchmark::State& state)
{
    BuildDatabase();
    const QString folder = CacheFolder() + QStringLiteral("cascade/");
    QDir().mkpath(folder + QStringLiteral("Access"));
    QDir().mkpath(folder + QStringLiteral("Images"));
    DatabaseConfig config;
    config.DatabaseFolder = folder;
    config.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
    SilentPrompts prompts;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(config.databaseFile());
        QFile::copy(CachedDatabase(), config.databaseFile());
        auto dm = std::make_unique<TDataModule1>(config, prompts);
        dm->MainFile().open();
        dm->MainFile().locate(QStringLiteral("ID"), 1);
        state.ResumeTiming();
        dm->MainFile().remove();
        state.PauseTiming();
        dm.reset();
        state.ResumeTiming();
    }
    QFile::remove(config.databaseFile());
}

} // namespace

BENCHMARK(BM_YearIndexRangeEngineOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearIndexRange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_YearQueryAsText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthQueryAsText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecadeQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecadeQueryAsText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConsumptionOfTheLargestAccount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DossierCascade)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv, [] { BuildDatabase(); });
}
