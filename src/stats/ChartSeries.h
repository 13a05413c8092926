// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace tilvo {

// Colours of the program are 32-bit integers laid out 0x00BBGGRR (red in the low byte).
QColor ChartColor(quint32 bgr);
quint32 ChartColorValue(const QColor& color);

enum class SeriesKind
{
    Line,    // a line, drawn as a ribbon in a 3D chart unless flat
    Bars,    // one bar per point from the axis
    Area,    // the surface under a line
    Points,  // one marker per point
    Pie,     // one slice per point
    FastLine // a thin line, never in depth
};

enum class MarkerStyle
{
    Rectangle,
    Circle
};

// One series of a chart: a list of points (value, label) and how they are drawn. An inactive
// series is neither drawn nor counted when the axes are scaled.
class ChartSeries
{
public:
    ChartSeries(SeriesKind kind, QString name);

    SeriesKind kind() const { return m_kind; }
    const QString& name() const { return m_name; }

    bool isActive() const { return m_active; }
    void setActive(bool active) { m_active = active; }

    // The colour of the points, 0x00BBGGRR; a pie gives each slice a colour of its own.
    quint32 color() const { return m_color; }
    void setColor(quint32 bgr) { m_color = bgr & 0xFFFFFF; }

    // The number picture of its values (marks and tooltips).
    const QString& valueFormat() const { return m_valueFormat; }
    void setValueFormat(const QString& format) { m_valueFormat = format; }

    // Value labels on the points.
    bool marksVisible() const { return m_marks; }
    void setMarksVisible(bool visible) { m_marks = visible; }

    // Lines: pen width in pixels, markers on the points, and whether a 3D chart draws the
    // line in depth.
    int penWidth() const { return m_penWidth; }
    void setPenWidth(int width) { m_penWidth = qBound(1, width, 20); }
    bool markersVisible() const { return m_markers; }
    void setMarkersVisible(bool visible) { m_markers = visible; }
    MarkerStyle markerStyle() const { return m_markerStyle; }
    void setMarkerStyle(MarkerStyle style) { m_markerStyle = style; }
    // The markers' fill, 0x00BBGGRR; the series colour unless set.
    quint32 markerColor() const { return m_markerColorSet ? m_markerColor : m_color; }
    void setMarkerColor(quint32 bgr)
    {
        m_markerColor = bgr & 0xFFFFFF;
        m_markerColorSet = true;
    }
    bool drawn3D() const { return m_3d; }
    void setDrawn3D(bool on) { m_3d = on; }

    // Bars: the share of the slot a bar takes, in percent.
    int barWidthPercent() const { return m_barWidth; }
    void setBarWidthPercent(int percent) { m_barWidth = qBound(1, percent, 100); }

    void clear();
    void reserve(int count);
    void addPoint(double value, const QString& label);
    int count() const { return int(m_values.size()); }
    double value(int index) const { return m_values[size_t(index)]; }
    const QString& label(int index) const { return m_labels[size_t(index)]; }
    const std::vector<double>& values() const { return m_values; }

private:
    SeriesKind m_kind;
    QString m_name;
    bool m_active = true;
    quint32 m_color = 0x0000FF;
    QString m_valueFormat = QStringLiteral("###0.###");
    bool m_marks = false;
    int m_penWidth = 1;
    bool m_markers = false;
    MarkerStyle m_markerStyle = MarkerStyle::Rectangle;
    quint32 m_markerColor = 0;
    bool m_markerColorSet = false;
    bool m_3d = true;
    int m_barWidth = 60;
    std::vector<double> m_values;
    std::vector<QString> m_labels;
};

} // namespace tilvo
