#!/usr/bin/env bash
# Renders the committed PNG icons from the hand-written SVGs. Run it after changing an SVG and
# commit the PNGs with it: the build does not render them, so it needs no SVG tool.
set -euo pipefail
icons="$(cd "$(dirname "$0")" && pwd)/linux/icons/hicolor"
if ! command -v rsvg-convert >/dev/null 2>&1; then
  echo "render-icons: rsvg-convert is missing (Debian package librsvg2-bin)" >&2
  exit 1
fi
count=0
for svg in "$icons"/scalable/apps/*.svg; do
  count=$((count + 1))
  name=$(basename "$svg" .svg)
  for size in 48 256; do
    mkdir -p "$icons/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" --output "$icons/${size}x${size}/apps/$name.png" "$svg"
  done
done
echo "render-icons: rendered $count icons at 48 and 256 px"
