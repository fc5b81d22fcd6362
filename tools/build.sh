#!/usr/bin/env bash
# Configures and builds one or both targets: tools/build.sh [x86_64|i686|all] [extra cmake args]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
shift || true
for arch in x86_64 i686; do
  [ "$which" = all ] || [ "$which" = "$arch" ] || continue
  dir=${LEXDRILL_BUILD:-$root/build}/$arch
  args=(-DCMAKE_TOOLCHAIN_FILE="$root/tools/toolchain-$arch-w64-mingw32.cmake" -DCMAKE_BUILD_TYPE=Release)
  if [ "$arch" = x86_64 ]; then
    prefix=$dir/wineprefix
    args+=("-DCMAKE_CROSSCOMPILING_EMULATOR=env;WINEPREFIX=$prefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mshtml=;LANG=zh_CN.UTF-8;LC_ALL=zh_CN.UTF-8;$root/tools/wine-run.sh")
  else
    # 32-bit programs cannot run here: build them, discover no tests.
    args+=(-DLEXDRILL_NO_TEST_RUN=ON)
  fi
  [ -f "$dir/build.ninja" ] || cmake -S "$root" -B "$dir" -G Ninja "${args[@]}" "$@" >/dev/null
  cmake --build "$dir"
done
