// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"
#include "common/ui/Chrome.h"
#include "common/ui/TStrList.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "stats/ChartModel.h"
#include "stats/ComputeStatistic.h"
#include "stats/StatisticState.h"
#include "stats/ui/ChartView.h"
#include "stats/ui/StatisticBar.h"
#include "stats/ui/TEnterPeriod.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using namespace tilvo;
using namespace tilvo::test;

namespace {

// Chooses a line of the drop-down open under a field of the bar, as Enter does.
void ChooseLine(QWidget* bar, int row)
{
    QPointer<TStrList> list;
    QTRY_VERIFY((list = bar->findChild<TStrList*>()) != nullptr && list->isVisible());
    list->List->setCurrentRow(row);
    QTest::keyClick(list->List, Qt::Key_Return);
    QTRY_VERIFY(!list);
}

// Answers the period dialog once it shows.
void AnswerPeriod(const QString& begin, const QString& end, bool ok)
{
    QTimer::singleShot(0, [begin, end, ok] {
        TEnterPeriod* dialog = nullptr;
        QTRY_VERIFY((dialog = qobject_cast<TEnterPeriod*>(QApplication::activeModalWidget())) !=
                    nullptr);
        dialog->Ed_Begin_Date->setText(begin);
        dialog->Ed_End_Date->setText(end);
        if (ok)
            dialog->accept();
        else
            dialog->reject();
    });
}

} // namespace

// The statistics bar over a real database: what each control changes and when the statistic
// is computed again.
class TestStatisticBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void periodsStepBackAndForth_data();
    void periodsStepBackAndForth();
    void periodKindMovesTheLabelAndSameChoiceChangesNothing();
    void dateRangeFromTheDialog();
    void accountDefaultsComputeNothingThemselves();
    void inactiveBarHidesTheChart();
    void longRangeIsDrawnTruncatedAndSaidSo();

private:
    void addEntries(const QDate& first, int count);

    SchemaCopy m_db;
    ScriptedPrompts m_prompts;
    FixedClock m_clock{QDateTime(QDate(2009, 1, 15), QTime(10, 0))};
    std::unique_ptr<DataSet> m_query;
    std::unique_ptr<ChartView> m_chart;
    std::unique_ptr<StatisticBar> m_bar;
    int m_computed = 0;
};

void TestStatisticBar::initTestCase()
{
    Chrome().standardChrome = false;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    m_db.prepare();
}

void TestStatisticBar::init()
{
    QVERIFY(m_db.copyTo("Access/TILVO.MDB"));
    m_db.open(false);
    m_query = std::make_unique<DataSet>(m_db.connection(), QStringLiteral("Query"));
    m_prompts = ScriptedPrompts();
    m_chart = std::make_unique<ChartView>();
    m_chart->resize(500, 300);
    m_bar = std::make_unique<StatisticBar>(*m_chart, *m_query, m_prompts, m_clock);
    m_bar->resize(520, 24);
    m_bar->setQuantityFormat(QStringLiteral("#######0"));
    m_bar->setMoneyFormat(QStringLiteral("#######0.000 €"));
    m_computed = 0;
    m_bar->computeStatistic = [this] {
        ++m_computed;
        m_bar->Compute(1, 1, true);
    };
    m_bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
}

void TestStatisticBar::cleanup()
{
    m_bar.reset();
    m_chart.reset();
    m_query.reset();
    m_db.release();
}

void TestStatisticBar::addEntries(const QDate& first, int count)
{
    QSqlQuery q(m_db.connection().database());
    QVERIFY(q.exec("BEGIN"));
    q.prepare("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, Price) "
              "VALUES (1, 1, ?, 1, 2)");
    for (int i = 0; i < count; ++i) {
        q.addBindValue(first.addDays(i / 10).toString("yyyy-MM-dd"));
        QVERIFY(q.exec());
    }
    QVERIFY(q.exec("COMMIT"));
}

void TestStatisticBar::periodsStepBackAndForth_data()
{
    QTest::addColumn<int>("periodKind");
    QTest::addColumn<QString>("clicks"); // p: previous, n: next
    QTest::addColumn<QString>("label");
    QTest::newRow("January back to December") << kPeriodMonth << "p"
                                              << "Décembre 2008";
    QTest::newRow("December on to January") << kPeriodMonth << "pn"
                                            << "Janvier 2009";
    QTest::newRow("year") << kPeriodYear << "ppn"
                          << "2008";
    QTest::newRow("decade back") << kPeriodDecade << "p"
                                 << "1990-1999";
    QTest::newRow("decade on") << kPeriodDecade << "nn"
                               << "2020-2029";
}

void TestStatisticBar::periodsStepBackAndForth()
{
    QFETCH(int, periodKind);
    QFETCH(QString, clicks);
    QFETCH(QString, label);
    m_bar->LoadAccountStatistic(periodKind, kChartLine, kValueQuantity, 0, false);
    for (QChar click : clicks)
        QTest::mouseClick(click == u'p' ? m_bar->Btn_Stat_Previous : m_bar->Btn_Stat_Next,
                          Qt::LeftButton);
    QCOMPARE(m_bar->Lab_StatPeriod->text(), label);
    QCOMPARE(m_computed, clicks.size());
}

void TestStatisticBar::periodKindMovesTheLabelAndSameChoiceChangesNothing()
{
    QCOMPARE(m_bar->Ed_StatPeriod->text(), QString("Année"));
    QCOMPARE(m_bar->Lab_StatPeriod->geometry(), QRect(95, 2, 145, 20));

    QTest::mouseClick(m_bar->Btn_StatPeriod, Qt::LeftButton);
    ChooseLine(m_bar.get(), kPeriodDates);
    QCOMPARE(m_bar->Lab_StatPeriod->text(), QString("du 01/01/2009 au 31/12/2009"));
    QCOMPARE(m_bar->Lab_StatPeriod->geometry(), QRect(80, 2, 160, 20));
    // The whole range shows in the label's width.
    QVERIFY(QFontMetrics(m_bar->Lab_StatPeriod->font())
                .horizontalAdvance(m_bar->Lab_StatPeriod->text()) <= 160);
    QVERIFY(m_bar->Btn_Stat_Dates->isVisible());
    QVERIFY(m_bar->Btn_Stat_Previous->isHidden() && m_bar->Btn_Stat_Next->isHidden());
    QCOMPARE(m_computed, 1);

    // The same line again changes no text, so nothing is computed.
    QTest::mouseClick(m_bar->Btn_StatPeriod, Qt::LeftButton);
    ChooseLine(m_bar.get(), kPeriodDates);
    QCOMPARE(m_computed, 1);

    QTest::mouseClick(m_bar->Btn_StatPeriod, Qt::LeftButton);
    ChooseLine(m_bar.get(), kPeriodYear);
    QCOMPARE(m_bar->Lab_StatPeriod->geometry(), QRect(95, 2, 145, 20));
    QVERIFY(m_bar->Btn_Stat_Dates->isHidden());
    QCOMPARE(m_computed, 2);

    // The value kind the same way.
    QTest::mouseClick(m_bar->Btn_StatValue, Qt::LeftButton);
    ChooseLine(m_bar.get(), kValueQuantity);
    QCOMPARE(m_computed, 2);
    QTest::mouseClick(m_bar->Btn_StatValue, Qt::LeftButton);
    ChooseLine(m_bar.get(), kValueAmount);
    QCOMPARE(m_bar->state().ValueKind, kValueAmount);
    QCOMPARE(m_computed, 3);
}

void TestStatisticBar::dateRangeFromTheDialog()
{
    addEntries(QDate(2008, 6, 1), 20);
    m_bar->LoadAccountStatistic(kPeriodDates, kChartLine, kValueQuantity, 0, false);

    AnswerPeriod("01/06/2008", "31/12/2008", true);
    QTest::mouseClick(m_bar->Btn_Stat_Dates, Qt::LeftButton);
    QCOMPARE(m_bar->Lab_StatPeriod->text(), QString("du 01/06/2008 au 31/12/2008"));
    QCOMPARE(m_computed, 1);
    QCOMPARE(m_bar->buckets().count(), 20);

    // Cancelled, or a date cleared in the calendar: the range stays as it was.
    AnswerPeriod("01/01/2000", "31/12/2000", false);
    QTest::mouseClick(m_bar->Btn_Stat_Dates, Qt::LeftButton);
    AnswerPeriod("", "31/12/2000", true);
    QTest::mouseClick(m_bar->Btn_Stat_Dates, Qt::LeftButton);
    QCOMPARE(m_bar->Lab_StatPeriod->text(), QString("du 01/06/2008 au 31/12/2008"));
    QCOMPARE(m_bar->state().BeginDate, QDate(2008, 6, 1));
    QCOMPARE(m_computed, 1);
}

void TestStatisticBar::accountDefaultsComputeNothingThemselves()
{
    // Period kind, chart kind and value kind all change; the selection computes afterwards.
    m_bar->LoadAccountStatistic(kPeriodMonth, kChartBars, kValueAmount, 0x00336699, true);
    QCOMPARE(m_computed, 0);
    QCOMPARE(m_bar->Ed_StatPeriod->text(), QString("Mois"));
    QCOMPARE(m_bar->Ed_StatValue->text(), QString("Montant"));
    QCOMPARE(m_bar->Lab_StatPeriod->text(), QString("Janvier 2009"));
    QVERIFY(m_bar->Btn_Stat[kChartBars - 1]->isChecked());
    QVERIFY(!m_bar->Btn_Stat[kChartLine - 1]->isChecked());
    QCOMPARE(m_bar->state().AccountColor, quint32(0x00336699));

    // A period kind outside the pick-list leaves the field as it was.
    m_bar->LoadAccountStatistic(7, kChartLine, kValueQuantity, 0, false);
    QCOMPARE(m_bar->Ed_StatPeriod->text(), QString("Mois"));
    QCOMPARE(m_computed, 0);
}

void TestStatisticBar::inactiveBarHidesTheChart()
{
    addEntries(QDate(2009, 1, 1), 5);
    m_bar->Compute(1, 1, true);
    m_bar->setActive(true);
    QVERIFY(m_chart->isEnabled());
    QVERIFY(m_chart->model().findSeries("Series1")->isActive());

    m_bar->setActive(false);
    QVERIFY(!m_chart->isEnabled());
    QVERIFY(!m_bar->Btn_Stat_Dates->isEnabled());
    QVERIFY(!m_bar->Btn_Stat[0]->isEnabled());
    for (int kind = 1; kind <= kChartKinds; ++kind)
        QVERIFY(!m_chart->model().findSeries(QStringLiteral("Series%1").arg(kind))->isActive());
    for (ChartModel::Axis axis :
         {ChartModel::BottomAxis, ChartModel::TopAxis, ChartModel::LeftAxis, ChartModel::RightAxis})
        QVERIFY(!m_chart->model().axis(axis).visible);

    m_bar->setActive(true);
    QVERIFY(m_chart->model().axis(ChartModel::LeftAxis).visible);
    QVERIFY(m_bar->Btn_Stat[0]->isEnabled());
}

void TestStatisticBar::longRangeIsDrawnTruncatedAndSaidSo()
{
    addEntries(QDate(2000, 1, 1), BucketTable::Capacity + 1);
    m_bar->LoadAccountStatistic(kPeriodDates, kChartLine, kValueQuantity, 0, false);
    AnswerPeriod("01/01/2000", "31/12/2030", true);
    QTest::mouseClick(m_bar->Btn_Stat_Dates, Qt::LeftButton);
    QCOMPARE(m_bar->buckets().count(), BucketTable::Capacity);
    QCOMPARE(m_chart->model().findSeries("Series1")->count(), BucketTable::Capacity);
    QCOMPARE(m_prompts.texts(), QStringList{TruncatedStatisticText()});
    QCOMPARE(m_prompts.shown.first().icon, Prompts::Icon::Information);
}

QTEST_MAIN(TestStatisticBar)
#include "tst_StatisticBar.moc"
