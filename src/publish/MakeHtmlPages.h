// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QImage>
#include <QString>
#include <optional>

namespace tilvo {

class BucketTable;
class DataSet;
class WaitDisplay;
struct StatisticState;

// "EVOLUTION GRAPHIQUE DES CONSOMMATIONS (Février 2008)".
QString StatisticPageTitle(const QString& periodLabel);
// "HISTORIQUE DES CONSOMMATIONS (du 01/01/2008 au 31/12/2008)".
QString HistoryPageTitle(const QDate& begin, const QDate& end);

// What both pages need from the program besides the account.
struct HtmlPageSources
{
    DataSet& query;               // the scratch query; closed again afterwards
    const StatisticState& state;  // the formats and the chart kind as last drawn
    const QString& dataFolder;    // the page goes to its Html/Temp/
    const QImage& defaultPicture; // the silhouette of accounts without a thumbnail
};

// The statistics page of an account: the folders made, Html/Temp/ emptied, the account's
// entries read, the statistic drawn from the bucket table as last computed (670 × 402, with the
// gradient) and the page written. Returns the path of index.htm. Throws Error when the query,
// a picture or the page fails; the query is closed in every case.
QString MakeStatisticPage(const HtmlPageSources& sources, const BucketTable& buckets,
                          qint64 accountId, const QString& periodLabel);

// The history page of the account's entries from `begin` to `end`, with the two history graphs
// (330 × 198) when asked. Nothing, and no page, when the range holds no entry: Html/Temp/ is
// then left empty. `progress` shows the rows being written.
std::optional<QString> MakeHistoryPageFiles(const HtmlPageSources& sources, qint64 accountId,
                                            const QDate& begin, const QDate& end, bool withGraphs,
                                            WaitDisplay& progress);

} // namespace tilvo
