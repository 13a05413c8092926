// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "common/Error.h"
#include "common/ui/Chrome.h"
#include "publish/BandReport.h"
#include "publish/HtmlFolders.h"
#include "publish/MakeHtmlPages.h"
#include "publish/PublishTestData.h"
#include "publish/TDataModuleReport.h"
#include "publish/ui/PublishCommands.h"
#include "publish/ui/TFreeReportPrintViewer.h"
#include "publish/ui/THtmlView.h"
#include "publish/ui/TReportEditor.h"
#include "stats/ui/TEnterPeriod.h"
#include "support/RecordingWaitDisplay.h"
#include "support/ScriptedPrompts.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

namespace {

// Runs `act` on the modal window of that kind as soon as it shows, as long as `context` lives
// (a test's local object, so that nothing fires into the next test).
template <typename Window>
void OnModal(QObject* context, std::function<void(Window*)> act, int triesLeft = 500)
{
    QTimer::singleShot(triesLeft == 500 ? 0 : 10, context, [context, act, triesLeft] {
        if (auto* w = qobject_cast<Window*>(QApplication::activeModalWidget()))
            act(w);
        else if (triesLeft > 0)
            OnModal<Window>(context, act, triesLeft - 1);
    });
}

void Grab(QWidget* window, const QString& name)
{
    QDir().mkpath("screenshots");
    QVERIFY(window->grab().save("screenshots/" + name + ".png"));
}

const char* const kViewerTemplate = "report page=A4 margins=15,12,15,12\n"
                                    "band ReportTitle height=20\n"
                                    "text x=0 y=0 w=180 h=8 | Titre du rapport\n"
                                    "band MasterData height=5\n"
                                    "text x=0 y=0 w=40 h=5 | #[LINE#]\n"
                                    "band PageFooter height=8\n"
                                    "text x=0 y=1 w=180 h=5 | Page [PAGE#] / [TOTALPAGES]\n";

} // namespace

class TestPublishWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void htmlViewShowsThePageWithItsPictures();
    void htmlViewShowsAMissingPage();
    void htmlViewPrintsWithoutDialog();
    void htmlViewSavesThePageWithItsPictures();
    void savingIntoTheTempFolderChangesNothing();
    void htmlViewSavesAsPdf();

    void viewerOpensAtPageWidthAndZooms();
    void viewerPages();
    void viewerPrints_data();
    void viewerPrints();
    void viewerSavesAsPdf();
    void designerOpensOnlyOnTheCodeWord();
    void designerSavesAndShowsAgain();

    void statisticPageCommand();
    void historyPageCommandWithAnEmptyRange();
    void historyReportCommand();
    void reportCommandWithoutTemplate();

private:
    Connection& c() { return m_db.connection(); }
    QString temp() const { return HtmlTempFolder(m_db.folder()); }
    QString writeHistoryPage();
    PreparedReport sixPages();
    PublishServices services();

    SchemaCopy m_db;
    std::unique_ptr<DataSet> m_query;
    std::unique_ptr<DataSet> m_consumption;
    std::unique_ptr<TDataModuleReport> m_module;
    BucketTable m_buckets;
    StatisticState m_state;
    qint64 m_account = -1;
    QString m_dataFolder;
    QString m_reports;
    QImage m_silhouette = TestSilhouette();
    FixedClock m_clock{QDateTime(QDate(2024, 3, 9), QTime(10, 0))};
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void TestPublishWindows::initTestCase()
{
    Chrome().standardChrome = false;
    m_db.prepare();
}

void TestPublishWindows::init()
{
    QVERIFY(m_db.copyTo(QStringLiteral("Data/Access/TILVO.MDB")));
    m_db.open(false);
    m_account = AddSmallAccount(c());
    m_query = std::make_unique<DataSet>(c(), QStringLiteral("Query"));
    m_state = SmallAccountState(*m_query, m_buckets, m_account);
    m_consumption = std::make_unique<DataSet>(c(), QStringLiteral("Consumption"));
    m_consumption->setSqlText(QString("SELECT * FROM CONSUMPTION WHERE Id_Account=%1 ORDER BY "
                                      "DATEACTION")
                                  .arg(m_account));
    m_consumption->open();
    m_module = std::make_unique<TDataModuleReport>(c());
    m_dataFolder = m_db.folder();
    m_reports = ShippedReportsFolder();
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void TestPublishWindows::cleanup()
{
    m_prompts.reset();
    m_module.reset();
    m_consumption.reset();
    m_query.reset();
    m_db.release();
}

QString TestPublishWindows::writeHistoryPage()
{
    RecordingWaitDisplay progress;
    return *MakeHistoryPageFiles({*m_query, m_state, m_dataFolder, m_silhouette}, m_account,
                                 QDate(2008, 1, 1), QDate(2008, 12, 31), true, progress);
}

PreparedReport TestPublishWindows::sixPages()
{
    BandReport report;
    report.setTemplate(ParseReportTemplate(kViewerTemplate, "six.frf"));
    report.setTitle("Six pages");
    Rows rows;
    for (int i = 0; i < 49 + 4 * 53 + 10; ++i)
        rows.rows.append({QString(), 1, 1, QString(), 0});
    const PreparedReport prepared = report.prepare(&rows);
    return prepared;
}

PublishServices TestPublishWindows::services()
{
    return {*m_query,  *m_consumption, *m_module,  m_state, m_buckets, m_dataFolder,
            m_reports, m_silhouette,   *m_prompts, m_clock, nullptr};
}

void TestPublishWindows::htmlViewShowsThePageWithItsPictures()
{
    const QString page = writeHistoryPage();
    THtmlView view(m_dataFolder, *m_prompts);
    view.setTitle(" Historique des consommations");
    view.setPagePath(page);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.windowTitle(), QString("Historique des consommations"));
    QCOMPARE(view.size(), QSize(720, 488));
    QCOMPARE(view.WebBrowser_Html->size(), view.Pan_BackGround->size() - QSize(10, 10));
    view.resize(900, 600);
    QTRY_COMPARE(view.WebBrowser_Html->size(), view.Pan_BackGround->size() - QSize(10, 10));
    const QString text = view.WebBrowser_Html->toPlainText();
    QVERIFY(text.contains("Relevé d'hiver : 12 € de plus"));
    QVERIFY(text.contains("Date de création"));
    QVERIFY(text.contains("TOTAUX"));
    QVERIFY(!text.contains("centerwindow")); // the script is not shown
    const QTextDocument* document = view.WebBrowser_Html->document();
    for (const char* name : {"icone.jpg", "graph1.jpg", "graph2.jpg"}) {
        const QImage image =
            document->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
        QVERIFY2(!image.isNull(), name);
    }
    Grab(&view, "html_view_history");
    QTest::mouseClick(view.Btn_Close, Qt::LeftButton);
    QVERIFY(!view.isVisible());
}

void TestPublishWindows::htmlViewShowsAMissingPage()
{
    THtmlView view(m_dataFolder, *m_prompts);
    view.setPagePath(m_dataFolder + "Html/Temp/index.htm");
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.WebBrowser_Html->toPlainText().contains("Page introuvable"));
}

void TestPublishWindows::htmlViewPrintsWithoutDialog()
{
    THtmlView view(m_dataFolder, *m_prompts);
    view.setTitle(" Historique des consommations");
    view.setPagePath(writeHistoryPage());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QString pdf = m_dataFolder + "printed.pdf";
    m_prompts->printTargetAnswers << Prompts::PrintTarget{QString(), pdf};
    QTest::mouseClick(view.ImprimerBtn, Qt::LeftButton);
    QCOMPARE(m_prompts->printTargetRequests, 1);
    QVERIFY(m_prompts->printRequests.isEmpty()); // no print dialog
    const QString text = PdfText(pdf);
    QVERIFY(text.contains("HISTORIQUE DES CONSOMMATIONS (du 01/01/2008 au 31/12/2008)"));
    QVERIFY(text.contains("Relevé d'hiver : 12 € de plus"));
    const QString images = ToolOutput("pdfimages", {"-list", pdf});
    QCOMPARE(images.count(" image "), 3); // the account picture and the two graphs

    m_prompts->printTargetAnswers << std::nullopt; // nowhere to print: nothing happens
    QTest::mouseClick(view.ImprimerBtn, Qt::LeftButton);
    QCOMPARE(m_prompts->printTargetRequests, 2);
    QVERIFY(view.isVisible());
}

void TestPublishWindows::htmlViewSavesThePageWithItsPictures()
{
    THtmlView view(m_dataFolder, *m_prompts);
    view.setPagePath(writeHistoryPage());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QString target = m_dataFolder + "Export/maison.htm";
    QVERIFY(QDir().mkpath(m_dataFolder + "Export"));
    WriteFile(m_dataFolder + "Export/graph1.jpg", "old");
    m_prompts->fileAnswers << target;
    QTest::mouseClick(view.HtmlBtn, Qt::LeftButton);
    QCOMPARE(m_prompts->fileRequests, QStringList{"Enregistrer la page html sous ..."});
    QCOMPARE(QDir(m_dataFolder + "Export").entryList(QDir::Files),
             (QStringList{"graph1.jpg", "graph2.jpg", "icone.jpg", "maison.htm"}));
    for (const char* name : {"graph1.jpg", "graph2.jpg", "icone.jpg"})
        QCOMPARE(ReadFile(m_dataFolder + "Export/" + name), ReadFile(temp() + name));
    QCOMPARE(ReadFile(target), ReadFile(temp() + "index.htm"));
    QVERIFY(view.isVisible());

    m_prompts->fileAnswers << std::nullopt; // cancelled: nothing is written
    QTest::mouseClick(view.HtmlBtn, Qt::LeftButton);
    QCOMPARE(QDir(m_dataFolder + "Export").entryList(QDir::Files).size(), 4);
}

void TestPublishWindows::savingIntoTheTempFolderChangesNothing()
{
    THtmlView view(m_dataFolder, *m_prompts);
    view.setPagePath(writeHistoryPage());
    const QStringList before = QDir(temp()).entryList(QDir::Files);
    const QByteArray page = ReadFile(temp() + "index.htm");
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    m_prompts->fileAnswers << temp() + "index.htm";
    QTest::mouseClick(view.HtmlBtn, Qt::LeftButton);
    QCOMPARE(QDir(temp()).entryList(QDir::Files), before);
    QCOMPARE(ReadFile(temp() + "index.htm"), page);
}

void TestPublishWindows::htmlViewSavesAsPdf()
{
    THtmlView view(m_dataFolder, *m_prompts);
    view.setTitle(" Historique des consommations");
    view.setPagePath(writeHistoryPage());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QString pdf = m_dataFolder + "page.pdf";
    m_prompts->fileAnswers << pdf;
    QTest::mouseClick(view.PdfBtn, Qt::LeftButton);
    QVERIFY(PdfText(pdf).contains("TOTAUX"));
    m_prompts->fileAnswers << "/nowhere/page.pdf"; // the error is shown, the window stays
    QTest::mouseClick(view.PdfBtn, Qt::LeftButton);
    QCOMPARE(m_prompts->texts(),
             QStringList{"Impossible d'écrire le fichier \"/nowhere/page.pdf\"."});
    QVERIFY(view.isVisible());
}

void TestPublishWindows::viewerOpensAtPageWidthAndZooms()
{
    TFreeReportPrintViewer viewer(*m_prompts);
    viewer.setReport(sixPages());
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QCOMPARE(viewer.windowTitle(), QString("Prévisualisation du rapport"));
    QCOMPARE(viewer.size(), QSize(622, 508));
    QCOMPARE(viewer.frPreview->zoomMode(), QPrintPreviewWidget::FitToWidth);
    QCOMPARE(viewer.pageCount(), 6);
    QCOMPARE(QApplication::focusWidget(), viewer.Ed_Key);
    QTest::mouseClick(viewer.Btn_Size_OnePage, Qt::LeftButton);
    QCOMPARE(viewer.frPreview->zoomMode(), QPrintPreviewWidget::FitInView);
    QTest::mouseClick(viewer.Btn_Size_Full, Qt::LeftButton);
    QCOMPARE(viewer.frPreview->zoomMode(), QPrintPreviewWidget::CustomZoom);
    QCOMPARE(viewer.frPreview->zoomFactor(), 1.0);
    QTest::mouseClick(viewer.Btn_Size_PageWidth, Qt::LeftButton);
    QCOMPARE(viewer.frPreview->zoomMode(), QPrintPreviewWidget::FitToWidth);
    QCOMPARE(QApplication::focusWidget(), viewer.Ed_Key); // the buttons leave the focus there
}

void TestPublishWindows::viewerPages()
{
    TFreeReportPrintViewer viewer(*m_prompts);
    viewer.setReport(sixPages());
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QCOMPARE(viewer.currentPage(), 1);
    QCOMPARE(viewer.Lab_Page->text(), QString("Page 1 / 6"));
    QTest::mouseClick(viewer.spbPreviewNext, Qt::LeftButton);
    QCOMPARE(viewer.currentPage(), 2);
    QTest::mouseClick(viewer.spbPreviewLast, Qt::LeftButton);
    QCOMPARE(viewer.currentPage(), 6);
    QTest::mouseClick(viewer.spbPreviewNext, Qt::LeftButton);
    QCOMPARE(viewer.currentPage(), 6);
    QTest::mouseClick(viewer.spbPreviewPrior, Qt::LeftButton);
    QCOMPARE(viewer.currentPage(), 5);
    QCOMPARE(viewer.Lab_Page->text(), QString("Page 5 / 6"));
    QTest::mouseClick(viewer.spbPreviewFirst, Qt::LeftButton);
    QCOMPARE(viewer.currentPage(), 1);
    QTest::mouseClick(viewer.spbPreviewPrior, Qt::LeftButton);
    QCOMPARE(viewer.currentPage(), 1);
    Grab(&viewer, "report_viewer");
}

void TestPublishWindows::viewerPrints_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("selection");
    QTest::addColumn<QStringList>("printed"); // the page numbers printed, in order
    QTest::newRow("all") << true << 1 << 6 << 1 << false
                         << QStringList{"1", "2", "3", "4", "5", "6"};
    QTest::newRow("a range") << true << 2 << 4 << 1 << false << QStringList{"2", "3", "4"};
    QTest::newRow("copies") << true << 5 << 6 << 2 << false << QStringList{"5", "6", "5", "6"};
    QTest::newRow("selection: the page shown") << true << 1 << 6 << 1 << true << QStringList{"3"};
    QTest::newRow("cancelled") << false << 0 << 0 << 0 << false << QStringList{};
}

void TestPublishWindows::viewerPrints()
{
    QFETCH(bool, chosen);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, copies);
    QFETCH(bool, selection);
    QFETCH(QStringList, printed);
    TFreeReportPrintViewer viewer(*m_prompts);
    viewer.setReport(sixPages());
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    viewer.frPreview->setCurrentPage(3);
    const QString pdf = m_dataFolder + "report.pdf";
    if (chosen) {
        Prompts::PrintSetup answer;
        answer.fromPage = from;
        answer.toPage = to;
        answer.copies = copies;
        answer.currentPageOnly = selection;
        answer.target.pdfFile = pdf;
        m_prompts->printAnswers << answer;
    } else {
        m_prompts->printAnswers << std::nullopt;
    }
    QTest::mouseClick(viewer.spbPreviewPrint, Qt::LeftButton);
    QCOMPARE(m_prompts->printRequests.size(), 1);
    const Prompts::PrintSetup asked = m_prompts->printRequests.first();
    QCOMPARE(asked.minPage, 1);
    QCOMPARE(asked.maxPage, 6);
    QCOMPARE(asked.fromPage, 1);
    QCOMPARE(asked.toPage, 6);
    QCOMPARE(asked.copies, 1);
    QVERIFY(!viewer.isVisible()); // printed or not, the preview closes
    QCOMPARE(viewer.result(), int(QDialog::Accepted));
    if (printed.isEmpty()) {
        QVERIFY(!QFileInfo::exists(pdf));
        return;
    }
    QCOMPARE(PdfPageCount(pdf), printed.size());
    for (int i = 0; i < printed.size(); ++i)
        QVERIFY(PdfText(pdf, i + 1, i + 1).contains("Page " + printed.at(i) + " / 6"));
}

void TestPublishWindows::viewerSavesAsPdf()
{
    TFreeReportPrintViewer viewer(*m_prompts);
    viewer.setReport(sixPages());
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    const QString pdf = m_dataFolder + "six.pdf";
    m_prompts->fileAnswers << pdf;
    QTest::mouseClick(viewer.Btn_SavePdf, Qt::LeftButton);
    QCOMPARE(m_prompts->fileRequests, QStringList{"Enregistrer le rapport en PDF sous ..."});
    QCOMPARE(PdfPageCount(pdf), 6);
    QVERIFY(viewer.isVisible());
}

void TestPublishWindows::designerOpensOnlyOnTheCodeWord()
{
    QObject context;
    const QString path = m_dataFolder + "six.frf";
    WriteFile(path, kViewerTemplate);
    TFreeReportPrintViewer viewer(*m_prompts);
    viewer.setReport(sixPages());
    viewer.setDesigner(path, [] { return PreparedReport(); });
    viewer.show();
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    bool opened = false;
    OnModal<TReportEditor>(&context, [&opened](TReportEditor* editor) {
        opened = true;
        editor->reject();
    });
    QTest::keyClicks(viewer.Ed_Key, "abcd");
    QTest::keyClick(&viewer, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), viewer.BitBtn1);
    QTest::keyClick(viewer.BitBtn1, Qt::Key_Return);
    QTest::qWait(50);
    QVERIFY(!opened);
    QVERIFY(viewer.Ed_Key->text().isEmpty());
    QVERIFY(viewer.isVisible());
}

void TestPublishWindows::designerSavesAndShowsAgain()
{
    QObject context;
    const QString path = m_dataFolder + "six.frf";
    WriteFile(path, kViewerTemplate);
    BandReport report;
    Rows rows;
    rows.rows.append({QString(), 1, 1, QString(), 0});
    auto prepare = [&] {
        report.loadFromFile(path);
        return report.prepare(&rows);
    };
    TFreeReportPrintViewer viewer(*m_prompts);
    viewer.setReport(sixPages());
    viewer.setDesigner(path, prepare);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    QCOMPARE(viewer.pageCount(), 6);
    QString shownText;
    int errorsShown = -1;
    OnModal<TReportEditor>(&context, [&](TReportEditor* editor) {
        shownText = editor->Ed_Template->toPlainText();
        // A mistake is shown and the editor stays open for the correction.
        editor->Ed_Template->setPlainText(shownText + "\nband Nowhere\n");
        QTest::mouseClick(editor->Btn_Save, Qt::LeftButton);
        errorsShown = int(m_prompts->shown.size());
        QVERIFY(editor->isVisible());
        editor->Ed_Template->setPlainText(
            QString(shownText).replace("Titre du rapport", "Titre modifié"));
        QTest::mouseClick(editor->Btn_Save, Qt::LeftButton);
        QTest::mouseClick(editor->Btn_Close, Qt::LeftButton);
    });
    QTest::keyClicks(viewer.Ed_Key, TFreeReportPrintViewer::DesignerCodeWord);
    QTest::keyClick(&viewer, Qt::Key_Tab);
    QTest::keyClick(viewer.BitBtn1, Qt::Key_Return);
    QTRY_VERIFY(!shownText.isEmpty());
    QCOMPARE(shownText, QString(kViewerTemplate));
    QCOMPARE(errorsShown, 1);
    QVERIFY(m_prompts->texts().first().contains("bande inconnue \"nowhere\""));
    QVERIFY(ReadFile(path).contains("Titre modifié"));
    QCOMPARE(viewer.report().pageTexts(0).first(), QString("Titre modifié"));
    QTRY_COMPARE(viewer.pageCount(), 1);
}

void TestPublishWindows::statisticPageCommand()
{
    QObject context;
    PublishServices s = services();
    QString caption;
    QString text;
    OnModal<THtmlView>(&context, [&](THtmlView* view) {
        caption = view->windowTitle();
        text = view->WebBrowser_Html->toPlainText();
        QTest::mouseClick(view->Btn_Close, Qt::LeftButton);
    });
    ShowStatisticPage(s, m_account, "2008");
    QCOMPARE(caption, QString("Courbes des consommations"));
    QVERIFY(text.contains("EVOLUTION GRAPHIQUE DES CONSOMMATIONS (2008)"));
    QCOMPARE(QDir(temp()).entryList(QDir::Files),
             (QStringList{"graph.jpg", "icone.jpg", "index.htm"}));
    QVERIFY(!m_query->isActive());
}

void TestPublishWindows::historyPageCommandWithAnEmptyRange()
{
    QObject context;
    m_consumption->moveTo(2);
    PublishServices s = services();
    QString begin;
    QString end;
    OnModal<TEnterPeriod>(&context, [&](TEnterPeriod* dialog) {
        begin = dialog->Ed_Begin_Date->text();
        end = dialog->Ed_End_Date->text();
        dialog->Ed_Begin_Date->setText("01/01/2009");
        dialog->Ed_End_Date->setText("31/12/2009");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    MakeHistoryPage(s, m_account, true);
    QCOMPARE(begin, QString("01/02/2008")); // the account's first and last entries
    QCOMPARE(end, QString("01/03/2008"));
    QCOMPARE(m_consumption->recNo(), 2);
    QCOMPARE(m_prompts->texts(), QStringList{"Il n'y a pas d'enregistrements dans cette liste."});
    QCOMPARE(m_prompts->shown.first().icon, Prompts::Icon::Information);
    QVERIFY(!QFileInfo::exists(temp() + "index.htm"));
    QVERIFY(QDir(temp()).entryList(QDir::Files).isEmpty());

    OnModal<TEnterPeriod>(&context, [](TEnterPeriod* dialog) { dialog->reject(); });
    MakeHistoryPage(s, m_account, false); // cancelled: nothing more
    QCOMPARE(m_prompts->shown.size(), 1);
}

void TestPublishWindows::historyReportCommand()
{
    QObject context;
    PublishServices s = services();
    int pages = 0;
    bool picturesWhileShown = false;
    OnModal<TEnterPeriod>(&context, [&](TEnterPeriod* dialog) {
        OnModal<TFreeReportPrintViewer>(&context, [&](TFreeReportPrintViewer* viewer) {
            pages = viewer->pageCount();
            picturesWhileShown = QFileInfo::exists(m_dataFolder + "temp1.bmp") &&
                                 QFileInfo::exists(m_dataFolder + "temp2.bmp");
            Grab(viewer, "report_viewer_history");
            QTest::mouseClick(viewer->Btn_Close, Qt::LeftButton);
        });
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    PrintHistoryReport(s, m_account, "list");
    QCOMPARE(pages, 2);
    QVERIFY(picturesWhileShown);
    QVERIFY(!QFileInfo::exists(m_dataFolder + "temp1.bmp"));
    QVERIFY(!QFileInfo::exists(m_dataFolder + "temp2.bmp"));
    QVERIFY(!m_module->ReportQuery().isActive());
    QCOMPARE(m_module->titleVariable(),
             QString("HISTORIQUE DES CONSOMMATIONS (DU 01/02/2008 AU 01/03/2008)"));
}

void TestPublishWindows::reportCommandWithoutTemplate()
{
    QObject context;
    m_reports = m_dataFolder + "Reports/";
    QVERIFY(QDir().mkpath(m_reports));
    QVERIFY(QFile::copy(ShippedReportsFolder() + "Stat.rpt", m_reports + "Stat.rpt"));
    PublishServices s = services();
    bool viewerShown = false;
    OnModal<TFreeReportPrintViewer>(&context, [&](TFreeReportPrintViewer* viewer) {
        viewerShown = true;
        viewer->reject();
    });
    try {
        PrintStatisticReport(s, m_account, "2008");
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.text(), "Le modèle de rapport \"" + m_reports + "Stat.frf\" est introuvable.");
    }
    QTest::qWait(20);
    QVERIFY(!viewerShown);
    QVERIFY(!QFileInfo::exists(m_dataFolder + "temp1.bmp")); // drawn, then removed
    QVERIFY(!m_module->ReportQuery().isActive());
}

QTEST_MAIN(TestPublishWindows)
#include "tst_PublishWindows.moc"
