#!/usr/bin/env bash
# Renders the PNG sizes of the icon from mindmap.svg (rsvg-convert, Debian's librsvg2-bin).
# The PNGs are kept in the tree so a build needs no renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" mindmap.svg -o "mindmap-$size.png"
done
