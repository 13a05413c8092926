// SPDX-License-Identifier: GPL-3.0-or-later
// Adding one entry to an account of 100 000 entries, as the entry button does it: from the
// entry dialog's OK (driven without a person) until the entry is posted, the counter updated
// and the entries reopened on the new row, with the entries grid bound to them; the second
// case adds what the main window does then: the year's statistic computed again and drawn,
// and the account's line of the list built again. The reference, timed in the same
// iterations, is reopening the entries on their row alone.
//
// The database is built once into the benchmark's build folder (bench/support) and copied
// for each run, since the benchmark adds entries to it.
#include "common/Clock.h"
#include "common/Error.h"
#include "db/DataSet.h"
#include "db/DataSetOps.h"
#include "db/TDataModule1.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBGrid.h"
#include "main/AccountListModel.h"
#include "main/ConsumptionActions.h"
#include "main/MainWindowHooks.h"
#include "main/ui/TEnterConsumption.h"
#include "stats/ui/ChartView.h"
#include "stats/ui/StatisticBar.h"
#include "support/BenchMain.h"
#include "support/EntriesDatabase.h"
#include "support/SilentPrompts.h"
#include "support/Timing.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace tilvo;
using namespace tilvo::bench;

namespace {

QString CachedDatabase()
{
    return EntriesDatabase(QStringLiteral(TILVO_BENCH_CACHE_DIR) + u'/',
                           QStringLiteral(TILVO_SOURCE_DIR) + QStringLiteral("/shipped/Maj/"));
}

struct AddEntryBench
{
    QTemporaryDir folder;
    SilentPrompts prompts;
    FixedClock clock{QDateTime(QDate(2100, 1, 1), QTime(12, 0))};
    std::unique_ptr<TDataModule1> dm;
    std::unique_ptr<DBGrid> grid;

    AddEntryBench()
    {
        QDir().mkpath(folder.path() + QStringLiteral("/Access"));
        if (!QFile::copy(CachedDatabase(), folder.path() + QStringLiteral("/Access/TILVO.MDB")))
            throw Error(QStringLiteral("cannot copy the benchmark database"));
        DatabaseConfig config;
        config.DatabasePath = folder.path() + u'/';
        config.DatabaseFolder = config.DatabasePath;
        config.OleDbFileName = QStringLiteral("Access/TILVO.MDB");
        config.ActiveDatabaseFile = config.OleDbFileName;
        dm = std::make_unique<TDataModule1>(config, prompts);
        if (!dm->connectionOk())
            throw Error(QStringLiteral("cannot open the benchmark database"));
        ExecSql(dm->Query(), QStringLiteral("UPDATE ACCOUNT SET Count=0, IncCount=1 WHERE Id=1"));
        // As selecting the account leaves the entries: open, shown in the grid, on the last.
        DataSet& entries = dm->Consumption();
        ReplaceWhereLine(entries, QStringLiteral("WHERE Id_Account=1"));
        FieldDisplay quantity = entries.fieldDisplay(QStringLiteral("Quantity"));
        quantity.editFormat = QStringLiteral("#######0.00");
        quantity.displayFormat = QStringLiteral("#######0.00 m3");
        entries.setFieldDisplay(QStringLiteral("Quantity"), quantity);
        entries.open();
        entries.last();
        grid = std::make_unique<DBGrid>(prompts);
        grid->setDataSource(&dm->DSConsumption(),
                            {QStringLiteral("DateAction"), QStringLiteral("Quantity"),
                             QStringLiteral("Price"), QStringLiteral("Description")});
        grid->resize(640, 480);
        grid->show();
    }

    ~AddEntryBench()
    {
        grid.reset();
        dm.reset();
    }
};

void RunAddEntry(benchmark::State& state, AddEntryBench& b, const MainWindowHooks& hooks)
{
    std::vector<double> add, alone;
    SteadyClock::time_point okAt;
    const EntryDialog dialog = [&] {
        TEnterConsumption d(b.dm->DSConsumption(), b.prompts, b.clock);
        d.DBEdit1->setText(QStringLiteral("1,5"));
        d.DBEdit2->setText(QStringLiteral("2,25"));
        okAt = SteadyClock::now();
        d.Btn_OkClick();
        return d.result() == QDialog::Accepted;
    };
    for (auto _ : state) {
        if (!AddEntry(*b.dm, 1, 1, b.clock, dialog, hooks))
            state.SkipWithError("the entry was not added");
        add.push_back(Milliseconds(SteadyClock::now() - okAt));
        state.PauseTiming();
        const auto start = SteadyClock::now();
        ReopenKeepingRow(b.dm->Consumption());
        alone.push_back(Milliseconds(SteadyClock::now() - start));
        state.ResumeTiming();
    }
    DataSet& entries = b.dm->Consumption();
    state.counters["rows"] = entries.recordCount();
    DataSet& query = b.dm->Query();
    query.setSqlText(QStringLiteral("SELECT Count FROM ACCOUNT WHERE Id=1"));
    query.open();
    state.counters["counter"] = query.field(0).asDouble();
    query.close();
    state.counters["median_ms"] = Median(add);
    state.counters["reopen_alone_median_ms"] = Median(alone);
    state.counters["ratio_to_reopen_alone"] = Median(add) / Median(alone);
}

void BM_AddEntryFromOk(benchmark::State& state)
{
    AddEntryBench b;
    RunAddEntry(state, b, MainWindowHooks());
}

// With the main window's statistics panel (a year of the account, drawn into a chart of the
// window's size) and its account list.
void BM_AddEntryWithTheWindowsWork(benchmark::State& state)
{
    AddEntryBench b;
    ChartView chart;
    chart.resize(532, 300);
    StatisticBar bar(chart, b.dm->Query(), b.prompts, b.clock);
    AccountListModel accounts;
    accounts.rebuild(b.dm->Query(), 1, 1);
    MainWindowHooks hooks;
    hooks.ComputeStatistic = [&] { bar.Compute(1, 1, true); };
    hooks.RefreshAccountEntry = [&](int accountId) { accounts.refresh(b.dm->Query(), accountId); };
    RunAddEntry(state, b, hooks);
    state.counters["year_total"] = [&] {
        double total = 0;
        for (int i = 1; i <= bar.buckets().count(); ++i)
            total += bar.buckets().value(i);
        return total;
    }();
}

} // namespace

BENCHMARK(BM_AddEntryFromOk)->Unit(benchmark::kMillisecond)->Iterations(21);
BENCHMARK(BM_AddEntryWithTheWindowsWork)->Unit(benchmark::kMillisecond)->Iterations(21);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv, [] { CachedDatabase(); });
}
