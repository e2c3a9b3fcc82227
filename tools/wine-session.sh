#!/usr/bin/env bash
# Starts and stops the virtual display and the persistent Wine server that the tests run under.
#   wine-session.sh start BUILD_DIR   Xvfb, a Wine prefix inside BUILD_DIR/wine, a persistent server
#   wine-session.sh stop  BUILD_DIR   ends both again (the prefix stays for the next run)
# The state lives in BUILD_DIR/wine/session.env, which wine-run sources. The prefix is 32-bit unless
# the build's configure wrote win64 to BUILD_DIR/wine/arch (a 64-bit build).
set -euo pipefail

cmd=${1:?start or stop}
build=$(cd "${2:?build directory}" && pwd)
dir=$build/wine
state=$dir/session.env
mkdir -p "$dir"

export WINEPREFIX=$dir/prefix
WINEARCH=$(cat "$dir/arch" 2>/dev/null || true)
export WINEARCH=${WINEARCH:-win32}
export WINEDEBUG=-all
# NOTE: keeps wineboot from offering to download Mono and Gecko, which would wait for ever.
export WINEDLLOVERRIDES="mscoree,mshtml="

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

start() {
  if [ -f "$state" ]; then
    # shellcheck disable=SC1090
    . "$state"
    if alive "${XVFB_PID:-}"; then return 0; fi
  fi
  # Xvfb picks a free display number itself and writes it to fd 3.
  # NOTE: -noreset: otherwise the server resets whenever its last client goes, and the pointer
  # that a test placed with xdotool (the only client at that moment) jumps back to the centre.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ac -noreset \
    3>"$dir/display" >"$dir/xvfb.log" 2>&1 </dev/null &
  local xpid=$! n
  for _ in $(seq 100); do
    n=$(cat "$dir/display" 2>/dev/null || true)
    [ -n "$n" ] && break
    sleep 0.1
  done
  [ -n "$n" ] || { echo "wine-session: Xvfb did not start" >&2; cat "$dir/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$n"

  mkdir -p "$WINEPREFIX"
  # NOTE: a server started without redirection holds the caller's pipes for ever.
  wineserver -p >/dev/null 2>&1 </dev/null
  if [ ! -f "$WINEPREFIX/.configured" ]; then
    wine wineboot -i >/dev/null 2>&1 </dev/null
    # Unmanaged windows: without a window manager every managed window takes ~2 s to hide.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    # A crash must end the process, not wait in winedbg's dialog on the virtual display.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
    touch "$WINEPREFIX/.configured"
  else
    # The first process starts Wine's services, which inherit its pipes: make it ours, not a test.
    wine wineboot >/dev/null 2>&1 </dev/null
  fi
  cat >"$state" <<ENV
export WINEPREFIX='$WINEPREFIX'
export WINEARCH=$WINEARCH
export WINEDEBUG=-all
export WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
export DISPLAY=':$n'
XVFB_PID=$xpid
ENV
}

stop() {
  [ -f "$state" ] || return 0
  # shellcheck disable=SC1090
  . "$state"
  wineserver -k >/dev/null 2>&1 || true
  if alive "${XVFB_PID:-}"; then
    kill "$XVFB_PID" 2>/dev/null || true
    for _ in $(seq 50); do alive "$XVFB_PID" || break; sleep 0.1; done
  fi
  rm -f "$state"
}

case $cmd in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
