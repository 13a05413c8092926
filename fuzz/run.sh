#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang into their own folder, writes a seed corpus and runs
# each target for the given number of seconds (default 180). Crashes land in the build folder
# as crash-bmp-* / crash-jpeg-*; replay one with: build-fuzz/fuzz_bmp FILE
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
SECONDS_EACH=${1:-180}
BUILD=${TILVO_FUZZ_BUILD_DIR:-../build-fuzz}
cmake -S . -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD" -j2
"$BUILD/make_seeds" "$BUILD/corpus"
for target in bmp jpeg; do
  echo "== fuzz_$target for $SECONDS_EACH s"
  "$BUILD/fuzz_$target" -max_total_time="$SECONDS_EACH" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$BUILD/crash-$target-" \
    "$BUILD/corpus/$target"
done
