// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats/ChartSeries.h"

#include <QFont>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

namespace tilvo {

// One axis of a chart. The bottom axis counts points (0 is the first); the left axis values.
struct ChartAxis
{
    bool visible = true;
    double minimum = 0;
    double maximum = 0;
    // On: the maximum follows the largest value of the active series. Off: `maximum` holds.
    bool automaticMaximum = true;
    // Off: the minimum stays at `minimum`.
    bool automaticMinimum = false;
    // The number picture of its labels.
    QString valueFormat = QStringLiteral("###0.###");
};

struct ChartTitle
{
    bool visible = false;
    QStringList lines;
    QFont font;
    quint32 color = 0x000000; // 0x00BBGGRR
    Qt::Alignment alignment = Qt::AlignHCenter;
};

// What a chart shows, independent of where it is painted (ChartRenderer paints it on screen
// and into pictures): its size, axes, walls, 3D view, background, title and series.
class ChartModel
{
public:
    enum Axis
    {
        BottomAxis,
        TopAxis,
        LeftAxis,
        RightAxis
    };

    ChartModel(int width = 400, int height = 250);
    ChartModel(const ChartModel&) = delete;
    ChartModel& operator=(const ChartModel&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }
    // At least 1 × 1.
    void setSize(int width, int height);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    ChartAxis& axis(Axis which) { return m_axes[size_t(which)]; }
    const ChartAxis& axis(Axis which) const { return m_axes[size_t(which)]; }

    // The 3D view: depth in percent of the chart's width. It is drawn as an orthogonal
    // (oblique) projection; the flag records what the chart asks for.
    bool view3D() const { return m_view3D; }
    void setView3D(bool on) { m_view3D = on; }
    int depthPercent() const { return m_depthPercent; }
    void setDepthPercent(int percent) { m_depthPercent = qBound(0, percent, 100); }
    bool orthogonal() const { return m_orthogonal; }
    void setOrthogonal(bool on) { m_orthogonal = on; }

    // The back and left walls (and the floor in 3D); transparent walls show only their edges.
    bool wallsVisible() const { return m_walls; }
    void setWallsVisible(bool on) { m_walls = on; }
    bool wallsTransparent() const { return m_wallsTransparent; }
    void setWallsTransparent(bool on) { m_wallsTransparent = on; }

    // The background: a gradient from white at the top to the end colour at the bottom, or
    // plain white.
    bool gradientVisible() const { return m_gradient; }
    void setGradientVisible(bool on) { m_gradient = on; }
    quint32 gradientEndColor() const { return m_gradientEnd; }
    void setGradientEndColor(quint32 bgr) { m_gradientEnd = bgr & 0xFFFFFF; }

    ChartTitle& title() { return m_title; }
    const ChartTitle& title() const { return m_title; }

    ChartSeries& addSeries(SeriesKind kind, const QString& name);
    int seriesCount() const { return int(m_series.size()); }
    ChartSeries& series(int index) { return *m_series[size_t(index)]; }
    const ChartSeries& series(int index) const { return *m_series[size_t(index)]; }
    // Nothing when the chart has no series of that name.
    ChartSeries* findSeries(const QString& name);

private:
    int m_width;
    int m_height;
    bool m_enabled = true;
    std::array<ChartAxis, 4> m_axes;
    bool m_view3D = false;
    int m_depthPercent = 10;
    bool m_orthogonal = true;
    bool m_walls = true;
    bool m_wallsTransparent = false;
    bool m_gradient = false;
    quint32 m_gradientEnd = 0xFFEAEA;
    ChartTitle m_title;
    std::vector<std::unique_ptr<ChartSeries>> m_series;
};

} // namespace tilvo
