# Shared steps of the engine scenarios: the built stand-in engine in the run folder, config.ini pointing at it, a
# loopback web server to fetch through it, and the engine's processes seen from inside the prefix.
# shellcheck disable=SC2034
: "${VANTARO_ENGINE_DIR:=$VANTARO_SOURCE/build/win32/engine}"
START_BUTTON=1024      # 按钮_启动
STOP_BUTTON=1025       # 按钮_停止
LOG_BOX=1026           # 编辑框_日志
STOP_ITEM=2005         # tray item 停止代理
mkdir -p "$RUN_DIR/engine" "$RUN_DIR/web"
cp "$VANTARO_ENGINE_DIR/vantaro-local.exe" "$RUN_DIR/engine/"
ENGINE_CONFIG="$WINEPREFIX/drive_c/users/$(whoami)/.vantaro.json"

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
processes() { wt count-processes "$1"; }

write_engine_config_ini() {  # local-port
  local engine; engine=$(winpath "$RUN_DIR/engine/vantaro-local.exe")
  printf '[BasisConfig]\r\nFile=%s\r\nLocal port=%s\r\nProxy Mode=0\r\n[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=127.0.0.1 8388 secret\r\n' \
    "$engine" "$1" > "$RUN_DIR/config.ini"
}

start_web_server() {  # serves $RUN_DIR/web on a free loopback port, sets WEB_PORT
  WEB_PORT=$(free_port)
  printf 'hello through the engine\n' > "$RUN_DIR/web/hello.txt"
  python3 -m http.server --bind 127.0.0.1 --directory "$RUN_DIR/web" "$WEB_PORT" >/dev/null 2>&1 &
  PIDS+=($!)
  wait_for 10 port_open "$WEB_PORT" || fail "the loopback web server did not start"
}

log_text() { wt text "$(wt child "$1" "$LOG_BOX")"; }
running() { ! wt enabled "$(wt child "$1" "$START_BUTTON")"; }
stopped() { wt enabled "$(wt child "$1" "$START_BUTTON")"; }
port_closed() { ! port_open "$1"; }
process_count_is() { [ "$(processes "$1")" = "$2" ]; }
log_has() { [[ "$(log_text "$1")" == *"$2"* ]]; }
