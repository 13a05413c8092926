// SPDX-License-Identifier: GPL-3.0-or-later
// ResizePicture against the per-pixel reference on what the program resizes: a large scan
// brought to the 5000-pixel limit, and a picture brought to the 70 x 70 thumbnail size.
// Run from a Release build: scripts/bench.sh bench_ResizePicture
#include "images/ReferenceResize.h"
#include "images/ResizePicture.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <random>
#include <tuple>

using namespace tilvo;

namespace {

enum Content
{
    Noise,
    Photo
};

// Noise: every byte random. Photo: smooth shading with a little grain, so that many
// neighbourhoods are flat or nearly so, as in scanned pictures.
const Picture& Source(int width, int height, int content)
{
    static std::map<std::tuple<int, int, int>, Picture> cache;
    Picture& picture = cache[{width, height, content}];
    if (picture.isEmpty()) {
        picture = Picture(width, height);
        std::mt19937 random(42);
        for (int y = 0; y < height; ++y) {
            uchar* row = picture.row(y);
            for (int x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    if (content == Noise) {
                        row[3 * x + c] = uchar(random());
                    } else {
                        const int shade = (x * (c + 1) / 40 + y / (30 + 10 * c)) % 256;
                        row[3 * x + c] = uchar(std::min<unsigned>(255, shade + random() % 3));
                    }
                }
            }
        }
    }
    return picture;
}

// What ResizePicture does, without copying the source first.
void Run(benchmark::State& state, int threads)
{
    const Picture& source = Source(int(state.range(0)), int(state.range(1)), int(state.range(4)));
    const detail::ResizeKernel kernel = detail::ResizeKernelAvailable(detail::ResizeKernel::Avx2)
                                            ? detail::ResizeKernel::Avx2
                                            : detail::ResizeKernel::Portable;
    for (auto _ : state) {
        Picture picture =
            detail::ResizedCopy(source, int(state.range(2)), int(state.range(3)), kernel, threads);
        benchmark::DoNotOptimize(picture.row(0));
    }
}

void Fast(benchmark::State& state)
{
    Run(state, 0);
}

void FastOneThread(benchmark::State& state)
{
    Run(state, 1);
}

void PortableOneThread(benchmark::State& state)
{
    const Picture& source = Source(int(state.range(0)), int(state.range(1)), int(state.range(4)));
    for (auto _ : state) {
        Picture picture = detail::ResizedCopy(source, int(state.range(2)), int(state.range(3)),
                                              detail::ResizeKernel::Portable, 1);
        benchmark::DoNotOptimize(picture.row(0));
    }
}

void Reference(benchmark::State& state)
{
    const Picture& source = Source(int(state.range(0)), int(state.range(1)), int(state.range(4)));
    for (auto _ : state) {
        Picture picture =
            reference::ResizePicture(source, int(state.range(2)), int(state.range(3)));
        benchmark::DoNotOptimize(picture.row(0));
    }
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"sw", "sh", "tw", "th", "photo"});
    for (int content : {Noise, Photo}) {
        b->Args({6000, 4000, 5000, 3333, content});
        b->Args({3000, 2000, 70, 70, content});
    }
    // The least favourable case: sizes whose fractions never repeat, so that every pixel
    // needs weights of its own.
    b->Args({4001, 3001, 3333, 2500, Photo});
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(Reference)->Apply(Sizes)->UseRealTime();
BENCHMARK(Fast)->Apply(Sizes)->UseRealTime();
BENCHMARK(FastOneThread)->Apply(Sizes)->UseRealTime();
BENCHMARK(PortableOneThread)->Apply(Sizes)->UseRealTime();

BENCHMARK_MAIN();
