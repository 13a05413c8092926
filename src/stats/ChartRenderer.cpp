// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ChartRenderer.h"

#include "images/BmpFile.h"
#include "images/Picture.h"
#include "common/NumberPicture.h"
#include "stats/PieSlices.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <vector>

namespace tilvo {

namespace {

constexpr double kMargin = 4;
constexpr double kTick = 4;
constexpr double kLabelGap = 8;
constexpr double kHitDistance = 8;
constexpr double kLargest = 1e300; // values beyond count as this for scaling
constexpr int kMaxTicks = 200;
const QColor kAxisColor(0x60, 0x60, 0x60);
const QColor kGridColor(0xD4, 0xD4, 0xDC);
const QColor kWallEdge(0xA0, 0xA0, 0xA8);
const QColor kTextColor(0x20, 0x20, 0x20);
const QColor kMarkFill(0xFF, 0xFF, 0xE1);

QFont ChartFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

// Darker below 1, towards white above 1.
QColor Shade(const QColor& c, double factor)
{
    if (factor <= 1)
        return QColor::fromRgbF(float(c.redF() * factor), float(c.greenF() * factor),
                                float(c.blueF() * factor));
    const double t = std::min(1.0, factor - 1);
    return QColor::fromRgbF(float(c.redF() + (1 - c.redF()) * t),
                            float(c.greenF() + (1 - c.greenF()) * t),
                            float(c.blueF() + (1 - c.blueF()) * t));
}

// The centre of the pixel a coordinate falls in: one-pixel lines stay sharp.
double Snap(double v)
{
    return std::floor(v) + 0.5;
}

QPen HairPen(const QColor& color)
{
    QPen pen(color);
    pen.setWidthF(1);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

double NiceStep(double raw)
{
    if (!std::isfinite(raw) || raw <= 0)
        return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    const double nice = norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10;
    const double step = nice * magnitude;
    return std::isfinite(step) && step > 0 ? step : 1;
}

double Finite(double v)
{
    if (std::isnan(v))
        return 0;
    return std::clamp(v, -kLargest, kLargest);
}

struct Tick
{
    double value;
    double y;
    QString text;
};

struct AxisLabel
{
    int index;
    double x;
    QRectF rect;
    QString text;
};

// Where everything of a non-pie chart goes in the area it is painted into.
struct Frame
{
    const ChartModel* model = nullptr;
    QChar separator;
    QRectF area;
    QRectF title;
    QRectF plot;   // the front plane
    QPointF depth; // from the front plane to the back one
    bool valid = false;
    bool pieOnly = false;
    std::vector<const ChartSeries*> active;
    const ChartSeries* labelSeries = nullptr;
    bool slots = false; // bars: each point in the middle of a slot
    double iMin = 0, iMax = 0;
    double vMin = 0, vMax = 100, step = 10;
    std::vector<Tick> ticks;
    QFont font = ChartFont();

    double far() const { return 4 * plot.height() + 4 * plot.width() + 1000; }

    double x(double index) const
    {
        double t;
        if (slots)
            t = (index - iMin + 0.5) / (iMax - iMin + 1);
        else if (iMax > iMin)
            t = (index - iMin) / (iMax - iMin);
        else
            t = 0.5 + (index - iMin);
        const double px = plot.left() + t * plot.width();
        return std::clamp(px, plot.left() - far(), plot.right() + far());
    }
    double indexAt(double px) const
    {
        const double t = (px - plot.left()) / plot.width();
        if (slots)
            return iMin + t * (iMax - iMin + 1) - 0.5;
        if (iMax > iMin)
            return iMin + t * (iMax - iMin);
        return iMin + t - 0.5;
    }
    double slotWidth() const
    {
        if (slots)
            return plot.width() / (iMax - iMin + 1);
        return iMax > iMin ? plot.width() / (iMax - iMin) : plot.width();
    }
    // NaN stays NaN (a gap); infinities and huge values go far outside the plot.
    double y(double value) const
    {
        if (std::isnan(value))
            return value;
        const double t = (Finite(value) - vMin) / (vMax - vMin);
        const double py = plot.bottom() - t * plot.height();
        return std::clamp(py, plot.top() - far(), plot.bottom() + far());
    }
    double baseline() const { return y(std::clamp(0.0, vMin, vMax)); }
    QRectF seriesClip() const
    {
        return QRectF(plot.left() - 6, plot.top() + depth.y() - 6, plot.width() + depth.x() + 12,
                      plot.height() - depth.y() + 12)
            .intersected(area);
    }
    // The points of a series that can show: a little beyond the axis on each side.
    std::pair<int, int> visibleRange(const ChartSeries& s) const
    {
        const double lo = std::max(0.0, std::floor(iMin) - 1);
        const double hi = std::min(double(s.count() - 1), std::ceil(iMax) + 1);
        if (hi < lo)
            return {0, -1};
        return {int(lo), int(hi)};
    }
    QString format(double value, const QString& picture) const
    {
        return FormatNumberPicture(value, picture, separator);
    }
};

double DepthOf(const ChartModel& model, const QRectF& area)
{
    if (!model.view3D() || model.depthPercent() <= 0)
        return 0;
    const double d = model.depthPercent() / 100.0 * area.width() * 0.45;
    return std::clamp(d, 0.0, area.height() / 5);
}

QRectF TitleRect(const ChartModel& model, const QRectF& area)
{
    const ChartTitle& title = model.title();
    if (!title.visible || title.lines.isEmpty())
        return QRectF();
    const QFontMetricsF fm(title.font);
    return QRectF(area.left() + kMargin, area.top() + kMargin, area.width() - 2 * kMargin,
                  fm.height() * double(title.lines.size()));
}

Frame MakeFrame(const ChartModel& model, const QRectF& area, QChar separator)
{
    Frame f;
    f.model = &model;
    f.separator = separator;
    f.area = area;
    for (int i = 0; i < model.seriesCount(); ++i) {
        const ChartSeries& s = model.series(i);
        if (!s.isActive())
            continue;
        f.active.push_back(&s);
        if (s.kind() == SeriesKind::Bars)
            f.slots = true;
        if (s.kind() != SeriesKind::Pie && !f.labelSeries && s.count() > 0)
            f.labelSeries = &s;
    }
    // A pie leaves out the axes; series without points do not count against it.
    const auto isPie = [](const ChartSeries* s) { return s->kind() == SeriesKind::Pie; };
    f.pieOnly = std::any_of(f.active.begin(), f.active.end(), isPie) &&
                std::all_of(f.active.begin(), f.active.end(),
                            [&](const ChartSeries* s) { return isPie(s) || s->count() == 0; });
    f.title = TitleRect(model, area);
    const double d = DepthOf(model, area);
    f.depth = QPointF(d * 0.8, -d * 0.55);
    if (f.pieOnly)
        return f;

    // The points' range on the bottom axis.
    int maxCount = 0;
    double dataMin = std::numeric_limits<double>::infinity();
    double dataMax = -dataMin;
    for (const ChartSeries* s : f.active) {
        if (s->kind() == SeriesKind::Pie)
            continue;
        maxCount = std::max(maxCount, s->count());
        for (const double v : s->values()) {
            if (std::isnan(v))
                continue;
            dataMin = std::min(dataMin, Finite(v));
            dataMax = std::max(dataMax, Finite(v));
        }
    }
    const ChartAxis& bottom = model.axis(ChartModel::BottomAxis);
    f.iMin = bottom.automaticMinimum ? 0 : bottom.minimum;
    f.iMax = bottom.automaticMaximum ? maxCount - 1 : bottom.maximum;
    f.iMin = std::isfinite(f.iMin) ? std::clamp(f.iMin, -1e9, 1e9) : 0;
    f.iMax = std::isfinite(f.iMax) ? std::clamp(f.iMax, -1e9, 1e9) : f.iMin;
    if (f.iMax < f.iMin)
        f.iMax = f.iMin;

    // The values' range on the left axis: a fixed minimum, and a maximum that follows the
    // data or is fixed. An empty range (all zero, no data) goes from the minimum to 100.
    const ChartAxis& left = model.axis(ChartModel::LeftAxis);
    const bool hasData = dataMin <= dataMax;
    f.vMin = left.automaticMinimum && hasData ? dataMin : Finite(left.minimum);
    f.vMax = left.automaticMaximum ? (hasData ? dataMax : f.vMin) : Finite(left.maximum);
    if (!(f.vMax > f.vMin))
        f.vMax = f.vMin + std::max(100.0, std::fabs(f.vMin));
    if (!std::isfinite(f.vMax - f.vMin) || !(f.vMax > f.vMin)) {
        f.vMin = std::clamp(f.vMin, -kLargest / 2, kLargest / 2);
        f.vMax = f.vMin >= 0 ? kLargest : f.vMin + kLargest;
    }

    const QFontMetricsF fm(f.font);
    const double top = (f.title.isNull() ? area.top() + kMargin : f.title.bottom() + 4) -
                       f.depth.y() + fm.height() / 2;
    const double bottomRoom = bottom.visible ? fm.height() + kTick + 3 : fm.height() / 2;
    const double plotBottom = area.bottom() - kMargin - bottomRoom;
    const double height = plotBottom - top;

    const int wanted = std::clamp(int(height / (fm.height() * 2.4)), 1, kMaxTicks);
    // No step finer than the labels' last decimal, or neighbours would read alike.
    const double finest = std::pow(10.0, -std::min(PictureDecimals(left.valueFormat), 15));
    f.step = NiceStep(std::max((f.vMax - f.vMin) / wanted, finest));
    if (left.automaticMaximum) {
        const double rounded = f.vMin + std::ceil((f.vMax - f.vMin) / f.step - 1e-9) * f.step;
        if (std::isfinite(rounded) && rounded >= f.vMax)
            f.vMax = rounded;
    }

    double labelWidth = 0;
    if (left.visible) {
        const double first = std::ceil(f.vMin / f.step - 1e-9) * f.step;
        for (int k = 0; k <= kMaxTicks; ++k) {
            const double v = first + k * f.step;
            if (!std::isfinite(v) || v > f.vMax + f.step * 1e-9)
                break;
            Tick t{v, 0, f.format(std::fabs(v) < f.step * 1e-9 ? 0.0 : v, left.valueFormat)};
            labelWidth = std::max(labelWidth, fm.horizontalAdvance(t.text));
            f.ticks.push_back(std::move(t));
        }
        labelWidth = std::min(labelWidth, area.width() * 0.3);
    }
    const double plotLeft = area.left() + kMargin + (left.visible ? labelWidth + kTick + 3 : 0);
    const double plotRight = area.right() - kMargin - f.depth.x() - 8;
    f.plot = QRectF(QPointF(plotLeft, top), QPointF(plotRight, plotBottom));
    f.valid = f.plot.width() >= 8 && f.plot.height() >= 8;
    for (Tick& t : f.ticks)
        t.y = f.y(t.value);
    return f;
}

QString PointLabel(const ChartSeries& s, int i)
{
    const QString& label = s.label(i);
    return label.isEmpty() ? QString::number(i) : label;
}

// Bottom-axis labels from the points' labels, as many as fit without touching: a step from
// a sample of their widths, then each kept only when it clears the one before.
std::vector<AxisLabel> BottomLabels(const Frame& f)
{
    std::vector<AxisLabel> labels;
    const ChartSeries* s = f.labelSeries;
    if (!s)
        return labels;
    const int first = std::max(0, int(std::ceil(f.iMin - 1e-9)));
    const int last = std::min(s->count() - 1, int(std::floor(f.iMax + 1e-9)));
    if (first > last)
        return labels;
    const QFontMetricsF fm(f.font);
    const double maxWidth = std::clamp(f.plot.width() / 3, 30.0, 220.0);
    const auto textOf = [&](int i) {
        return fm.elidedText(PointLabel(*s, i), Qt::ElideRight, maxWidth);
    };
    double sample = 0;
    const int samples = std::min(16, last - first + 1);
    for (int k = 0; k < samples; ++k) {
        const int i = first + int(qint64(last - first) * k / std::max(1, samples - 1));
        sample = std::max(sample, fm.horizontalAdvance(textOf(i)));
    }
    const double slot = std::max(1e-9, f.slotWidth());
    const int step = int(std::clamp(std::ceil((sample + kLabelGap) / slot), 1.0, 1e9));
    const double y = f.plot.bottom() + kTick + 1;
    double lastRight = -std::numeric_limits<double>::infinity();
    for (qint64 i = first; i <= last; i += step) {
        QString text = textOf(int(i));
        const double w = fm.horizontalAdvance(text);
        const double x = f.x(double(i));
        double left =
            std::clamp(x - w / 2, f.area.left(), std::max(f.area.left(), f.area.right() - w));
        if (left < lastRight + kLabelGap)
            continue;
        labels.push_back({int(i), x, QRectF(left, y, w, fm.height()), std::move(text)});
        lastRight = left + w;
    }
    return labels;
}

void PaintBackground(QPainter& p, const ChartModel& m, const QRectF& area)
{
    if (m.gradientVisible()) {
        QLinearGradient gradient(area.topLeft(), area.bottomLeft());
        gradient.setColorAt(0, Qt::white);
        gradient.setColorAt(1, ChartColor(m.gradientEndColor()));
        p.fillRect(area, gradient);
    } else {
        p.fillRect(area, Qt::white);
    }
}

void PaintTitle(QPainter& p, const ChartModel& m, const QRectF& rect)
{
    if (rect.isNull())
        return;
    const ChartTitle& title = m.title();
    p.setFont(title.font);
    p.setPen(ChartColor(title.color));
    const QFontMetricsF fm(title.font);
    double y = rect.top();
    for (const QString& line : title.lines) {
        const QRectF lineRect(rect.left(), y, rect.width(), fm.height());
        const QString text = fm.elidedText(line, Qt::ElideRight, rect.width());
        p.drawText(lineRect, int(title.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter,
                   text);
        y += fm.height();
    }
}

void PaintWalls(QPainter& p, const Frame& f)
{
    const ChartModel& m = *f.model;
    if (!m.wallsVisible())
        return;
    const bool fill = !m.wallsTransparent();
    p.setPen(HairPen(kWallEdge));
    const QRectF back = f.plot.translated(f.depth);
    if (f.depth.isNull()) {
        p.setBrush(fill ? QBrush(Qt::white) : QBrush());
        p.drawRect(QRectF(QPointF(Snap(back.left()), Snap(back.top())),
                          QPointF(Snap(back.right()), Snap(back.bottom()))));
        p.setBrush(QBrush());
        return;
    }
    const QPolygonF leftWall(
        {f.plot.topLeft(), back.topLeft(), back.bottomLeft(), f.plot.bottomLeft()});
    const QPolygonF floor(
        {f.plot.bottomLeft(), back.bottomLeft(), back.bottomRight(), f.plot.bottomRight()});
    p.setBrush(fill ? QBrush(QColor(0xF2, 0xF2, 0xF4)) : QBrush());
    p.drawPolygon(leftWall);
    p.drawPolygon(floor);
    p.setBrush(fill ? QBrush(Qt::white) : QBrush());
    p.drawRect(back);
    p.setBrush(QBrush());
}

void PaintGrid(QPainter& p, const Frame& f, const std::vector<AxisLabel>& labels)
{
    p.setPen(HairPen(kGridColor));
    const QPointF d = f.depth;
    if (f.model->axis(ChartModel::LeftAxis).visible) {
        for (const Tick& t : f.ticks) {
            const double y = Snap(t.y);
            if (d.isNull()) {
                p.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
            } else {
                const double yb = Snap(t.y + d.y());
                p.drawPolyline(
                    QPolygonF({QPointF(f.plot.left(), y), QPointF(f.plot.left() + d.x(), yb),
                               QPointF(f.plot.right() + d.x(), yb)}));
            }
        }
    }
    if (!f.model->axis(ChartModel::BottomAxis).visible || labels.size() < 2)
        return;
    // Vertical lines half-way between the labels.
    for (size_t k = 1; k < labels.size(); ++k) {
        const double x = Snap((labels[k - 1].x + labels[k].x) / 2);
        if (x <= f.plot.left() || x >= f.plot.right())
            continue;
        if (d.isNull()) {
            p.drawLine(QPointF(x, f.plot.top()), QPointF(x, f.plot.bottom()));
        } else {
            const double xb = Snap(x + d.x());
            p.drawPolyline(
                QPolygonF({QPointF(x, f.plot.bottom()), QPointF(xb, f.plot.bottom() + d.y()),
                           QPointF(xb, f.plot.top() + d.y())}));
        }
    }
}

void PaintAxes(QPainter& p, const Frame& f, const std::vector<AxisLabel>& labels)
{
    const ChartModel& m = *f.model;
    const QRectF& r = f.plot;
    const QRectF back = r.translated(f.depth);
    const QRectF far = f.depth.isNull() ? r : back;
    p.setFont(f.font);
    const QFontMetricsF fm(f.font);
    p.setPen(HairPen(kAxisColor));
    if (m.axis(ChartModel::TopAxis).visible)
        p.drawLine(QPointF(far.left(), Snap(far.top())), QPointF(far.right(), Snap(far.top())));
    if (m.axis(ChartModel::RightAxis).visible)
        p.drawLine(QPointF(Snap(far.right()), far.top()), QPointF(Snap(far.right()), far.bottom()));
    if (m.axis(ChartModel::LeftAxis).visible) {
        const double x = Snap(r.left());
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        for (const Tick& t : f.ticks) {
            const double y = Snap(t.y);
            p.setPen(HairPen(kAxisColor));
            p.drawLine(QPointF(x - kTick, y), QPointF(x, y));
            p.setPen(kTextColor);
            const double w = r.left() - kTick - 2 - f.area.left();
            const QRectF box(f.area.left(), t.y - fm.height() / 2, std::max(0.0, w), fm.height());
            p.drawText(box, Qt::AlignRight | Qt::AlignVCenter,
                       fm.elidedText(t.text, Qt::ElideRight, box.width()));
        }
    }
    if (m.axis(ChartModel::BottomAxis).visible) {
        p.setPen(HairPen(kAxisColor));
        const double y = Snap(r.bottom());
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        for (const AxisLabel& label : labels) {
            if (label.x < r.left() - 0.5 || label.x > r.right() + 0.5)
                continue;
            p.setPen(HairPen(kAxisColor));
            p.drawLine(QPointF(Snap(label.x), y), QPointF(Snap(label.x), y + kTick));
            p.setPen(kTextColor);
            p.drawText(label.rect, Qt::AlignCenter, label.text);
        }
    }
}

// A series' points as polylines, broken where a value is NaN. A dense series keeps, for each
// pixel column, its first, lowest, highest and last point: the same picture, bounded work.
std::vector<QPolygonF> Polylines(const Frame& f, const ChartSeries& s, double dpr)
{
    std::vector<QPolygonF> runs;
    const auto [i0, i1] = f.visibleRange(s);
    if (i1 < i0)
        return runs;
    const bool dense = double(i1 - i0) > 2 * f.plot.width() * dpr;
    QPolygonF run;
    long long column = std::numeric_limits<long long>::min();
    int n = 0;
    QPointF first, low, high, last;
    int lowAt = 0, highAt = 0;
    const auto flush = [&] {
        if (n == 0)
            return;
        run << first;
        const QPointF& a = lowAt <= highAt ? low : high;
        const QPointF& b = lowAt <= highAt ? high : low;
        if (a != run.last())
            run << a;
        if (b != run.last())
            run << b;
        if (last != run.last())
            run << last;
        n = 0;
    };
    for (int i = i0; i <= i1; ++i) {
        const double y = f.y(s.value(i));
        if (std::isnan(y)) {
            flush();
            if (!run.isEmpty())
                runs.push_back(std::move(run));
            run = QPolygonF();
            continue;
        }
        const QPointF point(f.x(i), y);
        if (!dense) {
            run << point;
            continue;
        }
        const long long c = (long long)std::floor(point.x() * dpr);
        if (c != column) {
            flush();
            column = c;
        }
        if (n == 0) {
            first = low = high = point;
            lowAt = highAt = i;
        }
        if (point.y() > low.y()) {
            low = point;
            lowAt = i;
        }
        if (point.y() < high.y()) {
            high = point;
            highAt = i;
        }
        last = point;
        ++n;
    }
    flush();
    if (!run.isEmpty())
        runs.push_back(std::move(run));
    return runs;
}

// What a dense line covers in each device column: its lowest and highest points there.
struct ColumnRanges
{
    long long first = 0;        // the device column of lo[0]
    std::vector<double> lo, hi; // infinite where the line does not pass
};

ColumnRanges RangesOf(const QPolygonF& run, double dpr)
{
    ColumnRanges r;
    r.first = (long long)std::floor(run.first().x() * dpr);
    const long long last = (long long)std::floor(run.last().x() * dpr);
    const size_t n = size_t(std::clamp(last - r.first + 1, 1LL, 1LL << 20));
    const double none = std::numeric_limits<double>::infinity();
    r.lo.assign(n, none);
    r.hi.assign(n, -none);
    const auto note = [&](long long column, double y) {
        const long long at = column - r.first;
        if (at < 0 || at >= (long long)n)
            return;
        r.lo[size_t(at)] = std::min(r.lo[size_t(at)], y);
        r.hi[size_t(at)] = std::max(r.hi[size_t(at)], y);
    };
    note(r.first, run.first().y());
    for (qsizetype k = 1; k < run.size(); ++k) {
        const QPointF a = run[k - 1], b = run[k];
        const long long ca = (long long)std::floor(a.x() * dpr);
        const long long cb = std::min((long long)std::floor(b.x() * dpr), ca + (long long)n);
        const double span = b.x() - a.x();
        const auto yAt = [&](double x) {
            return span > 0 ? a.y() + (b.y() - a.y()) * (x - a.x()) / span : b.y();
        };
        for (long long c = ca; c <= cb; ++c) {
            const double x0 = std::max(a.x(), double(c) / dpr);
            const double x1 = std::min(b.x(), double(c + 1) / dpr);
            note(c, yAt(x0));
            note(c, yAt(std::max(x0, x1)));
        }
    }
    return r;
}

// The outline of a dense line's band in depth: the line swept from the front plane to the back
// one. The line is a function of x, so each column of the band is one span: the lowest and
// highest points of the line over the columns behind, each raised by its share of the depth.
QPolygonF DenseRibbonOutline(const QPolygonF& run, const QPointF& d, double dpr)
{
    const ColumnRanges r = RangesOf(run, dpr);
    const long long n = (long long)r.lo.size();
    const long long width = (long long)std::max(1.0, d.x() * dpr);
    const double slope = d.y() / double(width); // the rise per column behind
    // Column c seen from column x lies at lo[c] + slope * (x - c): the smallest over the
    // window is kept with a queue of candidates, each column entering and leaving it once.
    const auto lowKey = [&](long long c) { return r.lo[size_t(c)] - slope * double(c); };
    const auto highKey = [&](long long c) { return r.hi[size_t(c)] - slope * double(c); };
    std::deque<long long> lows, highs;
    QPolygonF top, bottom;
    for (long long column = 0; column < n + width; ++column) {
        if (column < n && r.lo[size_t(column)] <= r.hi[size_t(column)]) {
            while (!lows.empty() && lowKey(lows.back()) >= lowKey(column))
                lows.pop_back();
            lows.push_back(column);
            while (!highs.empty() && highKey(highs.back()) <= highKey(column))
                highs.pop_back();
            highs.push_back(column);
        }
        while (!lows.empty() && lows.front() < column - width)
            lows.pop_front();
        while (!highs.empty() && highs.front() < column - width)
            highs.pop_front();
        if (lows.empty())
            continue;
        const double up = lowKey(lows.front()) + slope * double(column);
        const double down = highKey(highs.front()) + slope * double(column);
        const double left = double(r.first + column) / dpr;
        const double right = double(r.first + column + 1) / dpr;
        top << QPointF(left, up) << QPointF(right, up);
        bottom << QPointF(left, down) << QPointF(right, down);
    }
    std::reverse(bottom.begin(), bottom.end());
    return top + bottom;
}

// The surface between a dense line and the axis: in each column, from the axis to the line's
// farthest point.
QPolygonF DenseAreaOutline(const QPolygonF& run, double base, double dpr)
{
    const ColumnRanges r = RangesOf(run, dpr);
    QPolygonF top, bottom;
    for (size_t c = 0; c < r.lo.size(); ++c) {
        if (r.lo[c] > r.hi[c])
            continue;
        const double left = double(r.first + (long long)c) / dpr;
        const double right = left + 1.0 / dpr;
        const double up = std::min(r.lo[c], base), down = std::max(r.hi[c], base);
        top << QPointF(left, up) << QPointF(right, up);
        bottom << QPointF(left, down) << QPointF(right, down);
    }
    std::reverse(bottom.begin(), bottom.end());
    return top + bottom;
}

// A dense line drawn as the band it covers: in each column, from its lowest to its highest
// point over the columns within half the pen's width, widened by that half. Filling this is
// far quicker than stroking thousands of short segments, and looks the same.
QPolygonF DenseLineOutline(const QPolygonF& run, double halfWidth, double dpr)
{
    const ColumnRanges r = RangesOf(run, dpr);
    const long long n = (long long)r.lo.size();
    const long long reach = (long long)std::ceil(std::max(0.0, halfWidth * dpr - 0.5));
    const double none = std::numeric_limits<double>::infinity();
    QPolygonF top, bottom;
    for (long long c = -reach; c < n + reach; ++c) {
        double up = none, down = -none;
        for (long long k = std::max(0LL, c - reach); k <= std::min(n - 1, c + reach); ++k) {
            up = std::min(up, r.lo[size_t(k)]);
            down = std::max(down, r.hi[size_t(k)]);
        }
        if (up == none)
            continue;
        const double left = double(r.first + c) / dpr;
        const double right = double(r.first + c + 1) / dpr;
        top << QPointF(left, up - halfWidth) << QPointF(right, up - halfWidth);
        bottom << QPointF(left, down + halfWidth) << QPointF(right, down + halfWidth);
    }
    std::reverse(bottom.begin(), bottom.end());
    return top + bottom;
}

// The outlines above follow the device pixel columns: filled without smoothing they are exact,
// and much quicker.
void FillDense(QPainter& p, const QPolygonF& outline, const QColor& color)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(outline);
    p.setRenderHint(QPainter::Antialiasing);
}

// A dense line: a plain hairline when it is one device pixel wide, else its band.
void DrawDenseLine(QPainter& p, const QPolygonF& run, double halfWidth, const QColor& color,
                   double dpr, bool smooth)
{
    if (2 * halfWidth * dpr <= 1.01) {
        QPen pen(color);
        pen.setCosmetic(true);
        pen.setWidth(1);
        p.setRenderHint(QPainter::Antialiasing, smooth);
        p.setPen(pen);
        p.setBrush(QBrush());
        p.drawPolyline(run);
        p.setRenderHint(QPainter::Antialiasing);
        return;
    }
    FillDense(p, DenseLineOutline(run, halfWidth, dpr), color);
}

// A line in depth: each segment a band from the front plane to the back one, in `rising`
// where it climbs and `falling` where it drops, edged along both planes. A sparse line is
// drawn band after band, with an edge at each point; a dense one is filled at once in the
// rising shade.
void PaintRibbon(QPainter& p, const QPolygonF& run, const QPointF& d, const QColor& rising,
                 const QColor& falling, bool sparse, double dpr)
{
    const QColor edge = Shade(falling, 0.7);
    if (sparse) {
        for (qsizetype k = 1; k < run.size(); ++k) {
            const QPointF a = run[k - 1];
            const QPointF b = run[k];
            const QColor& face = b.y() <= a.y() ? rising : falling;
            // Edged in its own colour, so that no seam shows between neighbours.
            p.setPen(HairPen(face));
            p.setBrush(face);
            p.drawPolygon(QPolygonF({a, b, b + d, a + d}));
        }
    } else {
        FillDense(p, DenseRibbonOutline(run, d, dpr), rising);
    }
    if (sparse) {
        p.setPen(HairPen(edge));
        p.setBrush(QBrush());
        p.drawPolyline(run);
        p.drawPolyline(run.translated(d));
        for (const QPointF& point : run)
            p.drawLine(point, point + d);
        return;
    }
    DrawDenseLine(p, run, 0.5, edge, dpr, true);
    DrawDenseLine(p, run.translated(d), 0.5, edge, dpr, true);
    p.setPen(HairPen(edge));
    p.drawLine(run.first(), run.first() + d);
    p.drawLine(run.last(), run.last() + d);
}

void PaintMarkers(QPainter& p, const Frame& f, const ChartSeries& s, double dpr, bool flat)
{
    const auto [i0, i1] = f.visibleRange(s);
    if (i1 < i0)
        return;
    const bool dense = double(i1 - i0) > f.plot.width() * dpr / 3;
    const double half = dense ? 2.5 : 4;
    const QColor fill = ChartColor(s.markerColor());
    // Dense markers overlap: one per pixel of the chart is all that can show.
    const int rows = int(std::ceil(f.seriesClip().height())) + 2;
    std::vector<unsigned char> seen(dense ? size_t(std::max(rows, 0)) : 0);
    std::vector<int> seenRows;
    long long column = std::numeric_limits<long long>::min();
    QVector<QRectF> rects;
    const double clipTop = f.seriesClip().top();
    for (int i = i0; i <= i1; ++i) {
        const double y = f.y(s.value(i));
        if (std::isnan(y))
            continue;
        const double x = f.x(i);
        if (dense) {
            const long long c = (long long)std::floor(x);
            if (c != column) {
                for (const int r : seenRows)
                    seen[size_t(r)] = 0;
                seenRows.clear();
                column = c;
            }
            const int row = int(std::clamp(y - clipTop, -1.0, double(rows - 1)));
            if (row < 0)
                continue;
            if (seen[size_t(row)])
                continue;
            seen[size_t(row)] = 1;
            seenRows.push_back(row);
        }
        rects.push_back(QRectF(x - half, y - half, 2 * half, 2 * half));
    }
    p.setPen(HairPen(Shade(fill, 0.55)));
    if (s.markerStyle() == MarkerStyle::Circle) {
        p.setBrush(fill);
        for (const QRectF& r : rects)
            p.drawEllipse(r);
        return;
    }
    if (!flat && !dense && !f.depth.isNull()) {
        // Small boxes in depth.
        const QPointF e(half * 0.7, -half * 0.7);
        for (const QRectF& r : rects) {
            p.setBrush(Shade(fill, 1.3));
            p.drawPolygon(
                QPolygonF({r.topLeft(), r.topRight(), r.topRight() + e, r.topLeft() + e}));
            p.setBrush(Shade(fill, 0.7));
            p.drawPolygon(
                QPolygonF({r.topRight(), r.bottomRight(), r.bottomRight() + e, r.topRight() + e}));
            p.setBrush(fill);
            p.drawRect(r);
        }
        return;
    }
    if (dense) {
        // Many small squares: whole device pixels, filled without smoothing, a dark square
        // under a lighter one for the edge.
        QVector<QRectF> outer, inner;
        outer.reserve(rects.size());
        inner.reserve(rects.size());
        const double px = 1.0 / dpr;
        for (const QRectF& r : rects) {
            const QRectF snapped(std::round(r.left() * dpr) / dpr, std::round(r.top() * dpr) / dpr,
                                 std::round(r.width() * dpr) / dpr,
                                 std::round(r.height() * dpr) / dpr);
            outer.push_back(snapped);
            inner.push_back(snapped.adjusted(px, px, -px, -px));
        }
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(Shade(fill, 0.55));
        p.drawRects(outer);
        p.setBrush(fill);
        p.drawRects(inner);
        p.setRenderHint(QPainter::Antialiasing);
        return;
    }
    p.setBrush(fill);
    p.drawRects(rects);
}

// Few enough points for one drawing each.
bool Sparse(const Frame& f, const QPolygonF& run, double dpr)
{
    return double(run.size()) < f.plot.width() * dpr / 4;
}

void PaintLine(QPainter& p, const Frame& f, const ChartSeries& s, double dpr)
{
    const QColor color = ChartColor(s.color());
    const std::vector<QPolygonF> runs = Polylines(f, s, dpr);
    const bool ribbon = s.kind() == SeriesKind::Line && s.drawn3D() && !f.depth.isNull();
    if (ribbon) {
        for (const QPolygonF& run : runs)
            PaintRibbon(p, run, f.depth, color, Shade(color, 0.78), Sparse(f, run, dpr), dpr);
    } else {
        const bool fast = s.kind() == SeriesKind::FastLine;
        const double width = fast ? 1 : s.penWidth();
        QPen pen(color);
        pen.setWidthF(width);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        for (const QPolygonF& run : runs) {
            if (!Sparse(f, run, dpr)) {
                DrawDenseLine(p, run, width / 2, color, dpr, !fast);
                continue;
            }
            // The simple line is the quick one: one pixel wide, in plain pixels.
            p.setRenderHint(QPainter::Antialiasing, !fast);
            p.setPen(pen);
            p.setBrush(QBrush());
            if (run.size() == 1)
                p.drawPoint(run[0]);
            else
                p.drawPolyline(run);
            p.setRenderHint(QPainter::Antialiasing);
        }
    }
    if (s.markersVisible() && s.kind() != SeriesKind::FastLine)
        PaintMarkers(p, f, s, dpr, !ribbon);
}

void PaintArea(QPainter& p, const Frame& f, const ChartSeries& s, double dpr)
{
    const QColor color = ChartColor(s.color());
    const double base = f.baseline();
    const bool depth = !f.depth.isNull();
    for (const QPolygonF& run : Polylines(f, s, dpr)) {
        if (depth) {
            PaintRibbon(p, run, f.depth, Shade(color, 1.35), Shade(color, 0.9), Sparse(f, run, dpr),
                        dpr);
            const QPointF end = run.last();
            const QPointF foot(end.x(), base);
            p.setBrush(Shade(color, 0.7));
            p.drawPolygon(QPolygonF({end, foot, foot + f.depth, end + f.depth}));
        }
        if (Sparse(f, run, dpr)) {
            QPolygonF shape = run;
            shape << QPointF(run.last().x(), base) << QPointF(run.first().x(), base);
            p.setPen(HairPen(Shade(color, 0.55)));
            p.setBrush(color);
            p.drawPolygon(shape);
        } else {
            FillDense(p, DenseAreaOutline(run, base, dpr), color);
            DrawDenseLine(p, run, 0.5, Shade(color, 0.55), dpr, true);
        }
    }
    if (s.markersVisible())
        PaintMarkers(p, f, s, dpr, !depth);
}

void PaintBars(QPainter& p, const Frame& f, const ChartSeries& s, double dpr)
{
    const auto [i0, i1] = f.visibleRange(s);
    if (i1 < i0)
        return;
    const QColor color = ChartColor(s.color());
    const double base = f.baseline();
    const double width = f.slotWidth() * s.barWidthPercent() / 100.0;
    const QPointF d = f.depth;
    if (width * dpr < 2) {
        // Bars thinner than two pixels: one bar per pixel column, from the axis to the
        // column's highest and lowest values.
        QVector<QRectF> rects;
        long long column = std::numeric_limits<long long>::min();
        double top = base, bottom = base, left = 0;
        bool any = false;
        const auto flush = [&] {
            if (any)
                rects.push_back(QRectF(left, top, 1.0 / dpr, bottom - top));
            any = false;
        };
        for (int i = i0; i <= i1; ++i) {
            const double y = f.y(s.value(i));
            if (std::isnan(y))
                continue;
            const double x = f.x(i);
            const long long c = (long long)std::floor(x * dpr);
            if (c != column) {
                flush();
                column = c;
                left = double(c) / dpr;
                top = bottom = base;
            }
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            any = true;
        }
        flush();
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawRects(rects);
        return;
    }
    const QPen edge = HairPen(Shade(color, 0.55));
    const QColor topColor = Shade(color, 1.3);
    const QColor sideColor = Shade(color, 0.7);
    for (int i = i0; i <= i1; ++i) {
        const double y = f.y(s.value(i));
        if (std::isnan(y))
            continue;
        const double x = f.x(i);
        // Whole device pixels on both sides keep the edges sharp.
        const double l = std::round((x - width / 2) * dpr) / dpr;
        const double r = std::max(l + 1.0 / dpr, std::round((x + width / 2) * dpr) / dpr);
        const QRectF front(QPointF(l, std::min(y, base)), QPointF(r, std::max(y, base)));
        p.setPen(edge);
        if (!d.isNull()) {
            p.setBrush(topColor);
            p.drawPolygon(QPolygonF(
                {front.topLeft(), front.topRight(), front.topRight() + d, front.topLeft() + d}));
            p.setBrush(sideColor);
            p.drawPolygon(QPolygonF({front.topRight(), front.bottomRight(), front.bottomRight() + d,
                                     front.topRight() + d}));
        }
        p.setBrush(color);
        p.drawRect(front);
    }
}

// Value labels over the points of a series whose marks are on, thinned like the axis labels.
void PaintValueMarks(QPainter& p, const Frame& f, const ChartSeries& s)
{
    const auto [i0, i1] = f.visibleRange(s);
    if (i1 < i0)
        return;
    const QFontMetricsF fm(f.font);
    p.setFont(f.font);
    const double slot = std::max(1e-9, f.slotWidth());
    const double sample = fm.horizontalAdvance(f.format(s.value(i1), s.valueFormat())) + 8;
    const int step = int(std::clamp(std::ceil((sample + 4) / slot), 1.0, 1e9));
    double lastRight = -std::numeric_limits<double>::infinity();
    for (qint64 i = i0; i <= i1; i += step) {
        const double y = f.y(s.value(int(i)));
        if (std::isnan(y))
            continue;
        const QString text = f.format(s.value(int(i)), s.valueFormat());
        const double w = fm.horizontalAdvance(text) + 6;
        const QRectF box(f.x(double(i)) - w / 2, y - fm.height() - 8, w, fm.height() + 2);
        if (box.left() < lastRight + 4)
            continue;
        lastRight = box.right();
        p.setPen(HairPen(kWallEdge));
        p.setBrush(kMarkFill);
        p.drawRect(box);
        p.setPen(kTextColor);
        p.drawText(box, Qt::AlignCenter, text);
    }
}

// --- Pie ---------------------------------------------------------------------------------

struct PieMark
{
    QPointF anchor; // on the slice's edge
    QPointF elbow;  // where the line turns towards the box
    QRectF box;
    QString text;
    bool right = true;
};

struct Pie
{
    std::vector<PieSlice> slices;
    std::vector<double> starts; // degrees, counter-clockwise from 3 o'clock
    QPointF centre;
    double rx = 0, ry = 0, thickness = 0;
    bool marks = false;
    QRectF region;

    QRectF rect() const { return QRectF(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry); }
    QPointF at(double degrees, double scale = 1) const
    {
        const double a = qDegreesToRadians(degrees);
        return QPointF(centre.x() + rx * scale * std::cos(a),
                       centre.y() - ry * scale * std::sin(a));
    }
    double span(size_t k) const { return -slices[k].fraction * 360.0; }
};

QString PercentText(double fraction, QChar separator)
{
    return FormatNumberPicture(fraction * 100, QStringLiteral("##0.# %"), separator);
}

QString MarkText(const PieSlice& slice, QChar separator)
{
    return slice.label + u' ' + PercentText(slice.fraction, separator);
}

Pie MakePie(const ChartModel& m, const ChartSeries& s, const QRectF& area, const QRectF& title,
            double depth, QChar separator)
{
    Pie pie;
    pie.slices = PieSlices::of(s);
    double start = 90;
    for (const PieSlice& slice : pie.slices) {
        pie.starts.push_back(start);
        start -= slice.fraction * 360.0;
    }
    const double top = title.isNull() ? area.top() + kMargin : title.bottom() + 4;
    pie.region = QRectF(QPointF(area.left() + kMargin, top),
                        QPointF(area.right() - kMargin, area.bottom() - kMargin));
    const double squash = m.view3D() ? 0.7 : 1.0;
    const QFontMetricsF fm(ChartFont());
    double markWidth = 0;
    if (s.marksVisible()) {
        for (const PieSlice& slice : pie.slices)
            markWidth = std::max(markWidth, fm.horizontalAdvance(MarkText(slice, separator)) + 8);
        markWidth = std::min(markWidth, pie.region.width() * 0.3);
    }
    const double markHeight = fm.height() + 4;
    const double arm = 14;
    const double w = pie.region.width(), h = pie.region.height();
    double r = 0;
    if (s.marksVisible() && !pie.slices.empty()) {
        r = std::min((w - 2 * (markWidth + arm + 6)) / 2,
                     (h - 2 * (markHeight + arm)) / 2 / squash);
        pie.marks = r >= 16;
    }
    if (!pie.marks)
        r = std::min(w / 2, h / 2 / squash) - 2;
    r = std::max(0.0, r);
    pie.thickness = m.view3D() ? std::min(std::max(r * 0.12, 3.0), std::max(depth, 3.0)) : 0;
    if (m.view3D())
        r = std::max(0.0, r - pie.thickness / 2);
    pie.rx = r;
    pie.ry = r * squash;
    pie.centre = pie.region.center() - QPointF(0, pie.thickness / 2);
    return pie;
}

std::vector<PieMark> PieMarks(const Pie& pie, QChar separator)
{
    std::vector<PieMark> marks;
    if (!pie.marks)
        return marks;
    const QFontMetricsF fm(ChartFont());
    const double maxWidth = pie.region.width() * 0.3;
    for (size_t k = 0; k < pie.slices.size(); ++k) {
        const double middle = pie.starts[k] + pie.span(k) / 2;
        PieMark mark;
        mark.anchor = pie.at(middle);
        QPointF out = pie.at(middle, 1.0 + 14.0 / std::max(1.0, pie.rx));
        // Under the front half, past the pie's side.
        if (std::sin(qDegreesToRadians(middle)) < 0)
            out.ry() += pie.thickness;
        mark.elbow = out;
        mark.right = std::cos(qDegreesToRadians(middle)) >= 0;
        mark.text =
            fm.elidedText(MarkText(pie.slices[k], separator), Qt::ElideMiddle, maxWidth - 8);
        const double w = fm.horizontalAdvance(mark.text) + 8;
        const double h = fm.height() + 4;
        const double x = mark.right ? out.x() + 6 : out.x() - 6 - w;
        mark.box = QRectF(x, out.y() - h / 2, w, h);
        marks.push_back(std::move(mark));
    }
    // On each side, boxes that would touch are pushed apart downwards, then back up from
    // the bottom of the region if they ran out of it.
    for (const bool right : {true, false}) {
        std::vector<PieMark*> side;
        for (PieMark& mark : marks) {
            if (mark.right == right)
                side.push_back(&mark);
        }
        std::sort(side.begin(), side.end(),
                  [](const PieMark* a, const PieMark* b) { return a->box.top() < b->box.top(); });
        double floor = pie.region.top();
        for (PieMark* mark : side) {
            if (mark->box.top() < floor)
                mark->box.moveTop(floor);
            floor = mark->box.bottom() + 2;
        }
        double ceiling = pie.region.bottom();
        for (auto it = side.rbegin(); it != side.rend(); ++it) {
            if ((*it)->box.bottom() > ceiling)
                (*it)->box.moveBottom(ceiling);
            ceiling = (*it)->box.top() - 2;
        }
        for (PieMark* mark : side) {
            mark->box.moveLeft(
                std::clamp(mark->box.left(), pie.region.left(),
                           std::max(pie.region.left(), pie.region.right() - mark->box.width())));
        }
    }
    return marks;
}

QPainterPath SlicePath(const Pie& pie, size_t k, double dy = 0)
{
    QPainterPath path;
    const QRectF rect = pie.rect().translated(0, dy);
    path.moveTo(rect.center());
    path.arcTo(rect, pie.starts[k], pie.span(k));
    path.closeSubpath();
    return path;
}

void PaintPie(QPainter& p, const ChartModel& m, const ChartSeries& s, const QRectF& area,
              const QRectF& title, double depth, QChar separator)
{
    const Pie pie = MakePie(m, s, area, title, depth, separator);
    if (pie.slices.empty() || pie.rx < 1)
        return;
    // The side of a pie in depth shows under its front half (angles 180 to 360).
    if (pie.thickness > 0) {
        const QRectF rect = pie.rect();
        const QRectF lower = rect.translated(0, pie.thickness);
        for (size_t k = 0; k < pie.slices.size(); ++k) {
            const double hi = pie.starts[k];
            const double lo = hi + pie.span(k);
            for (const double offset : {-360.0, 0.0}) {
                const double a = std::max(lo, 180.0 + offset);
                const double b = std::min(hi, 360.0 + offset);
                if (b <= a)
                    continue;
                QPainterPath side;
                side.arcMoveTo(rect, a);
                side.arcTo(rect, a, b - a);
                side.arcTo(lower, b, a - b);
                side.closeSubpath();
                const QColor c = Shade(ChartColor(pie.slices[k].color), 0.72);
                p.setPen(HairPen(Shade(c, 0.8)));
                p.setBrush(c);
                p.drawPath(side);
            }
        }
    }
    for (size_t k = 0; k < pie.slices.size(); ++k) {
        const QColor c = ChartColor(pie.slices[k].color);
        p.setPen(HairPen(Shade(c, 0.6)));
        p.setBrush(c);
        if (pie.slices[k].fraction >= 1.0 - 1e-12)
            p.drawEllipse(pie.rect());
        else
            p.drawPath(SlicePath(pie, k));
    }
    const std::vector<PieMark> marks = PieMarks(pie, separator);
    p.setFont(ChartFont());
    for (const PieMark& mark : marks) {
        const QPointF boxSide(mark.right ? mark.box.left() : mark.box.right(),
                              mark.box.center().y());
        p.setPen(HairPen(kAxisColor));
        p.drawPolyline(QPolygonF({mark.anchor, mark.elbow, boxSide}));
        p.setPen(HairPen(kWallEdge));
        p.setBrush(kMarkFill);
        p.drawRect(mark.box);
        p.setPen(kTextColor);
        p.drawText(mark.box, Qt::AlignCenter, mark.text);
    }
}

std::optional<ChartHit> PieHit(const ChartModel& m, const ChartSeries& s, const QRectF& area,
                               const QRectF& title, double depth, QChar separator,
                               const QPointF& pos)
{
    const Pie pie = MakePie(m, s, area, title, depth, separator);
    if (pie.slices.empty() || pie.rx < 1 || pie.ry < 1)
        return std::nullopt;
    const double nx = (pos.x() - pie.centre.x()) / pie.rx;
    const double ny = (pos.y() - pie.centre.y()) / pie.ry;
    if (nx * nx + ny * ny > 1)
        return std::nullopt;
    const double angle = qRadiansToDegrees(std::atan2(-ny, nx));
    for (size_t k = 0; k < pie.slices.size(); ++k) {
        const double into = std::fmod(std::fmod(pie.starts[k] - angle, 360.0) + 360.0, 360.0);
        if (into <= -pie.span(k)) {
            const PieSlice& slice = pie.slices[k];
            ChartHit hit;
            hit.series = &s;
            hit.index = slice.index;
            hit.label = slice.label;
            hit.value = slice.value;
            hit.text = slice.label + QStringLiteral(" : ") +
                       FormatNumberPicture(slice.value, s.valueFormat(), separator) +
                       QStringLiteral(" (") + PercentText(slice.fraction, separator) + u')';
            return hit;
        }
    }
    return std::nullopt;
}

double DevicePixelRatio(const QPainter& p)
{
    const QPaintDevice* device = p.device();
    return device ? std::max(1.0, device->devicePixelRatioF()) : 1.0;
}

ChartHit MakeHit(const Frame& f, const ChartSeries& s, int index)
{
    ChartHit hit;
    hit.series = &s;
    hit.index = index;
    hit.label = PointLabel(s, index);
    hit.value = s.value(index);
    hit.text = hit.label + QStringLiteral(" : ") + f.format(hit.value, s.valueFormat());
    return hit;
}

std::optional<ChartHit> SeriesHit(const Frame& f, const ChartSeries& s, const QPointF& pos)
{
    const auto [i0, i1] = f.visibleRange(s);
    if (i1 < i0)
        return std::nullopt;
    const double at = f.indexAt(pos.x());
    const double base = f.baseline();
    if (s.kind() == SeriesKind::Bars) {
        const int i = int(std::lround(std::clamp(at, double(i0), double(i1))));
        const double y = f.y(s.value(i));
        if (std::isnan(y))
            return std::nullopt;
        const double half = f.slotWidth() * s.barWidthPercent() / 200.0;
        const double x = f.x(i);
        // The bar's front, or its top and side faces in depth.
        const QRectF front(QPointF(x - half, std::min(y, base)),
                           QPointF(x + half, std::max(y, base)));
        const QRectF box = front.united(front.translated(f.depth)).adjusted(-1, -1, 1, 1);
        if (box.contains(pos))
            return MakeHit(f, s, i);
        return std::nullopt;
    }
    // The nearest point within reach, looking only at the points that fall near the mouse.
    const double slot = std::max(1e-9, f.slotWidth());
    const double reach = std::ceil(kHitDistance / slot) + 1;
    const int from = int(std::max(double(i0), std::floor(at - reach)));
    const int to = int(std::min(double(i1), std::ceil(at + reach)));
    int best = -1;
    double bestDistance = kHitDistance * kHitDistance;
    for (int i = from; i <= to; ++i) {
        const double y = f.y(s.value(i));
        if (std::isnan(y))
            continue;
        const double dx = f.x(i) - pos.x(), dy = y - pos.y();
        if (dx * dx + dy * dy <= bestDistance) {
            bestDistance = dx * dx + dy * dy;
            best = i;
        }
    }
    if (best >= 0)
        return MakeHit(f, s, best);
    if (s.kind() == SeriesKind::Area) {
        // Inside the surface: the point of that column.
        const int i = int(std::lround(std::clamp(at, double(i0), double(i1))));
        const double y = f.y(s.value(i));
        if (!std::isnan(y) && std::fabs(f.x(i) - pos.x()) <= std::max(slot, 2.0) &&
            pos.y() >= std::min(y, base) && pos.y() <= std::max(y, base))
            return MakeHit(f, s, i);
    }
    return std::nullopt;
}

} // namespace

ChartRenderer::ChartRenderer(const ChartModel& model, QChar decimalSeparator)
    : m_model(model), m_separator(decimalSeparator)
{
    if (m_separator.isNull()) {
        const QString point = QLocale().decimalPoint();
        m_separator = point.isEmpty() ? QChar(u'.') : point.at(0);
    }
}

void ChartRenderer::paint(QPainter& p, const QRectF& area) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setClipRect(area);
    PaintBackground(p, m_model, area);
    const Frame f = MakeFrame(m_model, area, m_separator);
    if (f.pieOnly) {
        for (const ChartSeries* s : f.active) {
            if (s->kind() == SeriesKind::Pie)
                PaintPie(p, m_model, *s, area, f.title, DepthOf(m_model, area), m_separator);
        }
        PaintTitle(p, m_model, f.title);
        p.restore();
        return;
    }
    if (f.valid) {
        const double dpr = DevicePixelRatio(p);
        const std::vector<AxisLabel> labels = BottomLabels(f);
        PaintWalls(p, f);
        PaintGrid(p, f, labels);
        PaintAxes(p, f, labels);
        p.setClipRect(f.seriesClip());
        for (const ChartSeries* s : f.active) {
            switch (s->kind()) {
            case SeriesKind::Line:
            case SeriesKind::FastLine:
            case SeriesKind::Points:
                if (s->kind() == SeriesKind::Points)
                    PaintMarkers(p, f, *s, dpr, false);
                else
                    PaintLine(p, f, *s, dpr);
                break;
            case SeriesKind::Bars:
                PaintBars(p, f, *s, dpr);
                break;
            case SeriesKind::Area:
                PaintArea(p, f, *s, dpr);
                break;
            case SeriesKind::Pie:
                PaintPie(p, m_model, *s, f.plot, QRectF(), DepthOf(m_model, area), m_separator);
                break;
            }
        }
        p.setClipRect(area);
        for (const ChartSeries* s : f.active) {
            if (s->marksVisible() && s->kind() != SeriesKind::Pie)
                PaintValueMarks(p, f, *s);
        }
    }
    PaintTitle(p, m_model, f.title);
    p.restore();
}

ChartAxesLayout ChartRenderer::axesLayout(const QRectF& area) const
{
    ChartAxesLayout layout;
    const Frame f = MakeFrame(m_model, area, m_separator);
    if (f.pieOnly || !f.valid)
        return layout;
    layout.plot = f.plot;
    layout.minimum = f.vMin;
    layout.maximum = f.vMax;
    layout.step = f.step;
    for (const Tick& t : f.ticks)
        layout.tickTexts << t.text;
    for (const AxisLabel& label : BottomLabels(f)) {
        layout.labelIndexes.push_back(label.index);
        layout.labelRects.push_back(label.rect);
        layout.labelTexts << label.text;
    }
    return layout;
}

std::optional<ChartHit> ChartRenderer::hitTest(const QRectF& area, const QPointF& position) const
{
    if (!area.contains(position))
        return std::nullopt;
    const Frame f = MakeFrame(m_model, area, m_separator);
    for (auto it = f.active.rbegin(); it != f.active.rend(); ++it) {
        const ChartSeries& s = **it;
        std::optional<ChartHit> hit;
        if (s.kind() == SeriesKind::Pie) {
            hit = f.pieOnly ? PieHit(m_model, s, area, f.title, DepthOf(m_model, area), m_separator,
                                     position)
                            : std::nullopt;
        } else if (f.valid) {
            hit = SeriesHit(f, s, position);
        }
        if (hit)
            return hit;
    }
    return std::nullopt;
}

QImage RenderChartImage(const ChartModel& model, qreal devicePixelRatio)
{
    const qreal dpr = std::clamp(devicePixelRatio, qreal(1), qreal(4));
    QImage image(int(std::ceil(model.width() * dpr)), int(std::ceil(model.height() * dpr)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    QPainter painter(&image);
    ChartRenderer(model).paint(painter, QRectF(0, 0, model.width(), model.height()));
    painter.end();
    return image;
}

void SaveChartBitmap(const ChartModel& model, const QString& path)
{
    WriteBmpFile(Picture::fromQImage(RenderChartImage(model)), path);
}

} // namespace tilvo
