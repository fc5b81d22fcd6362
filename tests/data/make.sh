#!/usr/bin/env bash
# Remakes the picture files the tests read, with ImageMagick 6 (run once; the files are kept).
set -euo pipefail
cd "$(dirname "$0")"
c=/usr/bin/convert
$c rgb5x3.ppm -type Bilevel BMP3:depth1.bmp
$c rgb5x3.ppm -type Palette -compress None BMP3:depth4.bmp
$c rgb5x5.ppm -type Palette -compress None BMP3:depth8.bmp
$c rgb5x3.ppm -type TrueColor BMP3:depth24.bmp
# A version 5 header with bit fields; the first pixel half transparent.
$c rgb5x3.ppm -alpha set -channel A -fx "i==0&&j==0?0.5:1" +channel BMP:depth32.bmp
$c -size 16x8 'xc:rgb(200,40,40)' -quality 100 red.jpg
$c rgb5x5.ppm -type Grayscale -quality 90 gray.jpg
