#!/usr/bin/env bash
# Draws the program's icon, a stylised pair of headphones with a sound wave
# between the ear cups, with ImageMagick. The file name's ending picks the
# format: a .png is one square picture of SIZE pixels (default 256), a .ico
# holds the usual Windows sizes. Usage: draw_icon.sh OUTFILE [SIZE]
set -euo pipefail

out=${1:?usage: draw_icon.sh OUTFILE [SIZE]}
size=${2:-256}
mkdir -p "$(dirname "$out")"

picture=(
  -size 256x256 xc:none
  # headband
  -fill none -stroke '#2b3a55' -strokewidth 20 -draw 'arc 34,28 222,216 180,360'
  # ear cups, with lighter cushions facing inwards
  -stroke none -fill '#2b3a55'
  -draw 'roundrectangle 18,112 70,222 16,16' -draw 'roundrectangle 186,112 238,222 16,16'
  -fill '#e8563f'
  -draw 'roundrectangle 62,126 82,208 8,8' -draw 'roundrectangle 174,126 194,208 8,8'
  # the sound between them
  -fill none -stroke '#e8563f' -strokewidth 8
  -draw 'line 104,150 104,184' -draw 'line 120,136 120,198'
  -draw 'line 136,128 136,206' -draw 'line 152,144 152,190'
)

case $out in
  *.ico)
    convert "${picture[@]}" -define icon:auto-resize=256,64,48,32,16 "$out" ;;
  *)
    convert "${picture[@]}" -resize "${size}x${size}" "$out" ;;
esac
