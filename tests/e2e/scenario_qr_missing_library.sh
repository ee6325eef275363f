#!/bin/bash
# PsyQrDcd.dll missing from the program's directory: the first scan names it in an error box and the program
# ends at once, leaving no 2wm.bmp. A copy in the current directory is not taken instead.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/qr_lib.sh"

rm -f "$RUN_DIR/PsyQrDcd.dll"
elsewhere=$(mktemp -d /tmp/vantaro-e2e-cwd.XXXXXX)
trap 'cleanup; rm -rf "$elsewhere"' EXIT
cp "$VANTARO_BIN/../src/qr/PsyQrDcd.dll" "$elsewhere/" 2>/dev/null || cp "$VANTARO_BIN/PsyQrDcd.dll" "$elsewhere/"
printf '[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=a 1 pa\r\n' > "$RUN_DIR/config.ini"
# Started by the shell, from another current directory that holds the library.
(cd "$elsewhere" && exec wine explorer /desktop=shell,1024x768 "$(winpath "$RUN_DIR/$EXE")" >/dev/null 2>&1 </dev/null) &
PIDS+=($!)
window=$(main_window) || fail "the main window did not appear"

capture=$(open_scanner "$window")
press "$capture" 30 30
move_to "$capture" 200 200
release "$capture" 200 200
box=$(wt wait "#32770" "错误" 15000) || fail "no error box for the missing library"
text=$(wt dialog-text "$box")
grep -q "PsyQrDcd.dll" <<<"$text" || fail "the box does not name the library: $text"
grep -qF "$(winpath "$RUN_DIR")" <<<"$text" || fail "the box does not say where the library was looked for: $text"
import -window root "$ARTIFACTS/qr-missing-library.png" 2>/dev/null || true
wt command "$box" 1 >/dev/null   # OK
wait_for 10 bash -c "! wine '$VANTARO_BIN/wintool.exe' find $MAIN_CLASS '' >/dev/null 2>&1" ||
  fail "the program did not end after the box"
wait_for 10 bash -c "[ \"\$(wine '$VANTARO_BIN/wintool.exe' count-processes '$EXE' 2>/dev/null | tr -d '\r')\" = 0 ]" ||
  fail "the program's process is still running"
[ ! -e "$RUN_DIR/2wm.bmp" ] || fail "2wm.bmp remained when the program ended"
echo "PASS [$SCENARIO]"
