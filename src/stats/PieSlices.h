// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace tilvo {

class ChartSeries;

// One slice of a pie, in drawing order.
struct PieSlice
{
    int index = -1; // the point it stands for; -1 for the gathered slice "Autre"
    QString label;
    double value = 0;    // the point's value, or the sum of the gathered ones
    double fraction = 0; // its share of the pie, 0..1
    quint32 color = 0;   // 0x00BBGGRR
};

// The slices of a pie: one per point whose value is a positive finite number (the others
// take no room), in the points' order, each coloured from the pie palette by its point's
// position. When several slices are smaller than OtherPercent of the whole, or there are more
// than MaxSlices, the smallest are gathered into a last slice labelled "Autre".
struct PieSlices
{
    static constexpr double OtherPercent = 2.0;
    static constexpr int MaxSlices = 20;

    static std::vector<PieSlice> of(const ChartSeries& series);
    // The palette's colour for the n-th point (0x00BBGGRR), cycling; the gathered slice's grey.
    static quint32 paletteColor(int n);
    static constexpr quint32 OtherColor = 0xA0A0A0;
};

} // namespace tilvo
