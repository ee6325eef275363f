#!/bin/bash
# "退出" in each proxy mode while the engine runs: the engine and its console end; PAC and global mode leave the
# user's settings direct, and direct mode leaves whatever the user had untouched.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/engine_lib.sh"

SETTINGS='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
EXIT_ITEM=2017
setting() { wine reg query "$SETTINGS" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { print $3 }'; }
reset_settings() {
  wine reg add "$SETTINGS" /v ProxyEnable /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  wine reg delete "$SETTINGS" /v ProxyServer /f >/dev/null 2>&1 || true
  wine reg delete "$SETTINGS" /v AutoConfigURL /f >/dev/null 2>&1 || true
}
trap 'cleanup; reset_settings' EXIT
gone() { ! wine "$VANTARO_BIN/wintool.exe" find "$MAIN_CLASS" "" >/dev/null 2>&1; }
mkdir -p "$RUN_DIR/engine"
printf 'function FindProxyForURL(url, host) { return "__PROXY__"; }\n' > "$RUN_DIR/engine/pac.txt"

for mode in 1 2 0; do
  reset_settings
  LOCAL_PORT=$(free_port)
  write_engine_config_ini "$LOCAL_PORT"
  sed -i "s/^Proxy Mode=0/Proxy Mode=$mode/" "$RUN_DIR/config.ini"
  start_directly   # started at logon: the engine starts at once
  window=$(main_window) || fail "mode $mode: the main window was not created"
  wait_for 20 running "$window" || fail "mode $mode: the engine did not start"
  case $mode in
    1) wait_for 15 bash -c "wine reg query '$SETTINGS' /v AutoConfigURL >/dev/null 2>&1" || fail "PAC mode not applied" ;;
    2) wait_for 15 bash -c "[ \"\$(wine reg query '$SETTINGS' /v ProxyEnable 2>/dev/null | tr -d '\r' | awk '\$1==\"ProxyEnable\"{print \$3}')\" = 0x1 ]" \
         || fail "global mode not applied" ;;
  esac
  # In direct mode a proxy that another tool set while the engine runs must survive the exit (applying direct at
  # the start has already cleared the values).
  [ "$mode" = 0 ] && wine reg add "$SETTINGS" /v ProxyServer /d "10.9.8.7:3128" /f >/dev/null 2>&1
  wt command "$window" "$EXIT_ITEM" >/dev/null
  wait_for 15 gone || fail "mode $mode: 退出 did not end the program"
  wait_for 10 port_closed "$LOCAL_PORT" || fail "mode $mode: the engine outlived the exit"
  wait_for 10 process_count_is cmd.exe 0 || fail "mode $mode: a console was left: $(processes cmd.exe)"
  if [ "$mode" = 0 ]; then
    expect_eq "the user's proxy after exit in direct mode" "10.9.8.7:3128" "$(setting ProxyServer)"
  else
    expect_eq "ProxyEnable after exit in mode $mode" "0x0" "$(setting ProxyEnable)"
    expect_eq "ProxyServer after exit in mode $mode" "" "$(setting ProxyServer)"
    expect_eq "AutoConfigURL after exit in mode $mode" "" "$(setting AutoConfigURL)"
  fi
done
echo "PASS [$SCENARIO]"
