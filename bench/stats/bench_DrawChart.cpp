// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing 50 000 points of each chart kind: DrawStatistic into the 1000 × 600 export chart and
// its painting into a picture, and the same on the chart widget; "ratio" compares it with
// the same chart holding a year's twelve points, measured in the same iterations.
#include "stats/BucketTable.h"
#include "stats/ChartRenderer.h"
#include "stats/StatisticChart.h"
#include "stats/StatisticFormats.h"
#include "stats/StatisticState.h"
#include "stats/TDrawStat.h"
#include "stats/ui/ChartView.h"
#include "support/BenchMain.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>

using namespace tilvo;

namespace {

const char* const kKinds[] = {"", "line 3D", "bars", "area", "points", "pie", "simple line"};

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

void Fill(BucketTable& buckets, int points)
{
    buckets.ClearBuckets();
    const QDate first(1990, 1, 1);
    for (int i = 0; i < points; ++i)
        buckets.appendDate(first.addDays(i / 3), 60 + 50 * std::sin(i / 700.0) + (i * 7919 % 13));
}

StatisticState State(int kind)
{
    StatisticState s;
    s.ChartKind = kind;
    s.QuantityFormat = QuantityFormatFor(2, QStringLiteral("kWh"));
    return s;
}

// One drawing: the chart filled from the table, then painted.
template <typename Paint>
double Draw(ChartModel& chart, const StatisticState& s, const BucketTable& buckets, Paint paint)
{
    const Clock::time_point t0 = Clock::now();
    DeactivateAllSeries(chart);
    DrawStatistic(chart, s, buckets, buckets.allZero());
    paint();
    return Seconds(t0, Clock::now());
}

template <typename Paint> void Measure(benchmark::State& state, ChartModel& chart, Paint paint)
{
    const int kind = int(state.range(0));
    const StatisticState s = State(kind);
    BucketTable many, year;
    Fill(many, BucketTable::Capacity);
    Fill(year, 12);
    double manySeconds = 0, yearSeconds = 0;
    for (auto _ : state) {
        yearSeconds += Draw(chart, s, year, paint);
        const double t = Draw(chart, s, many, paint);
        manySeconds += t;
        state.SetIterationTime(t);
    }
    state.counters["twelve_ms"] = yearSeconds / double(state.iterations()) * 1000;
    state.counters["ratio"] = manySeconds / yearSeconds;
    state.SetLabel(kKinds[kind]);
}

void BM_DrawExportChart(benchmark::State& state)
{
    TDrawStat draw;
    ChartModel& chart = draw.Chart1();
    QImage image(chart.width(), chart.height(), QImage::Format_RGB32);
    Measure(state, chart, [&] {
        QPainter painter(&image);
        ChartRenderer(chart).paint(painter, QRectF(0, 0, chart.width(), chart.height()));
    });
}

void BM_DrawExportChartHighDensity(benchmark::State& state)
{
    TDrawStat draw;
    ChartModel& chart = draw.Chart1();
    Measure(state, chart, [&] { benchmark::DoNotOptimize(RenderChartImage(chart, 2.0)); });
}

void BM_DrawChartWidget(benchmark::State& state)
{
    ChartView view;
    view.resize(1000, 600);
    SetUpStatisticChart(view.model());
    view.show();
    QApplication::processEvents();
    Measure(state, view.model(), [&] { view.repaint(); });
}

} // namespace

BENCHMARK(BM_DrawExportChart)
    ->DenseRange(1, 6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawChartWidget)
    ->DenseRange(1, 6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawExportChartHighDensity)
    ->DenseRange(1, 6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return tilvo::bench::RunBenchmarks(argc, argv);
}
