// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ChartSeries.h"

namespace tilvo {

QColor ChartColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 ChartColorValue(const QColor& color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

ChartSeries::ChartSeries(SeriesKind kind, QString name) : m_kind(kind), m_name(std::move(name))
{
    if (kind == SeriesKind::Points)
        m_markers = true;
}

void ChartSeries::clear()
{
    m_values.clear();
    m_labels.clear();
}

void ChartSeries::reserve(int count)
{
    m_values.reserve(size_t(qMax(0, count)));
    m_labels.reserve(size_t(qMax(0, count)));
}

void ChartSeries::addPoint(double value, const QString& label)
{
    m_values.push_back(value);
    m_labels.push_back(label);
}

} // namespace tilvo
