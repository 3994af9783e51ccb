#!/usr/bin/env bash
# Draws the rename preview's arrow (PNG 131: a grey triangle pointing right).
# Run once by hand with ImageMagick; the PNG is committed.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 16x16 xc:none \
  -fill '#8c8c8c' -stroke none -draw 'polygon 5,3 12,8 5,13' \
  -define png:color-type=6 -depth 8 131.png
