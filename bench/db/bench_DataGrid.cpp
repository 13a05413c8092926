// SPDX-License-Identifier: GPL-3.0-or-later
// The entries grid over an account of 100 000 entries: opening the dataset into the grid and
// painting it once, and scrolling it from top to bottom, each against the dataset opened
// alone (the reference, timed in the same iterations). Reports medians, their ratio, and the
// memory of the model and of the whole grid.
//
// The database is built once, by the shipped update script and a seeded generator, into the
// benchmark's build folder, and reused by later runs.
#include "common/Error.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/DataSetModel.h"
#include "db/ui/DBGrid.h"
#include "support/BenchMain.h"
#include "support/EntriesDatabase.h"
#include "support/SilentPrompts.h"
#include "support/Timing.h"

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <malloc.h>

using namespace tilvo;
using namespace tilvo::bench;

namespace {

QString CachedDatabase()
{
    return tilvo::bench::EntriesDatabase(QStringLiteral(TILVO_BENCH_CACHE_DIR) + u'/',
                                         QStringLiteral(TILVO_SOURCE_DIR) +
                                             QStringLiteral("/shipped/Maj/"));
}

QStringList EntriesSql(int account)
{
    return {QStringLiteral("SELECT * FROM CONSUMPTION"),
            QStringLiteral("WHERE Id_Account=%1").arg(account),
            QStringLiteral("ORDER BY DATEACTION")};
}

void SetDisplays(DataSet& entries)
{
    const auto display = [&](const char* name, const char* label, int width, const char* format) {
        FieldDisplay d;
        d.label = QString::fromUtf8(label);
        d.width = width;
        d.displayFormat = QString::fromUtf8(format);
        entries.setFieldDisplay(QLatin1String(name), d);
    };
    display("DateAction", "Date", 10, "");
    display("Quantity", "Quantité", 0, "#######0.00 m3");
    display("Price", "Montant", 0, "#######0.000 €");
    display("Description", "Commentaire", 0, "");
}

using Clock = SteadyClock;

// Small blocks in use plus the large ones the allocator maps on their own.
size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Paints the grid's rows as the screen would, whether or not a window system shows it.
void Paint(DBGrid& grid)
{
    static QPixmap target(grid.viewport()->size());
    if (target.size() != grid.viewport()->size())
        target = QPixmap(grid.viewport()->size());
    grid.viewport()->render(&target);
}

// The reference: the same dataset opened alone, on its last row, as selecting an account does.
double OpenAlone(DataSet& reference)
{
    const auto start = Clock::now();
    reference.close();
    reference.open();
    reference.last();
    return Milliseconds(Clock::now() - start);
}

struct GridBench
{
    Connection connection;
    DataSet entries{connection, QStringLiteral("Consumption")};
    DataSet reference{connection, QStringLiteral("Reference")};
    DataSource source{entries};
    SilentPrompts prompts;
    DBGrid grid{prompts};

    GridBench()
    {
        connection.setDatabaseFile(CachedDatabase());
        connection.open();
        entries.setSql(EntriesSql(-1));
        reference.setSql(EntriesSql(1));
        SetDisplays(entries);
        entries.open();
        grid.setDataSource(&source, {QStringLiteral("DateAction"), QStringLiteral("Quantity"),
                                     QStringLiteral("Price"), QStringLiteral("Description")});
        grid.resize(640, 480);
        grid.show();
    }

    // What selecting the account does to the entries grid, then one painting of it.
    void selectAndPaint(int account)
    {
        entries.disableControls();
        entries.close();
        entries.setSql(EntriesSql(account));
        entries.open();
        entries.last();
        entries.enableControls();
        Paint(grid);
    }
};

GridBench& Bench()
{
    static GridBench bench;
    return bench;
}

void BM_OpenIntoTheGridAndPaint(benchmark::State& state)
{
    GridBench& b = Bench();
    std::vector<double> grid, alone;
    for (auto _ : state) {
        b.selectAndPaint(-1);
        const auto start = Clock::now();
        b.selectAndPaint(1);
        grid.push_back(Milliseconds(Clock::now() - start));
        state.PauseTiming();
        alone.push_back(OpenAlone(b.reference));
        b.reference.close();
        state.ResumeTiming();
    }
    state.counters["rows"] = b.grid.model()->rowCount();
    state.counters["median_ms"] = Median(grid);
    state.counters["open_alone_median_ms"] = Median(alone);
    state.counters["ratio_to_open_alone"] = Median(grid) / Median(alone);
}

void BM_ScrollTopToBottom(benchmark::State& state)
{
    GridBench& b = Bench();
    b.selectAndPaint(1);
    QScrollBar* bar = b.grid.verticalScrollBar();
    std::vector<double> scroll, alone;
    int pages = 0;
    for (auto _ : state) {
        bar->setValue(0);
        Paint(b.grid);
        pages = 0;
        const auto start = Clock::now();
        while (bar->value() < bar->maximum()) {
            bar->setValue(bar->value() + bar->pageStep());
            Paint(b.grid);
            ++pages;
        }
        scroll.push_back(Milliseconds(Clock::now() - start));
        state.PauseTiming();
        alone.push_back(OpenAlone(b.reference));
        b.reference.close();
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
    state.counters["ms_per_page"] = Median(scroll) / std::max(pages, 1);
    state.counters["median_ms"] = Median(scroll);
    state.counters["open_alone_median_ms"] = Median(alone);
    state.counters["ratio_to_open_alone"] = Median(scroll) / Median(alone);
}

// Heap taken by the open dataset, by a model over it, and by a whole grid painted once.
void BM_Memory(benchmark::State& state)
{
    GridBench& b = Bench();
    b.entries.close();
    size_t dataset = 0, model = 0, grid = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        DataSet entries(b.connection);
        entries.setSql(EntriesSql(1));
        SetDisplays(entries);
        entries.open();
        entries.last();
        const size_t opened = HeapInUse();
        DataSource source(entries);
        {
            DataSetModel alone(source);
            alone.setColumns({QStringLiteral("DateAction"), QStringLiteral("Quantity"),
                              QStringLiteral("Price"), QStringLiteral("Description")});
            benchmark::DoNotOptimize(alone.rowCount());
            model = HeapInUse() - opened;
        }
        const size_t withoutModel = HeapInUse();
        {
            DBGrid view(b.prompts);
            view.setDataSource(&source, {QStringLiteral("DateAction"), QStringLiteral("Quantity"),
                                         QStringLiteral("Price"), QStringLiteral("Description")});
            view.resize(640, 480);
            view.show();
            Paint(view);
            grid = HeapInUse() - withoutModel;
        }
        dataset = opened - before;
    }
    state.counters["dataset_MB"] = double(dataset) / (1024 * 1024);
    state.counters["model_bytes"] = double(model);
    state.counters["grid_MB"] = double(grid) / (1024 * 1024);
    state.counters["dataset_and_grid_MB"] = double(dataset + grid) / (1024 * 1024);
}

} // namespace

BENCHMARK(BM_OpenIntoTheGridAndPaint)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_ScrollTopToBottom)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Memory)->Iterations(1);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv, [] { CachedDatabase(); });
}
