#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages the build, the tests and the program need; with --package,
# also what making and checking the Debian package needs.
# Does nothing when every package is already installed.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-translations-l10n libqt6sql6-sqlite libqt6sql6-odbc
  libsqlite3-dev sqlite3
  unixodbc-dev odbcinst libsqliteodbc
  libgcab-dev gcab cabextract
  mdbtools-dev mdbtools
  libjpeg62-turbo-dev
  fonts-liberation2
  libbenchmark-dev
  xvfb xauth poppler-utils
  desktop-file-utils appstream
)
# scripts/package.sh and scripts/check-package.sh: dpkg-shlibdeps and the file command for
# CPack, lintian, and xwininfo to see the started program's window.
if [ "${1:-}" = --package ]; then
  PACKAGES+=(dpkg-dev file lintian x11-utils)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installation des paquets manquants : ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
