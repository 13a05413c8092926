// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/StatisticChart.h"

#include "stats/BucketTable.h"
#include "stats/ChartModel.h"
#include "stats/StatisticState.h"

namespace tilvo {

namespace {

constexpr quint32 kGradientEnd = 0xFFEAEA;

QString SeriesName(int chartKind)
{
    return QStringLiteral("Series%1").arg(chartKind);
}

} // namespace

quint32 DefaultKindColor(int chartKind)
{
    switch (chartKind) {
    case kChartLine:
        return 0x0000FF;
    case kChartBars:
        return 0x00FF00;
    case kChartArea:
        return 0x00FFFF;
    case kChartPoints:
        return 0xFF0000;
    case kChartFastLine:
        return 0xFF00FF;
    default:
        return 0;
    }
}

quint32 StatisticSeriesColor(const StatisticState& state)
{
    if (state.AccountColor != 0 && (state.AllColor || state.ChartKind == state.SavedChartKind))
        return state.AccountColor;
    return DefaultKindColor(state.ChartKind);
}

void SetUpStatisticChart(ChartModel& chart, bool gradient)
{
    chart.setView3D(true);
    chart.setDepthPercent(10);
    chart.setOrthogonal(true);
    chart.setWallsVisible(true);
    chart.setWallsTransparent(false);
    chart.setGradientVisible(gradient);
    chart.setGradientEndColor(kGradientEnd);
    chart.title().visible = false;
    ChartAxis& left = chart.axis(ChartModel::LeftAxis);
    left.minimum = 0;
    left.automaticMinimum = false;

    const SeriesKind kinds[kChartKinds] = {SeriesKind::Line, SeriesKind::Bars,
                                           SeriesKind::Area, SeriesKind::Points,
                                           SeriesKind::Pie,  SeriesKind::FastLine};
    for (int kind = 1; kind <= kChartKinds; ++kind) {
        ChartSeries* s = chart.findSeries(SeriesName(kind));
        if (!s)
            s = &chart.addSeries(kinds[kind - 1], SeriesName(kind));
        s->setActive(kind == kChartLine);
        s->setColor(DefaultKindColor(kind));
        s->setMarksVisible(kind == kChartPie);
        s->setMarkersVisible(kind == kChartPoints);
        s->setMarkerStyle(MarkerStyle::Rectangle);
        s->setBarWidthPercent(60);
    }
}

ChartSeries* StatisticSeries(ChartModel& chart, int chartKind)
{
    if (chartKind < 1 || chartKind > kChartKinds)
        return nullptr;
    return chart.findSeries(SeriesName(chartKind));
}

void DeactivateAllSeries(ChartModel& chart)
{
    for (int kind = 1; kind <= kChartKinds; ++kind) {
        if (ChartSeries* s = StatisticSeries(chart, kind))
            s->setActive(false);
    }
}

void DrawStatistic(ChartModel& chart, const StatisticState& state, const BucketTable& buckets,
                   bool allZero)
{
    chart.setEnabled(true);
    ChartAxis& bottom = chart.axis(ChartModel::BottomAxis);
    bottom.visible = true;
    bottom.minimum = 0;
    bottom.automaticMinimum = false;
    bottom.maximum = buckets.count() - 1;
    bottom.automaticMaximum = false;
    chart.axis(ChartModel::TopAxis).visible = true;
    chart.axis(ChartModel::LeftAxis).visible = true;
    chart.axis(ChartModel::RightAxis).visible = true;
    chart.setWallsVisible(false);
    chart.setOrthogonal(true);

    ChartAxis& left = chart.axis(ChartModel::LeftAxis);
    left.minimum = 0;
    left.automaticMinimum = false;
    left.automaticMaximum = !allZero;
    if (allZero)
        left.maximum = 100;

    const QString& format =
        state.ValueKind == kValueAmount ? state.MoneyFormat : state.QuantityFormat;
    left.valueFormat = format;
    for (int i = 0; i < chart.seriesCount(); ++i)
        chart.series(i).setValueFormat(format);

    ChartSeries* series = StatisticSeries(chart, state.ChartKind);
    if (!series)
        return;
    series->clear();
    if (state.ChartKind != kChartPie)
        series->setColor(StatisticSeriesColor(state));
    series->setActive(true);
    series->reserve(buckets.count());
    for (int i = 1; i <= buckets.count(); ++i)
        series->addPoint(buckets.value(i), buckets.label(i));
}

} // namespace tilvo
