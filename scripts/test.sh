#!/usr/bin/env bash
# Sets up a fresh machine, builds both targets and runs every test under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
source "$root/tools/wine-env.sh"
wine_prefix
bash "$root/tools/build.sh" all
with_display
wine_warm_up
cd "$build64"
# Pictures of skinned windows, for looking at: build/gallery/*.png.
wine tests/skin_gallery.exe "${LEXDRILL_BUILD:-$root/build}/gallery"
bash "$root/tools/host/fuzz.sh" 60
ctest --output-on-failure --timeout 300 -j "$(nproc)" "$@"
