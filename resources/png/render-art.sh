#!/usr/bin/env bash
# Renders our own SVG art into the PNGs the windows load: the empty photo
# list's picture (129), the logo panel's logo (130) and the rename preview's
# arrow (131), each at its own size and at twice it (<id>@2x.png) for
# high-density screens. Run once by hand with vips (libvips-tools, which
# renders SVG through librsvg); the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")"
for id in 129 130 131; do
  vips copy "$id.svg[scale=1]" "$id.png"
  vips copy "$id.svg[scale=2]" "$id@2x.png"
done
