#!/bin/bash
# Every tray menu item from outside, on a program with servers but no engine file: what each one shows the user
# and what it keeps in config.ini. (Engine, proxy, QR and network items with a working setup have their own
# scenarios.)
source "$(dirname "$0")/lib.sh"

BROWSER_LOG="$RUN_DIR/browser.log"
cat > "$RUN_DIR/browser.sh" <<SH
#!/bin/sh
echo "\$1" >> "$BROWSER_LOG"
SH
chmod +x "$RUN_DIR/browser.sh"
BROWSERS_KEY='HKCU\Software\Wine\WineBrowser'
wine reg add "$BROWSERS_KEY" /v Browsers /d "$RUN_DIR/browser.sh" /f >/dev/null 2>&1
trap 'cleanup; wine reg delete "$BROWSERS_KEY" /v Browsers /f >/dev/null 2>&1 || true' EXIT

printf '[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=192.0.2.5 8388 tray-pass\r\n' > "$RUN_DIR/config.ini"
start_from_shell
window=$(main_window) || fail "the main window did not appear"

box_says() {  # item title text: the item opens a box with this title and text, which OK closes
  wt command "$window" "$1" >/dev/null
  local box; box=$(wt wait "#32770" "$2" 10000) || fail "item $1 showed no box titled [$2]"
  local text; text=$(wt dialog-text "$box")
  [[ "$text" == *"$3"* ]] || fail "item $1: expected [$3] in the box, saw [$text]"
  wt command "$box" 1 >/dev/null
  wait_for 5 bash -c "! wine '$VANTARO_BIN/wintool.exe' find '#32770' '' >/dev/null 2>&1" || fail "the box of item $1 stayed"
}

wt post "$window" 0x10 0 0 >/dev/null
wait_for 5 bash -c "! wine '$VANTARO_BIN/wintool.exe' visible $window 2>/dev/null" || fail "close should hide"
wt command "$window" 2006 >/dev/null                                                   # 编辑服务器...
wait_for 5 wt visible "$window" || fail "编辑服务器... should show the window"

box_says 2015 "关于" "当前版本：v1.0.1"                                                # 关于...
box_says 2004 "错误" "文件位置 不能为空！"                                             # 启动代理
box_says 2005 "信息：" "vantaro 进程似乎不存在！"                                      # 停止代理
box_says 2007 "错误" "文件位置 不能为空！"                                             # 更新PAC文件
box_says 2008 "错误" "找不到PAC文件！请尝试使用 更新PAC文件 功能下载。"               # 编辑PAC文件
box_says 2009 "提示" "vantaro账号分享链接已复制到剪辑板中！"                          # 生成分享链接
expect_eq "the link on the clipboard" \
  "vantaro://$(printf '192.0.2.5:8388:tray-pass' | base64 | tr '+/' '-_' | tr -d '=')" "$(wt clipboard)"
wt command "$window" 2010 >/dev/null                                                   # 导入分享链接
imported() { config_text | grep -q '^Num=2'; }
wait_for 10 imported || fail "导入分享链接 did not add a saved node: $(config_text)"

wt command "$window" 2002 >/dev/null                                                   # PAC模式
wait_for 5 bash -c "grep -q 'Proxy Mode=1' '$RUN_DIR/config.ini'" || fail "PAC模式 was not saved"
wt command "$window" 2001 >/dev/null                                                   # 直连模式
wait_for 5 bash -c "grep -q 'Proxy Mode=0' '$RUN_DIR/config.ini'" || fail "直连模式 was not saved"

wt command "$window" 2014 >/dev/null                                                   # 使用方法
wt command "$window" 2016 >/dev/null                                                   # 捐赠...
four_pages() { [ "$(wc -l < "$BROWSER_LOG" 2>/dev/null || echo 0)" -ge 4 ]; }
wait_for 20 four_pages || fail "the help and donation pages did not reach the browser: $(cat "$BROWSER_LOG" 2>/dev/null)"
# Each page is its own browser process, so the log's order is not the opening order: compare the set.
expect_eq "pages opened on both sites" \
  "$(printf 'http://127.0.0.1:18461/dashang/\nhttp://127.0.0.1:18461/kvpe-12/\nhttp://127.0.0.1:18462/dashang/\nhttp://127.0.0.1:18462/kvpe-12/')" \
  "$(sort "$BROWSER_LOG")"

wt command "$window" 2013 >/dev/null                                                   # 检查更新: no site, silent
sleep 2
wt find "#32770" "" >/dev/null && fail "检查更新 without a site should be silent"
wt visible "$window" || fail "the window should still be there"

exit_program || fail "退出 did not end the program"
echo "PASS [$SCENARIO]"
