#!/bin/bash
# The typical path of a user: a "vantaro://" link copied from a chat, "导入分享链接", "启动代理" with "PAC模式",
# browsing through the PAC's proxy, "停止代理", "退出" — checked on screen, in config.ini, ".vantaro.json" and
# the registry.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/engine_lib.sh"

SITE_PORT=18461   # the test build's main site: it serves the rule list
SETTINGS='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
IMPORT_BUTTON=1013 START_ITEM=2004 STOP_ITEM=2005 EXIT_ITEM=2017
setting() { wine reg query "$SETTINGS" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { print $3 }'; }
has_pac() { [ -n "$(setting AutoConfigURL)" ]; }
is_direct() { [ "$(setting ProxyEnable)" == "0x0" ] && [ -z "$(setting ProxyServer)$(setting AutoConfigURL)" ]; }

LOCAL_PORT=$(free_port)
start_web_server
mkdir -p "$RUN_DIR/site/Other"
printf 'function FindProxyForURL(url, host) {\n  if (host == "127.0.0.1") return "__PROXY__";\n  return "__DIRECT__";\n}\n' \
  > "$RUN_DIR/site/Other/pac.txt"
python3 -m http.server "$SITE_PORT" --bind 127.0.0.1 --directory "$RUN_DIR/site" >/dev/null 2>&1 &
PIDS+=($!)
wait_for 10 port_open "$SITE_PORT" || fail "the rule-list server did not start"
printf '[BasisConfig]\r\nFile=%s\r\nLocal port=%s\r\nProxy Mode=1\r\n' \
  "$(winpath "$RUN_DIR/engine/vantaro-local.exe")" "$LOCAL_PORT" > "$RUN_DIR/config.ini"

start_from_shell
window=$(main_window) || fail "the main window did not appear"
link="vantaro://$(printf '192.0.2.44:8388:chat-pass' | base64 | tr '+/' '-_' | tr -d '=')"
wt set-clipboard "$link" >/dev/null
wt command "$window" "$IMPORT_BUTTON" 0 >/dev/null
imported() { config_text | grep -q '^Node2=192.0.2.44 8388 chat-pass$'; }
wait_for 10 imported || fail "the link was not imported as a saved node: $(config_text)"
expect_eq "IP box after the import" "192.0.2.44" "$(wt text "$(wt child "$window" 1006)")"

wt command "$window" "$START_ITEM" >/dev/null
wait_for 20 running "$window" || fail "the engine did not start: $(log_text "$window")"
expect_eq "engine configuration" "$(printf '{\n\t"listen": ":%s",\n\t"remote": "192.0.2.44:8388",\n\t"password": "chat-pass"\n}' "$LOCAL_PORT")" \
  "$(cat "$ENGINE_CONFIG")"
log_has "$window" "vantaro-local" || fail "the log box shows no engine output: $(log_text "$window")"
expect_eq "selected node saved" "Select node=1" "$(config_text | grep '^Select node=')"
wait_for 20 has_pac || fail "PAC mode was not applied"
url=$(setting AutoConfigURL)
pac=$(curl -sf --noproxy '*' "$url") || fail "the PAC could not be fetched from [$url]"
[[ "$pac" == *"SOCKS5 127.0.0.1:$LOCAL_PORT;DIRECT;"* ]] || fail "the PAC names no local proxy: $pac"
expect_eq "a page through the PAC's proxy" "hello through the engine" \
  "$(curl -s --noproxy '' --max-time 10 --socks5-hostname "127.0.0.1:$LOCAL_PORT" "http://127.0.0.1:$WEB_PORT/hello.txt")"

wt command "$window" "$STOP_ITEM" >/dev/null
wait_for 20 stopped "$window" || fail "the engine did not stop"
wait_for 15 is_direct || fail "stop left proxy settings: AutoConfigURL=[$(setting AutoConfigURL)]"
wait_for 10 port_closed "$LOCAL_PORT" || fail "the engine still listens after stop"

wt command "$window" "$EXIT_ITEM" >/dev/null
gone() { ! wine "$VANTARO_BIN/wintool.exe" find "$MAIN_CLASS" "" >/dev/null 2>&1; }
wait_for 10 gone || fail "退出 did not end the program"
is_direct || fail "exit left proxy settings"
echo "PASS [$SCENARIO]"
