// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/ui/PublishCommands.h"

#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "common/Prompts.h"
#include "common/ui/WaitWindow.h"
#include "db/DataSet.h"
#include "publish/MakeHtmlPages.h"
#include "publish/ReportRuns.h"
#include "publish/ReportTempFiles.h"
#include "publish/TDataModuleReport.h"
#include "publish/ui/TFreeReportPrintViewer.h"
#include "publish/ui/THtmlView.h"
#include "stats/ui/TEnterPeriod.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <optional>
#include <utility>

namespace tilvo {

namespace {

// The wait cursor while an object of this kind lives, or until restore().
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    void restore()
    {
        if (m_on)
            QGuiApplication::restoreOverrideCursor();
        m_on = false;
    }

private:
    bool m_on = true;
};

struct CloseOnExit
{
    DataSet& query;
    ~CloseOnExit() { query.close(); }
};

// The first and last dates of the account's entries, read without moving the list visibly:
// it is left on the entry that was current.
std::pair<QDate, QDate> EntryBounds(DataSet& consumption)
{
    if (!consumption.isActive() || consumption.isEmpty())
        return {};
    const int current = consumption.recNo();
    consumption.disableControls();
    QDate first;
    QDate last;
    try {
        const Field date = consumption.fieldByName(QStringLiteral("DateAction"));
        consumption.first();
        first = date.asDate();
        consumption.last();
        last = date.asDate();
        if (current >= 0)
            consumption.moveTo(current);
    } catch (...) {
        consumption.enableControls();
        throw;
    }
    consumption.enableControls();
    return {first, last};
}

// The period dialog preset with the account's first and last entries; nothing on cancel or
// when a date was cleared.
std::optional<std::pair<QDate, QDate>> AskPeriod(PublishServices& services)
{
    const auto [first, last] = EntryBounds(services.consumption);
    TEnterPeriod dialog(services.clock, services.parent);
    dialog.Ed_Begin_Date->setText(FormatDateText(first));
    dialog.Ed_End_Date->setText(FormatDateText(last));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QDate begin = ParseDateText(dialog.Ed_Begin_Date->text());
    const QDate end = ParseDateText(dialog.Ed_End_Date->text());
    if (!begin.isValid() || !end.isValid())
        return std::nullopt;
    return std::make_pair(begin, end);
}

void ShowPage(PublishServices& services, const QString& path, const QString& title)
{
    THtmlView view(services.dataFolder, services.prompts, services.parent);
    view.setTitle(title);
    view.setPagePath(path);
    view.exec();
}

void ShowReport(PublishServices& services, WaitCursor& cursor, PreparedReport prepared,
                const ReportRecipe& recipe)
{
    TFreeReportPrintViewer viewer(services.prompts, services.parent);
    viewer.setReport(std::move(prepared));
    TDataModuleReport& reports = services.reports;
    const QDate today = services.clock.today();
    viewer.setDesigner(recipe.templatePath, [&reports, recipe, today] {
        return LoadAndPrepare(reports, recipe, today);
    });
    cursor.restore();
    viewer.exec();
}

ReportFolders FoldersOf(const PublishServices& services)
{
    return {services.reportsFolder, services.dataFolder};
}

} // namespace

void ShowStatisticPage(PublishServices& services, qint64 accountId, const QString& periodLabel)
{
    QString page;
    {
        WaitCursor cursor;
        page = MakeStatisticPage(
            {services.query, services.state, services.dataFolder, services.defaultPicture},
            services.buckets, accountId, periodLabel);
    }
    ShowPage(services, page, QStringLiteral(" Courbes des consommations"));
}

void MakeHistoryPage(PublishServices& services, qint64 accountId, bool withGraphs)
{
    const std::optional<std::pair<QDate, QDate>> period = AskPeriod(services);
    if (!period)
        return;
    std::optional<QString> page;
    {
        WaitCursor cursor;
        TWait progress(services.parent);
        page = MakeHistoryPageFiles(
            {services.query, services.state, services.dataFolder, services.defaultPicture},
            accountId, period->first, period->second, withGraphs, progress);
    }
    if (!page) {
        services.prompts.showMessage(
            QStringLiteral("Il n'y a pas d'enregistrements dans cette liste."),
            Prompts::Icon::Information);
        return;
    }
    ShowPage(services, *page, QStringLiteral(" Historique des consommations"));
}

void PrintStatisticReport(PublishServices& services, qint64 accountId, const QString& periodText)
{
    const ReportFolders folders = FoldersOf(services);
    ReportTempFiles temporary({folders.firstPicture()});
    CloseOnExit closer{services.reports.ReportQuery()};
    WaitCursor cursor;
    auto [prepared, recipe] =
        PrepareStatisticReport(services.reports, services.state, services.buckets, accountId,
                               periodText, folders, services.clock.today());
    ShowReport(services, cursor, std::move(prepared), recipe);
}

void PrintHistoryReport(PublishServices& services, qint64 accountId, const QString& name)
{
    const std::optional<std::pair<QDate, QDate>> period = AskPeriod(services);
    if (!period)
        return;
    const ReportFolders folders = FoldersOf(services);
    ReportTempFiles temporary({folders.firstPicture(), folders.secondPicture()});
    CloseOnExit closer{services.reports.ReportQuery()};
    WaitCursor cursor;
    auto [prepared, recipe] =
        PrepareHistoryReport(services.reports, services.state, accountId, period->first,
                             period->second, name, folders, services.clock.today());
    ShowReport(services, cursor, std::move(prepared), recipe);
}

} // namespace tilvo
