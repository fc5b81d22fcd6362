#!/usr/bin/env bash
# Remakes the windows' stored pictures with ImageMagick 6 (run by hand; the JPEGs are kept).
set -euo pipefail
cd "$(dirname "$0")"
c=/usr/bin/convert

# Updater window picture (Upgrading.Image1.jpg, 153x289): a blue band with a download arrow.
$c -size 153x289 gradient:'#1f5fa8-#cfe3f7' \
   -fill white -stroke '#174a85' -strokewidth 2 \
   -draw 'polygon 56,90 96,90 96,140 120,140 76,190 32,140 56,140' \
   -draw 'rectangle 32,204 120,214' \
   -quality 85 Upgrading.Image1.jpg
