// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/TStrList.h"
#include "db/CabinetReader.h"
#include "db/DataSet.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBGrid.h"
#include "db/ui/TBackupList.h"
#include "main/AccountListModel.h"
#include "main/MainTestData.h"
#include "main/ui/AccountListView.h"
#include "main/ui/MainWindowFixture.h"
#include "main/ui/TEnterAccount.h"
#include "main/ui/TEnterConsumption.h"
#include "main/ui/TExportEntries.h"
#include "main/ui/TImportEntries.h"
#include "publish/ui/TFreeReportPrintViewer.h"
#include "publish/ui/THtmlView.h"
#include "stats/ChartModel.h"
#include "stats/StatisticState.h"
#include "stats/ui/ChartView.h"
#include "stats/ui/StatisticBar.h"
#include "stats/ui/TEnterPeriod.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

using namespace tilvo;
using namespace tilvo::test;

namespace {

void ClickRow(QAbstractItemView* view, int row, bool twice = false)
{
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    // A double-click as the window system sends it: a click, then the second press.
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

// Runs `act` on the modal window of that kind once it shows, looking again every 10 ms without
// waiting in between, since the pages are written with the event loop running; only as long
// as `context` lives.
template <typename Window>
void OnModal(QObject* context, std::function<void(Window*)> act, int triesLeft = 1000)
{
    QTimer::singleShot(triesLeft == 1000 ? 0 : 10, context, [context, act, triesLeft] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget()))
            act(window);
        else if (triesLeft > 0)
            OnModal<Window>(context, act, triesLeft - 1);
    });
}

// Chooses a line of the drop-down open under the statistics bar, as Enter does.
void ChooseLine(QWidget* window, int row)
{
    QPointer<TStrList> list;
    QTRY_VERIFY((list = window->findChild<TStrList*>()) != nullptr && list->isVisible());
    list->List->setCurrentRow(row);
    QTest::keyClick(list->List, Qt::Key_Return);
    QTRY_VERIFY(!list);
}

// The series of a chart kind (1 .. 6) of the window's chart.
const ChartSeries& Series(TMainForm& w, int kind)
{
    return *w.Chart1->model().findSeries(QStringLiteral("Series%1").arg(kind));
}

QList<int> ActiveSeries(TMainForm& w)
{
    QList<int> active;
    for (int kind = 1; kind <= kChartKinds; ++kind)
        if (Series(w, kind).isActive())
            active << kind;
    return active;
}

QString PdfText(const QString& pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!tool.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

} // namespace

// The commands of the main window driven through its controls: accounts, entries, the
// statistics bar and chart, the publishing menus and the database menu.
class TestMainWindowCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_db.prepare(); }
    void init();
    void cleanup();

    void accountsAddedEditedAndDeleted();
    void entriesMoveTheCounterAndTheStatistic();
    void statisticFollowsTheSelectionAndTheBar();
    void reportPrintedAndPagesWrittenFromTheMenus();
    void databaseMenuBacksUpCompactsAndRestores();
    void exchangeMenuExportsAndImportsEntries();
    void oldDatabaseImportedFromTheMenu();

private:
    double counter(qint64 account)
    {
        return m_db.scalar(QString("SELECT Count FROM ACCOUNT WHERE Id=%1").arg(account))
            .toDouble();
    }
    int entries() { return m_db.scalar("SELECT COUNT(*) FROM CONSUMPTION").toInt(); }

    TestDatabase m_db;
    std::unique_ptr<MainWindowFixture> m_f;
    qint64 m_home = -1;
};

void TestMainWindowCommands::init()
{
    m_f = std::make_unique<MainWindowFixture>(m_db);
    m_f->env.ReportsFolder = QStringLiteral(TILVO_SOURCE_DIR "/shipped/Reports/");
    m_home = m_db.addDossier("Maison");
}

void TestMainWindowCommands::cleanup()
{
    m_f.reset();
}

void TestMainWindowCommands::accountsAddedEditedAndDeleted()
{
    TMainForm& w = m_f->shown();
    QCOMPARE(w.currentState(), CommandState::S1);

    // A new account whose dialog is cancelled leaves nothing behind.
    WhenShown<TEnterAccount>([](TEnterAccount* dialog) {
        Retype(dialog->Ed_Title, "Essai");
        QTest::mouseClick(dialog->Btn_Cancel, Qt::LeftButton);
    });
    QTest::mouseClick(w.Btn_Account_Add, Qt::LeftButton);
    QCOMPARE(m_db.scalar("SELECT COUNT(*) FROM ACCOUNT").toInt(), 0);
    QCOMPARE(w.currentState(), CommandState::S1);

    // Confirmed, it is listed, selected, and its entries can be added.
    WhenShown<TEnterAccount>([](TEnterAccount* dialog) {
        Retype(dialog->Ed_Title, "Electricite");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    QTest::mouseClick(w.Btn_Account_Add, Qt::LeftButton);
    const qint64 power = m_db.scalar("SELECT MAX(Id) FROM ACCOUNT").toLongLong();
    QCOMPARE(w.accountList()->rowCount(), 1);
    QCOMPARE(w.CurrentAccountId, int(power));
    QCOMPARE(w.currentState(), CommandState::S2);
    QVERIFY(w.Btn_Account_Edit->isEnabled() && w.Btn_Consumption_Add->isEnabled());
    // Its defaults reached the statistics bar: a month of quantities as a 3D line.
    QCOMPARE(w.statisticBar()->Ed_StatPeriod->text(), QString("Mois"));
    QCOMPARE(w.statisticBar()->Lab_StatPeriod->text(), QString("Décembre 2026"));

    // A double-click on the list edits it; the list shows the new title.
    WhenShown<TEnterAccount>([](TEnterAccount* dialog) {
        QCOMPARE(dialog->Ed_Title->text(), QString("Electricite"));
        Retype(dialog->Ed_Title, "Courant");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    ClickRow(w.Grid_AccountList, 0, true);
    QCOMPARE(w.accountList()->entry(0).Title, QString("Courant"));
    QCOMPARE(m_db.scalar(QString("SELECT Title FROM ACCOUNT WHERE Id=%1").arg(power)).toString(),
             QString("Courant"));

    // A second one, listed in title order and selected.
    WhenShown<TEnterAccount>([](TEnterAccount* dialog) {
        Retype(dialog->Ed_Title, "Bois");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    QTest::mouseClick(w.Btn_Account_Add, Qt::LeftButton);
    QCOMPARE(w.accountList()->rowCount(), 2);
    QCOMPARE(w.accountList()->entry(0).Title, QString("Bois"));
    QCOMPARE(w.Grid_AccountList->currentRow(), 0);
    const qint64 wood = w.CurrentAccountId;
    m_db.addEntry(m_home, wood, QDate(2026, 11, 2), 3, 40);

    // Deleting needs a "Oui"; then the account and its entries go, and the first one left is
    // selected.
    m_f->prompts.yesNoAnswers << false << true;
    QTest::mouseClick(w.Btn_Account_Delete, Qt::LeftButton);
    QCOMPARE(w.accountList()->rowCount(), 2);
    QTest::mouseClick(w.Btn_Account_Delete, Qt::LeftButton);
    QCOMPARE(m_f->prompts.texts(),
             QStringList(2, QString("Confirmez-vous la suppression de ce compte?")));
    QCOMPARE(w.accountList()->rowCount(), 1);
    QCOMPARE(w.CurrentAccountId, int(power));
    QCOMPARE(entries(), 0);
    QCOMPARE(w.currentState(), CommandState::S2);

    m_f->prompts.yesNoAnswers << true;
    QTest::mouseClick(w.Btn_Account_Delete, Qt::LeftButton);
    QCOMPARE(w.accountList()->rowCount(), 0);
    QCOMPARE(w.CurrentAccountId, -1);
    QCOMPARE(w.currentState(), CommandState::S1);
    QVERIFY(!w.Btn_Account_Edit->isEnabled());
}

void TestMainWindowCommands::entriesMoveTheCounterAndTheStatistic()
{
    AccountRow water;
    water.title = "Eau";
    water.unit = "m3";
    water.count = 10;
    water.periodType = kPeriodYear;
    const qint64 account = m_db.addAccount(m_home, water);
    TMainForm& w = m_f->shown();
    QCOMPARE(w.currentState(), CommandState::S2);
    QVERIFY(!w.Chart1->isEnabled() && !w.statisticBar()->isEnabled());
    const int computedBefore = m_f->computed;

    // Added through the dialog, dated today: the counter, the list and the chart follow.
    QString shownDate;
    WhenShown<TEnterConsumption>([&shownDate](TEnterConsumption* dialog) {
        shownDate = dialog->Ed_Event_Date->text();
        Retype(dialog->DBEdit1, "5");
        Retype(dialog->DBEdit2, "7,5");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    QTest::mouseClick(w.Btn_Consumption_Add, Qt::LeftButton);
    QCOMPARE(shownDate, QString("10/12/2026"));
    QCOMPARE(counter(account), 15.0);
    QCOMPARE(w.accountList()->entry(0).InfoLine, QString("01/02/2008  - 15 m3"));
    QCOMPARE(w.Grid_Consumption->model()->rowCount(), 1);
    QCOMPARE(w.currentState(), CommandState::S3);
    QVERIFY(w.Chart1->isEnabled() && w.statisticBar()->isEnabled());
    QCOMPARE(m_f->computed, computedBefore + 1);
    const BucketTable& buckets = w.statisticBar()->buckets();
    QCOMPARE(buckets.count(), 12);
    QCOMPARE(buckets.value(12), 5.0);
    QCOMPARE(ActiveSeries(w), QList<int>{1});
    QCOMPARE(Series(w, 1).count(), 12);
    QCOMPARE(Series(w, 1).value(11), 5.0);

    // A double-click on the grid edits the entry.
    WhenShown<TEnterConsumption>([](TEnterConsumption* dialog) {
        QCOMPARE(dialog->DBEdit1->text(), QString("5"));
        Retype(dialog->DBEdit1, "2");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    ClickRow(w.Grid_Consumption, 0, true);
    QCOMPARE(counter(account), 12.0);
    QCOMPARE(buckets.value(12), 2.0);
    QCOMPARE(Series(w, 1).value(11), 2.0);

    // A cancelled new entry changes nothing.
    WhenShown<TEnterConsumption>([](TEnterConsumption* dialog) {
        Retype(dialog->DBEdit1, "40");
        QTest::mouseClick(dialog->Btn_Cancel, Qt::LeftButton);
    });
    QTest::mouseClick(w.Btn_Consumption_Add, Qt::LeftButton);
    QCOMPARE(entries(), 1);
    QCOMPARE(counter(account), 12.0);

    // Deleted after a "Oui": the counter goes back, the statistics are off again.
    m_f->prompts.yesNoAnswers << true;
    QTest::mouseClick(w.Btn_Consumption_Delete, Qt::LeftButton);
    QCOMPARE(m_f->prompts.texts(), QStringList{"Confirmez-vous la suppression ?"});
    QCOMPARE(counter(account), 10.0);
    QCOMPARE(w.accountList()->entry(0).InfoLine, QString("01/02/2008  - 10 m3"));
    QCOMPARE(entries(), 0);
    QCOMPARE(w.currentState(), CommandState::S2);
    QVERIFY(!w.Chart1->isEnabled());
    QVERIFY(ActiveSeries(w).isEmpty());
    QVERIFY(!w.Chart1->model().axis(ChartModel::LeftAxis).visible);
}

void TestMainWindowCommands::statisticFollowsTheSelectionAndTheBar()
{
    AccountRow water;
    water.title = "Eau";
    water.unit = "m3";
    water.decimals = 1;
    water.periodType = kPeriodYear;
    const qint64 waterId = m_db.addAccount(m_home, water);
    AccountRow gas;
    gas.title = "Gaz";
    gas.periodType = kPeriodMonth;
    gas.statType = kChartBars;
    gas.valueType = kValueAmount;
    gas.color = 0x00336699;
    gas.setColor = true;
    const qint64 gasId = m_db.addAccount(m_home, gas);
    m_db.addEntry(m_home, waterId, QDate(2026, 1, 10), 12, 30);
    m_db.addEntry(m_home, waterId, QDate(2026, 3, 10), 8, 20);
    m_db.addEntry(m_home, waterId, QDate(2025, 5, 1), 4, 10);
    m_db.addEntry(m_home, gasId, QDate(2026, 12, 1), 120, 12.5);
    m_db.addEntry(m_home, gasId, QDate(2026, 12, 3), 80, 7.25);

    TMainForm& w = m_f->shown();
    StatisticBar& bar = *w.statisticBar();
    const BucketTable& buckets = bar.buckets();
    QCOMPARE(w.CurrentAccountId, int(waterId));
    QCOMPARE(bar.Ed_StatPeriod->text(), QString("Année"));
    QCOMPARE(bar.Lab_StatPeriod->text(), QString("2026"));
    QCOMPARE(bar.Ed_StatValue->text(), QString("Quantité"));
    QVERIFY(bar.Btn_Stat[0]->isChecked());
    QCOMPARE(bar.state().QuantityFormat, QString("#######0.0 m3"));
    QCOMPARE(buckets.count(), 12);
    QCOMPARE(buckets.value(1), 12.0);
    QCOMPARE(buckets.value(3), 8.0);
    QCOMPARE(ActiveSeries(w), QList<int>{1});
    QCOMPARE(Series(w, 1).label(0), QString("Jan"));
    QVERIFY(w.Chart1->model().axis(ChartModel::LeftAxis).automaticMaximum);
    Grab(&w, "MainWindow_statistic_year");

    // Previous and next step through the years; a year without entries has its axis to 100.
    QTest::mouseClick(bar.Btn_Stat_Previous, Qt::LeftButton);
    QCOMPARE(bar.Lab_StatPeriod->text(), QString("2025"));
    QCOMPARE(buckets.value(5), 4.0);
    QTest::mouseClick(bar.Btn_Stat_Previous, Qt::LeftButton);
    QCOMPARE(bar.Lab_StatPeriod->text(), QString("2024"));
    QVERIFY(bar.state().AllZero);
    QVERIFY(!w.Chart1->model().axis(ChartModel::LeftAxis).automaticMaximum);
    QCOMPARE(w.Chart1->model().axis(ChartModel::LeftAxis).maximum, 100.0);
    QTest::mouseClick(bar.Btn_Stat_Next, Qt::LeftButton);
    QTest::mouseClick(bar.Btn_Stat_Next, Qt::LeftButton);
    QCOMPARE(bar.Lab_StatPeriod->text(), QString("2026"));

    // The period kind from its pick-list: the month, then a date range.
    QTest::mouseClick(bar.Btn_StatPeriod, Qt::LeftButton);
    ChooseLine(&w, kPeriodMonth);
    QCOMPARE(bar.Ed_StatPeriod->text(), QString("Mois"));
    QCOMPARE(bar.Lab_StatPeriod->text(), QString("Décembre 2026"));
    QCOMPARE(buckets.count(), 31);
    QCOMPARE(bar.Lab_StatPeriod->geometry().left(), 95);
    QCOMPARE(bar.Lab_StatPeriod->width(), 145);
    QTest::mouseClick(bar.Btn_StatPeriod, Qt::LeftButton);
    ChooseLine(&w, kPeriodDates);
    QCOMPARE(bar.Lab_StatPeriod->text(), QString("du 01/01/2026 au 31/12/2026"));
    QCOMPARE(bar.Lab_StatPeriod->geometry().left(), 80);
    QCOMPARE(bar.Lab_StatPeriod->width(), 160);
    QVERIFY(bar.Btn_Stat_Dates->isVisible());
    QVERIFY(!bar.Btn_Stat_Previous->isVisible() && !bar.Btn_Stat_Next->isVisible());
    QCOMPARE(buckets.count(), 2); // one point per entry
    WhenShown<TEnterPeriod>([](TEnterPeriod* dialog) {
        QCOMPARE(dialog->Ed_Begin_Date->text(), QString("01/01/2026"));
        dialog->Ed_Begin_Date->setText("01/01/2025");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    QTest::mouseClick(bar.Btn_Stat_Dates, Qt::LeftButton);
    QCOMPARE(bar.Lab_StatPeriod->text(), QString("du 01/01/2025 au 31/12/2026"));
    QCOMPARE(buckets.count(), 3);
    QCOMPARE(buckets.label(1), QString("01/05/2025"));

    // The amounts, from their pick-list.
    QTest::mouseClick(bar.Btn_StatValue, Qt::LeftButton);
    ChooseLine(&w, kValueAmount);
    QCOMPARE(bar.Ed_StatValue->text(), QString("Montant"));
    QCOMPARE(buckets.value(2), 30.0);

    // A chart kind only redraws what was computed.
    const int computed = m_f->computed;
    QTest::mouseClick(bar.Btn_Stat[kChartPie - 1], Qt::LeftButton);
    QCOMPARE(ActiveSeries(w), QList<int>{kChartPie});
    QCOMPARE(Series(w, kChartPie).count(), 3);
    QVERIFY(bar.Btn_Stat[kChartPie - 1]->isChecked() && !bar.Btn_Stat[0]->isChecked());
    QTest::mouseClick(bar.Btn_Stat[kChartPie - 1], Qt::LeftButton);
    QVERIFY(bar.Btn_Stat[kChartPie - 1]->isChecked());
    QCOMPARE(m_f->computed, computed);
    Grab(&w, "MainWindow_statistic_pie");

    // Another account brings its own kinds and colour; the browsed month stays.
    ClickRow(w.Grid_AccountList, 1);
    QCOMPARE(w.CurrentAccountId, int(gasId));
    QCOMPARE(bar.Ed_StatPeriod->text(), QString("Mois"));
    QCOMPARE(bar.Lab_StatPeriod->text(), QString("Décembre 2026"));
    QCOMPARE(bar.Ed_StatValue->text(), QString("Montant"));
    QVERIFY(bar.Btn_Stat[kChartBars - 1]->isChecked());
    QCOMPARE(ActiveSeries(w), QList<int>{kChartBars});
    QCOMPARE(Series(w, kChartBars).count(), 31);
    QCOMPARE(Series(w, kChartBars).value(0), 12.5);
    QCOMPARE(Series(w, kChartBars).value(2), 7.25);
    QCOMPARE(Series(w, kChartBars).color(), quint32(0x00336699));
    QCOMPARE(Series(w, kChartBars).valueFormat(), QString("#######0.000 €"));
    Grab(&w, "MainWindow_statistic_month_bars");
}

void TestMainWindowCommands::reportPrintedAndPagesWrittenFromTheMenus()
{
    AccountRow water;
    water.title = "Eau du jardin";
    water.periodType = kPeriodYear;
    const qint64 account = m_db.addAccount(m_home, water);
    m_db.addEntry(m_home, account, QDate(2026, 1, 10), 12, 30, "Relevé de janvier");
    m_db.addEntry(m_home, account, QDate(2026, 3, 10), 8, 20, "Relevé de mars");
    TMainForm& w = m_f->shown();
    QCOMPARE(w.currentState(), CommandState::S3);

    // The statistics report, printed from its preview into a PDF file.
    const QString pdf = m_f->env.DataFolder + "statistique.pdf";
    Prompts::PrintSetup answer;
    answer.toPage = 1;
    answer.target.pdfFile = pdf;
    m_f->prompts.printAnswers << answer;
    int pages = 0;
    QObject context;
    OnModal<TFreeReportPrintViewer>(&context, [&pages](TFreeReportPrintViewer* viewer) {
        pages = viewer->pageCount();
        QTest::mouseClick(viewer->spbPreviewPrint, Qt::LeftButton);
    });
    w.Popup_Report_Stat->trigger();
    QVERIFY(pages >= 1);
    QCOMPARE(m_f->prompts.printRequests.size(), 1);
    const QString printed = PdfText(pdf);
    QVERIFY2(printed.contains("EVOLUTION GRAPHIQUE DES CONSOMMATIONS (2026)"), qPrintable(printed));
    QVERIFY(printed.contains("Eau du jardin"));
    QVERIFY(!QFileInfo::exists(m_f->env.DataFolder + "temp1.bmp"));

    // The history page with its graphs, for the range of the account's entries.
    const QString temp = m_f->env.DataFolder + "Html/Temp/";
    QString range;
    QString page;
    QStringList files;
    OnModal<TEnterPeriod>(&context, [&](TEnterPeriod* dialog) {
        range = dialog->Ed_Begin_Date->text() + " " + dialog->Ed_End_Date->text();
        OnModal<THtmlView>(&context, [&](THtmlView* view) {
            page = view->WebBrowser_Html->toPlainText();
            files = QDir(temp).entryList(QDir::Files);
            QTest::mouseClick(view->Btn_Close, Qt::LeftButton);
        });
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    w.Popup_Html_List_Full->trigger();
    QCOMPARE(range, QString("10/01/2026 10/03/2026"));
    QVERIFY2(page.contains("Relevé de mars"), qPrintable(page));
    QVERIFY2(files.contains("index.htm") && files.contains("icone.jpg"),
             qPrintable(files.join(' ')));

    // The statistics page names the period shown.
    OnModal<THtmlView>(&context, [&page](THtmlView* view) {
        page = view->WebBrowser_Html->toPlainText();
        QTest::mouseClick(view->Btn_Close, Qt::LeftButton);
    });
    w.Popup_Html_Stat->trigger();
    QVERIFY2(page.contains("EVOLUTION GRAPHIQUE DES CONSOMMATIONS (2026)"), qPrintable(page));
    QVERIFY(QFileInfo::exists(temp + "graph.jpg"));
    QVERIFY(m_f->prompts.shown.isEmpty());
}

void TestMainWindowCommands::databaseMenuBacksUpCompactsAndRestores()
{
    AccountRow water;
    water.title = "Eau";
    water.count = 10;
    const qint64 account = m_db.addAccount(m_home, water);
    m_db.addEntry(m_home, account, QDate(2026, 12, 1), 5, 2);
    TMainForm& w = m_f->shown();
    QCOMPARE(w.currentState(), CommandState::S3);

    // A backup into the chosen file.
    const QString archive = m_f->dir.path() + "/essai.bkp";
    m_f->prompts.fileAnswers << archive;
    w.Popup_Tools_DataBase_Backup->trigger();
    QCOMPARE(m_f->prompts.texts(), QStringList{"Sauvegarde effectuée."});
    const auto stored = CabinetReader(archive).entries();
    QVERIFY(!stored.empty());
    QVERIFY(w.isEnabled());
    QCOMPARE(w.currentState(), CommandState::S3);
    QCOMPARE(w.Grid_Consumption->model()->rowCount(), 1);

    // An entry added afterwards, then a compaction: the dossier stays open, its entries shown.
    WhenShown<TEnterConsumption>([](TEnterConsumption* dialog) {
        Retype(dialog->DBEdit1, "3");
        QTest::mouseClick(dialog->Btn_Ok, Qt::LeftButton);
    });
    QTest::mouseClick(w.Btn_Consumption_Add, Qt::LeftButton);
    QCOMPARE(entries(), 2);
    m_f->prompts.yesNoAnswers << true;
    w.Popup_Tools_DataBase_Compact->trigger();
    QCOMPARE(m_f->prompts.texts().last(), QString("Compactage effectué."));
    QVERIFY(w.isEnabled());
    QCOMPARE(w.CurrentDossierId, int(m_home));
    QCOMPARE(w.currentState(), CommandState::S3);
    QCOMPARE(w.Grid_Consumption->model()->rowCount(), 2);
    QCOMPARE(m_db.scalar("SELECT COUNT(*) FROM Backup").toInt(), 2);

    // The history lists both commands.
    int rows = 0;
    WhenShown<TBackupList>([&rows](TBackupList* window) {
        rows = window->BFSDBGridColor2->model()->rowCount();
        QTest::mouseClick(window->Btn_Close, Qt::LeftButton);
    });
    w.Popup_Tools_DataBase_History->trigger();
    QCOMPARE(rows, 2);

    // The restore closes the dossier and brings back the entries of the backup.
    m_f->prompts.fileAnswers << archive;
    w.Popup_Tools_DataBase_restore->trigger();
    QCOMPARE(m_f->prompts.texts().last(), QString("Sauvegarde restaurée."));
    QVERIFY(w.isEnabled());
    QCOMPARE(w.CurrentDossierId, -1);
    QCOMPARE(w.currentState(), CommandState::S0);
    QVERIFY(w.Popup_File_Open->isEnabled());
    QCOMPARE(entries(), 1);
    w.OpenDossier(int(m_home), "Maison");
    QCOMPARE(w.currentState(), CommandState::S3);
    QCOMPARE(w.Grid_Consumption->model()->rowCount(), 1);
    QCOMPARE(counter(account), 10.0); // as it was saved, before the entry of 3
}

void TestMainWindowCommands::exchangeMenuExportsAndImportsEntries()
{
    AccountRow water;
    water.title = "Eau";
    water.count = 10;
    const qint64 source = m_db.addAccount(m_home, water);
    m_db.addEntry(m_home, source, QDate(2026, 11, 1), 5, 2);
    m_db.addEntry(m_home, source, QDate(2026, 12, 1), 2.5, 1);
    AccountRow copy;
    copy.title = "Copie";
    copy.count = 100;
    const qint64 target = m_db.addAccount(m_home, copy);
    TMainForm& w = m_f->shown();
    w.RebuildAccountList(source);
    QVERIFY(w.Popup_Tools_Exchange);
    QCOMPARE(w.Popup_Tools_Exchange->title(), QString("&Echanges"));
    QCOMPARE(w.CurrentAccountId, int(source));

    // The selected account's entries exported from the window's menu.
    const QString file = m_f->dir.path() + "/eau.csv";
    m_f->prompts.fileAnswers << file;
    WhenShown<TExportEntries>([](TExportEntries* dialog) {
        dialog->Rb_Account->setChecked(true);
        dialog->Btn_Ok->click();
    });
    auto* exportEntries =
        w.Popup_Tools_Exchange->findChild<QAction*>("Popup_Tools_Exchange_Export");
    auto* importEntries =
        w.Popup_Tools_Exchange->findChild<QAction*>("Popup_Tools_Exchange_Import");
    QVERIFY(exportEntries && importEntries);
    Q_EMIT w.Popup_Tools_Exchange->aboutToShow();
    QVERIFY(exportEntries->isEnabled() && importEntries->isEnabled());
    exportEntries->trigger();
    QCOMPARE(m_f->prompts.texts().last(),
             QString("2 consommation(s) exportée(s) dans « %1 ».").arg(file));

    // Imported into the other account: its counter moves as by hand, its line and grid follow.
    w.RebuildAccountList(target);
    QCOMPARE(w.CurrentAccountId, int(target));
    QCOMPARE(w.Grid_Consumption->model()->rowCount(), 0);
    m_f->prompts.fileAnswers << file;
    WhenShown<TImportEntries>([](TImportEntries* dialog) { dialog->Btn_Ok->click(); });
    importEntries->trigger();
    QCOMPARE(m_f->prompts.texts().last(), QString("2 consommation(s) importée(s)."));
    QCOMPARE(counter(target), 107.5);
    QCOMPARE(counter(source), 10.0);
    QCOMPARE(entries(), 4);
    QCOMPARE(w.CurrentAccountId, int(target));
    QCOMPARE(w.Grid_Consumption->model()->rowCount(), 2);
    // The account has no decimals: 107.5 shows rounded.
    QVERIFY2(w.accountList()->entry(0).InfoLine.endsWith(" - 108"),
             qPrintable(w.accountList()->entry(0).InfoLine));
}

void TestMainWindowCommands::oldDatabaseImportedFromTheMenu()
{
    const QString jet = qEnvironmentVariable("TILVO_TEST_DATA") + "/jet/tilvo-jet4-small.mdb";
    QVERIFY(QFile::exists(jet));
    // The conversion starts from the program's template database.
    const QString access = m_f->env.ProgramFolder + "Ressources/DB/Data/Access/";
    QVERIFY(QDir().mkpath(access));
    QVERIFY(QFile::copy(qEnvironmentVariable("TILVO_PROGRAM_DIR") +
                            "/Ressources/DB/Data/Access/TILVO.MDB",
                        access + "TILVO.MDB"));
    TMainForm& w = m_f->shown();
    QCOMPARE(w.Popup_Tools_DataBase_ImportOld->text(),
             QString("&Importer une base de l'ancienne version …"));

    // Declined at the confirmation: the live database is left as it was.
    m_f->prompts.fileAnswers << jet;
    m_f->prompts.yesNoAnswers << false;
    w.Popup_Tools_DataBase_ImportOld->trigger();
    QCOMPARE(m_db.scalar("SELECT COUNT(*) FROM PROFILES").toInt(), 1);

    // Confirmed: the dossiers, accounts and entries of the old file replace the live ones and
    // the window is back without an open dossier.
    m_f->prompts.fileAnswers << jet;
    m_f->prompts.yesNoAnswers << true;
    w.Popup_Tools_DataBase_ImportOld->trigger();
    QVERIFY2(m_f->prompts.texts().last().startsWith("Importation effectuée.\r2 dossier(s), 3 "
                                                    "compte(s) et 1000 consommation(s)"),
             qPrintable(m_f->prompts.texts().last()));
    QVERIFY(w.isEnabled());
    QCOMPARE(w.CurrentDossierId, -1);
    QCOMPARE(w.currentState(), CommandState::S0);
    QCOMPARE(entries(), 1000);
}

QTEST_MAIN(TestMainWindowCommands)
#include "tst_MainWindowCommands.moc"
