// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace tilvo {

class BucketTable;
class ChartModel;
class ChartSeries;
struct StatisticState;

// The default colour of a chart kind (0x00BBGGRR): red line, lime bars, yellow area, blue
// points, fuchsia simple line; 0 for the pie (a colour per slice) and unknown kinds.
quint32 DefaultKindColor(int chartKind);
// The colour rule of the kinds other than the pie: the account colour when there is one
// (not 0) and it applies to every kind or the kind shown is the account's own; else the
// kind's default colour.
quint32 StatisticSeriesColor(const StatisticState& state);

// A statistic chart as the main window shows it: 3D with a depth of 10 percent, orthogonal,
// white walls, the background gradient, no title, the left axis from 0, and the six series
// Series1 .. Series6 of the chart kinds 1 .. 6 (line without markers, bars 60 percent wide,
// filled area, rectangle points, pie with label and percentage marks, simple line). Only
// Series1 is active. `gradient` off gives the export chart's white background.
void SetUpStatisticChart(ChartModel& chart, bool gradient = true);
// The series of a chart kind 1..6; nothing for another kind.
ChartSeries* StatisticSeries(ChartModel& chart, int chartKind);

// Series1 .. Series6 inactive.
void DeactivateAllSeries(ChartModel& chart);

// Draws the bucket table into a statistic chart: the chart enabled, its four axes shown,
// bottom axis 0 .. count - 1, walls off, left axis from 0 to 100 when `allZero` or to the
// largest value, every series in the state's value format, and the series of the state's
// chart kind cleared, coloured (except the pie), active and filled with the buckets.
// A chart kind outside 1..6 sets up the chart and draws no series.
void DrawStatistic(ChartModel& chart, const StatisticState& state, const BucketTable& buckets,
                   bool allZero);

} // namespace tilvo
