# Shared steps of the whole-program scenarios: a run folder with the program, starting it the way a user or the
# system would, and reading its windows through wintool. Source it at the top of a scenario.
set -euo pipefail
: "${VANTARO_SOURCE:?}" "${VANTARO_BIN:?}"
export VANTARO_WINEPREFIX="${VANTARO_WINEPREFIX:-$VANTARO_SOURCE/build/win32/wineprefix}"
# shellcheck disable=SC1091
source "$VANTARO_SOURCE/scripts/wine-env.sh" 2>/dev/null
SCENARIO=$(basename "$0" .sh)
ARTIFACTS="$VANTARO_SOURCE/build/win32/e2e-artifacts"
mkdir -p "$ARTIFACTS"
RUN_DIR=$(mktemp -d /tmp/vantaro-e2e.XXXXXX)
EXE="vantaro Tools.exe"
MAIN_CLASS=vantaroToolsMainWindow
PIDS=()
cp "$VANTARO_BIN/$EXE" "$RUN_DIR/"
[ -f "$VANTARO_BIN/PsyQrDcd.dll" ] && cp "$VANTARO_BIN/PsyQrDcd.dll" "$RUN_DIR/"

wt() { wine "$VANTARO_BIN/wintool.exe" "$@" 2>/dev/null | tr -d '\r' | iconv -f GBK -t UTF-8; }
winpath() { winepath -w "$1" 2>/dev/null; }

# Started by the shell (a double click in Explorer): explorer.exe is the parent.
start_from_shell() {
  # A desktop left by an earlier program (a hard kill leaves it) would take over this launch and exit at once,
  # and the program would then not count as started by explorer.exe: end it first.
  if [ "$(wt count-processes explorer.exe)" != 0 ]; then
    wine taskkill /f /im explorer.exe >/dev/null 2>&1 || true
    wait_for 10 bash -c "[ \"\$(wine '$VANTARO_BIN/wintool.exe' count-processes explorer.exe 2>/dev/null | tr -d '\r')\" = 0 ]" || true
  fi
  (cd "$RUN_DIR" && exec wine explorer /desktop=shell,1024x768 "$EXE" >/dev/null 2>&1 </dev/null) &
  PIDS+=($!)
}
# Started by another program (for example at logon): the window stays hidden and the engine starts.
start_directly() {
  (cd "$RUN_DIR" && exec wine "$EXE" >/dev/null 2>&1 </dev/null) &
  PIDS+=($!)
}
main_window() { wt wait "$MAIN_CLASS" "" "${1:-15000}"; }
config_text() { tr -d '\r' < "$RUN_DIR/config.ini" | iconv -f GBK -t UTF-8; }

fail() {
  echo "FAIL [$SCENARIO]: $*" >&2
  import -window root "$ARTIFACTS/$SCENARIO-failure.png" 2>/dev/null && echo "screenshot: $ARTIFACTS/$SCENARIO-failure.png" >&2
  exit 1
}
expect_eq() {  # what expected actual
  [ "$2" == "$3" ] || fail "$1: expected [$2], saw [$3]"
}
wait_for() {  # seconds command...
  local limit=$1; shift
  for _ in $(seq $((limit * 10))); do "$@" && return 0; sleep 0.1; done
  return 1
}
exit_program() {  # through the tray item "退出"
  local window; window=$(main_window 2000) || return 0
  wt command "$window" 2017 >/dev/null
  wait_for 10 bash -c "! wine '$VANTARO_BIN/wintool.exe' find $MAIN_CLASS '' >/dev/null 2>&1"
}
cleanup() {
  exit_program || true
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$RUN_DIR"
}
trap cleanup EXIT
