// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/PreparedReport.h"

#include <QDate>
#include <QString>
#include <utility>
#include <vector>

namespace tilvo {

class BucketTable;
class TDataModuleReport;
struct StatisticState;

// "Evolution graphique des consommations (Février 2008)".
QString StatisticReportTitle(const QString& periodText);
// "Historique des consommations (du 01/01/2008 au 31/12/2008)".
QString HistoryReportTitle(const QDate& begin, const QDate& end);

// Where a report's files are: the query files and templates, and the data folder that holds the
// temporary pictures (temp1.bmp, temp2.bmp).
struct ReportFolders
{
    QString reportsFolder;
    QString dataFolder;

    QString firstPicture() const;
    QString secondPicture() const;
};

// How a report's template is filled: its file and the pictures loaded into its named objects
// when it has them. Kept so that the template can be loaded again after it is edited.
struct ReportRecipe
{
    QString templatePath;
    std::vector<std::pair<QString, QString>> pictures; // object name, picture file
};

// Loads the recipe's template and pictures into the module's engine and runs it over the report
// query (opened by the run when it is closed). Throws Error naming a missing or wrong file.
PreparedReport LoadAndPrepare(TDataModuleReport& module, const ReportRecipe& recipe,
                              const QDate& runDate);

// The statistics report up to its prepared pages: the title and its variable, the query from
// Reports/Stat.rpt for the account, the statistic as last computed drawn at 1000 × 600 without
// gradient into temp1.bmp, and Reports/Stat.frf with that picture in "Img_Stat". The caller
// deletes temp1.bmp when the preview closes, also after an error.
std::pair<PreparedReport, ReportRecipe>
PrepareStatisticReport(TDataModuleReport& module, const StatisticState& state,
                       const BucketTable& buckets, qint64 accountId, const QString& periodText,
                       const ReportFolders& folders, const QDate& runDate);

// A history report ("lightlist" or "list") of the account's entries from `begin` to `end`:
// the query from Reports/<name>.rpt, the quantity and amount graphs into temp1.bmp and
// temp2.bmp (closing the query again), and Reports/<name>.frf with them in "Img_Stat_Quantity"
// and "Img_Stat_Price" when it has those objects. The caller deletes both pictures when the
// preview closes, also after an error.
std::pair<PreparedReport, ReportRecipe>
PrepareHistoryReport(TDataModuleReport& module, const StatisticState& state, qint64 accountId,
                     const QDate& begin, const QDate& end, const QString& name,
                     const ReportFolders& folders, const QDate& runDate);

} // namespace tilvo
