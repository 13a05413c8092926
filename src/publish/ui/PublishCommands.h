// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace tilvo {

class BucketTable;
class Clock;
class DataSet;
class Prompts;
class TDataModuleReport;
struct StatisticState;

// What the HTML and report menu entries take from the main window.
struct PublishServices
{
    DataSet& query;              // TDataModule1::Query(), the scratch query
    DataSet& consumption;        // TDataModule1::Consumption(), the selected account's entries
    TDataModuleReport& reports;  // made once at start-up on the program's connection
    const StatisticState& state; // the statistics panel's state, formats included
    const BucketTable& buckets;  // the statistic as last computed
    QString dataFolder;          // Environment::DataFolder
    QString reportsFolder;       // Environment::ReportsFolder
    QImage defaultPicture;       // the silhouette of accounts without a thumbnail
    Prompts& prompts;
    const Clock& clock;
    QWidget* parent = nullptr; // the main window
};

// The menu entries. Each runs with the wait cursor while it works, shows its window modally and
// throws Error (for the error guard) when a query, a file or a picture fails; its temporary
// files are gone when it returns, whatever happened.
//
// Popup_Html_Stat: the statistics page of the account (the chart as last computed, the period
// label in its title) in the HTML viewer.
void ShowStatisticPage(PublishServices& services, qint64 accountId, const QString& periodLabel);
// Popup_Html_List_Light / Popup_Html_List_Full: asks the date range (preset with the account's
// first and last entries), then the history page without / with graphs in the HTML viewer, or
// "Il n'y a pas d'enregistrements dans cette liste." when the range holds none.
void MakeHistoryPage(PublishServices& services, qint64 accountId, bool withGraphs);
// Popup_Report_Stat: the statistics report in the report viewer.
void PrintStatisticReport(PublishServices& services, qint64 accountId, const QString& periodText);
// Popup_Report_List_Light / Popup_Report_List_Full: asks the date range, then the history
// report "lightlist" / "list" in the report viewer.
void PrintHistoryReport(PublishServices& services, qint64 accountId, const QString& name);

} // namespace tilvo
