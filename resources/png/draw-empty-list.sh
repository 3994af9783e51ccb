#!/usr/bin/env bash
# Draws the empty photo list's picture (two photos dropping into a tray) as
# PNG 129. Run once by hand with ImageMagick; the PNG is committed.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 128x112 xc:none \
  -fill '#c8c8c8' -stroke '#a0a0a0' -strokewidth 2 \
  -draw 'roundrectangle 18,10 78,58 5,5' \
  -fill white -stroke '#8c8c8c' -draw 'roundrectangle 44,20 108,68 5,5' \
  -stroke none -fill '#b8dcf5' -draw 'rectangle 50,26 102,62' \
  -fill '#f2c94c' -draw 'circle 92,34 97,34' \
  -fill '#5b9b6b' -draw 'polygon 50,62 68,42 80,54 88,46 102,62' \
  -fill '#3f8be0' -draw 'polygon 56,74 72,74 72,62 84,62 84,74 100,74 78,92' \
  -fill none -stroke '#8c8c8c' -strokewidth 4 \
  -draw 'line 14,80 14,104' -draw 'line 14,104 114,104' -draw 'line 114,104 114,80' \
  129.png
