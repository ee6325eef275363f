#!/bin/bash
# First start on an empty folder, a refused second start, and exit through the tray item.
source "$(dirname "$0")/lib.sh"

start_from_shell
window=$(main_window) || fail "the main window did not appear"
wait_for 5 wt visible "$window" || fail "started from the shell, the window should be visible"
expect_eq "caption" "vantaro Tools    v1.0.1" "$(wt text "$window")"
wait_for 5 test -f "$RUN_DIR/config.ini" || fail "config.ini was not written"
expect_eq "config.ini after the first start" "$(printf '[BasisConfig]\nFile=')" "$(config_text)"
import -window root "$ARTIFACTS/startup-main-window.png"

(cd "$RUN_DIR" && exec wine "$EXE" >/dev/null 2>&1 </dev/null) &
second=$!
box=$(wt wait "#32770" "错误" 15000) || fail "the second start showed no message"
expect_eq "second start message" "不能重复运行vantaro Tools！" "$(wt dialog-text "$box")"
wt command "$box" 1 >/dev/null   # OK
set +e; wait "$second"; code=$?; set -e
expect_eq "exit code of the refused second start" 0 "$code"
wt visible "$window" || fail "the running instance must stay as it was"

exit_program || fail "the tray item 退出 did not end the program"
echo "PASS [$SCENARIO]"
