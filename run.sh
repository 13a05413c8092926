#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds in Release and starts the program from its program folder.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"
./scripts/install-deps.sh
BUILD_DIR=${TILVO_BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DTILVO_BUILD_TESTS=OFF
cmake --build "$BUILD_DIR" -j"$(nproc)"
cd "$BUILD_DIR/program"
exec ./tilvo
