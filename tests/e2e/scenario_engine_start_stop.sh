#!/bin/bash
# Start and stop from the window against the built stand-in engine: the engine's file, its log in the log box,
# SOCKS5 and HTTP proxying through it to a loopback web server, a stop that ends engine and interpreter, and a
# stop without an engine.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/engine_lib.sh"

PORT=$(free_port)
write_engine_config_ini "$PORT"
start_web_server
interpreters_before=$(processes cmd.exe)

start_from_shell
window=$(main_window) || fail "the main window did not appear"
wait_for 5 wt visible "$window" || fail "started from the shell, the window should be visible"
rm -f "$ENGINE_CONFIG"
wt command "$window" "$START_BUTTON" 0 >/dev/null
wait_for 15 running "$window" || fail "启动 did not reach the running state"
wt enabled "$(wt child "$window" "$STOP_BUTTON")" || fail "停止 should be enabled while running"
wt enabled "$(wt child "$window" 1020)" && fail "the local port box should be disabled while running"
expect_eq "engine processes" 1 "$(processes vantaro-local.exe)"

expected_json=$(printf '{\n\t"listen": ":%s",\n\t"remote": "127.0.0.1:8388",\n\t"password": "secret"\n}' "$PORT")
expect_eq ".vantaro.json" "$expected_json" "$(cat "$ENGINE_CONFIG")"
expect_eq ".vantaro.json size" "${#expected_json}" "$(stat -c %s "$ENGINE_CONFIG")"   # no trailing line break

wait_for 10 log_has "$window" "本地监听：127.0.0.1:$PORT (SOCKS5 + HTTP)" \
  || fail "the log box should show the engine's listener line; it shows [$(log_text "$window")]"
log=$(log_text "$window")
[[ "$log" == *"vantaro-local 演示引擎 1.0 启动"* ]] || fail "the engine's first line is missing from the log: [$log]"
[[ "$log" == *"演示引擎直接连接目标，不经过服务器"* ]] || fail "the engine's last start line is missing: [$log]"
import -window root "$ARTIFACTS/engine-running.png" 2>/dev/null || true

url="http://127.0.0.1:$WEB_PORT/hello.txt"
expect_eq "fetched through SOCKS5" "hello through the engine" "$(curl -sS --max-time 10 --socks5-hostname "127.0.0.1:$PORT" "$url")"
expect_eq "fetched through the HTTP proxy" "hello through the engine" "$(curl -sS --max-time 10 -x "http://127.0.0.1:$PORT" "$url")"

wt command "$window" "$STOP_BUTTON" 0 >/dev/null
wait_for 10 stopped "$window" || fail "停止 should bring back the start button"
wait_for 10 port_closed "$PORT" || fail "the engine's port is still open after the stop"
wait_for 10 process_count_is vantaro-local.exe 0 || fail "the engine still runs after the stop"
wait_for 10 process_count_is cmd.exe "$interpreters_before" \
  || fail "the interpreter still runs after the stop ($(processes cmd.exe) cmd.exe, $interpreters_before before)"
running "$window" && fail "after the stop the window should show the stopped state"

# Stop again through the tray item, with no engine left.
wt command "$window" "$STOP_ITEM" >/dev/null
box=$(wt wait "#32770" "信息：" 10000) || fail "a stop without an engine showed no message"
expect_eq "stop without an engine" "vantaro 进程似乎不存在！" "$(wt dialog-text "$box")"
wt command "$box" 1 >/dev/null   # OK
wait_for 5 bash -c "! wine '$VANTARO_BIN/wintool.exe' find '#32770' '信息：' >/dev/null 2>&1" || fail "the message box did not close"
running "$window" && fail "a stop without an engine still ends in the stopped state"

exit_program || fail "the tray item 退出 did not end the program"
echo "PASS [$SCENARIO]"
