// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Error.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>

namespace tilvo::bench {

// The body of a benchmark program's main(), once its application object exists: the command
// line, then `prepare` (the databases and files the benchmarks share, made before any timing;
// a failure is printed and ends the program with 1), then the benchmarks.
inline int RunBenchmarks(int& argc, char** argv, const std::function<void()>& prepare = {})
{
    benchmark::Initialize(&argc, argv);
    if (prepare) {
        try {
            prepare();
        } catch (const Error& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace tilvo::bench
