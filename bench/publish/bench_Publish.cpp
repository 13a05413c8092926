// SPDX-License-Identifier: GPL-3.0-or-later
// The history of an account of 10 000 entries, as the two commands make it:
// - BM_HistoryReportToPdf: the complete history report (query, both graphs, template, the
//   engine's run and its pages painted into a PDF file) against QTextDocument printing the same
//   rows as an HTML table into a PDF file, measured in the same iterations. "ratio" is the
//   report's time over QTextDocument's; "query_ms" is the report query alone.
// - BM_HistoryPageWithGraphs: the history page with its graphs (query, graphs, JPEG pictures,
//   the page) against the page's query alone. "ratio" is the page's time over the query's.
#include "common/Error.h"
#include "common/WaitDisplay.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/UpdateScript.h"
#include "publish/HtmlPages.h"
#include "publish/MakeHtmlPages.h"
#include "publish/ReportRuns.h"
#include "publish/TDataModuleReport.h"
#include "stats/StatisticFormats.h"
#include "stats/StatisticState.h"

#include <QGuiApplication>
#include <QPdfWriter>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

using namespace tilvo;

namespace {

constexpr int kEntries = 10000;
const QDate kFirst(2000, 1, 1);

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// A database made by the shipped update script holding one account of 10 000 entries, one a
// day, with comments; the data folder beside it receives the pictures and pages.
struct Fixture
{
    QTemporaryDir folder;
    Connection connection;
    qint64 account = 1;
    StatisticState state;

    QString dataFolder() const { return folder.path() + QStringLiteral("/"); }

    Fixture()
    {
        const QString file = dataFolder() + QStringLiteral("tilvo.db");
        connection.setDatabaseFile(file);
        connection.setCreateIfMissing(true);
        connection.open();
        UpdateEnvironment env;
        env.DataFolder = dataFolder();
        if (RunUpdateScript(connection,
                            QStringLiteral(TILVO_SOURCE_DIR) + QStringLiteral("/shipped/Maj/"),
                            QStringLiteral("BD_183.maj"), ProgressLabel(), false, env)
                .errors != 0)
            throw Error(QStringLiteral("the update script failed"));
        Transaction t(connection);
        connection.exec(QStringLiteral(
            "INSERT INTO ACCOUNT (Id_File, Title, Description, Unit, Decimal, Count, CreateDate) "
            "VALUES (1, 'Electricite', 'Compteur general', 'kWh', 1, 0, #1/1/2000#)"));
        QSqlQuery q(connection.database());
        q.prepare(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, "
                                 "Quantity, Price, Description) VALUES (1, 1, ?, ?, ?, ?)"));
        for (int i = 0; i < kEntries; ++i) {
            q.addBindValue(kFirst.addDays(i).toString(QStringLiteral("yyyy-MM-dd")));
            q.addBindValue(10 + i % 37 / 10.0);
            q.addBindValue(1.5 + i % 11 / 8.0);
            q.addBindValue(QStringLiteral("Relevé du compteur n° %1").arg(i + 1));
            q.exec();
        }
        q.finish();
        t.commit();
        state.QuantityFormat = QuantityFormatFor(1, QStringLiteral("kWh"));
        state.MoneyFormat = MoneyFormatFor(QStringLiteral("€"));
    }

    QDate last() const { return kFirst.addDays(kEntries - 1); }
};

Fixture* g_fixture = nullptr;

// What a plain Qt print of the same rows costs: an HTML table in a QTextDocument, to PDF.
void PrintRowsWithTextDocument(DataSet& rows, const QString& pdf)
{
    QString html = QStringLiteral("<table><tr><th>Date</th><th>Quantité</th><th>Montant</th>"
                                  "<th>Commentaire</th></tr>");
    const Field date = rows.fieldByName(QStringLiteral("ConsumptionDate"));
    const Field quantity = rows.fieldByName(QStringLiteral("ConsumptionQuantity"));
    const Field price = rows.fieldByName(QStringLiteral("ConsumptionPrice"));
    const Field comment = rows.fieldByName(QStringLiteral("ConsumptionComment"));
    for (rows.first(); !rows.eof(); rows.next())
        html += QStringLiteral("<tr><td>") + date.asText() + QStringLiteral("</td><td>") +
                quantity.asText() + QStringLiteral("</td><td>") + price.asText() +
                QStringLiteral("</td><td>") + comment.asText() + QStringLiteral("</td></tr>");
    html += QStringLiteral("</table>");
    QTextDocument document;
    document.setHtml(html);
    QPdfWriter writer(pdf);
    document.print(&writer);
}

void BM_HistoryReportToPdf(benchmark::State& state)
{
    Fixture& f = *g_fixture;
    TDataModuleReport module(f.connection);
    const ReportFolders folders{
        QStringLiteral(TILVO_SOURCE_DIR) + QStringLiteral("/shipped/Reports/"), f.dataFolder()};
    const QString reportPdf = f.dataFolder() + QStringLiteral("report.pdf");
    const QString referencePdf = f.dataFolder() + QStringLiteral("reference.pdf");
    DataSet rows(f.connection);
    double reportSeconds = 0, referenceSeconds = 0, querySeconds = 0;
    int pages = 0;
    bool reportFirst = true;
    for (auto _ : state) {
        double reportTime = 0, referenceTime = 0;
        const auto timeReport = [&] {
            const Clock::time_point t0 = Clock::now();
            auto [report, recipe] =
                PrepareHistoryReport(module, f.state, f.account, kFirst, f.last(),
                                     QStringLiteral("list"), folders, QDate(2024, 3, 9));
            {
                QPdfWriter writer(reportPdf);
                report.print(writer, 1, report.pageCount(), 1);
            }
            module.ReportQuery().close();
            reportTime = Seconds(t0, Clock::now());
            pages = report.pageCount();
        };
        const auto timeReference = [&] {
            const Clock::time_point t0 = Clock::now();
            rows.setSqlText(module.ReportQuery().sqlText());
            rows.open();
            const Clock::time_point t1 = Clock::now();
            PrintRowsWithTextDocument(rows, referencePdf);
            rows.close();
            referenceTime = Seconds(t0, Clock::now());
            querySeconds += Seconds(t0, t1);
        };
        if (reportFirst) {
            timeReport();
            timeReference();
        } else {
            timeReference();
            timeReport();
        }
        reportFirst = !reportFirst;
        reportSeconds += reportTime;
        referenceSeconds += referenceTime;
        state.SetIterationTime(reportTime);
    }
    const double n = double(state.iterations());
    state.counters["reference_ms"] = referenceSeconds / n * 1000;
    state.counters["query_ms"] = querySeconds / n * 1000;
    state.counters["ratio"] = reportSeconds / referenceSeconds;
    state.counters["pages"] = pages;
}

void BM_HistoryPageWithGraphs(benchmark::State& state)
{
    Fixture& f = *g_fixture;
    DataSet query(f.connection, QStringLiteral("Query"));
    DataSet reference(f.connection);
    const QImage silhouette(35, 35, QImage::Format_RGB32);
    SilentWaitDisplay progress;
    double pageSeconds = 0, querySeconds = 0;
    bool pageFirst = true;
    for (auto _ : state) {
        double pageTime = 0, queryTime = 0;
        const auto timePage = [&] {
            const Clock::time_point t0 = Clock::now();
            MakeHistoryPageFiles({query, f.state, f.dataFolder(), silhouette}, f.account, kFirst,
                                 f.last(), true, progress);
            pageTime = Seconds(t0, Clock::now());
        };
        const auto timeQuery = [&] {
            const Clock::time_point t0 = Clock::now();
            reference.setSqlText(HtmlPageQueryText(f.account, kFirst, f.last()));
            reference.open();
            reference.close();
            queryTime = Seconds(t0, Clock::now());
        };
        if (pageFirst) {
            timePage();
            timeQuery();
        } else {
            timeQuery();
            timePage();
        }
        pageFirst = !pageFirst;
        pageSeconds += pageTime;
        querySeconds += queryTime;
        state.SetIterationTime(pageTime);
    }
    const double n = double(state.iterations());
    state.counters["query_ms"] = querySeconds / n * 1000;
    state.counters["ratio"] = pageSeconds / querySeconds;
}

} // namespace

BENCHMARK(BM_HistoryReportToPdf)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HistoryPageWithGraphs)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    try {
        Fixture fixture;
        g_fixture = &fixture;
        benchmark::RunSpecifiedBenchmarks();
        g_fixture = nullptr;
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
