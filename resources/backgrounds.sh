#!/bin/bash
# Draws the editor windows' background bitmaps (24-bit PNG) with ImageMagick:
# a dark dusk gradient with faint rings spreading from a corner, dark enough that the
# windows' light label text stays readable everywhere.
set -euo pipefail
cd "$(dirname "$0")"

draw() { # name width height
    local name=$1 w=$2 h=$3 rings=()
    for r in 30 60 90 120 150 180 210 240; do
        rings+=(-draw "circle $((w - 20)),$((h + 10)) $((w - 20)),$((h + 10 - r))")
    done
    convert -size "${w}x${h}" -define gradient:angle=120 gradient:'#1b2f5c'-'#0f4a52' \
        -fill none -stroke 'rgba(170,220,255,0.10)' -strokewidth 2 "${rings[@]}" \
        -stroke 'rgba(255,214,140,0.22)' -strokewidth 1 \
        -draw "line 0,$((h - 14)) $w,$((h - 30))" \
        -type TrueColor -depth 8 -strip "PNG24:${name}"
}

draw configur.png 375 134
draw editicon.png 250 89
