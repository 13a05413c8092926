// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/MakeHtmlPages.h"

#include "common/DateHelpers.h"
#include "common/FileHelpers.h"
#include "db/DataSet.h"
#include "publish/HtmlFolders.h"
#include "publish/HtmlPages.h"
#include "stats/ChartRenderer.h"
#include "stats/HistoryGraphOptions.h"
#include "stats/StatisticFormats.h"
#include "stats/StatisticState.h"
#include "stats/TDrawStat.h"

namespace tilvo {

namespace {

constexpr int kPageChartWidth = 670;
constexpr int kPageChartHeight = 402;

struct CloseOnExit
{
    DataSet& query;
    ~CloseOnExit() { query.close(); }
};

HtmlPageTarget TargetFor(const HtmlPageSources& sources)
{
    HtmlPageTarget target;
    target.folder = HtmlTempFolder(sources.dataFolder);
    target.defaultPicture = sources.defaultPicture;
    return target;
}

void PrepareFolder(const QString& dataFolder)
{
    EnsureHtmlFolders(dataFolder);
    ClearHtmlFolder(HtmlTempFolder(dataFolder));
}

} // namespace

QString StatisticPageTitle(const QString& periodLabel)
{
    return QStringLiteral("EVOLUTION GRAPHIQUE DES CONSOMMATIONS (") + periodLabel + u')';
}

QString HistoryPageTitle(const QDate& begin, const QDate& end)
{
    return QStringLiteral("HISTORIQUE DES CONSOMMATIONS (du ") + FormatDateText(begin) +
           QStringLiteral(" au ") + FormatDateText(end) + u')';
}

QString MakeStatisticPage(const HtmlPageSources& sources, const BucketTable& buckets,
                          qint64 accountId, const QString& periodLabel)
{
    PrepareFolder(sources.dataFolder);
    const HtmlPageTarget target = TargetFor(sources);
    DataSet& query = sources.query;
    CloseOnExit closer{query};
    query.close();
    query.setSqlText(HtmlPageQueryText(accountId));
    query.open();

    {
        TDrawStat draw;
        draw.Chart1().setSize(kPageChartWidth, kPageChartHeight);
        draw.Chart1().setGradientVisible(true);
        draw.DrawStatisticExport(sources.state, buckets, sources.state.AllZero);
        SaveChartBitmap(draw.Chart1(), target.filePath(QStringLiteral("graph.bmp")));
    }
    query.first();
    WriteStatisticPage(query, target, StatisticPageTitle(periodLabel));
    return target.filePath(QStringLiteral("index.htm"));
}

std::optional<QString> MakeHistoryPageFiles(const HtmlPageSources& sources, qint64 accountId,
                                            const QDate& begin, const QDate& end, bool withGraphs,
                                            WaitDisplay& progress)
{
    PrepareFolder(sources.dataFolder);
    const HtmlPageTarget target = TargetFor(sources);
    DataSet& query = sources.query;
    CloseOnExit closer{query};
    query.close();
    query.setSqlText(HtmlPageQueryText(accountId, begin, end));
    query.open();
    // An empty range writes nothing at all, not even the graphs.
    if (query.isEmpty())
        return std::nullopt;

    if (withGraphs) {
        TDrawStat draw;
        draw.DrawHistoryGraphs(
            query, HistoryGraphOptions::ForHtmlPage(WithTrailingBackslash(sources.dataFolder)),
            sources.state);
    }
    WriteHistoryPage(query, target, HistoryPageTitle(begin, end),
                     QStringLiteral("Historique des consommations"), withGraphs,
                     CurrencySymbolOf(sources.state.MoneyFormat), progress);
    return target.filePath(QStringLiteral("index.htm"));
}

} // namespace tilvo
