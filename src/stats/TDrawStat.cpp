// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/TDrawStat.h"

#include "common/TextHelpers.h"
#include "db/DataSet.h"
#include "stats/ChartRenderer.h"
#include "stats/HistoryGraphOptions.h"
#include "stats/StatisticChart.h"
#include "stats/StatisticFormats.h"
#include "stats/StatisticState.h"

namespace tilvo {

namespace {

constexpr int kExportWidth = 1000;
constexpr int kExportHeight = 600;

double NumberOf(const QString& text)
{
    if (!IsNumberText(text))
        return 0;
    QString copy = text;
    const qsizetype comma = copy.indexOf(u',');
    if (comma >= 0)
        copy[comma] = u'.';
    return copy.toDouble();
}

void FillSeries(ChartSeries& series, DataSet& source, const QString& valueColumn,
                const QString& dateColumn)
{
    const Field value = source.fieldByName(valueColumn);
    const Field date = source.fieldByName(dateColumn);
    series.reserve(source.recordCount());
    for (source.first(); !source.eof(); source.next())
        series.addPoint(NumberOf(value.asText()), date.asText());
}

} // namespace

TDrawStat::TDrawStat()
    : m_chart1(kExportWidth, kExportHeight), m_chart2(kExportWidth, kExportHeight)
{
    SetUpStatisticChart(m_chart1, false);

    m_chart2.setView3D(false);
    m_chart2.setWallsVisible(true);
    m_chart2.setWallsTransparent(true);
    m_chart2.setGradientVisible(false);
    ChartTitle& title = m_chart2.title();
    title.visible = true;
    title.lines = QStringList{QStringLiteral("Quantité")};
    title.font = QFont(QStringLiteral("Arial"));
    title.font.setPixelSize(19);
    title.font.setBold(true);
    title.color = 0xFF0000;
    title.alignment = Qt::AlignRight;
    ChartAxis& left = m_chart2.axis(ChartModel::LeftAxis);
    left.valueFormat = QStringLiteral("###0");
    left.minimum = 0;
    left.automaticMinimum = false;
    for (const char* name : {"Series10", "Series11"}) {
        ChartSeries& s = m_chart2.addSeries(SeriesKind::Line, QLatin1String(name));
        s.setColor(0x0000FF);
        s.setPenWidth(4);
        s.setDrawn3D(false);
        s.setMarkersVisible(true);
        s.setMarkerStyle(MarkerStyle::Circle);
        s.setMarkerColor(0xFF0000);
        s.setActive(QLatin1String(name) == QLatin1String("Series10"));
    }
}

void TDrawStat::DrawStatisticExport(const StatisticState& state, const BucketTable& buckets,
                                    bool allZero)
{
    if (ChartSeries* s = StatisticSeries(m_chart1, state.ChartKind))
        s->setActive(false);
    DrawStatistic(m_chart1, state, buckets, allZero);
}

void TDrawStat::DrawHistoryGraphs(DataSet& source, const HistoryGraphOptions& options,
                                  const StatisticState& state)
{
    ChartSeries& quantities = *m_chart2.findSeries(QStringLiteral("Series10"));
    ChartSeries& amounts = *m_chart2.findSeries(QStringLiteral("Series11"));
    m_chart2.setSize(options.width, options.height);
    m_chart2.setGradientVisible(options.gradient);
    ChartAxis& left = m_chart2.axis(ChartModel::LeftAxis);

    // Both series are emptied before each graph, so that a chart used again starts afresh.
    quantities.clear();
    amounts.clear();
    if (options.setAxisFormat)
        left.valueFormat = state.QuantityFormat;
    quantities.setValueFormat(state.QuantityFormat);
    quantities.setActive(true);
    amounts.setActive(false);
    FillSeries(quantities, source, options.quantityColumn, options.dateColumn);
    source.first();
    m_chart2.title().lines = QStringList{QStringLiteral("   Evolution des quantités (") +
                                         source.fieldByName(options.unitColumn).asText() + u')'};
    SaveChartBitmap(m_chart2, options.firstFile);

    quantities.clear();
    amounts.clear();
    if (options.setAxisFormat)
        left.valueFormat = state.MoneyFormat;
    amounts.setValueFormat(state.MoneyFormat);
    quantities.setActive(false);
    amounts.setActive(true);
    FillSeries(amounts, source, options.amountColumn, options.dateColumn);
    m_chart2.title().lines = QStringList{QStringLiteral("   Evolution des montants (") +
                                         CurrencySymbolOf(state.MoneyFormat) + u')'};
    SaveChartBitmap(m_chart2, options.secondFile);
    if (options.backToFirstAfterAmounts)
        source.first();
}

} // namespace tilvo
