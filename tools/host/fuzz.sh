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

# Seeds, every one a skin stream made by the packer, so that mutations start from valid
# containers: each skin of the repository whole, its description alone and with one image at
# a time; the test bitmaps of every depth under a description that names them; an empty skin.
# And for the decoder: the independent packer's stream, long enough to rebuild the tree, and a
# plain text.
seeds=$dir/seeds folders=$dir/folders
rm -rf "$seeds" "$folders"
mkdir -p "$seeds" "$dir/corpus"
pack() {  # pack <name> <files...>
  local name=$1
  shift
  mkdir -p "$folders/$name"
  [ $# -eq 0 ] || cp "$@" "$folders/$name/"
  "$dir/skinpack" "$folders/$name" "$seeds/$name.skin"
}
for skin in "$root/tests/data/skin" "$root/resources/skin/lexdrill"; do
  name=$(basename "$skin")
  pack "$name" "$skin"/*
  pack "$name-ini" "$skin/Skin.ini"
  for image in "$skin"/*.[bB][mM][pP]; do
    pack "$name-$(basename "$image")" "$skin/Skin.ini" "$image"
  done
done
pack depths "$root"/tests/data/depth*.bmp
(cd "$root/tests/data" && for f in depth*.bmp; do printf 'Image=%s\r\n' "$f"; done) \
  >"$folders/depths/Skin.ini"
"$dir/skinpack" "$folders/depths" "$seeds/depths.skin"
pack empty
cp "$root/tests/data/lzhuf_packed.bin" "$seeds/"
cp "$root/tests/data/skin/Skin.ini" "$seeds/text"

# The seed is told, so that a run can be made again: the same seed from the same corpus tries
# the same inputs in the same order (LEXDRILL_FUZZ_SEED=N; CI starts with an empty corpus).
seed=${LEXDRILL_FUZZ_SEED:-$(($(od -An -N4 -tu4 /dev/urandom) % 2147483647 + 1))}
corpus_size=$(find "$dir/corpus" -type f | wc -l)
echo "fuzz: seed $seed, $corpus_size inputs kept in $dir/corpus"
log=$dir/fuzz.log
if ! "$dir/skin_fuzz" -seed="$seed" -max_total_time="$seconds" -max_len=65536 -timeout=30 \
    -artifact_prefix="$dir/" "$dir/corpus" "$seeds" >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "fuzz: skin_fuzz failed with seed $seed after $(grep -Eo '^#[0-9]+' "$log" | tail -n 1 | tr -d '#') runs;" \
    "the input is in $dir (crash-*, timeout-*, oom-*): $dir/skin_fuzz <that file> runs it alone"
  exit 1
fi
done=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)
echo "fuzz: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second' "$log" | tail -n 1)s with seed $seed, no failure;" \
  "$(grep -Eo 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]+' <<<"$done")"
