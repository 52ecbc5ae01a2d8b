#!/usr/bin/env bash
# Renders packaging/tessarel.svg to the PNG sizes that are installed, into
# packaging/icons/<size>/tessarel.png. The PNGs are committed, so a build needs
# no SVG renderer; run this again after changing the SVG (needs librsvg2-bin).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for size in 16 32 48 64 128 256; do
  mkdir -p "$here/icons/$size"
  rsvg-convert -w "$size" -h "$size" "$here/tessarel.svg" -o "$here/icons/$size/tessarel.png"
done
