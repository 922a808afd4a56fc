#!/usr/bin/env bash
# Renders the icon's PNG sizes from korvane.svg (rsvg-convert, Debian package librsvg2-bin).
# The PNGs are kept in the repository, so a build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" korvane.svg -o "korvane-$size.png"
done
