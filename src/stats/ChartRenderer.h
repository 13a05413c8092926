// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats/ChartModel.h"

#include <QChar>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QPainter;

namespace tilvo {

// The point, bar or slice under the mouse.
struct ChartHit
{
    const ChartSeries* series = nullptr;
    int index = -1; // the point; -1 for the gathered slice of a pie
    QString label;
    double value = 0;
    QString text; // the label and the formatted value, as a tooltip shows them
};

// Where the axes of a chart painted into an area fall, and what they show.
struct ChartAxesLayout
{
    QRectF plot;        // the front plane of the series
    double minimum = 0; // the left axis' range
    double maximum = 0;
    double step = 0;               // between its ticks
    QStringList tickTexts;         // its labels, from the bottom up
    std::vector<int> labelIndexes; // the points the bottom axis labels
    std::vector<QRectF> labelRects;
    QStringList labelTexts;
};

// Paints a chart model on any painter: a widget on screen, a picture off screen. Antialiased;
// lines fall on whole pixels at the painter's device pixel ratio. Whatever the values (NaN,
// infinite, negative, huge), the sizes (down to 1 × 1) or the number of points, the axes stay
// finite and the work stays bounded: dense series are reduced to what each pixel column shows.
class ChartRenderer
{
public:
    // Numbers are written with the decimal separator of the default locale unless one is given.
    explicit ChartRenderer(const ChartModel& model, QChar decimalSeparator = QChar());

    // The whole chart, background included, into `area`.
    void paint(QPainter& painter, const QRectF& area) const;
    // The axes of the chart painted into `area` (all empty for a pie).
    ChartAxesLayout axesLayout(const QRectF& area) const;
    // What lies under `position` of the chart painted into `area`.
    std::optional<ChartHit> hitTest(const QRectF& area, const QPointF& position) const;

private:
    const ChartModel& m_model;
    QChar m_separator;
};

// The chart at its size on white, `devicePixelRatio` device pixels per chart pixel.
QImage RenderChartImage(const ChartModel& model, qreal devicePixelRatio = 1.0);
// Saves the chart at its size on white as a 24-bit BMP file; throws Error when the file
// cannot be written.
void SaveChartBitmap(const ChartModel& model, const QString& path);

} // namespace tilvo
