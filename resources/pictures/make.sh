#!/usr/bin/env bash
# Makes the windows' pictures with ImageMagick; the JPEGs are committed, so the build does not
# need it. One calm palette for every picture: deep teal, sea green, sand and cream.
set -euo pipefail
cd "$(dirname "$0")"

teal='#1F4E5F'
teal_light='#3E8391'
sea='#8FB8B5'
sand='#E8D5A8'
cream='#FFFBF0'  # the labels' background colour in the about and information windows
jpeg=(-strip -quality 85 -sampling-factor 4:2:0)

# --- Login, about and information windows --------------------------------------------------

# Login banner: a teal band with soft rings at the right and a sand rule at its foot.
convert -size 333x57 gradient:"$teal"-"$teal_light" -rotate 90 -resize '333x57!' \
  -fill none -stroke "rgba(255,251,240,0.18)" -strokewidth 2 \
  -draw 'circle 290,28 290,6' -draw 'circle 290,28 290,14' -draw 'circle 250,40 250,24' \
  -stroke none -fill "rgba(143,184,181,0.35)" -draw 'circle 310,10 310,-14' \
  -fill "$sand" -draw 'rectangle 0,55 332,56' \
  "${jpeg[@]}" Unit1.Image1.jpg

# Side picture of the about and information windows: a teal column with a stack of pages.
convert -size 289x153 gradient:"$teal"-"$teal_light" -rotate 90 -flop -resize '153x289!' \
  -fill "rgba(255,251,240,0.10)" -draw 'roundrectangle 28,150 128,240 6,6' \
  -fill "rgba(255,251,240,0.16)" -draw 'roundrectangle 34,138 122,226 6,6' \
  -fill "rgba(255,251,240,0.85)" -draw 'roundrectangle 40,126 116,212 6,6' \
  -stroke "$sea" -strokewidth 2 -draw 'line 50,146 106,146' -draw 'line 50,160 106,160' \
  -draw 'line 50,174 94,174' -stroke none \
  -fill "$sand" -draw 'circle 108,60 108,44' \
  -fill "rgba(143,184,181,0.45)" -draw 'circle 52,84 52,62' \
  -fill "$sand" -draw 'rectangle 151,0 152,288' \
  "${jpeg[@]}" Contact.Image1.jpg

# Backdrop of the labels: cream, with a quiet sea and sand border along the foot.
convert -size 336x289 xc:"$cream" \
  -fill "rgba(143,184,181,0.25)" -draw 'rectangle 0,236 335,288' \
  -fill "$sand" -draw 'rectangle 0,234 335,235' \
  -fill "rgba(62,131,145,0.12)" -draw 'circle 300,262 300,226' \
  "${jpeg[@]}" Contact.Image2.jpg

# --- End of the login, about and information windows' pictures -----------------------------
