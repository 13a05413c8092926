// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats/ChartModel.h"

namespace tilvo {

class BucketTable;
class DataSet;
struct HistoryGraphOptions;
struct StatisticState;

// The charts the exports draw and save as pictures, never shown: made, sized, drawn, saved
// and destroyed by each export. Both charts start at 1000 × 600.
// - Chart1: a statistic chart like the main window's, without the gradient; Series1 active.
// - Chart2: a flat chart for the history graphs: transparent walls, a right-aligned title in
//   19-pixel bold blue Arial, left axis "###0", two red lines 4 pixels wide with blue circle
//   markers, Series10 (active) and Series11 (inactive).
class TDrawStat
{
public:
    TDrawStat();
    TDrawStat(const TDrawStat&) = delete;
    TDrawStat& operator=(const TDrawStat&) = delete;

    ChartModel& Chart1() { return m_chart1; }
    ChartModel& Chart2() { return m_chart2; }

    // DrawStatistic into Chart1; the caller sizes it and chooses its gradient beforehand and
    // saves it afterwards. The other series keep their state (Series1 stays active, empty).
    void DrawStatisticExport(const StatisticState& state, const BucketTable& buckets, bool allZero);

    // The quantities, then the amounts, of the rows of an open query (in date order) into
    // Chart2, each saved to its file: a value that is not a number counts 0, the date text
    // labels each point, the titles name the unit of the first row and the currency.
    // Throws Error when a file cannot be written.
    void DrawHistoryGraphs(DataSet& source, const HistoryGraphOptions& options,
                           const StatisticState& state);

private:
    ChartModel m_chart1;
    ChartModel m_chart2;
};

} // namespace tilvo
