#!/usr/bin/env bash
# Runs the whole suite COUNT times in a row, the way scripts/test.sh runs it (a fresh X display
# and Wine server each time, all cores), to find the tests that fail by chance before CI does.
# Usage: scripts/flakes.sh [COUNT] [BUILD] [ctest arguments...]
#   COUNT  runs (5 by default); BUILD  the x86_64 build folder or the folder holding it
#   (build/x86_64 by default). Logs go to BUILD/flakes/<start time>/run-N.log.
# Ends with each failing test and how many runs it failed in, and the time of each run; exits
# non-zero when any run failed.
# LEXDRILL_FLAKES_LOAD=1 loads the machine the whole time with a second build beside the runs:
# the i686 target built from clean in a scratch folder, over and over.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-5}
build=${2:-$root/build/x86_64}
shift $(($# < 2 ? $# : 2))
[ -f "$build/CTestTestfile.cmake" ] || build=$build/x86_64
build=$(cd "$build" && pwd) || exit 2
[ -f "$build/CTestTestfile.cmake" ] || { echo "no tests built in $build" >&2; exit 2; }
logs=$build/flakes/$(date +%Y%m%d-%H%M%S)
mkdir -p "$logs"

if [ -n "${LEXDRILL_FLAKES_LOAD:-}" ]; then
  scratch=$(mktemp -d)
  (
    while true; do
      rm -rf "$scratch/i686"
      LEXDRILL_BUILD=$scratch bash "$root/tools/build.sh" i686 >/dev/null 2>&1
    done
  ) &
  loader=$!
  # The loop and every process of the build under it, gathered before any is stopped.
  tree() { echo "$1"; for child in $(pgrep -P "$1"); do tree "$child"; done; }
  trap 'kill $(tree $loader) 2>/dev/null; wait $loader 2>/dev/null; rm -rf "$scratch"' EXIT
  # Stopped from outside, the script still stops its build.
  trap 'exit 143' INT TERM
fi

declare -A failures=()
times=()
failed_runs=0
for ((run = 1; run <= count; ++run)); do
  log=$logs/run-$run.log
  start=$(date +%s)
  # A subshell per run: with_display's trap stops its Xvfb and Wine server when the run ends.
  (
    source "$root/tools/wine-env.sh"
    build64=$build
    export WINEPREFIX=$build/wineprefix
    wine_prefix
    LEXDRILL_XVFB=1 with_display
    wine_warm_up
    cd "$build" && ctest --output-on-failure --timeout 300 -j "$(nproc)" "$@"
  ) >"$log" 2>&1
  status=$?
  seconds=$(($(date +%s) - start))
  times+=("$seconds")
  # ctest lists the failed tests as "  12 - Suite.Name (Failed)" at the end of its output.
  mapfile -t failed < <(sed -n '/The following tests FAILED:/,$p' "$log" | sed -n 's/^[[:space:]]*[0-9]\+ - \(.*\) (.*)$/\1/p')
  if [ "$status" -ne 0 ]; then
    failed_runs=$((failed_runs + 1))
    [ ${#failed[@]} -eq 0 ] && failed=("(ctest exited $status: see $log)")
  fi
  for name in "${failed[@]}"; do
    failures[$name]=$((${failures[$name]:-0} + 1))
  done
  echo "run $run/$count: ${seconds} s, ${#failed[@]} failed (load $(cut -d' ' -f1 /proc/loadavg))${failed:+: ${failed[*]}}"
done

echo
echo "failing tests (runs failed of $count):"
[ ${#failures[@]} -eq 0 ] && echo "  none"
for name in "${!failures[@]}"; do
  echo "  ${failures[$name]}  $name"
done | sort -rn
echo "time of each run (s): ${times[*]}"
echo "$((count - failed_runs)) passed, $failed_runs failed"
[ "$failed_runs" -eq 0 ]
