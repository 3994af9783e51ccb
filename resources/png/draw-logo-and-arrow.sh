#!/usr/bin/env bash
# Draws the logo panel's logo (PNG 130: our mark, a photo sheet with a paper
# plane, and the word mark over an empty lower right, where the panel writes
# its headline) and the rename preview's arrow (PNG 131: a grey triangle
# pointing right). Run once by hand with ImageMagick; the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
convert -size 216x52 xc:none \
  -fill '#2f6fc4' -stroke none -draw 'roundrectangle 2,2 49,49 9,9' \
  -fill white -draw 'roundrectangle 9,12 38,40 3,3' \
  -fill '#9fd0f5' -draw 'rectangle 12,15 35,37' \
  -fill '#4e9a5e' -draw 'polygon 12,37 21,26 27,32 31,28 35,37' \
  -fill '#ffa23e' -draw 'polygon 26,8 47,4 36,24 33,16' \
  -fill '#d9822b' -draw 'polygon 33,16 47,4 35,18' \
  -font "$font" -pointsize 22 -fill '#2f6fc4' -draw "text 56,24 'Lumbrel'" \
  -depth 8 130.png
convert -size 16x16 xc:none \
  -fill '#8c8c8c' -stroke none -draw 'polygon 5,3 12,8 5,13' \
  -define png:color-type=6 -depth 8 131.png
