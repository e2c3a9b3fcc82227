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

# shellcheck source=tools/wine-prefix.sh
. "$(dirname "$0")/wine-prefix.sh"
use_wine_prefix "$dir/prefix" "$dir/arch"

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

  start_wine_server
  write_session_state "$state" "XVFB_PID=$xpid"
}

stop() { stop_wine_session "$state" XVFB_PID; }

case $cmd in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
