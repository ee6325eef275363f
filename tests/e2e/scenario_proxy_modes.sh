#!/bin/bash
# The system proxy from outside: PAC mode with a rule list downloaded first, the PAC fetched from AutoConfigURL,
# evaluated by a real PAC evaluator and followed with curl; global mode with curl through ProxyServer; stop,
# a crash (test builds' crash command) and a hard kill all end with direct settings.
source "$(dirname "$0")/lib.sh"

LOCAL_PORT=18490
SITE_PORT=18461     # the test build's main site
ORIGIN_PORT=18482
SETTINGS='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
STOP_ITEM=2005      # tray item 停止代理
CRASH_COMMAND=2999  # test builds only

bash "$VANTARO_SOURCE/tests/e2e/pac_eval_setup.sh" || fail "the PAC evaluator could not be installed"
PAC_EVAL_MODULES="$VANTARO_SOURCE/build/pac-eval/node_modules"
export PAC_EVAL_MODULES

ENGINE_DIR="$RUN_DIR/engine"
mkdir -p "$ENGINE_DIR" "$RUN_DIR/site/Other" "$RUN_DIR/origin"
cp "$VANTARO_ENGINE_DIR/vantaro-local.exe" "$ENGINE_DIR/"
# The rule list as the maker's site serves it, with bare LF line ends.
printf 'function FindProxyForURL(url, host) {\n  if (host == "127.0.0.1" || dnsDomainIs(host, ".blocked.test")) return "__PROXY__";\n  return "__DIRECT__";\n}\n' \
  > "$RUN_DIR/site/Other/pac.txt"
echo "origin page $$" > "$RUN_DIR/origin/hello.txt"
python3 -m http.server "$SITE_PORT" --bind 127.0.0.1 --directory "$RUN_DIR/site" >/dev/null 2>&1 &
PIDS+=($!)
python3 -m http.server "$ORIGIN_PORT" --bind 127.0.0.1 --directory "$RUN_DIR/origin" >/dev/null 2>&1 &
PIDS+=($!)
wait_for 10 curl -sf --noproxy '*' "http://127.0.0.1:$ORIGIN_PORT/hello.txt" -o /dev/null || fail "origin server"

write_config() {  # proxy mode
  printf '[BasisConfig]\r\nFile=%s\\vantaro-local.exe\r\nLocal port=%s\r\nProxy Mode=%s\r\n[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=192.0.2.1 8388 secret\r\n' \
    "$(winpath "$ENGINE_DIR")" "$LOCAL_PORT" "$1" > "$RUN_DIR/config.ini"
}
setting() {  # value name: its data as reg prints it, empty when absent
  wine reg query "$SETTINGS" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { print $3 }'
}
has_setting() { [ -n "$(setting "$1")" ]; }
setting_is() { [ "$(setting "$1")" == "$2" ]; }
is_direct() { [ "$(setting ProxyEnable)" == "0x0" ] && [ -z "$(setting ProxyServer)" ] && [ -z "$(setting AutoConfigURL)" ]; }
expect_direct() {  # when
  wait_for 15 is_direct || fail "$1: expected direct settings, saw ProxyEnable=[$(setting ProxyEnable)] ProxyServer=[$(setting ProxyServer)] AutoConfigURL=[$(setting AutoConfigURL)]"
}
program_gone() { ! wine "$VANTARO_BIN/wintool.exe" find "$MAIN_CLASS" "" >/dev/null 2>&1; }
engine_listening() {  # curl's 7: connection refused
  local code=0
  curl -s --noproxy '*' -o /dev/null --max-time 2 "http://127.0.0.1:$LOCAL_PORT/" || code=$?
  [ "$code" -ne 7 ]
}
engine_stopped() { ! engine_listening; }
fetch_through() {  # curl proxy arguments...
  curl -s --noproxy '' --max-time 10 "$@" "http://127.0.0.1:$ORIGIN_PORT/hello.txt"
}

# Never leave the prefix with this run's settings, whatever happens.
reset_settings() {
  wine reg add "$SETTINGS" /v ProxyEnable /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  wine reg delete "$SETTINGS" /v ProxyServer /f >/dev/null 2>&1 || true
  wine reg delete "$SETTINGS" /v AutoConfigURL /f >/dev/null 2>&1 || true
}
trap 'cleanup; reset_settings' EXIT
reset_settings

# PAC mode, no rule list yet: the start downloads it, serves the PAC and points AutoConfigURL at it.
write_config 1
start_directly
window=$(main_window) || fail "the main window was not created"
wait_for 20 has_setting AutoConfigURL || fail "PAC mode was not applied (is the engine start in place?)"
url=$(setting AutoConfigURL)
[[ "$url" =~ ^http://127\.0\.0\.1:[0-9]+/[0-9a-f]{32}$ ]] || fail "AutoConfigURL is not the served address: [$url]"
expect_eq "ProxyEnable in PAC mode" "0x0" "$(setting ProxyEnable)"
cmp -s "$RUN_DIR/site/Other/pac.txt" "$ENGINE_DIR/pac.txt" || fail "pac.txt is not the downloaded list byte for byte"
test -f "$ENGINE_DIR/pac" || fail "the file pac was not written"
curl -sf --noproxy '*' "$url" -o "$RUN_DIR/fetched.pac" || fail "the PAC could not be fetched from [$url]"
cmp -s "$RUN_DIR/fetched.pac" "$ENGINE_DIR/pac" || fail "the served PAC differs from the file pac"
grep -q "SOCKS5 127.0.0.1:$LOCAL_PORT;DIRECT;" "$RUN_DIR/fetched.pac" || fail "the served PAC lacks the SOCKS5 address"
expect_eq "content type" "application/x-ns-proxy-autoconfig" \
  "$(curl -s --noproxy '*' -o /dev/null -w '%{content_type}' "$url")"
expect_eq "another path" "404" "$(curl -s --noproxy '*' -o /dev/null -w '%{http_code}' "${url%/*}/pac")"
expect_eq "POST" "405" "$(curl -s --noproxy '*' -o /dev/null -w '%{http_code}' -X POST "$url")"

choice=$(node "$VANTARO_SOURCE/tests/e2e/proxy_pac_eval.mjs" "$RUN_DIR/fetched.pac" "http://127.0.0.1:$ORIGIN_PORT/hello.txt")
expect_eq "the evaluator's choice" "SOCKS5 127.0.0.1:$LOCAL_PORT;DIRECT;" "$choice"
expect_eq "the evaluator for another host" "DIRECT" \
  "$(node "$VANTARO_SOURCE/tests/e2e/proxy_pac_eval.mjs" "$RUN_DIR/fetched.pac" "http://example.org/")"
first=${choice%%;*}
[ "${first%% *}" == "SOCKS5" ] || fail "the first choice is not a SOCKS5 proxy: [$first]"
expect_eq "fetched through the PAC's proxy" "origin page $$" "$(fetch_through --socks5-hostname "${first#* }")"

# Stop: every value back to direct, the file gone, the address answered no more.
wt command "$window" "$STOP_ITEM" >/dev/null
expect_direct "after stop"
test -f "$ENGINE_DIR/pac" && fail "stop left the file pac"
expect_eq "the PAC after stop" "404" "$(curl -s --noproxy '*' -o /dev/null -w '%{http_code}' "$url")"
exit_program || fail "the tray item 退出 did not end the program"

# Global mode from the saved setting: the engine as the system's HTTP proxy.
write_config 2
start_directly
window=$(main_window) || fail "the main window was not created (global)"
wait_for 20 setting_is ProxyEnable 0x1 || fail "global mode was not applied"
server=$(setting ProxyServer)
expect_eq "ProxyServer" "127.0.0.1:$LOCAL_PORT" "$server"
expect_eq "AutoConfigURL in global mode" "" "$(setting AutoConfigURL)"
expect_eq "fetched through ProxyServer" "origin page $$" "$(fetch_through -x "http://$server")"

# A crash of the program (test builds' crash command): the crash reset leaves direct settings and no engine.
wt command "$window" "$CRASH_COMMAND" >/dev/null
wait_for 20 program_gone || fail "the crash command did not end the program"
expect_direct "after a crash"
wait_for 10 engine_stopped || fail "the engine outlived the crash"

# A hard kill leaves the settings; the next start repairs them.
start_directly
window=$(main_window) || fail "the main window was not created (before the kill)"
wait_for 20 setting_is ProxyEnable 0x1 || fail "global mode was not applied before the kill"
wine taskkill /f /im "$EXE" >/dev/null 2>&1
wait_for 20 program_gone || fail "taskkill /f did not end the program"
expect_eq "ProxyEnable right after the kill" "0x1" "$(setting ProxyEnable)"
if engine_listening; then   # the engine dies with the program only where a kill-on-close job holds it
  echo "note [$SCENARIO]: the engine survived the hard kill; ending it"
  wine taskkill /f /im vantaro-local.exe >/dev/null 2>&1 || true
  wait_for 10 engine_stopped || fail "the engine could not be ended"
fi
start_from_shell   # shown, not started: only the repair can reset the settings
window=$(main_window) || fail "the main window was not created (after the kill)"
expect_direct "at the start after a hard kill"
exit_program || fail "the tray item 退出 did not end the program"
echo "PASS [$SCENARIO]"
