#!/usr/bin/env bash
# Remakes the windows' stored pictures with ImageMagick 6 (run by hand; the JPEGs are kept).
set -euo pipefail
cd "$(dirname "$0")"
c=/usr/bin/convert

# Main window background: a soft blue-grey gradient under a faint diagonal weave.
$c -size 1024x555 gradient:'#f3f7fb'-'#c9d9ea' \
   \( -size 1024x555 tile:pattern:hs_diagcross -alpha copy -channel A -evaluate multiply 0.06 +channel \
      -fill '#5a7fa6' -colorize 100 \) -composite \
   -sampling-factor 4:2:0 -strip -interlace none -quality 85 Index.Image2.jpg

# Updater window picture (Upgrading.Image1.jpg, 153x289): a blue band with a download arrow.
$c -size 153x289 gradient:'#1f5fa8-#cfe3f7' \
   -fill white -stroke '#174a85' -strokewidth 2 \
   -draw 'polygon 56,90 96,90 96,140 120,140 76,190 32,140 56,140' \
   -draw 'rectangle 32,204 120,214' \
   -quality 85 Upgrading.Image1.jpg
