#!/usr/bin/env bash
# Runs every benchmark in one go on a private display (after scripts/test.sh has set the machine
# up): the decoder natively, then under Wine the drawing routines, the form skin on a
# 1920 x 1080 virtual desktop, the client's start skinned against skinning off with the skin's
# load and a switch of the client's windows to the second test skin and back, and a request's
# wait on the GUI thread. Measure on a quiet machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"
wine_prefix
bash "$root/tools/build.sh" x86_64 >/dev/null
bash "$root/tools/host/fuzz.sh" 1 >/dev/null  # builds the native decoder benchmark too
LEXDRILL_XVFB=1 LEXDRILL_SCREEN=1920x1200 with_display
wine_warm_up
echo "== decoder (native)"
"${LEXDRILL_BUILD:-$root/build}/fuzz/bench_decode"
cd "$build64"
echo "== drawing routines"
wine bench/skin_bench.exe
echo "== form skin (1920 x 1080 virtual desktop)"
wine explorer /desktop=bench,1920x1080 bench/formskin_bench.exe
echo "== client start, skin load and skin switch"
wine bench/bench_startup.exe "$(winepath -w tests/secondskin.skin)"
echo "== a request's wait on the GUI thread"
wine bench/bench_antifreeze.exe
