#!/usr/bin/env bash
# Sets up this machine, builds the client and starts it under Wine on a demo installation
# folder. With no display it runs on a private Xvfb, saves a screenshot and prints its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
source "$root/tools/wine-env.sh"
wine_prefix
bash "$root/tools/build.sh" x86_64

demo=${LEXDRILL_BUILD:-$root/build}/demo
mkdir -p "$demo/data"
cp "$build64/shell/lexdrill.exe" "$demo/"
# The settings files are GBK, as the client reads them.
iconv -f UTF-8 -t GBK > "$demo/Config.INI" <<'INI'
[OLEDB5]
pro=2026.1
kaoshi=司法考试
ksbh=SF2026
HZSID=demo
wz=http://www.brightdesk.cn/
INI
iconv -f UTF-8 -t GBK > "$demo/data/brightdesk.INI" <<'INI'
[OLEDB5]
jxs=演示授权商
lxfs=010-00000000
wz=http://www.brightdesk.cn/
xxjs=http://www.brightdesk.cn/
INI

cd "$demo"
if [ -n "${DISPLAY:-}" ] && [ -z "${LEXDRILL_XVFB:-}" ]; then
  wine_warm_up
  exec wine ./lexdrill.exe
fi
with_display
wine_warm_up
wine ./lexdrill.exe >/dev/null 2>&1 &
sleep 8
# Under Wine the database cannot be opened: answer its message as a user would, then look.
xdotool key Return
sleep 3
import -display "$DISPLAY" -window root "$demo/screenshot.png"
echo "screenshot: $demo/screenshot.png"
