// SPDX-License-Identifier: GPL-3.0-or-later
// ComputeStatistic for each period kind on the account of 100 000 entries of a database of
// 1 000 000, against the engine's own read of the same rows by the same index range (the
// sqlite3 C API straight on the file, with the same page cache), measured in the same
// iterations. "ratio" is the statistic's time over the engine's.
#include "StatisticsDatabase.h"
#include "db/DataSet.h"
#include "stats/BucketTable.h"
#include "stats/ComputeStatistic.h"
#include "stats/StatisticState.h"
#include "support/BenchMain.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <sqlite3.h>

using namespace tilvo;
using namespace tilvo::bench;

namespace {

struct Period
{
    int kind;
    const char* first; // the rows' range, first day included
    const char* end;   // first day after the range
};

// March 2008, 2008, 2000-2009, and 2003 to 2006 as a date range (about 33 000 entries).
constexpr Period kPeriods[] = {
    {kPeriodMonth, "2008-03-01", "2008-04-01"},
    {kPeriodYear, "2008-01-01", "2009-01-01"},
    {kPeriodDecade, "2000-01-01", "2010-01-01"},
    {kPeriodDates, "2003-01-01", "2007-01-01"},
};

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

class EngineRead
{
public:
    explicit EngineRead(const Period& period)
    {
        sqlite3_open_v2(CachedDatabase().toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY,
                        nullptr);
        sqlite3_exec(m_db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
        QByteArray sql = QByteArrayLiteral("SELECT DATEACTION, PRICE, QUANTITY FROM CONSUMPTION "
                                           "WHERE Id_Account=") +
                         QByteArray::number(kBigAccount) + " AND DateAction >= '" + period.first +
                         "' AND DateAction < '" + period.end + "'";
        if (period.kind == kPeriodDates)
            sql += " ORDER BY DateAction";
        sqlite3_prepare_v2(m_db, sql.constData(), -1, &m_stmt, nullptr);
    }
    ~EngineRead()
    {
        sqlite3_finalize(m_stmt);
        sqlite3_close(m_db);
    }
    EngineRead(const EngineRead&) = delete;
    EngineRead& operator=(const EngineRead&) = delete;

    // Every row, its three columns read.
    qint64 read()
    {
        sqlite3_reset(m_stmt);
        qint64 rows = 0;
        double sum = 0;
        while (sqlite3_step(m_stmt) == SQLITE_ROW) {
            sum += sqlite3_column_double(m_stmt, 1) + sqlite3_column_double(m_stmt, 2) +
                   sqlite3_column_bytes(m_stmt, 0);
            ++rows;
        }
        benchmark::DoNotOptimize(sum);
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
};

void BM_ComputeStatistic(benchmark::State& state)
{
    const Period& period = kPeriods[state.range(0)];
    std::unique_ptr<Connection> c = OpenCached();
    DataSet query(*c, QStringLiteral("Query"));
    BucketTable buckets;
    StatisticState s;
    s.PeriodKind = period.kind;
    s.Month = 3;
    s.Year = 2008;
    s.DecadeStart = 2000;
    s.BeginDate = QDate(2003, 1, 1);
    s.EndDate = QDate(2006, 12, 31);
    EngineRead engine(period);

    double engineSeconds = 0, statisticSeconds = 0;
    qint64 rows = 0;
    // The two alternate which goes first, so that neither always finds the processor's caches
    // warmed by the other.
    bool engineFirst = true;
    for (auto _ : state) {
        double engineTime = 0, statisticTime = 0;
        const auto timeEngine = [&] {
            const Clock::time_point t0 = Clock::now();
            rows = engine.read();
            engineTime = Seconds(t0, Clock::now());
        };
        const auto timeStatistic = [&] {
            const Clock::time_point t0 = Clock::now();
            ComputeStatistic(s, buckets, query, 1, kBigAccount, true);
            statisticTime = Seconds(t0, Clock::now());
        };
        if (engineFirst) {
            timeEngine();
            timeStatistic();
        } else {
            timeStatistic();
            timeEngine();
        }
        engineFirst = !engineFirst;
        engineSeconds += engineTime;
        statisticSeconds += statisticTime;
        state.SetIterationTime(statisticTime);
    }
    if (state.thread_index() == 0 && state.iterations() > 0 && std::getenv("TILVO_SHOW_SQL"))
        std::fprintf(stderr, "%s\n", qPrintable(c->translate(StatisticQueryText(s, kBigAccount))));
    const double n = double(state.iterations());
    state.counters["engine_ms"] = engineSeconds / n * 1000;
    state.counters["ratio"] = statisticSeconds / engineSeconds;
    state.counters["rows"] = double(rows);
    state.counters["buckets"] = buckets.count();
    state.SetLabel(PeriodKindText(period.kind).toStdString());
}

} // namespace

BENCHMARK(BM_ComputeStatistic)
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv, [] { BuildDatabase(); });
}
