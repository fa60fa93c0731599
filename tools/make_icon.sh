#!/usr/bin/env bash
# Draws the program icon (a play mark on a round teal badge) into res/launcher.ico.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for s in 16 32 48; do
  convert -size ${s}x${s} xc:none \
    -fill '#0e5a6b' -draw "circle $((s/2)),$((s/2)) $((s/2)),1" \
    -fill '#2fd0c4' -draw "circle $((s/2)),$((s/2)) $((s/2)),$((s/8+1))" \
    -fill '#ffffff' -draw "polygon $((s*3/8)),$((s*5/16)) $((s*3/8)),$((s*11/16)) $((s*11/16)),$((s/2))" \
    +set date:create +set date:modify -define png:exclude-chunks=date,time "$tmp/icon_$s.png"
done
convert "$tmp/icon_16.png" "$tmp/icon_32.png" "$tmp/icon_48.png" res/launcher.ico
