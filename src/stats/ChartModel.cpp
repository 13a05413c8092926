// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ChartModel.h"

namespace tilvo {

ChartModel::ChartModel(int width, int height) : m_width(qMax(1, width)), m_height(qMax(1, height))
{}

void ChartModel::setSize(int width, int height)
{
    m_width = qMax(1, width);
    m_height = qMax(1, height);
}

ChartSeries& ChartModel::addSeries(SeriesKind kind, const QString& name)
{
    m_series.push_back(std::make_unique<ChartSeries>(kind, name));
    return *m_series.back();
}

ChartSeries* ChartModel::findSeries(const QString& name)
{
    for (const auto& s : m_series) {
        if (s->name() == name)
            return s.get();
    }
    return nullptr;
}

} // namespace tilvo
