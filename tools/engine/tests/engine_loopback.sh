#!/bin/bash
# Runs the built engine against real clients on loopback: curl through SOCKS5 (IPv4, IPv6 and domain address
# types) and as an HTTP proxy (plain GET, HEAD, CONNECT), raw probes of its error answers, its UTF-8 log, and its
# exit codes for a missing file (2), a malformed file (2) and a port in use (3).
# Usage: engine_loopback.sh ENGINE   (a .exe runs under wine, anything else directly)
engine="$1"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY all_proxy ALL_PROXY

if [[ "$engine" == *.exe ]]; then
  # ctest runs in the build directory: name the repository's prefix before the environment script picks one.
  export VANTARO_WINEPREFIX="${VANTARO_WINEPREFIX:-$root/build/win32/wineprefix}"
  source "$root/scripts/wine-env.sh"
  engine_command=(wine "$engine")   # wine execs the loader: the background pid is the engine itself
  engine_path() { winepath -w "$1" 2>/dev/null; }
else
  engine_command=("$engine")
  engine_path() { printf '%s\n' "$1"; }
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/vantaro-engine.XXXXXX")"
started=()
cleanup() {
  for pid in "${started[@]}"; do kill -KILL "$pid" 2>/dev/null; done
  for pid in "${started[@]}"; do wait "$pid" 2>/dev/null; done
  # Xvfb and the wineserver are shared with whoever else uses the prefix; only stop them when this script started
  # them (no display was reachable, so nobody else was using one).
  [ -n "${VANTARO_XVFB_PID:-}" ] && vantaro_wine_stop
  rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" TERM INT HUP

failures=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
# wait_until SECONDS COMMAND...: polls every 0.1 s, false when the time is up.
wait_until() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
clean_log() { tr -d '\r' <"$1"; }
log_has() { clean_log "$work/out.log" | grep -qF -- "$1"; }

# The file the program writes: LF, TAB-indented, GBK bytes (the password is 秘密 in GBK), in a Chinese folder.
config_dir="$work/配置"
mkdir -p "$config_dir" "$work/www"
proxy_port=$(free_port)
http_port=$(free_port)
closed_port=$(free_port)
config="$config_dir/engine.json"
printf '{\n\t"listen": ":%s",\n\t"remote": "192.0.2.1:8388",\n\t"password": "\xc3\xd8\xc3\xdc"\n}' "$proxy_port" >"$config"
body="hello from the loopback server $RANDOM"
printf '%s\n' "$body" >"$work/www/hello.txt"

python3 -m http.server --bind 127.0.0.1 --directory "$work/www" "$http_port" >/dev/null 2>&1 </dev/null &
started+=($!)
: >"$work/out.log"
"${engine_command[@]}" -c "$(engine_path "$config")" >"$work/out.log" 2>"$work/err.log" </dev/null &
started+=($!)
engine_pid=$!

server_up() { curl -s --max-time 2 -o /dev/null "http://127.0.0.1:$http_port/hello.txt"; }
wait_until 20 server_up || fail "loopback HTTP server did not start"
if ! wait_until 60 log_has "本地监听："; then
  fail "engine did not start listening"
  echo "--- stdout"; clean_log "$work/out.log"; echo "--- stderr"; clean_log "$work/err.log"
  exit 1
fi

url="http://127.0.0.1:$http_port/hello.txt"
fetch_check() {
  local name="$1"; shift
  local got
  got="$(curl -sS --max-time 15 "$@" 2>&1)"
  if [ "$got" = "$body" ]; then pass "$name"; else fail "$name: $got"; fi
}
fetch_check "curl --socks5-hostname" --socks5-hostname "127.0.0.1:$proxy_port" "$url"
fetch_check "curl --socks5 (IPv4 address type)" --socks5 "127.0.0.1:$proxy_port" "$url"
fetch_check "curl socks5h with an IPv6 (IPv4-mapped) address" -x "socks5h://127.0.0.1:$proxy_port" \
  "http://[::ffff:127.0.0.1]:$http_port/hello.txt"
fetch_check "curl -x http (plain GET)" -x "http://127.0.0.1:$proxy_port" "$url"
fetch_check "curl -p -x http (CONNECT tunnel)" -p -x "http://127.0.0.1:$proxy_port" "$url"
head="$(curl -sS --max-time 15 -I -x "http://127.0.0.1:$proxy_port" "$url" 2>&1 | tr -d '\r')"
if grep -q "^Content-Length: ${#body}" <<<"$head" || grep -q "^Content-Length: $((${#body} + 1))" <<<"$head"; then
  pass "curl -I -x http (HEAD)"
else
  fail "curl -I -x http (HEAD): $head"
fi
code="$(curl -s --max-time 15 -o /dev/null -w '%{http_code}' -x "http://127.0.0.1:$proxy_port" \
  "http://127.0.0.1:$closed_port/")"
[ "$code" = 502 ] && pass "unreachable origin gives 502" || fail "unreachable origin gives 502: $code"

if python3 "$here/socks_probe.py" "$proxy_port" "$http_port" "$closed_port" "$work/www/hello.txt"; then
  pass "raw SOCKS5 and HTTP probes"
else
  fail "raw SOCKS5 and HTTP probes"
fi
kill -0 "$engine_pid" 2>/dev/null && pass "engine still running" || fail "engine still running"

# The log: UTF-8 with Chinese text, the configuration shown, the password never.
shown_config="$(engine_path "$config")"
for line in "vantaro-local 演示引擎 1.0 启动" "读取配置：$shown_config" \
  "本地监听：127.0.0.1:$proxy_port (SOCKS5 + HTTP)" "服务器：192.0.2.1:8388（仅显示，不使用）" \
  "密码：******（仅显示，不使用）" "演示引擎直接连接目标，不经过服务器" "连接 127.0.0.1:$http_port" \
  "关闭 127.0.0.1:$http_port" "同时连接已达上限 256"; do
  log_has "$line" && pass "log has: $line" || fail "log has: $line"
done
if clean_log "$work/out.log" | iconv -f UTF-8 -t UTF-8 >/dev/null 2>&1; then pass "log is UTF-8"; else fail "log is UTF-8"; fi
if clean_log "$work/out.log" | grep -qF -e "秘密" -e $'\xc3\xd8\xc3\xdc'; then fail "password kept out of the log"; else
  pass "password kept out of the log"; fi

# expect_exit NAME CODE TEXT ARGS...: the engine ends with CODE and says TEXT on standard error.
expect_exit() {
  local name="$1" code="$2" text="$3"; shift 3
  timeout -s KILL 60 "${engine_command[@]}" "$@" >"$work/exit.out" 2>"$work/exit.err" </dev/null
  local got=$?
  if [ "$got" = "$code" ] && clean_log "$work/exit.err" | grep -qF -- "$text"; then
    pass "$name: exit $code"
  else
    fail "$name: exit $got (want $code), stderr: $(clean_log "$work/exit.err")"
  fi
}
missing="$work/missing.json"
expect_exit "missing file" 2 "无法读取配置文件 $(engine_path "$missing")" -c "$(engine_path "$missing")"
printf 'listen = :%s\n' "$proxy_port" >"$work/bad.json"
expect_exit "not JSON" 2 "配置文件 $(engine_path "$work/bad.json") 有误：不是有效的 JSON" -c "$(engine_path "$work/bad.json")"
printf '{"listen": ":0"}' >"$work/port0.json"
expect_exit "port 0" 2 "端口无效" -c "$(engine_path "$work/port0.json")"
printf '{"remote": "192.0.2.1:8388"}' >"$work/nolisten.json"
expect_exit "no listen" 2 "缺少 \"listen\"" -c "$(engine_path "$work/nolisten.json")"
expect_exit "port in use" 3 "端口已被占用" -c "$(engine_path "$config")"
kill -0 "$engine_pid" 2>/dev/null && pass "first engine unaffected" || fail "first engine unaffected"

# Whatever host "listen" names, the engine listens on loopback only.
any_port=$(free_port)
printf '{"listen": "0.0.0.0:%s"}' "$any_port" >"$work/any.json"
: >"$work/any.log"
"${engine_command[@]}" -c "$(engine_path "$work/any.json")" >"$work/any.log" 2>&1 </dev/null &
started+=($!)
any_listening() { clean_log "$work/any.log" | grep -qF "本地监听：127.0.0.1:$any_port"; }
if wait_until 60 any_listening && clean_log "$work/any.log" | grep -qF "配置的主机 0.0.0.0 已忽略"; then
  listeners="$(ss -Hltn "sport = :$any_port" | awk '{print $4}')"
  [ "$listeners" = "127.0.0.1:$any_port" ] && pass "listen 0.0.0.0 binds 127.0.0.1 only" ||
    fail "listen 0.0.0.0 binds 127.0.0.1 only: $listeners"
else
  fail "engine with listen 0.0.0.0: $(clean_log "$work/any.log")"
fi

if [ "$failures" -ne 0 ]; then
  echo "--- engine stdout"; clean_log "$work/out.log"; echo "--- engine stderr"; clean_log "$work/err.log"
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
