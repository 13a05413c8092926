#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package: a Release build for /usr with Debian's hardening flags, in its own
# build folder, then cpack. Prints the package's path.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
./scripts/install-deps.sh --package
BUILD_DIR=${TILVO_PACKAGE_BUILD_DIR:-build-package}

# The compiler and linker flags Debian builds its own packages with (hardening included);
# CMake takes CFLAGS, CXXFLAGS and LDFLAGS from the environment, not CPPFLAGS.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS"

launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# --fresh: the flags above are read only when the cache is made.
cmake --fresh -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTILVO_BUILD_TESTS=OFF -DTILVO_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build "$BUILD_DIR" -j"$(nproc)"
rm -f "$BUILD_DIR"/tilvo_*.deb
(cd "$BUILD_DIR" && cpack -G DEB)
ls "$PWD/$BUILD_DIR"/tilvo_*.deb
