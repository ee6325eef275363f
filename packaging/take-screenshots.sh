#!/bin/bash
# Takes the user guide's own screenshots (docs/screenshots/log-running.png, start-balloon.png, about-box.png) from
# the release build under Wine with Xvfb: one server, the stand-in engine started with "启动", the log tab, the About box.
# Usage: bash packaging/take-screenshots.sh   (after cmake --build --preset release)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BIN=$ROOT/build/release/bin
OUT=$ROOT/docs/screenshots
export VANTARO_WINEPREFIX="$ROOT/build/release/screenshot-wineprefix"
export DISPLAY="${VANTARO_SCREENSHOT_DISPLAY:-:96}"
# shellcheck disable=SC1091
source scripts/wine-env.sh 2>/dev/null
RUN=/tmp/vantaro-screens   # a fixed folder: its path shows in the log tab
rm -rf "$RUN"
trap 'wt command "$(wt find vantaroToolsMainWindow "")" 2017 >/dev/null 2>&1 || true; vantaro_wine_stop; rm -rf "$RUN"' EXIT
wt() { wine "$BIN/wintool.exe" "$@" 2>/dev/null | tr -d '\r'; }

mkdir -p "$RUN/engine"
cp "$BIN/vantaro Tools.exe" "$ROOT/build/release/src/qr/PsyQrDcd.dll" "$RUN/"
cp "$ROOT/build/release/engine/vantaro-local.exe" "$RUN/engine/"
engine=$(winepath -w "$RUN/engine/vantaro-local.exe" 2>/dev/null)
printf '[BasisConfig]\r\nFile=%s\r\nLocal port=8100\r\nProxy Mode=0\r\n[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=192.0.2.10 8388 demo-password\r\n' \
  "$engine" | iconv -f UTF-8 -t GBK >"$RUN/config.ini"

(cd "$RUN" && exec wine explorer /desktop=shell,1024x768 "vantaro Tools.exe" >/dev/null 2>&1 </dev/null) &
window=$(wt wait vantaroToolsMainWindow "" 20000)
sleep 2
# On a fresh desktop the window sits at its top left corner (564 x 350); the About box is centred on the screen.
xdotool mousemove 409 299 click 1           # 启动
sleep 4
xdotool mousemove 150 36 click 1            # the tab 日志
sleep 1
import -window root "$RUN/running.png"
convert "$RUN/running.png" -crop 564x350+0+0 +repage "$OUT/log-running.png"
convert "$RUN/running.png" -crop 200x104+824+664 +repage "$OUT/start-balloon.png"

wt post "$window" 0x111 2015 0 >/dev/null   # tray item 关于
box=$(wt wait "#32770" "关于" 10000)
sleep 1
import -window root "$RUN/about.png"
convert "$RUN/about.png" -crop 334x160+345+294 +repage "$OUT/about-box.png"
wt command "$box" 1 >/dev/null
echo "saved log-running.png, start-balloon.png and about-box.png in $OUT"
