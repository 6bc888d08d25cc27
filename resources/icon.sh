#!/bin/bash
# Makes quillmoor.ico, the Windows program's icon, from the 32 px quillmoor.png: 16, 32, 48 and
# 64 px, each scaled without smoothing so that the pixel art stays sharp (icoutils, ImageMagick).
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 48 64; do
    convert quillmoor.png -filter point -resize "${size}x${size}" "$work/$size.png"
done
icotool -c -o quillmoor.ico "$work/16.png" quillmoor.png "$work/48.png" "$work/64.png"
