# Sourced by script/test, script/run and the benchmarks: a throwaway Wine
# prefix under Xvfb for one Windows architecture.
#   wine_bench_loader <arch>       the Wine loader for i686 or x86_64
#   wine_bench_arch_runs <arch>    succeeds when this machine runs that loader
#   wine_bench_use <arch>          exports WINEARCH and TESS_WINE for the arch
#   wine_bench_start <build-dir> [arch]   Xvfb, a fresh prefix, warm services
#   wine_bench_stop                (set as the EXIT trap by wine_bench_start)
#   wine_bench_attach <bin-dir>    for benchmarks: the caller's prefix when
#                                  WINEPREFIX is set, else a fresh one
# Everything calls Windows programs through "$TESS_WINE": the 64-bit loader
# must be called by its own path (under the name "wine" it falls back to the
# 32-bit loader).

wine_bench_loader() {
  case "$1" in
    i686) echo /usr/lib/wine/wine ;;
    x86_64) echo /usr/lib/wine/wine64 ;;
    *) echo "unknown architecture: $1" >&2; return 2 ;;
  esac
}

# Runs the loader itself, which is a Linux program of the architecture: a
# kernel without 32-bit support refuses it with "Exec format error".
wine_bench_arch_runs() {
  local loader
  loader=$(wine_bench_loader "$1") || return 2
  [ -x "$loader" ] || { WINE_BENCH_WHY="$loader is not installed"; return 1; }
  local out
  if ! out=$("$loader" --version 2>&1); then
    WINE_BENCH_WHY="$loader cannot run here: $(echo "$out" | tail -n1 | sed 's/^.*: //')"
    return 1
  fi
  return 0
}

# The build's architecture, from the CMake cache (i686 when unknown).
wine_bench_build_arch() {
  local arch
  arch=$(sed -n 's/^TESS_ARCH:[A-Z]*=//p' "$1/CMakeCache.txt" 2>/dev/null)
  echo "${arch:-i686}"
}

wine_bench_use() {
  export TESS_WINE
  TESS_WINE=$(wine_bench_loader "$1")
  if [ "$1" = x86_64 ]; then export WINEARCH=win64; else export WINEARCH=win32; fi
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=;mshtml="
}

wine_bench_prefix_setup() {
  local prefix="$1"
  rm -rf "$prefix"
  mkdir -p "$prefix"
  export WINEPREFIX="$prefix"
  "$TESS_WINE" wineboot.exe -i >/dev/null 2>&1 || true
  # Windows XP, no crash dialog, unmanaged windows (no window manager waits).
  local reg=("$TESS_WINE" reg.exe add)
  "${reg[@]}" 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null 2>&1
  "${reg[@]}" 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "${reg[@]}" 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  "${reg[@]}" 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  # No debugger for crashing processes: a crash fails the test at once.
  "${reg[@]}" 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
  "${reg[@]}" 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
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
  local arch="${2:-$(wine_bench_build_arch "$build")}"
  wine_bench_use "$arch"
  if [ -z "${DISPLAY:-}" ] || [ "${WINE_BENCH_OWN_DISPLAY:-1}" = 1 ]; then
    if [ -z "${WINE_BENCH_XVFB_PID:-}" ]; then wine_bench_start_xvfb; fi
  fi
  wine_bench_prefix_setup "$(cd "$build" && pwd)/wineprefix"
  # Warm services so that no test inherits (and waits on) Wine's helpers.
  wineserver -p
  "$TESS_WINE" "$build/bin/bench_keeper.exe" >/dev/null 2>&1 &
  WINE_BENCH_KEEPER_PID=$!
  sleep 1
  trap wine_bench_stop EXIT
}

# Ends this prefix's Wine (and Xvfb unless asked to keep it). Nothing left to
# end is not a failure: a stop step must never turn a passing run into exit 1.
wine_bench_stop() {
  if [ -n "${WINE_BENCH_KEEPER_PID:-}" ]; then kill "$WINE_BENCH_KEEPER_PID" 2>/dev/null || true; fi
  WINE_BENCH_KEEPER_PID=""
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
  if [ "${1:-}" != keep-display ] && [ -n "${WINE_BENCH_XVFB_PID:-}" ]; then
    kill "$WINE_BENCH_XVFB_PID" 2>/dev/null || true
    WINE_BENCH_XVFB_PID=""
  fi
  return 0
}

# A benchmark runs in the caller's prefix (script/test, a developer's shell)
# or, when there is none, in a throwaway prefix of the build it belongs to.
wine_bench_attach() {
  local build
  build="$(dirname "$1")"
  if [ -z "${WINEPREFIX:-}" ]; then wine_bench_start "$build"; fi
  : "${TESS_WINE:=$(wine_bench_loader "$(wine_bench_build_arch "$build")")}"
  export TESS_WINE
}
