#!/usr/bin/env bash
# Builds the skin fuzz target with clang (AddressSanitizer, UndefinedBehaviorSanitizer) and runs
# it for a bounded time on seeds made by the packer: tools/host/fuzz.sh [seconds]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
dir=${LEXDRILL_BUILD:-$root/build}/fuzz
[ -f "$dir/build.ninja" ] || CXX=clang++ cmake -S "$root/tools/host" -B "$dir" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEXDRILL_FUZZ=ON >/dev/null
cmake --build "$dir" >/dev/null

# Seeds: the test skin, a skin of its description alone, an empty skin and a plain text.
seeds=$dir/seeds
rm -rf "$seeds" "$dir/folders"
mkdir -p "$seeds" "$dir/corpus" "$dir/folders/ini" "$dir/folders/empty"
cp "$root/tests/data/skin/Skin.ini" "$dir/folders/ini/"
"$dir/skinpack" "$root/tests/data/skin" "$seeds/fixture.skin"
"$dir/skinpack" "$dir/folders/ini" "$seeds/ini.skin"
"$dir/skinpack" "$dir/folders/empty" "$seeds/empty.skin"
cp "$root/tests/data/skin/Skin.ini" "$seeds/text"

log=$dir/fuzz.log
if ! "$dir/skin_fuzz" -max_total_time="$seconds" -max_len=16384 -timeout=30 \
    -artifact_prefix="$dir/" "$dir/corpus" "$seeds" >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "fuzz: skin_fuzz failed; the input is in $dir (crash-*, timeout-*, oom-*)"
  exit 1
fi
echo "fuzz: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second' "$log" | tail -n 1)s, no failure"
