// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/PieSlices.h"

#include "stats/ChartSeries.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tilvo {

namespace {

// Distinct colours that read well side by side, none of them grey (the gathered slice's).
constexpr std::array<quint32, 16> kPalette = {
    0xC47244, 0x317DED, 0x00C0FF, 0x47AD70, 0xD59B5B, 0x0000C0, 0xA03070, 0xF0B000,
    0x50D092, 0xCC66FF, 0x336699, 0xB6752E, 0x83B1F4, 0x8ED1A9, 0xDCAA8F, 0x66D9FF,
};

} // namespace

quint32 PieSlices::paletteColor(int n)
{
    return kPalette[size_t(std::abs(n) % int(kPalette.size()))];
}

std::vector<PieSlice> PieSlices::of(const ChartSeries& series)
{
    // Shares are computed on values divided by the largest, so that no sum overflows.
    double largest = 0;
    for (const double v : series.values()) {
        if (std::isfinite(v) && v > largest)
            largest = v;
    }
    std::vector<PieSlice> slices;
    if (largest <= 0)
        return slices;
    double total = 0;
    for (const double v : series.values()) {
        if (std::isfinite(v) && v > 0)
            total += v / largest;
    }

    std::vector<int> kept;
    for (int i = 0; i < series.count(); ++i) {
        const double v = series.value(i);
        if (std::isfinite(v) && v > 0)
            kept.push_back(i);
    }
    // A slice is small under OtherPercent of the whole, or when it is not among the
    // MaxSlices largest (ties go to the earlier point).
    std::vector<char> small(size_t(series.count()), 0);
    const double threshold = OtherPercent / 100.0 * total;
    for (const int i : kept)
        small[size_t(i)] = series.value(i) / largest < threshold;
    if (int(kept.size()) > MaxSlices) {
        std::vector<int> order = kept;
        const auto larger = [&](int a, int b) {
            const double va = series.value(a), vb = series.value(b);
            return va > vb || (va == vb && a < b);
        };
        std::nth_element(order.begin(), order.begin() + MaxSlices, order.end(), larger);
        for (auto it = order.begin() + MaxSlices; it != order.end(); ++it)
            small[size_t(*it)] = 1;
    }
    int smallCount = 0;
    for (const int i : kept)
        smallCount += small[size_t(i)];
    const bool gather = smallCount >= 2;

    PieSlice other;
    other.label = QStringLiteral("Autre");
    other.color = OtherColor;
    double otherScaled = 0;
    for (const int i : kept) {
        const double scaled = series.value(i) / largest;
        if (gather && small[size_t(i)]) {
            other.value += series.value(i);
            otherScaled += scaled;
            continue;
        }
        slices.push_back({i, series.label(i), series.value(i), scaled / total, paletteColor(i)});
    }
    if (gather && otherScaled > 0) {
        other.fraction = otherScaled / total;
        slices.push_back(other);
    }
    return slices;
}

} // namespace tilvo
