#!/bin/bash
# Program benchmarks: the shipped vantaro Tools.exe and a minimal tray window program built the same way, each
# started from the shell under Wine with Xvfb and measured from outside. Prints the figures as Markdown tables and
# asserts nothing. Usage: bash bench/program/run.sh   (RUNS=5 start-ups, IDLE_SECONDS=60, CYCLES=100 by default)
#
# Each program is started as a double click in Explorer starts it: by measure.exe as a child of the running
# explorer.exe. Figures: start-up time from the process's creation time to its first top-level window and to its tray icon
# (measure.exe polls NIM_MODIFY on (window, uID 1) every millisecond: the shell says TRUE only for an icon it holds);
# then, after SETTLE_SECONDS, private bytes, handles, GDI/USER objects and CPU time through the Win32 calls, and the
# same process seen from Linux (Wine runs each Windows process as one Linux process): anonymous resident memory,
# CPU ticks and thread wake-ups (context switches) over IDLE_SECONDS of idling.
set -euo pipefail
cd "$(dirname "$0")/../.."
ROOT=$PWD
RUNS=${RUNS:-5}
IDLE_SECONDS=${IDLE_SECONDS:-60}
SETTLE_SECONDS=${SETTLE_SECONDS:-10}
CYCLES=${CYCLES:-100}
bash scripts/setup-debian.sh
export LC_ALL=C.UTF-8

echo "== building the release program and the benchmark tools" >&2
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target vantaro_tools PsyQrDcd vantaro_local wintool bench_minimal_window \
  bench_measure >&2
BIN=$ROOT/build/release/bin
BENCH=$ROOT/build/release/bench
DLL=$ROOT/build/release/src/qr/PsyQrDcd.dll

# A prefix and an Xvfb display of its own, so nothing else running on the machine shares the figures' desktop.
export VANTARO_WINEPREFIX="$ROOT/build/release/bench-wineprefix"
export DISPLAY="${VANTARO_BENCH_DISPLAY:-:94}"
# shellcheck disable=SC1091
source scripts/wine-env.sh 2>/dev/null
WORK=$(mktemp -d /tmp/vantaro-bench.XXXXXX)
cleanup() {
  vantaro_wine_stop
  rm -rf "$WORK"
}
trap cleanup EXIT

# Output goes through a file, never a pipe: a Wine process started meanwhile (the desktop's explorer.exe) inherits
# the output handles and would hold a pipe open for ever.
measure_to() {  # FILE ARGS...
  local file=$1; shift
  wine "$BENCH/measure.exe" "$@" >"$file" 2>&1 </dev/null
}
measure() {
  local status=0 file; file=$(mktemp "$WORK/measure.XXXXXX")
  measure_to "$file" "$@" || status=$?
  tr -d '\r' <"$file"; rm -f "$file"
  return $status
}
value() { sed -n "s/^$1=//p" <<<"$2" | head -n1; }   # value KEY OUTPUT
median() { sort -n | awk '{v[NR]=$1} END {if (NR == 0) print "-"; else if (NR % 2) print v[(NR+1)/2]; else printf "%.1f\n", (v[NR/2]+v[NR/2+1])/2}'; }
minmax() { sort -n | awk 'NR==1{lo=$1} {hi=$1} END {print lo "–" hi}'; }

# The Linux process of a Windows program of this prefix: its command line is the program's path (the explorer that
# started it carries the name as an argument, so it is left out). Programs of other prefixes may bear the same name.
linux_pid() {  # EXE_NAME
  local pid first
  for pid in $(pgrep -f -- "$1" || true); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    first=$(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | head -n1) || continue
    case "$first" in *explorer.exe) continue ;; *"$1") echo "$pid"; return 0 ;; esac
  done
  return 1
}
# utime + stime of every thread, in clock ticks (the comm field may hold spaces: cut after its closing parenthesis).
linux_cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
linux_status() { sed -n "s/^$2:[[:space:]]*\([0-9]*\).*/\1/p" "/proc/$1/status"; }   # PID FIELD
linux_private_kb() { awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s}' "/proc/$1/smaps_rollup"; }
linux_wakeups() {  # voluntary + involuntary context switches of every thread
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^(non)?voluntary_ctxt_switches:/ {s += $2} END {print s}'
}

close_program() {  # LABEL EXE_NAME
  if [ "$1" = "vantaro Tools" ]; then
    local window
    wine "$BIN/wintool.exe" find vantaroToolsMainWindow "" >"$WORK/window.txt" 2>/dev/null </dev/null || return 0
    window=$(tr -d '\r' <"$WORK/window.txt")
    wine "$BIN/wintool.exe" command "$window" 2017 >/dev/null 2>&1 </dev/null   # tray item 退出
  else
    measure close "$2" >/dev/null || true
  fi
  for _ in $(seq 100); do linux_pid "$2" >/dev/null || return 0; sleep 0.1; done
  echo "warning: $2 did not end" >&2
}

declare -A R
bench_program() {  # KEY LABEL RUN_DIR EXE_NAME
  local key=$1 label=$2 dir=$3 exe=$4 run out tray=() window=()
  for run in $(seq "$RUNS"); do
    measure_to "$WORK/startup.txt" startup "$exe" 60000 &
    local poller=$!
    sleep 1.5   # the poller is up before the program starts
    measure launch "$exe" "$(winepath -w "$dir" 2>/dev/null)" >/dev/null   # as a child of the running explorer.exe
    wait "$poller" || { echo "start-up measurement of $label failed: $(cat "$WORK/startup.txt")" >&2; return 1; }
    out=$(tr -d '\r' <"$WORK/startup.txt")
    tray+=("$(value tray_icon_ms "$out")")
    window+=("$(value window_ms "$out")")
    echo "$label start $run: window $(value window_ms "$out") ms, tray icon $(value tray_icon_ms "$out") ms" >&2
    if [ "$run" -lt "$RUNS" ]; then close_program "$label" "$exe"; fi
  done
  R[$key,tray]=$(printf '%s\n' "${tray[@]}" | median)
  R[$key,tray_range]=$(printf '%s\n' "${tray[@]}" | minmax)
  R[$key,window]=$(printf '%s\n' "${window[@]}" | median)

  sleep "$SETTLE_SECONDS"
  local pid; pid=$(linux_pid "$exe") || { echo "no Linux process for $exe" >&2; return 1; }
  out=$(measure stats "$exe")
  R[$key,private]=$(value private_bytes "$out")
  R[$key,working]=$(value working_set "$out")
  R[$key,handles_api]=$(value handles "$out")
  R[$key,handles_table]=$(value handles_in_system_table "$out")
  R[$key,gdi]=$(value gdi_objects "$out")
  R[$key,user]=$(value user_objects "$out")
  R[$key,win_threads]=$(value threads "$out")
  R[$key,rss_anon]=$(linux_status "$pid" RssAnon)
  R[$key,private_kb]=$(linux_private_kb "$pid")
  R[$key,vm_rss]=$(linux_status "$pid" VmRSS)
  R[$key,threads]=$(linux_status "$pid" Threads)

  echo "$label: idling for $IDLE_SECONDS s" >&2
  local ticks0 wake0 ticks1 wake1
  ticks0=$(linux_cpu_ticks "$pid"); wake0=$(linux_wakeups "$pid")
  out=$(measure idle "$exe" "$IDLE_SECONDS")
  ticks1=$(linux_cpu_ticks "$pid"); wake1=$(linux_wakeups "$pid")
  R[$key,idle_cpu_api]=$(value idle_cpu_ms "$out")
  R[$key,idle_cpu_linux]=$(( (ticks1 - ticks0) * 1000 / $(getconf CLK_TCK) ))
  R[$key,idle_wakeups]=$((wake1 - wake0))
  R[$key,rss_anon_after]=$(linux_status "$pid" RssAnon)
  R[$key,handles_table_after]=$(value after_handles_in_system_table "$out")
  close_program "$label" "$exe"
}

mkdir -p "$WORK/vantaro/engine" "$WORK/minimal"
cp "$BIN/vantaro Tools.exe" "$DLL" "$WORK/vantaro/"
cp "$ROOT/build/release/engine/vantaro-local.exe" "$WORK/vantaro/engine/"
cp "$BENCH/minimal_window.exe" "$WORK/minimal/"
# A warm-up start: the shared desktop and Wine's own DLLs are in place before anything is timed. The explorer.exe of
# the desktop stays; every timed start is its child, as a double click in Explorer makes it (vantaro Tools shows its
# window only then: started by any other process it stays hidden and starts the engine).
measure_to "$WORK/warmup.txt" startup minimal_window.exe 60000 &
warmup=$!
sleep 1.5
(cd "$WORK/minimal" && exec wine explorer /desktop=shell,1024x768 minimal_window.exe >/dev/null 2>&1 </dev/null) &
wait "$warmup" || echo "warning: the warm-up start showed no tray icon" >&2
measure close minimal_window.exe >/dev/null || true

bench_program v "vantaro Tools" "$WORK/vantaro" "vantaro Tools.exe"
bench_program m "minimal window" "$WORK/minimal" "minimal_window.exe"

size() { stat -c %s "$1"; }
kib() { awk -v b="$1" 'BEGIN {printf "%.1f", b / 1024}'; }
diff_of() {  # integers stay integers (bytes), times keep one decimal
  awk -v a="$1" -v b="$2" 'BEGIN {if (a == "" || b == "" || a == "-" || b == "-") print "-";
    else if (a ~ /^[0-9]+$/ && b ~ /^[0-9]+$/) printf "%+d\n", a - b; else printf "%+.1f\n", a - b}'
}
row() {  # TITLE KEY UNIT
  local a=${R[v,$2]:-} b=${R[m,$2]:-}
  echo "| $1 | $a | $b | $(diff_of "$a" "$b") |"
}

cat <<EOF

## Program benchmarks ($(date -u '+%Y-%m-%d %H:%M UTC'), $(wine --version), $(nproc) cores)

Command: \`bash bench/program/run.sh\` (RUNS=$RUNS, SETTLE_SECONDS=$SETTLE_SECONDS, IDLE_SECONDS=$IDLE_SECONDS, CYCLES=$CYCLES)

| figure | vantaro Tools | minimal window | overhead |
|---|---|---|---|
$(row "start-up to tray icon, median of $RUNS (ms)" tray)
| start-up to tray icon, range (ms) | ${R[v,tray_range]} | ${R[m,tray_range]} | |
$(row "start-up to first window, median (ms)" window)
$(row "private memory, Linux Private_Clean+Dirty (KiB)" private_kb)
$(row "anonymous resident memory, Linux RssAnon (KiB)" rss_anon)
$(row "resident set, Linux VmRSS (KiB)" vm_rss)
$(row "PrivateUsage, GetProcessMemoryInfo (bytes)" private)
$(row "WorkingSetSize, GetProcessMemoryInfo (bytes)" working)
$(row "handles, GetProcessHandleCount" handles_api)
$(row "handles, system handle table" handles_table)
$(row "GDI objects, GetGuiResources" gdi)
$(row "USER objects, GetGuiResources" user)
$(row "threads (Windows)" win_threads)
$(row "threads (Linux, with Wine's own)" threads)
$(row "CPU over $IDLE_SECONDS s idle, Linux ticks (ms)" idle_cpu_linux)
$(row "CPU over $IDLE_SECONDS s idle, GetProcessTimes (ms)" idle_cpu_api)
$(row "thread wake-ups over $IDLE_SECONDS s idle" idle_wakeups)
$(row "RssAnon after idling (KiB)" rss_anon_after)
$(row "handles after idling, system handle table" handles_table_after)

| file | bytes | KiB |
|---|---|---|
| vantaro Tools.exe | $(size "$BIN/vantaro Tools.exe") | $(kib "$(size "$BIN/vantaro Tools.exe")") |
| PsyQrDcd.dll | $(size "$DLL") | $(kib "$(size "$DLL")") |
| engine/vantaro-local.exe (stand-in) | $(size "$ROOT/build/release/engine/vantaro-local.exe") | $(kib "$(size "$ROOT/build/release/engine/vantaro-local.exe")") |
| minimal_window.exe | $(size "$BENCH/minimal_window.exe") | $(kib "$(size "$BENCH/minimal_window.exe")") |
EOF
for zip in "$ROOT"/build/release/vantaro-Tools-*.zip; do
  [ -f "$zip" ] && echo "| $(basename "$zip") (release package) | $(size "$zip") | $(kib "$(size "$zip")") |"
done

# Start/stop cycles and the long run with a chatty engine: the engine-control benchmark of bench/engine, which runs
# the program's own start, stop and log code in one process against the stand-in engine and a flooding one.
if [ -f bench/engine/CMakeLists.txt ]; then
  echo "== engine-control benchmark ($CYCLES start/stop cycles, log flood)" >&2
  cmake --build --preset release -j2 --target engine_bench flood_engine vantaro_local >&2
  echo
  echo "## Engine-control benchmark (bench/engine/engine_bench.exe $CYCLES)"
  echo
  echo '```'
  (cd "$ROOT/build/release/bench/engine" && wine engine_bench.exe "$CYCLES" >"$WORK/engine.txt" 2>&1 </dev/null) || true
  tr -d '\r' <"$WORK/engine.txt" | iconv -f GBK -t UTF-8 -c
  echo '```'
else
  echo
  echo "(bench/engine is not in this tree: no start/stop-cycle or log-flood figures)"
fi
