#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the icon's PNG sizes, and the program folder's tilvo.png, from its SVG.
# Needs rsvg-convert (Debian package librsvg2-bin); run it after changing the SVG.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
ID=example.vantrel_software.tilvo
HICOLOR=packaging/icons/hicolor
SVG=$HICOLOR/scalable/apps/$ID.svg
for size in 48 64 128 256; do
  mkdir -p "$HICOLOR/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$SVG" -o "$HICOLOR/${size}x${size}/apps/$ID.png"
done
cp "$HICOLOR/64x64/apps/$ID.png" shipped/root/tilvo.png
