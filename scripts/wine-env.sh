# Source (bash) before running anything under Wine. Creates a throwaway prefix on first use, starts Xvfb (when no
# display is reachable) and a persistent wineserver. Set VANTARO_WINEPREFIX before sourcing to choose the prefix.
export WINEPREFIX="${VANTARO_WINEPREFIX:-$PWD/build/win32/wineprefix}"   # never let wine fall back to ~/.wine
export WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"   # no Mono/Gecko look-up, no files in $HOME
export LC_ALL=zh_CN.UTF-8            # ANSI code page 936 for every wine process
export TMPDIR="${TMPDIR:-/tmp}"      # the wineserver socket lives under $TMPDIR: one TMPDIR for every command
export DISPLAY="${DISPLAY:-:97}"     # must be set before the first wine process of the session
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy all_proxy ALL_PROXY   # WinINet honours http_proxy
if ! xdpyinfo >/dev/null 2>&1; then
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  VANTARO_XVFB_PID=$!
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null
  for f in /usr/share/wine/fonts/*; do ln -sf "$f" "$WINEPREFIX/drive_c/windows/Fonts/"; done
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
fi
# A persistent server and services started now, with no output pipe held open (ctest would wait on it).
wineserver -p >/dev/null 2>&1 </dev/null || true   # fails harmlessly when one already runs
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
vantaro_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${VANTARO_XVFB_PID:-}" ] && kill "$VANTARO_XVFB_PID" 2>/dev/null || true
}
