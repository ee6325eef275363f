#!/bin/bash
# A share link through the real clipboard: "生成分享链接" copies the server in the boxes, "导入分享链接" adds it
# as a new node, saved to config.ini and kept across a restart.
source "$(dirname "$0")/lib.sh"

printf '[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=192.0.2.1 8388 first\r\n' > "$RUN_DIR/config.ini"
start_from_shell
window=$(main_window) || fail "the main window did not appear"
wt settext "$(wt child "$window" 1006)" "2001:db8::7" >/dev/null   # 编辑框_服务器IP
wt settext "$(wt child "$window" 1008)" "8443" >/dev/null          # 编辑框_服务器端口
wt settext "$(wt child "$window" 1010)" "e2e-pass" >/dev/null      # 编辑框_服务器密码

wt command "$window" 1012 0 >/dev/null                              # 按钮_生成分享链接
box=$(wt wait "#32770" "提示" 10000) || fail "copying showed no confirmation"
expect_eq "confirmation" "vantaro账号分享链接已复制到剪辑板中！" "$(wt dialog-text "$box")"
wt command "$box" 1 >/dev/null

wt command "$window" 1013 0 >/dev/null                              # 按钮_导入分享链接
two_nodes_saved() { config_text | grep -q '^Num=2'; }
wait_for 10 two_nodes_saved || fail "the import did not save a second node: $(config_text)"
wt find "#32770" "" >/dev/null && fail "the import showed a message: $(wt dialog-text "$(wt find "#32770" "")")"
expect_eq "imported node" "Node2=2001:db8::7 8443 e2e-pass" "$(config_text | grep '^Node2=')"
expect_eq "first node" "Node1=192.0.2.1 8388 first" "$(config_text | grep '^Node1=')"
expect_eq "selected node" "Select node=1" "$(config_text | grep '^Select node=')"
expect_eq "IP box" "2001:db8::7" "$(wt text "$(wt child "$window" 1006)")"

exit_program || fail "the tray item 退出 did not end the program"
start_from_shell
window=$(main_window) || fail "the main window did not appear again"
sleep 1
expect_eq "IP box after a restart" "2001:db8::7" "$(wt text "$(wt child "$window" 1006)")"
expect_eq "password box after a restart" "e2e-pass" "$(wt text "$(wt child "$window" 1010)")"
echo "PASS [$SCENARIO]"
