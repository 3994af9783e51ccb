#!/usr/bin/env bash
# Draws the program's icon (a photo with a send arrow on a blue tile) at the
# sizes the window and the desktop use. Run once by hand with ImageMagick; its
# PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 256x256 xc:none \
  \( -size 232x232 gradient:'#3f8be0-#1f4e9c' \
     \( -size 232x232 xc:none -fill white -draw 'roundrectangle 0,0 231,231 44,44' \) \
     -compose DstIn -composite \) -geometry +12+12 -compose Over -composite \
  -fill white -draw 'roundrectangle 48,62 188,174 10,10' \
  -fill '#9fd0ff' -draw 'rectangle 60,74 176,162' \
  -fill '#ffd34d' -draw 'circle 150,98 162,98' \
  -fill '#2f7d4a' -draw 'polygon 60,162 100,108 132,144 146,128 176,162' \
  -fill white -stroke '#1f4e9c' -strokewidth 6 \
  -draw 'polygon 138,150 200,150 200,128 232,174 200,220 200,198 138,198' \
  parvel-256.png
for size in 16 32 48; do
  convert parvel-256.png -resize ${size}x${size} parvel-${size}.png
done
