#!/bin/bash
# Draws the About box's background bitmap (397 x 211, 24-bit PNG) with ImageMagick: a deep
# blue gradient, a soft glow behind the icon and two faint signal waves along the bottom,
# dark everywhere so that the white text reads.
set -euo pipefail
cd "$(dirname "$0")"

convert -size 397x211 -define gradient:angle=160 gradient:'#12307a'-'#030b2e' \
    \( -size 397x211 xc:none -fill 'rgba(120,170,255,0.18)' -draw 'circle 34,34 34,74' \
       -blur 0x18 \) -composite \
    -fill none -strokewidth 2 -stroke 'rgba(110,160,255,0.22)' \
    -draw 'path "M 0,190 C 60,160 110,220 170,188 S 280,150 397,182"' \
    -strokewidth 1 -stroke 'rgba(200,220,255,0.16)' \
    -draw 'path "M 0,200 C 70,178 120,226 190,198 S 300,166 397,196"' \
    -type TrueColor -depth 8 -strip "PNG24:frmabout.png"
