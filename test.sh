#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer
# in its own build folder and runs every test headless.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
./scripts/install-deps.sh
BUILD_DIR=${TILVO_BUILD_DIR:-build-asan}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Debug -DTILVO_SANITIZE=ON -DTILVO_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" "$@"
