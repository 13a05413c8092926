// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The resize written the plain way, one pixel after the other, each step as it is defined:
// the yardstick the fast ResizePicture is compared with, pixel for pixel, in the tests and
// timed against in the benchmarks.

#include "images/Picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tilvo::reference {

inline double InverseDistance(long double a, long double b)
{
    return double(1.0L / std::sqrt(a * a + b * b));
}

// Writes the inverse-distance mean of the given source pixels (n = 2 or 4).
inline void Blend(uchar* out, const uchar* const* pixels, const double* weights, int n)
{
    long double weightSum = 0;
    for (int i = 0; i < n; ++i)
        weightSum += weights[i];
    const double sum = double(weightSum);
    for (int c = 0; c < 3; ++c) {
        long double value = 0;
        for (int i = 0; i < n; ++i)
            value += weights[i] * static_cast<long double>(pixels[i][c]);
        out[c] = uchar(int(value / sum));
    }
}

inline Picture ResizePicture(const Picture& original, int newWidth, int newHeight)
{
    if (newWidth == 0 || newHeight == 0)
        return Picture();
    const Picture source = original.toBgr24();
    Picture target(newWidth, newHeight);
    const int sw = source.width();
    const int sh = source.height();
    for (int y = 0; y < newHeight; ++y) {
        const double sy = double(std::int64_t(sh) * y) / double(newHeight) - 0.5;
        double fy = std::min(sy, double(sh - 1));
        if (!(fy > 0))
            fy = 0;
        for (int x = 0; x < newWidth; ++x) {
            const double sx = double(std::int64_t(sw) * x) / double(newWidth) - 0.5;
            double fx = std::min(sx, double(sw - 1));
            if (!(fx > 0))
                fx = 0;
            uchar* out = target.row(y) + 3 * x;
            if (fx == std::floor(fx) && fy == std::floor(fy)) {
                const uchar* in = source.row(int(fy)) + 3 * int(fx);
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                continue;
            }
            const int x0 = int(std::floor(fx));
            const int y0 = int(std::floor(fy));
            const double dx = fx - x0;
            const double dy = fy - y0;
            const long double ldx = dx;
            const long double ldy = dy;
            const uchar* topLeft = source.row(y0) + 3 * x0;
            if (dx == 0) {
                const uchar* pixels[2] = {topLeft, source.row(y0 + 1) + 3 * x0};
                const double weights[2] = {InverseDistance(ldx, ldy),
                                           InverseDistance(ldx, 1.0L - ldy)};
                Blend(out, pixels, weights, 2);
            } else if (dy == 0) {
                const uchar* pixels[2] = {topLeft, topLeft + 3};
                const double weights[2] = {InverseDistance(ldx, ldy),
                                           InverseDistance(1.0L - ldx, ldy)};
                Blend(out, pixels, weights, 2);
            } else {
                const uchar* bottomLeft = source.row(y0 + 1) + 3 * x0;
                const uchar* pixels[4] = {topLeft, topLeft + 3, bottomLeft, bottomLeft + 3};
                const double weights[4] = {
                    InverseDistance(ldx, ldy), InverseDistance(1.0L - ldx, ldy),
                    InverseDistance(ldx, 1.0L - ldy), InverseDistance(1.0L - ldx, 1.0L - ldy)};
                Blend(out, pixels, weights, 4);
            }
        }
    }
    return target;
}

} // namespace tilvo::reference
