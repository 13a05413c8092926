// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Error.h"
#include "publish/PublishTestData.h"
#include "publish/ReportRuns.h"
#include "publish/TDataModuleReport.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPdfWriter>
#include <QTest>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

namespace {

const QString kPages = QStringLiteral("report-pages/");

// The report as a PDF file, and its first page as a picture for a person to look at.
QString RenderToPdf(const PreparedReport& report, const QString& name)
{
    QDir().mkpath(kPages);
    const QString pdf = kPages + name + QStringLiteral(".pdf");
    {
        QPdfWriter writer(pdf);
        writer.setTitle(report.title());
        report.print(writer, 1, report.pageCount(), 1);
    }
    ToolOutput(QStringLiteral("pdftoppm"),
               {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-singlefile"), pdf,
                kPages + name});
    return pdf;
}

int PdfPictureCount(const QString& pdf)
{
    const QStringList lines =
        ToolOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(u'\n');
    int count = 0;
    for (const QString& line : lines)
        count += line.contains(QLatin1String(" image "));
    return count;
}

QSize BitmapSize(const QString& path)
{
    const Picture picture = ReadBmpFile(path);
    return QSize(picture.width(), picture.height());
}

} // namespace

class TestReportRuns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanup();

    void statisticReport();
    void historyReports_data();
    void historyReports();
    void variablesOfTheModule();
    void missingFilesAreNamed_data();
    void missingFilesAreNamed();
    void largeHistoryPaginates();

private:
    Connection& c() { return m_db.connection(); }
    ReportFolders folders() const { return {m_reports, m_db.folder()}; }

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_query;
    std::unique_ptr<TDataModuleReport> m_module;
    BucketTable m_buckets;
    StatisticState m_state;
    qint64 m_account = -1;
    QString m_reports = ShippedReportsFolder();
};

void TestReportRuns::initTestCase_data()
{
    AddProviderRows();
}

void TestReportRuns::initTestCase()
{
    m_db.prepare();
}

void TestReportRuns::init()
{
    QFETCH_GLOBAL(bool, odbc);
    QVERIFY(m_db.copyTo(QStringLiteral("Data/Access/TILVO.MDB")));
    m_db.open(odbc);
    m_account = AddSmallAccount(c());
    m_query = std::make_unique<DataSet>(c(), QStringLiteral("Query"));
    m_state = SmallAccountState(*m_query, m_buckets, m_account);
    m_module = std::make_unique<TDataModuleReport>(c());
    m_reports = ShippedReportsFolder();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestReportRuns::cleanup()
{
    QLocale::setDefault(QLocale::c());
    m_module.reset();
    m_query.reset();
    m_db.release();
}

void TestReportRuns::statisticReport()
{
    auto [report, recipe] =
        PrepareStatisticReport(*m_module, m_state, m_buckets, m_account, PeriodLabelText(m_state),
                               folders(), QDate(2024, 3, 9));
    QCOMPARE(recipe.templatePath, m_reports + "Stat.frf");
    QCOMPARE(BitmapSize(folders().firstPicture()), QSize(1000, 600));
    QVERIFY(!QFileInfo::exists(folders().secondPicture()));
    QCOMPARE(report.pageCount(), 1);
    QCOMPARE(report.title(), QString("Evolution graphique des consommations (2008)"));
    const QString pdf = RenderToPdf(report, "Stat");
    QCOMPARE(PdfPageCount(pdf), 1);
    QCOMPARE(PdfPictureCount(pdf), 1);
    const QString text = PdfText(pdf);
    for (const char* expected :
         {"EVOLUTION GRAPHIQUE DES CONSOMMATIONS (2008)", "Eau", "Compteur de la cuisine",
          "15/01/2008", "123,46 m3", "Consommations par année", "2008", "10,96 m3", "14,250 €",
          "TOTAUX", "Imprimé le 09/03/2024", "Page 1 / 1"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    QVERIFY(!text.contains("Gaz") && !text.contains("Autre compte"));
}

void TestReportRuns::historyReports_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("pages");
    QTest::newRow("plain") << QString("lightlist") << 0 << 1;
    // The graphs take the whole first page.
    QTest::newRow("with graphs") << QString("list") << 2 << 2;
}

void TestReportRuns::historyReports()
{
    QFETCH(QString, name);
    QFETCH(int, pictures);
    QFETCH(int, pages);
    auto [report, recipe] =
        PrepareHistoryReport(*m_module, m_state, m_account, QDate(2008, 1, 1), QDate(2008, 12, 31),
                             name, folders(), QDate(2024, 3, 9));
    QCOMPARE(recipe.templatePath, m_reports + name + ".frf");
    // Both graphs are drawn for either report; the run opened the query again itself.
    QCOMPARE(BitmapSize(folders().firstPicture()), QSize(1000, 600));
    QCOMPARE(BitmapSize(folders().secondPicture()), QSize(1000, 600));
    QVERIFY(m_module->ReportQuery().isActive());
    QCOMPARE(m_module->ReportQuery().recordCount(), 4);
    const QString pdf = RenderToPdf(report, name);
    QCOMPARE(report.pageCount(), pages);
    QCOMPARE(PdfPageCount(pdf), pages);
    QCOMPARE(PdfPictureCount(pdf), pictures);
    const QString text = PdfText(pdf);
    for (const char* expected :
         {"HISTORIQUE DES CONSOMMATIONS (DU 01/01/2008 AU 31/12/2008)", "Eau", "Date de création",
          "01/02/2008", "1,50 m3", "2,000 €", "10/02/2008", "0,000 €", "Sans montant",
          "Relevé d'hiver : 12 € de plus", "01/03/2008", "3,46 m3", "TOTAUX", "10,96 m3",
          "14,250 €", "4 consommation(s)"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    for (int page = 1; page <= pages; ++page)
        QVERIFY(text.contains(QString("Page %1 / %2").arg(page).arg(pages)));
    QVERIFY(!text.contains("Autre compte"));
}

void TestReportRuns::variablesOfTheModule()
{
    m_module->setReportTitle(StatisticReportTitle("Février 2008"));
    QCOMPARE(m_module->frReportGetValue("title"),
             std::optional<QString>("EVOLUTION GRAPHIQUE DES CONSOMMATIONS (FEVRIER 2008)"));
    m_module->setReportTitle(HistoryReportTitle(QDate(2008, 1, 1), QDate(2008, 12, 31)));
    QCOMPARE(m_module->frReportGetValue("TITLE"),
             std::optional<QString>("HISTORIQUE DES CONSOMMATIONS (DU 01/01/2008 AU 31/12/2008)"));
    QCOMPARE(m_module->frReport().title(),
             QString("Historique des consommations (du 01/01/2008 au 31/12/2008)"));
    m_module->setMoneyFormat(MoneyFormatFor("FF"));
    QCOMPARE(m_module->frReportGetValue("CurrencySymbol"), std::optional<QString>("€"));
    QCOMPARE(m_module->frReportGetValue("UNIT"), std::nullopt);
}

void TestReportRuns::missingFilesAreNamed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("missing");
    QTest::newRow("statistics query") << QString("Stat") << QString("Stat.rpt");
    QTest::newRow("statistics template") << QString("Stat") << QString("Stat.frf");
    QTest::newRow("history query") << QString("list") << QString("list.rpt");
    QTest::newRow("history template") << QString("lightlist") << QString("lightlist.frf");
}

void TestReportRuns::missingFilesAreNamed()
{
    QFETCH(QString, name);
    QFETCH(QString, missing);
    m_reports = m_db.folder() + "Reports/";
    QDir().mkpath(m_reports);
    for (const QString& file : QDir(ShippedReportsFolder()).entryList(QDir::Files)) {
        if (file != missing)
            QVERIFY(QFile::copy(ShippedReportsFolder() + file, m_reports + file));
    }
    try {
        if (name == "Stat")
            PrepareStatisticReport(*m_module, m_state, m_buckets, m_account, "2008", folders(),
                                   QDate(2024, 3, 9));
        else
            PrepareHistoryReport(*m_module, m_state, m_account, QDate(2008, 1, 1),
                                 QDate(2008, 12, 31), name, folders(), QDate(2024, 3, 9));
        QFAIL("no error");
    } catch (const Error& e) {
        QVERIFY2(e.text().contains(m_reports + missing), qPrintable(e.text()));
    }
}

void TestReportRuns::largeHistoryPaginates()
{
    const qint64 big =
        AddAccount(c(), {"Électricité", "Compteur général", "kWh", 1, 0, QDate(2000, 1, 1), {}});
    const int count = 10000;
    AddManyEntries(c(), big, count);
    StatisticState state = m_state;
    state.QuantityFormat = QuantityFormatFor(1, "kWh");
    auto [report, recipe] =
        PrepareHistoryReport(*m_module, state, big, QDate(2000, 1, 1), QDate(2030, 1, 1), "list",
                             folders(), QDate(2024, 3, 9));
    const int pages = report.pageCount();
    QVERIFY2(pages > 150, qPrintable(QString::number(pages)));
    const QString pdf = RenderToPdf(report, "list-10000");
    QCOMPARE(PdfPageCount(pdf), pages);
    const QString last = PdfText(pdf, pages, pages);
    QVERIFY(last.contains(QString("Page %1 / %1").arg(pages)));
    QVERIFY(last.contains("TOTAUX"));
    QVERIFY(last.contains("15000,0 kWh"));
    QVERIFY(last.contains("22500,000 €"));
    QVERIFY(last.contains("10000 consommation(s)"));
    QVERIFY(last.contains(QString::fromUtf8("Relevé n° 10000")));
    const QString second = PdfText(pdf, 2, 2);
    QVERIFY(second.contains(QString("Page 2 / %1").arg(pages)));
    QVERIFY(!second.contains("TOTAUX"));
    QVERIFY(second.contains("Commentaire")); // the column header
    const QString third = PdfText(pdf, 3, 3);
    QVERIFY(third.contains("Commentaire")); // again on the next page
}

QTEST_MAIN(TestReportRuns)
#include "tst_ReportRuns.moc"
