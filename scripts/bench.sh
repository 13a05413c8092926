#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds in Release and runs every benchmark (or those named as arguments).
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
./scripts/install-deps.sh
BUILD_DIR=${TILVO_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DTILVO_BUILD_TESTS=OFF
cmake --build "$BUILD_DIR" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
if [ $# -gt 0 ]; then
  benches=("$@")
else
  mapfile -t benches < <(find "$BUILD_DIR/bench" -maxdepth 1 -type f -executable -printf '%f\n' 2>/dev/null | sort)
fi
for b in "${benches[@]}"; do
  echo "== $b"
  "$BUILD_DIR/bench/$b"
done
