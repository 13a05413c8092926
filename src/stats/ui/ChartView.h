// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats/ChartModel.h"
#include "stats/ChartRenderer.h"

#include <QWidget>
#include <optional>

namespace tilvo {

// A chart on screen: paints its model through ChartRenderer at the screen's pixel density,
// and shows the label and formatted value of the point, bar or slice under the mouse in a
// tooltip. The model takes the widget's size; after changing it, call refresh().
class ChartView final : public QWidget
{
    Q_OBJECT

public:
    explicit ChartView(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(ChartView)

    ChartModel& model() { return m_model; }
    const ChartModel& model() const { return m_model; }

    // Repaints after a change of the model, and follows its enabled state.
    void refresh();
    // What lies under a point of the widget.
    std::optional<ChartHit> hitAt(const QPoint& position) const;

    QSize sizeHint() const override { return QSize(400, 250); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ChartModel m_model;
};

} // namespace tilvo
