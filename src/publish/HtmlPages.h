// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>

namespace tilvo {

class DataSet;
class WaitDisplay;

// Where a page and its pictures go. The pictures are written to folder + subPath + "/icone.jpg"
// and so on, the page to folder + subPath + "/index.htm"; srcPrefix is put before every picture
// name in the page's src attributes. The program passes an empty subPath and srcPrefix.
struct HtmlPageTarget
{
    QString folder;
    QString subPath;
    QString srcPrefix;
    // The account picture of an account without a thumbnail (the main window's silhouette).
    QImage defaultPicture;

    QString filePath(const QString& name) const;
};

// The statement both pages read, for one account, over the whole history or a date range.
QString HtmlPageQueryText(qint64 accountId);
QString HtmlPageQueryText(qint64 accountId, const QDate& begin, const QDate& end);

// A number as the pages write it: rounded to `decimals`, "." as decimal point whatever the
// locale, no blanks.
QString HtmlNumber(double value, int decimals);

// The last line of every page: the program and its maker.
QString HtmlFooter();

// The first 26 lines of both pages: the title band, the account picture, the account's title
// and description, and its creation date, unit and counter, read from the current row of the
// page's query. The user's texts are escaped (HtmlText).
QStringList AccountHeaderLines(DataSet& query, const QString& title, const QString& srcPrefix);

// icone.jpg: the account's thumbnail (the query's ACCOUNT.IMGMINI1) fitted into 50 × 50, or the
// default picture when it has none or it cannot be read, at 24 bits, JPEG quality 100.
void WriteAccountPicture(DataSet& query, const HtmlPageTarget& target);

// The statistics page: the account header, then graph.jpg made from graph.bmp (which is
// deleted), then index.htm. The query is open on HtmlPageQueryText and stands on its first
// row. Throws Error when a picture or the page cannot be written.
void WriteStatisticPage(DataSet& query, const HtmlPageTarget& target, const QString& title);

// The history page: the account header, with graphs graph1.jpg and graph2.jpg made from their
// .bmp files (which are deleted), the table of the query's rows with a totals row, then
// index.htm. `progress` shows `progressText` and advances once per row. Amounts are followed
// by `currencySymbol`. Throws Error when a picture or the page cannot be written.
void WriteHistoryPage(DataSet& query, const HtmlPageTarget& target, const QString& title,
                      const QString& progressText, bool withGraphs, const QString& currencySymbol,
                      WaitDisplay& progress);

} // namespace tilvo
