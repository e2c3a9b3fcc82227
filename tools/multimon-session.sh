#!/usr/bin/env bash
# Starts and stops a desktop of several monitors and a Wine session of its own on it, for the tests
# and benchmarks of full-screen runs that cover every monitor.
#   multimon-session.sh start BUILD_DIR LAYOUT   Xorg with one dummy screen per monitor joined by
#                                                Xinerama, a Wine prefix and persistent server
#                                                inside BUILD_DIR/wine-mm
#   multimon-session.sh stop  BUILD_DIR          ends both again (the prefix stays for the next run)
# Layouts (the first monitor is the primary, at 0,0):
#   one     the 1024x768 primary alone (to compare with, on the same X server)
#   two     1024x768 primary, 800x600 left of it (x from -800)
#   three   the same plus 640x480 right of the primary (x from 1024)
# The state lives in BUILD_DIR/wine-mm/session.env (DISPLAY, WINEPREFIX, ..., MM_LAYOUT);
# BUILD_DIR/wine-mm/wine-run runs a program under it as BUILD_DIR/wine-run does under the regular
# session, which this one never touches. Starting another layout first stops the running one. Xorg
# runs as root here (as on the CI machines); the prefix is 32-bit unless BUILD_DIR/wine/arch says
# win64, as for the regular session.
set -euo pipefail

cmd=${1:?start or stop}
build=$(cd "${2:?build directory}" && pwd)
layout=${3:-two}
dir=$build/wine-mm
state=$dir/session.env
mkdir -p "$dir"

# shellcheck source=tools/wine-prefix.sh
. "$(dirname "$0")/wine-prefix.sh"
use_wine_prefix "$dir/prefix" "$build/wine/arch"

# One dummy Device and Screen per monitor, placed by the ServerLayout. Modes are plain VESA timings;
# Virtual pins each screen's size to its one mode.
monitor_section() {
  local n=$1 mode=$2 line=$3
  cat <<CONF
Section "Device"
  Identifier "d$n"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "m$n"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "$mode" $line
EndSection
Section "Screen"
  Identifier "s$n"
  Device "d$n"
  Monitor "m$n"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "$mode"
    Virtual ${mode%x*} ${mode#*x}
  EndSubSection
EndSection
CONF
}

write_config() {
  local conf=$1 placement
  local xga="65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync"
  local svga="40.00 800 840 968 1056 600 601 605 628 +hsync +vsync"
  local vga="25.18 640 656 752 800 480 490 492 525 -hsync -vsync"
  {
    monitor_section 0 1024x768 "$xga"
    placement='  Screen 0 "s0" 0 0'
    [ "$layout" = one ] || monitor_section 1 800x600 "$svga"
    [ "$layout" = one ] || placement="$placement
  Screen 1 \"s1\" LeftOf \"s0\""
    case $layout in
      one | two) ;;
      three)
        monitor_section 2 640x480 "$vga"
        placement="$placement
  Screen 2 \"s2\" RightOf \"s0\""
        ;;
      *) echo "multimon-session: unknown layout $layout (one, two or three)" >&2; exit 2 ;;
    esac
    cat <<CONF
Section "ServerLayout"
  Identifier "monitors"
$placement
  Option "Xinerama" "on"
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
CONF
  } >"$conf"
}

start() {
  if [ -f "$state" ]; then
    # shellcheck disable=SC1090
    . "$state"
    if alive "${XORG_PID:-}" && [ "${MM_LAYOUT:-}" = "$layout" ]; then return 0; fi
    # NOTE: Wine learns the monitors once per server: another layout needs a new server.
    stop
  fi
  write_config "$dir/xorg-$layout.conf"
  mkdir -p "$dir/xorg.conf.d"
  rm -f "$dir/display"
  # Xorg picks a free display number itself and writes it to fd 3 once it accepts clients. An
  # empty -configdir keeps the machine's own configuration snippets out.
  # NOTE: -noreset: otherwise the server resets whenever its last client goes, and the pointer that
  # a test placed with xdotool (the only client at that moment) jumps back.
  Xorg -displayfd 3 -noreset -nolisten tcp -ac -config "$dir/xorg-$layout.conf" \
    -configdir "$dir/xorg.conf.d" -logfile "$dir/xorg.log" \
    3>"$dir/display" >"$dir/xorg.out" 2>&1 </dev/null &
  local xpid=$! n=""
  for _ in $(seq 150); do
    n=$(cat "$dir/display" 2>/dev/null || true)
    [ -n "$n" ] && break
    alive "$xpid" || break
    sleep 0.1
  done
  if [ -z "$n" ]; then
    echo "multimon-session: Xorg did not start" >&2
    tail -n 30 "$dir/xorg.out" "$dir/xorg.log" >&2 2>/dev/null || true
    kill "$xpid" 2>/dev/null || true
    exit 1
  fi
  export DISPLAY=":$n"

  # NOTE: with XVidMode on, Wine reports the first monitor alone.
  start_wine_server wine_setting 'HKCU\Software\Wine\X11 Driver' UseXVidMode REG_SZ N
  write_session_state "$state" "XORG_PID=$xpid" "MM_LAYOUT=$layout"
  cat >"$dir/wine-run" <<'RUN'
#!/usr/bin/env bash
# Runs a Windows program under the build's multi-monitor Wine session (tools/multimon-session.sh).
state="$(dirname "$0")/session.env"
[ -f "$state" ] || { echo "wine-run: no multi-monitor session" >&2; exit 125; }
# shellcheck disable=SC1090
. "$state"
# No XInput unless a test names one, as in the regular session (tools/wine-run.in).
if [[ "${WINE_EXTRA_DLLOVERRIDES:-}" != *xinput* ]]; then
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;xinput1_4,xinput1_3,xinput9_1_0="
fi
if [ -n "${WINE_EXTRA_DLLOVERRIDES:-}" ]; then
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$WINE_EXTRA_DLLOVERRIDES"
fi
export WINEDLLOVERRIDES
exec wine "$@"
RUN
  chmod +x "$dir/wine-run"
}

stop() { stop_wine_session "$state" XORG_PID; }

case $cmd in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start BUILD_DIR one|two|three | stop BUILD_DIR" >&2; exit 2 ;;
esac
