#!/bin/bash
# The QR screen scanner as a user runs it: a share-link code on the screen, the capture window from the main
# window's button, a drag over the code, and the node imported and saved with the report on the clipboard; then
# a scan closed with Esc, which leaves no file and the clipboard as it was.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/qr_lib.sh"
trap 'close_picture; cleanup' EXIT

place_qr_library
make_qr_picture "$RUN_DIR/code.bmp" "$SHARE_LINK"   # 148 x 148 pixels
printf '[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=a 1 pa\r\n' > "$RUN_DIR/config.ini"
start_from_shell
window=$(main_window) || fail "the main window did not appear"
wait_for 5 wt visible "$window" || fail "the main window is not visible"
show_picture "$RUN_DIR/code.bmp" 40 40
wt set-clipboard "before" || fail "could not set the clipboard"
node_count() { config_text | sed -n 's/^Num=//p'; }
before=1

capture=$(open_scanner "$window")
wt visible "$capture" || fail "the capture window is not visible"
! wt enabled "$window" || fail "the main window must be disabled while the scanner is open"
! wt topmost "$capture" || fail "the capture window must not be kept above other windows"
wt above "$window" "$capture" || fail "the topmost main window must stay above the capture window"
close_picture   # gone from the live screen: the scan works on the frozen screenshot
press "$capture" 30 30
move_to "$capture" 120 120
move_to "$capture" 200 200
sleep 0.5
import -window root "$ARTIFACTS/qr-capture-window.png" 2>/dev/null || true
release "$capture" 200 200
wait_for 15 capture_gone || fail "the capture window did not close after the release"

wait_for 5 wt enabled "$window" || fail "the main window was not enabled again"
config=$(config_text)
after=$((before + 1))
grep -qx "Num=$after" <<<"$config" || fail "no node added: $config"
grep -qx "Node$after=192.0.2.1 8388 pass" <<<"$config" || fail "the scanned node was not saved: $config"
report=$(wt clipboard)
grep -q "^已解码数据 1 \[模型版本: 3, 等级: M(15%)\]$" <<<"$report" || fail "no report heading on the clipboard: $report"
grep -qx "$SHARE_LINK" <<<"$report" || fail "the report lacks the link: $report"
grep -q "^符号位置：(" <<<"$report" || fail "the report lacks the position: $report"
[ ! -e "$RUN_DIR/2wm.bmp" ] || fail "2wm.bmp remained after the scan"

# Esc: no file, the clipboard unchanged, nothing imported.
wt set-clipboard "kept" || fail "could not set the clipboard"
capture=$(open_scanner "$window")
press "$capture" 30 30
move_to "$capture" 200 200
wt post "$capture" $WM_KEYDOWN 0x1B 0 >/dev/null
wait_for 10 capture_gone || fail "Esc did not close the capture window"
expect_eq "clipboard after Esc" "kept" "$(wt clipboard)"
[ ! -e "$RUN_DIR/2wm.bmp" ] || fail "Esc left 2wm.bmp"
expect_eq "nodes after Esc" "$after" "$(node_count)"
wait_for 5 wt enabled "$window" || fail "the main window was not enabled again after Esc"

exit_program || fail "the tray item 退出 did not end the program"
echo "PASS [$SCENARIO]"
