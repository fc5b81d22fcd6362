#!/usr/bin/env bash
# Prepares a Debian 12 machine to build and test lexdrill: cross compilers, Wine, Xvfb and the
# image tools, then libjpeg-turbo and GoogleTest cross-built for both Windows targets.
# Idempotent: a second run only checks what is already there.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cache=${LEXDRILL_CACHE:-$HOME/.cache/lexdrill}
mkdir -p "$cache"

# wine64-preloader holds Wine's fixed addresses (the shared user data page among them) before
# anything else is mapped; without it about one start in a few thousand finds the page taken and
# ends at once with exit code 1.
packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64 wine64-preloader xvfb xdotool imagemagick cmake ninja-build googletest python3
  nasm dpkg-dev fonts-wqy-microhei fonts-wine clang libclang-rt-14-dev locales g++
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Chinese locale gives Wine code page 936; generating it keeps the shell quiet too.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# Source packages come from the same Debian sources, with deb-src enabled.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > /etc/apt/sources.list.d/lexdrill-src.list
  fi
  apt-get update -qq
fi

# libjpeg-turbo (version 62 API), static, for each target.
src=$(ls -d "$cache"/libjpeg-turbo-*/ 2>/dev/null | head -n 1 || true)
if [ -z "$src" ]; then
  (cd "$cache" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
  src=$(ls -d "$cache"/libjpeg-turbo-*/ | head -n 1)
fi

for arch in x86_64 i686; do
  triple=$arch-w64-mingw32
  toolchain=$here/tools/toolchain-$triple.cmake
  prefix=$cache/$triple
  if [ ! -f "$prefix/lib/libjpeg.a" ]; then
    rm -rf "$cache/build-jpeg-$triple"
    cmake -S "$src" -B "$cache/build-jpeg-$triple" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF \
      -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON -Wno-dev >/dev/null
    cmake --build "$cache/build-jpeg-$triple" >/dev/null
    cmake --install "$cache/build-jpeg-$triple" >/dev/null
  fi
  if [ ! -f "$prefix/lib/libgtest.a" ]; then
    rm -rf "$cache/build-gtest-$triple"
    cmake -S /usr/src/googletest -B "$cache/build-gtest-$triple" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF -Wno-dev >/dev/null
    cmake --build "$cache/build-gtest-$triple" >/dev/null
    cmake --install "$cache/build-gtest-$triple" >/dev/null
  fi
done
echo "setup: ready ($cache)"
