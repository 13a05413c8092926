// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/ReportRuns.h"

#include "common/DateHelpers.h"
#include "common/FileHelpers.h"
#include "common/SqlText.h"
#include "publish/TDataModuleReport.h"
#include "stats/ChartRenderer.h"
#include "stats/HistoryGraphOptions.h"
#include "stats/StatisticState.h"
#include "stats/TDrawStat.h"

namespace tilvo {

namespace {

constexpr int kReportChartWidth = 1000;
constexpr int kReportChartHeight = 600;

void OpenReportQuery(TDataModuleReport& module, const QString& sql)
{
    DataSet& query = module.ReportQuery();
    query.close();
    query.setSqlText(sql);
    query.open();
}

} // namespace

QString StatisticReportTitle(const QString& periodText)
{
    return QStringLiteral("Evolution graphique des consommations (") + periodText + u')';
}

QString HistoryReportTitle(const QDate& begin, const QDate& end)
{
    return QStringLiteral("Historique des consommations (du ") + FormatDateText(begin) +
           QStringLiteral(" au ") + FormatDateText(end) + u')';
}

QString ReportFolders::firstPicture() const
{
    return WithTrailingBackslash(dataFolder) + QStringLiteral("temp1.bmp");
}

QString ReportFolders::secondPicture() const
{
    return WithTrailingBackslash(dataFolder) + QStringLiteral("temp2.bmp");
}

PreparedReport LoadAndPrepare(TDataModuleReport& module, const ReportRecipe& recipe,
                              const QDate& runDate)
{
    BandReport& report = module.frReport();
    report.loadFromFile(recipe.templatePath);
    for (const auto& [object, file] : recipe.pictures) {
        if (report.hasObject(object))
            report.loadPicture(object, file);
    }
    report.setRunDate(runDate);
    return report.prepare(&module.frDBDataSet());
}

std::pair<PreparedReport, ReportRecipe>
PrepareStatisticReport(TDataModuleReport& module, const StatisticState& state,
                       const BucketTable& buckets, qint64 accountId, const QString& periodText,
                       const ReportFolders& folders, const QDate& runDate)
{
    module.setReportTitle(StatisticReportTitle(periodText));
    module.setMoneyFormat(state.MoneyFormat);
    const QString reports = WithTrailingBackslash(folders.reportsFolder);
    OpenReportQuery(module,
                    BuildQueryFromFile(reports + QStringLiteral("Stat.rpt"), true, QString(),
                                       QStringLiteral("Id_Account=") + QString::number(accountId),
                                       QString(), QString()));
    {
        TDrawStat draw;
        draw.Chart1().setSize(kReportChartWidth, kReportChartHeight);
        draw.Chart1().setGradientVisible(false);
        draw.DrawStatisticExport(state, buckets, state.AllZero);
        SaveChartBitmap(draw.Chart1(), folders.firstPicture());
    }
    ReportRecipe recipe{reports + QStringLiteral("Stat.frf"),
                        {{QStringLiteral("Img_Stat"), folders.firstPicture()}}};
    PreparedReport prepared = LoadAndPrepare(module, recipe, runDate);
    return {std::move(prepared), std::move(recipe)};
}

std::pair<PreparedReport, ReportRecipe>
PrepareHistoryReport(TDataModuleReport& module, const StatisticState& state, qint64 accountId,
                     const QDate& begin, const QDate& end, const QString& name,
                     const ReportFolders& folders, const QDate& runDate)
{
    module.setReportTitle(HistoryReportTitle(begin, end));
    module.setMoneyFormat(state.MoneyFormat);
    const QString reports = WithTrailingBackslash(folders.reportsFolder);
    const QString where = QStringLiteral("Id_Account=") + QString::number(accountId) +
                          QStringLiteral(" AND DateAction>=#") + SqlDateLiteral(begin) +
                          QStringLiteral("# AND DateAction<=#") + SqlDateLiteral(end) +
                          QStringLiteral("#");
    OpenReportQuery(module,
                    BuildQueryFromFile(reports + name + QStringLiteral(".rpt"), true, QString(),
                                       where, QString(), QStringLiteral("DateAction")));
    {
        TDrawStat draw;
        draw.DrawHistoryGraphs(
            module.ReportQuery(),
            HistoryGraphOptions::ForReports(WithTrailingBackslash(folders.dataFolder)), state);
    }
    module.ReportQuery().close();
    ReportRecipe recipe{reports + name + QStringLiteral(".frf"),
                        {{QStringLiteral("Img_Stat_Quantity"), folders.firstPicture()},
                         {QStringLiteral("Img_Stat_Price"), folders.secondPicture()}}};
    PreparedReport prepared = LoadAndPrepare(module, recipe, runDate);
    return {std::move(prepared), std::move(recipe)};
}

} // namespace tilvo
