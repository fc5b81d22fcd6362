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

# --- Login, about and information windows ---------------------------------------------------
# The same blues, a warm sand accent, and cream where the labels of the about and information
# windows lie (their background colour).
deep='#174a85'
mid='#3f7dc0'
pale='#cfe3f7'
sand='#e8d5a8'
cream='#fffbf0'
jpeg=(-sampling-factor 4:2:0 -strip -interlace none -quality 85)

# Login banner: a blue band with soft rings at the right and a sand rule at its foot.
$c -size 57x333 gradient:"$mid"-"$deep" -rotate 90 \
   -fill none -stroke 'rgba(255,251,240,0.22)' -strokewidth 2 \
   -draw 'circle 290,28 290,6' -draw 'circle 290,28 290,14' -draw 'circle 250,40 250,24' \
   -stroke none -fill 'rgba(207,227,247,0.30)' -draw 'circle 310,10 310,-14' \
   -fill "$sand" -draw 'rectangle 0,55 332,56' \
   "${jpeg[@]}" Unit1.Image1.jpg

# Side picture: a blue column with a stack of pages.
$c -size 289x153 gradient:"$deep"-"$mid" -rotate 90 -flop \
   -fill 'rgba(255,251,240,0.10)' -draw 'roundrectangle 28,150 128,240 6,6' \
   -fill 'rgba(255,251,240,0.16)' -draw 'roundrectangle 34,138 122,226 6,6' \
   -fill 'rgba(255,251,240,0.88)' -draw 'roundrectangle 40,126 116,212 6,6' \
   -stroke "$mid" -strokewidth 2 -draw 'line 50,146 106,146' -draw 'line 50,160 106,160' \
   -draw 'line 50,174 94,174' -stroke none \
   -fill "$sand" -draw 'circle 108,60 108,44' \
   -fill 'rgba(207,227,247,0.40)' -draw 'circle 52,84 52,62' \
   -fill "$sand" -draw 'rectangle 151,0 152,288' \
   "${jpeg[@]}" Contact.Image1.jpg

# Backdrop of the labels: cream, with a quiet pale-blue band and a sand rule along the foot.
$c -size 336x289 xc:"$cream" \
   -fill "$pale" -draw 'rectangle 0,236 335,288' \
   -fill "$sand" -draw 'rectangle 0,234 335,235' \
   -fill 'rgba(63,125,192,0.12)' -draw 'circle 300,262 300,226' \
   "${jpeg[@]}" Contact.Image2.jpg
# --- End of the login, about and information windows' pictures ------------------------------
