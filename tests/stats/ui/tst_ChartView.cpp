// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/BucketTable.h"
#include "stats/StatisticChart.h"
#include "stats/StatisticFormats.h"
#include "stats/StatisticState.h"
#include "stats/ui/ChartView.h"

#include <QDir>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

using namespace tilvo;

class TestChartView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsItsSizeAndPaints();
    void tooltipShowsTheLabelAndValueUnderTheMouse();
};

namespace {

void Draw(ChartView& view, int kind)
{
    SetUpStatisticChart(view.model());
    BucketTable buckets;
    const double values[] = {12, 30, 18, 45, 27, 8};
    for (int i = 0; i < 6; ++i)
        buckets.append(QStringLiteral("M%1").arg(i + 1), values[i]);
    StatisticState state;
    state.ChartKind = kind;
    state.QuantityFormat = QuantityFormatFor(2, QStringLiteral("m3"));
    DeactivateAllSeries(view.model());
    DrawStatistic(view.model(), state, buckets, false);
    view.refresh();
}

} // namespace

void TestChartView::followsItsSizeAndPaints()
{
    ChartView view;
    view.resize(640, 320);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.model().width(), 640);
    QCOMPARE(view.model().height(), 320);
    Draw(view, kChartBars);
    const QImage shot = view.grab().toImage();
    QDir().mkpath(QStringLiteral("screenshots"));
    QVERIFY(shot.save(QStringLiteral("screenshots/stats_chartview.png")));
    // The bars' lime shows.
    bool lime = false;
    for (int y = 0; y < shot.height() && !lime; ++y) {
        for (int x = 0; x < shot.width() && !lime; ++x)
            lime = shot.pixel(x, y) == qRgb(0, 255, 0);
    }
    QVERIFY(lime);
    view.model().setEnabled(false);
    view.refresh();
    QVERIFY(!view.isEnabled());
}

void TestChartView::tooltipShowsTheLabelAndValueUnderTheMouse()
{
    ChartView view;
    view.resize(600, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    Draw(view, kChartPoints);
    // Look for the fourth point along its column.
    const ChartAxesLayout layout = ChartRenderer(view.model()).axesLayout(QRectF(view.rect()));
    const int x = int(layout.plot.left() + layout.plot.width() * 3 / 5);
    std::optional<ChartHit> hit;
    QPoint at;
    for (int y = int(layout.plot.top()) - 10; y < int(layout.plot.bottom()) && !hit; ++y) {
        at = QPoint(x, y);
        hit = view.hitAt(at);
    }
    QVERIFY(hit);
    QCOMPARE(hit->index, 3);
    QCOMPARE(hit->label, QStringLiteral("M4"));

    QHelpEvent help(QEvent::ToolTip, at, view.mapToGlobal(at));
    QApplication::sendEvent(&view, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), hit->text);
    QVERIFY(QToolTip::text().startsWith(QStringLiteral("M4 : 45")));
    QVERIFY(QToolTip::text().endsWith(QStringLiteral(" m3")));

    // Over the empty corner the tooltip goes.
    QHelpEvent away(QEvent::ToolTip, QPoint(2, 2), view.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&view, &away);
    QTRY_VERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(TestChartView)
#include "tst_ChartView.moc"
