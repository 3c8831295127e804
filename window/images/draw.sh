#!/usr/bin/env bash
# Redraws the program's emblem, an identity card with a portrait and three text
# lines: the 32 x 32 logo (GIF, transparent corners), the window and desktop
# icons (16 to 256 pixels, 24-bit PNG) and the scalable icon (SVG) that the
# desktop's hicolor theme takes. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"

# The emblem on a 320 x 320 canvas, once for ImageMagick and once as SVG below;
# the two must draw the same shapes.
card_border='#1f3a93' card_face='#f4f8fc' card_band='#1f7a4d' icon_background='#dfe8f2'

# draw_card SIZE BACKGROUND OUTPUT [EXTRA OPTIONS...]
draw_card() {
    local size=$1 background=$2 output=$3
    shift 3
    convert -size 320x320 xc:"$background" \
        -fill "$card_face" -stroke "$card_border" -strokewidth 16 -draw "roundrectangle 16,56 303,263 28,28" \
        -stroke none -fill "$card_band" -draw "rectangle 24,64 295,100" \
        -fill "$card_border" -draw "circle 92,160 92,130" -draw "ellipse 92,236 44,36 180,360" \
        -draw "rectangle 160,136 276,152" -draw "rectangle 160,172 276,188" \
        -draw "rectangle 160,208 240,224" \
        -resize "${size}x${size}" "$@" -define png:exclude-chunks=date,time "$output"
}

draw_card 32 none logo.gif -channel A -threshold 50% +channel
for size in 16 24 32 48 64 128 256; do
    draw_card "$size" "$icon_background" "PNG24:icon-$size.png"
done

cat >icon.svg <<SVG
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="320" height="320" viewBox="0 0 320 320">
  <rect width="320" height="320" fill="$icon_background"/>
  <rect x="16" y="56" width="287" height="207" rx="28" ry="28"
        fill="$card_face" stroke="$card_border" stroke-width="16"/>
  <rect x="24" y="64" width="272" height="37" fill="$card_band"/>
  <g fill="$card_border">
    <circle cx="92" cy="160" r="30"/>
    <path d="M 48 236 A 44 36 0 0 1 136 236 Z"/>
    <rect x="160" y="136" width="117" height="17"/>
    <rect x="160" y="172" width="117" height="17"/>
    <rect x="160" y="208" width="81" height="17"/>
  </g>
</svg>
SVG
