#!/bin/bash
# Makes the program's icons from the 32 px quillmoor.png, each size scaled without smoothing so
# that the pixel art stays sharp (icoutils, ImageMagick): hicolor/<size>.png for Linux desktops,
# and quillmoor.ico for Windows, whose 256 px image is PNG-compressed as Windows expects.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p hicolor
for size in 16 24 48 64 128 256; do
    convert quillmoor.png -filter point -resize "${size}x${size}" -strip "PNG32:hicolor/$size.png"
done
cp quillmoor.png hicolor/32.png
icotool -c -b 32 -o quillmoor.ico hicolor/16.png hicolor/32.png hicolor/48.png hicolor/64.png \
    -r hicolor/256.png
