# Sourced by script/test and script/run: a throwaway Wine prefix under Xvfb.
# Usage: wine_bench_start <build-dir> [keep-display]; wine_bench_stop (via trap).

wine_bench_prefix_setup() {
  local prefix="$1"
  rm -rf "$prefix"
  mkdir -p "$prefix"
  export WINEPREFIX="$prefix"
  wineboot -i >/dev/null 2>&1 || true
  # Windows XP, no crash dialog, unmanaged windows (no window manager waits).
  wine reg add 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  # No debugger for crashing processes: a crash fails the test at once.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
  wineserver -w
}

wine_bench_start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  WINE_BENCH_XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

wine_bench_start() {
  local build="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=;mshtml="
  export WINEARCH=win32
  if [ -z "${DISPLAY:-}" ] || [ "${WINE_BENCH_OWN_DISPLAY:-1}" = 1 ]; then
    wine_bench_start_xvfb
  fi
  wine_bench_prefix_setup "$(cd "$build" && pwd)/wineprefix"
  # Warm services so that no test inherits (and waits on) Wine's helpers.
  wineserver -p
  wine "$build/bin/bench_keeper.exe" >/dev/null 2>&1 &
  WINE_BENCH_KEEPER_PID=$!
  sleep 1
  trap wine_bench_stop EXIT
}

wine_bench_stop() {
  [ -n "${WINE_BENCH_KEEPER_PID:-}" ] && kill "$WINE_BENCH_KEEPER_PID" 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  [ -n "${WINE_BENCH_XVFB_PID:-}" ] && kill "$WINE_BENCH_XVFB_PID" 2>/dev/null
  return 0
}
