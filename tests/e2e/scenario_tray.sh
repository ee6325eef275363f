#!/bin/bash
# The tray icon from outside: right click pops the menu, left click shows the hidden window, close requests hide.
source "$(dirname "$0")/lib.sh"

start_directly   # not from the shell: the window stays hidden and the program is reached through its icon
window=$(main_window) || fail "the main window was not created"
# Not started from the shell, the engine is started at once; with no engine file chosen that is refused.
box=$(wt wait "#32770" "错误" 10000) || fail "the start at launch showed no message"
expect_eq "start at launch without an engine file" "文件位置 不能为空！" "$(wt dialog-text "$box")"
wt command "$box" 1 >/dev/null   # OK
sleep 1
wt visible "$window" && fail "started by another program, the window should stay hidden"

xdotool mousemove 700 600
wt post "$window" 11685 1 517 >/dev/null            # right button up on the icon
menu=$(wt wait "#32768" "" 5000) || fail "right click did not pop up the tray menu"
sleep 0.5
xdotool mousemove 630 618 && sleep 0.3 && xdotool mousemove 635 619   # hover "代理模式" to open its submenu
sleep 0.5
import -window root -crop 520x330+504+418 "$ARTIFACTS/tray-menu.png"
wt post "$menu" 0x100 0x1B 0 >/dev/null             # Esc closes the menu
xdotool key Escape

wt post "$window" 11685 1 514 >/dev/null            # left button up
wait_for 5 wt visible "$window" || fail "left click should show the hidden window"
ip_box=$(wt child "$window" 1006)
for request in "$window 0x10 0 0" "$window 0x112 0xF060 0" "$ip_box 0x100 0x1B 0"; do   # close button, Alt+F4, Esc
  # shellcheck disable=SC2086
  wt post $request >/dev/null
  wait_for 5 bash -c "! wine '$VANTARO_BIN/wintool.exe' visible $window 2>/dev/null" || fail "close request [$request] should hide"
  wt find "$MAIN_CLASS" "" >/dev/null || fail "a close request must not end the program"
  wt post "$window" 11685 1 515 >/dev/null          # double click shows it again
  wait_for 5 wt visible "$window" || fail "double click should show the window"
done
echo "PASS [$SCENARIO]"
