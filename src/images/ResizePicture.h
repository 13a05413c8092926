// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "images/Picture.h"

namespace tilvo {

// Replaces the picture by a 24-bit copy of the given size. Each new pixel is the mean of the up
// to four source pixels around its sampling point, weighted by the inverse of their distance
// to it; the sampling grid has no half-pixel offset on the new side, so the first column and
// the first row come from the source's first column and row. The arithmetic (doubles, sums in
// long double) is fixed to the last bit, so every build gives the same bytes.
// A width or height of 0 gives the empty picture; throws tilvo::Error for a negative or too
// large size, or an empty source with a non-empty size.
void ResizePicture(Picture& picture, int newWidth, int newHeight);
// The same, leaving the source as it is.
Picture ResizedPicture(const Picture& picture, int newWidth, int newHeight);

namespace detail {

// The inner loops available on this processor; tests and benchmarks run each one.
enum class ResizeKernel
{
    Portable, // compiler vector types, any processor
    Avx2,     // AVX2 and FMA
};
bool ResizeKernelAvailable(ResizeKernel kernel);

// The weight sets the AVX2 code (four columns at a time) and, where the processor has it, the
// AVX-512 code (eight at a time) make for eight column fractions on a row of fraction dy,
// compared bit for bit with those of the long double code: how many of the eight the widest
// one left to the long double code, or -1 when any set differs. 0 where AVX2 is missing.
int CompareVectorWeights(const double (&dx)[8], double dy);

// ResizePicture's work with the loops and the number of threads chosen (0: as many as the
// machine has cores, for pictures large enough to be worth it).
Picture ResizedCopy(const Picture& source, int newWidth, int newHeight, ResizeKernel kernel,
                    int threads = 0);

} // namespace detail

} // namespace tilvo
