#!/usr/bin/env bash
# Redraws the program's emblem, an identity card with a portrait and three text
# lines: the 32 x 32 logo (GIF, transparent corners) and the window icons
# (16 x 16 and 32 x 32, 24-bit PNG). Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"

# draw_card SIZE BACKGROUND OUTPUT [EXTRA OPTIONS...]
draw_card() {
    local size=$1 background=$2 output=$3
    shift 3
    convert -size 320x320 xc:"$background" \
        -fill '#f4f8fc' -stroke '#1f3a93' -strokewidth 16 -draw "roundrectangle 16,56 303,263 28,28" \
        -stroke none -fill '#1f7a4d' -draw "rectangle 24,64 295,100" \
        -fill '#1f3a93' -draw "circle 92,160 92,130" -draw "ellipse 92,236 44,36 180,360" \
        -draw "rectangle 160,136 276,152" -draw "rectangle 160,172 276,188" \
        -draw "rectangle 160,208 240,224" \
        -resize "${size}x${size}" "$@" "$output"
}

draw_card 32 none logo.gif -channel A -threshold 50% +channel
draw_card 16 '#dfe8f2' PNG24:icon-16.png
draw_card 32 '#dfe8f2' PNG24:icon-32.png
