// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/DateHelpers.h"
#include "common/Error.h"
#include "images/BmpFile.h"
#include "stats/BucketTable.h"
#include "stats/ChartRenderer.h"
#include "stats/PieSlices.h"
#include "stats/StatisticChart.h"
#include "stats/StatisticFormats.h"
#include "stats/StatisticState.h"
#include "stats/TDrawStat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

using namespace tilvo;

namespace {

const char* const kKindNames[] = {"", "line3d", "bars", "area", "points", "pie", "fastline"};

// Pixels whose colour is within `tolerance` (sum of the channel differences) of a colour.
int CountColor(const QImage& image, quint32 bgr, int tolerance = 24)
{
    const QColor c = ChartColor(bgr);
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = line[x];
            if (std::abs(qRed(p) - c.red()) + std::abs(qGreen(p) - c.green()) +
                    std::abs(qBlue(p) - c.blue()) <=
                tolerance)
                ++n;
        }
    }
    return n;
}

void SaveForPeople(const QImage& image, const QString& name)
{
    QDir().mkpath(QStringLiteral("screenshots"));
    QVERIFY(image.save(QStringLiteral("screenshots/") + name + QStringLiteral(".png")));
}

// A year of monthly quantities, as ComputeStatistic leaves it.
void FillYear(BucketTable& t, const QList<double>& values)
{
    t.ClearBuckets();
    for (int m = 1; m <= values.size(); ++m)
        t.append(FrenchMonthName(m).left(3), values.at(m - 1));
}

StatisticState YearState(int chartKind)
{
    StatisticState s;
    s.ChartKind = chartKind;
    s.SavedChartKind = chartKind;
    s.QuantityFormat = QuantityFormatFor(1, QStringLiteral("kWh"));
    s.MoneyFormat = MoneyFormatFor(QStringLiteral("€"));
    return s;
}

const QList<double> kYear = {120.5, 98, 87.25, 60, 42, 30.5, 28, 25, 40, 66, 90.75, 110};

bool Overlapping(const std::vector<QRectF>& rects)
{
    for (size_t i = 1; i < rects.size(); ++i) {
        if (rects[i].left() < rects[i - 1].right())
            return true;
    }
    return false;
}

} // namespace

class TestStatisticChart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sixKinds_data();
    void sixKinds();
    void colourRule_data();
    void colourRule();
    void allZeroAxisGoesTo100();
    void badInputDrawsSomethingSensible_data();
    void badInputDrawsSomethingSensible();
    void bottomLabelsNeverOverlap_data();
    void bottomLabelsNeverOverlap();
    void pieGathersTheSmallestSlices();
    void pointsAndSlicesAreFoundUnderTheMouse();
    void deactivateAllSeries();
    void axisLinesAreCrispAtEveryDensity_data();
    void axisLinesAreCrispAtEveryDensity();
    void exportChartSavesA24BitBitmap();
    void unwritableFileIsAnError();
};

void TestStatisticChart::sixKinds_data()
{
    QTest::addColumn<int>("kind");
    for (int kind = 1; kind <= kChartKinds; ++kind)
        QTest::newRow(kKindNames[kind]) << kind;
}

void TestStatisticChart::sixKinds()
{
    QFETCH(int, kind);
    ChartModel chart(1000, 600);
    SetUpStatisticChart(chart);
    BucketTable buckets;
    FillYear(buckets, kYear);
    const StatisticState state = YearState(kind);
    DrawStatistic(chart, state, buckets, false);

    const QImage image = RenderChartImage(chart);
    QCOMPARE(image.size(), QSize(1000, 600));
    SaveForPeople(image, QStringLiteral("stats_chart_") + QLatin1String(kKindNames[kind]));
    ChartSeries* series = StatisticSeries(chart, kind);
    QVERIFY(series->isActive());
    QCOMPARE(series->count(), 12);
    QCOMPARE(series->valueFormat(), state.QuantityFormat);
    if (kind == kChartPie) {
        int colours = 0;
        for (int i = 0; i < 12; ++i)
            colours += CountColor(image, PieSlices::paletteColor(i), 6) > 50;
        QVERIFY2(colours >= 10, qPrintable(QString::number(colours)));
    } else {
        QVERIFY(CountColor(image, DefaultKindColor(kind), 90) > 200);
    }
    // Drawn again, the series holds the new points only.
    DrawStatistic(chart, state, buckets, false);
    QCOMPARE(series->count(), 12);
}

void TestStatisticChart::colourRule_data()
{
    QTest::addColumn<quint32>("accountColor");
    QTest::addColumn<bool>("allColor");
    QTest::addColumn<int>("savedKind");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("accountColourShows");

    const quint32 brown = 0x400080; // near none of the kinds' or the pie's colours
    QTest::newRow("own kind takes the account colour") << brown << false << 2 << 2 << true;
    QTest::newRow("another kind keeps its default") << brown << false << 2 << 1 << false;
    QTest::newRow("every kind when all colours") << brown << true << 2 << 1 << true;
    QTest::newRow("area, all colours") << brown << true << 1 << 3 << true;
    QTest::newRow("points, own kind") << brown << false << 4 << 4 << true;
    QTest::newRow("simple line, own kind") << brown << false << 6 << 6 << true;
    QTest::newRow("black is no colour") << 0u << true << 2 << 2 << false;
    QTest::newRow("the pie never") << brown << true << 5 << 5 << false;
}

void TestStatisticChart::colourRule()
{
    QFETCH(quint32, accountColor);
    QFETCH(bool, allColor);
    QFETCH(int, savedKind);
    QFETCH(int, kind);
    QFETCH(bool, accountColourShows);

    StatisticState state = YearState(kind);
    state.SavedChartKind = savedKind;
    state.AccountColor = accountColor;
    state.AllColor = allColor;
    ChartModel chart(600, 300);
    SetUpStatisticChart(chart);
    BucketTable buckets;
    FillYear(buckets, kYear);
    DrawStatistic(chart, state, buckets, false);
    const QImage image = RenderChartImage(chart);

    const quint32 expected = accountColourShows ? accountColor : DefaultKindColor(kind);
    if (kind != kChartPie) {
        QCOMPARE(StatisticSeries(chart, kind)->color(), expected);
        QCOMPARE(StatisticSeriesColor(state), expected);
        QVERIFY(CountColor(image, expected, 90) > 100);
    }
    if (!accountColourShows && accountColor != 0)
        QCOMPARE(CountColor(image, accountColor, 30), 0);
    if (accountColourShows)
        QCOMPARE(CountColor(image, DefaultKindColor(kind), 30), 0);
}

void TestStatisticChart::allZeroAxisGoesTo100()
{
    ChartModel chart(600, 300);
    SetUpStatisticChart(chart);
    BucketTable buckets;
    FillYear(buckets, QList<double>(12, 0.0));
    StatisticState state = YearState(kChartBars);
    DrawStatistic(chart, state, buckets, true);
    const ChartAxis& left = chart.axis(ChartModel::LeftAxis);
    QVERIFY(!left.automaticMaximum);
    QCOMPARE(left.maximum, 100.0);
    ChartAxesLayout layout = ChartRenderer(chart, u',').axesLayout(QRectF(0, 0, 600, 300));
    QCOMPARE(layout.minimum, 0.0);
    QCOMPARE(layout.maximum, 100.0);
    QCOMPARE(layout.tickTexts.first(), QStringLiteral("0,0 kWh"));
    QCOMPARE(layout.tickTexts.last(), QStringLiteral("100,0 kWh"));
    SaveForPeople(RenderChartImage(chart), QStringLiteral("stats_chart_allzero"));

    // One positive month: the maximum follows the data again.
    buckets.setValue(3, 7);
    DrawStatistic(chart, state, buckets, buckets.allZero());
    QVERIFY(chart.axis(ChartModel::LeftAxis).automaticMaximum);
    layout = ChartRenderer(chart, u',').axesLayout(QRectF(0, 0, 600, 300));
    QCOMPARE(layout.minimum, 0.0);
    QVERIFY(layout.maximum >= 7 && layout.maximum < 10);

    // Labels without decimals never fall between whole numbers.
    FillYear(buckets, {1, 2, 3, 2, 1, 0, 0, 1, 2, 3, 2, 1});
    state.QuantityFormat = QuantityFormatFor(0, QString());
    DrawStatistic(chart, state, buckets, false);
    layout = ChartRenderer(chart, u',').axesLayout(QRectF(0, 0, 600, 300));
    QCOMPARE(layout.step, 1.0);
    QCOMPARE(layout.tickTexts, QStringList({"0", "1", "2", "3"}));

    // A chart kind outside 1..6 sets the axes and draws no series.
    state.ChartKind = 9;
    DeactivateAllSeries(chart);
    DrawStatistic(chart, state, buckets, true);
    QCOMPARE(chart.axis(ChartModel::LeftAxis).maximum, 100.0);
    for (int k = 1; k <= kChartKinds; ++k)
        QVERIFY(!StatisticSeries(chart, k)->isActive());
}

void TestStatisticChart::badInputDrawsSomethingSensible_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("values");
    QTest::addColumn<QSize>("size");
    const QStringList sets = {"bad", "single", "many", "long labels", "all zero", "empty"};
    const QList<QSize> sizes = {QSize(1000, 600), QSize(1, 1), QSize(40, 25)};
    for (int kind = 1; kind <= kChartKinds; ++kind) {
        for (const QString& set : sets) {
            for (const QSize& size : sizes) {
                QTest::addRow("%s %s %dx%d", kKindNames[kind], qPrintable(set), size.width(),
                              size.height())
                    << kind << set << size;
            }
        }
    }
}

void TestStatisticChart::badInputDrawsSomethingSensible()
{
    QFETCH(int, kind);
    QFETCH(QString, values);
    QFETCH(QSize, size);
    const double inf = std::numeric_limits<double>::infinity();
    BucketTable buckets;
    if (values == u"bad") {
        for (const double v : {std::nan(""), 5.0, inf, -inf, -12.0, 1e300, 3.0, -1e300, 0.0})
            buckets.append(u"x", v);
    } else if (values == u"single") {
        buckets.append(u"01/01/2008", 4.5);
    } else if (values == u"many") {
        const QDate first(1990, 1, 1);
        for (int i = 0; i < BucketTable::Capacity; ++i)
            buckets.appendDate(first.addDays(i / 3), std::sin(i / 500.0) * 50 + 60);
    } else if (values == u"long labels") {
        for (int i = 0; i < 40; ++i)
            buckets.append(QString(255, QChar(u'a' + i % 26)), i);
    } else if (values == u"all zero") {
        for (int i = 0; i < 12; ++i)
            buckets.append(u"0", 0);
    }
    ChartModel chart(size.width(), size.height());
    SetUpStatisticChart(chart);
    StatisticState state = YearState(kind);
    DrawStatistic(chart, state, buckets, false);

    QElapsedTimer timer;
    timer.start();
    const QImage image = RenderChartImage(chart);
    QCOMPARE(image.size(), size);
    const ChartAxesLayout layout = ChartRenderer(chart).axesLayout(QRectF(QPoint(), size));
    QVERIFY(std::isfinite(layout.minimum));
    QVERIFY(std::isfinite(layout.maximum));
    QVERIFY(layout.maximum >= layout.minimum);
    QVERIFY(!Overlapping(layout.labelRects));
    if (values == u"all zero" && kind != kChartPie && size.width() > 100)
        QCOMPARE(layout.maximum, 100.0);
    if (values == u"bad" && kind != kChartPie && size.width() > 100)
        QCOMPARE(layout.maximum, 1e300);
    // A hover anywhere finds at most a point.
    for (const QPoint& p : {QPoint(0, 0), QPoint(size.width() / 2, size.height() / 2)})
        ChartRenderer(chart).hitTest(QRectF(QPoint(), size), p);
    if (values == u"many" && size.width() == 1000)
        SaveForPeople(image, QStringLiteral("stats_chart_50000_") + kKindNames[kind]);
}

void TestStatisticChart::bottomLabelsNeverOverlap_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("labelLength");
    QTest::addColumn<int>("width");
    QTest::newRow("31 days, narrow") << 31 << 2 << 300;
    QTest::newRow("12 months") << 12 << 3 << 600;
    QTest::newRow("dates") << 400 << 10 << 1000;
    QTest::newRow("50000 dates") << 50000 << 10 << 1000;
    QTest::newRow("long labels") << 30 << 255 << 1000;
}

void TestStatisticChart::bottomLabelsNeverOverlap()
{
    QFETCH(int, points);
    QFETCH(int, labelLength);
    QFETCH(int, width);
    ChartModel chart(width, 300);
    SetUpStatisticChart(chart);
    BucketTable buckets;
    for (int i = 0; i < points; ++i)
        buckets.append(QString::number(i).rightJustified(labelLength, u'0'), i % 17);
    DrawStatistic(chart, YearState(kChartLine), buckets, false);
    const ChartAxesLayout layout = ChartRenderer(chart).axesLayout(QRectF(0, 0, width, 300));
    QVERIFY(layout.labelRects.size() >= 2);
    QVERIFY(!Overlapping(layout.labelRects));
    for (const QRectF& r : layout.labelRects) {
        QVERIFY(r.left() >= 0);
        QVERIFY(r.right() <= width);
    }
    if (points <= 12)
        QCOMPARE(int(layout.labelRects.size()), points);
    QCOMPARE(layout.labelIndexes.front(), 0);
}

void TestStatisticChart::pieGathersTheSmallestSlices()
{
    ChartSeries pie(SeriesKind::Pie, QStringLiteral("Series5"));
    pie.setColor(0x163A5C);
    const QList<double> values = {50, 30, 10, 1, 1, 0.5, 0, -3, std::nan("")};
    for (int i = 0; i < values.size(); ++i)
        pie.addPoint(values.at(i), QStringLiteral("P%1").arg(i));
    std::vector<PieSlice> slices = PieSlices::of(pie);
    QCOMPARE(int(slices.size()), 4);
    QCOMPARE(slices[0].label, QStringLiteral("P0"));
    QCOMPARE(slices[2].index, 2);
    QCOMPARE(slices[3].label, QStringLiteral("Autre"));
    QCOMPARE(slices[3].index, -1);
    QCOMPARE(slices[3].value, 2.5);
    double total = 0;
    for (const PieSlice& s : slices) {
        total += s.fraction;
        QVERIFY(s.color != pie.color());
    }
    QVERIFY(std::fabs(total - 1) < 1e-12);

    // A single small slice stays itself.
    pie.clear();
    for (const double v : {50.0, 49.0, 1.0})
        pie.addPoint(v, QString());
    QCOMPARE(int(PieSlices::of(pie).size()), 3);

    // More slices than a pie shows: the first ones and "Autre".
    pie.clear();
    for (int i = 0; i < 25; ++i)
        pie.addPoint(1e300, QString::number(i));
    slices = PieSlices::of(pie);
    QCOMPARE(int(slices.size()), PieSlices::MaxSlices + 1);
    QCOMPARE(slices.front().index, 0);
    QCOMPARE(slices[PieSlices::MaxSlices - 1].index, PieSlices::MaxSlices - 1);
    QCOMPARE(slices.back().label, QStringLiteral("Autre"));
    QVERIFY(std::fabs(slices.back().fraction - 0.2) < 1e-12);

    // Slices all too thin to tell apart are all "Autre".
    pie.clear();
    for (int i = 0; i < 50000; ++i)
        pie.addPoint(1 + i % 3, QString());
    slices = PieSlices::of(pie);
    QCOMPARE(int(slices.size()), 1);
    QCOMPARE(slices.front().fraction, 1.0);
}

void TestStatisticChart::pointsAndSlicesAreFoundUnderTheMouse()
{
    ChartModel chart(600, 300);
    SetUpStatisticChart(chart);
    BucketTable buckets;
    FillYear(buckets, kYear);
    StatisticState state = YearState(kChartBars);
    DrawStatistic(chart, state, buckets, false);
    const QRectF area(0, 0, 600, 300);
    const ChartRenderer renderer(chart, u',');
    const ChartAxesLayout layout = renderer.axesLayout(area);
    // The middle of the March bar, half-way up.
    const double slot = layout.plot.width() / 12;
    const double y = layout.plot.bottom() - 87.25 / layout.maximum * layout.plot.height() / 2;
    std::optional<ChartHit> hit =
        renderer.hitTest(area, QPointF(layout.plot.left() + 2.5 * slot, y));
    QVERIFY(hit);
    QCOMPARE(hit->index, 2);
    QCOMPARE(hit->text, QStringLiteral("Mar : 87,3 kWh"));
    // Above the bar: nothing.
    QVERIFY(
        !renderer.hitTest(area, QPointF(layout.plot.left() + 2.5 * slot, layout.plot.top() + 2)));

    state.ChartKind = kChartPie;
    DeactivateAllSeries(chart);
    DrawStatistic(chart, state, buckets, false);
    hit = renderer.hitTest(area, area.center());
    QVERIFY(hit);
    QVERIFY(hit->index >= 0);
    QVERIFY(hit->text.startsWith(hit->label + QStringLiteral(" : ")));
    QVERIFY(hit->text.endsWith(QStringLiteral("%)")));
    QVERIFY(!renderer.hitTest(area, QPointF(2, 2)));
}

void TestStatisticChart::deactivateAllSeries()
{
    ChartModel chart;
    SetUpStatisticChart(chart);
    QCOMPARE(chart.seriesCount(), kChartKinds);
    QVERIFY(StatisticSeries(chart, 1)->isActive());
    QVERIFY(!StatisticSeries(chart, 2)->isActive());
    QVERIFY(!StatisticSeries(chart, 0));
    QVERIFY(!StatisticSeries(chart, 7));
    StatisticSeries(chart, 4)->setActive(true);
    DeactivateAllSeries(chart);
    for (int k = 1; k <= kChartKinds; ++k)
        QVERIFY(!StatisticSeries(chart, k)->isActive());
}

void TestStatisticChart::axisLinesAreCrispAtEveryDensity_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1x") << qreal(1);
    QTest::newRow("2x") << qreal(2);
    QTest::newRow("3x") << qreal(3);
}

void TestStatisticChart::axisLinesAreCrispAtEveryDensity()
{
    QFETCH(qreal, ratio);
    ChartModel chart(500, 300);
    SetUpStatisticChart(chart);
    BucketTable buckets;
    FillYear(buckets, kYear);
    DrawStatistic(chart, YearState(kChartBars), buckets, false);
    const QImage image = RenderChartImage(chart, ratio);
    QCOMPARE(image.size(), QSize(int(500 * ratio), int(300 * ratio)));
    QCOMPARE(image.devicePixelRatio(), ratio);
    const ChartAxesLayout layout = ChartRenderer(chart).axesLayout(QRectF(0, 0, 500, 300));
    // The left axis covers whole device columns in its own colour, with no blurred half.
    const int x = int(std::floor(layout.plot.left()) * ratio);
    const auto rowsInAxisColour = [&](int column) {
        int n = 0, rows = 0;
        for (int y = int(layout.plot.top() * ratio); y < int(layout.plot.bottom() * ratio); ++y) {
            ++rows;
            n += image.pixel(column, y) == qRgb(0x60, 0x60, 0x60);
        }
        return double(n) / rows;
    };
    for (int k = 0; k < int(ratio); ++k)
        QVERIFY(rowsInAxisColour(x + k) > 0.9);
    QVERIFY(rowsInAxisColour(x - 1) < 0.1);
    QVERIFY(rowsInAxisColour(x + int(ratio)) < 0.1);
}

void TestStatisticChart::exportChartSavesA24BitBitmap()
{
    TDrawStat draw;
    QCOMPARE(draw.Chart1().width(), 1000);
    QCOMPARE(draw.Chart1().height(), 600);
    QCOMPARE(draw.Chart2().width(), 1000);
    QVERIFY(!draw.Chart1().gradientVisible());
    QVERIFY(StatisticSeries(draw.Chart1(), kChartLine)->isActive());

    BucketTable buckets;
    FillYear(buckets, kYear);
    const StatisticState state = YearState(kChartBars);
    draw.Chart1().setSize(670, 402);
    draw.Chart1().setGradientVisible(true);
    draw.DrawStatisticExport(state, buckets, false);
    // The line series stays active and empty; the bars are drawn.
    QVERIFY(StatisticSeries(draw.Chart1(), kChartLine)->isActive());
    QCOMPARE(StatisticSeries(draw.Chart1(), kChartLine)->count(), 0);
    QCOMPARE(StatisticSeries(draw.Chart1(), kChartBars)->count(), 12);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("graph.bmp"));
    SaveChartBitmap(draw.Chart1(), file);
    const Picture picture = ReadBmpFile(file);
    QCOMPARE(picture.width(), 670);
    QCOMPARE(picture.height(), 402);
    QCOMPARE(picture.format(), PixelFormat::Bgr24);
    QFile raw(file);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray header = raw.read(30);
    QCOMPARE(quint8(header.at(28)), quint8(24)); // bits per pixel
    const QImage image = picture.toQImage();
    QVERIFY(CountColor(image, DefaultKindColor(kChartBars), 90) > 200);
    SaveForPeople(image, QStringLiteral("stats_export_bars"));
}

void TestStatisticChart::unwritableFileIsAnError()
{
    ChartModel chart(50, 50);
    QVERIFY_THROWS_EXCEPTION(Error, SaveChartBitmap(chart, QStringLiteral("/proc/nowhere/x.bmp")));
}

QTEST_MAIN(TestStatisticChart)
#include "tst_StatisticChart.moc"
