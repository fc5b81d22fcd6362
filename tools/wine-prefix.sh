#!/usr/bin/env bash
# CTest's set-up of a Wine prefix for tests on a screen of another resolution:
# tools/wine-prefix.sh PREFIX LOGPIXELS. Makes the prefix once and keeps its server running for
# the tests (their clean-up stops it). The server and Wine's helper processes outlive the script:
# they must not hold its output, or CTest waits for them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/wine-env.sh"
export WINEPREFIX=$1
wine_prefix "$2"
wine_warm_up </dev/null >/dev/null 2>&1
