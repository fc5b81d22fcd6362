# Sourced by the scripts: the Wine environment every test and demo run uses.
# Expects $root (the checkout) and sets $build64, $WINEPREFIX and the locale.
build64=${LEXDRILL_BUILD:-$root/build}/x86_64
export WINEPREFIX=$build64/wineprefix
# The prefix of the tests that run on a screen of 120 pixels an inch (tests/CMakeLists.txt names
# it the same way): Wine takes the resolution from the prefix's registry at each program's start.
dpi_prefix=$WINEPREFIX-dpi120
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# A private prefix made by a plain wineboot (overrides during its creation break the browser's
# MIME registrations), with a virtual desktop as the default so windows behave as on Windows.
# A program that crashes prints its backtrace and ends: the debugger's dialog would stay on the
# display, take the focus from the tests beside it and hold the crashed test until its time-out.
# With an argument, the screen's resolution in pixels an inch (measured under Wine 8: the user's
# LogPixels wins over the machine's, and a change is seen by the next program started).
wine_prefix() {
  if [ ! -f "$WINEPREFIX/.lexdrill-ready-2" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    WINEDLLOVERRIDES= wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    if [ -n "${1:-}" ]; then
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    fi
    wineserver -w
    touch "$WINEPREFIX/.lexdrill-ready-2"
  fi
}

# An X display: the caller's, or a private Xvfb (of LEXDRILL_SCREEN, 1280x800 by default) that
# stops with the script.
with_display() {
  if [ -z "${DISPLAY:-}" ] || [ -n "${LEXDRILL_XVFB:-}" ]; then
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${LEXDRILL_SCREEN:-1280x800}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r display_number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=:$display_number
    # Each step may find nothing to stop; under set -e a failing step would end the trap there
    # and give the script its status.
    trap 'wineserver -k 2>/dev/null || true; WINEPREFIX=$dpi_prefix wineserver -k 2>/dev/null || true; kill $xvfb_pid 2>/dev/null || true' EXIT
  fi
}

# Starting the server and one program first keeps later starts fast.
wine_warm_up() {
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 || true
}
