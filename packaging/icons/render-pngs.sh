#!/usr/bin/env bash
# Renders the icon's PNG sizes from tessarin.svg; run it after changing the drawing and
# commit the PNGs with it. Needs rsvg-convert (Debian: librsvg2-bin), which the build
# itself does not.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 256; do
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio tessarin.svg --output "tessarin-$size.png"
done
