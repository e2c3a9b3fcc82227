# Sourced by wine-session.sh and multimon-session.sh: the Wine environment of a test session, the
# set-up of its prefix and the state file that wine-run reads.

# use_wine_prefix PREFIX ARCH_FILE: the prefix is 32-bit unless ARCH_FILE says win64.
use_wine_prefix() {
  export WINEPREFIX=$1
  WINEARCH=$(cat "$2" 2>/dev/null || true)
  export WINEARCH=${WINEARCH:-win32}
  export WINEDEBUG=-all
  # NOTE: keeps wineboot from offering to download Mono and Gecko, which would wait for ever.
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

# wine_setting KEY NAME TYPE DATA: one registry value, quietly.
wine_setting() {
  wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 </dev/null
}

# start_wine_server [COMMAND ...]: the persistent server on $DISPLAY. A new prefix is made and
# given the settings every session needs, then COMMAND's own.
start_wine_server() {
  mkdir -p "$WINEPREFIX"
  # NOTE: a server started without redirection holds the caller's pipes for ever.
  wineserver -p >/dev/null 2>&1 </dev/null
  if [ ! -f "$WINEPREFIX/.configured" ]; then
    wine wineboot -i >/dev/null 2>&1 </dev/null
    # Unmanaged windows: without a window manager every managed window takes ~2 s to hide.
    wine_setting 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
    # A crash must end the process, not wait in winedbg's dialog on the display.
    wine_setting 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
    if [ $# -gt 0 ]; then
      "$@"
      # The settings reach the registry files only when the server ends; the next server reads
      # them.
      wineserver -k >/dev/null 2>&1 || true
      wineserver -w >/dev/null 2>&1 || true
      wineserver -p >/dev/null 2>&1 </dev/null
    fi
    touch "$WINEPREFIX/.configured"
  fi
  # The first process starts Wine's services, which inherit its pipes: make it ours, not a test.
  wine wineboot >/dev/null 2>&1 </dev/null
}

# write_session_state FILE [LINE ...]: what wine-run needs, and the caller's own lines.
write_session_state() {
  local file=$1 line
  shift
  {
    echo "export WINEPREFIX='$WINEPREFIX'"
    echo "export WINEARCH=$WINEARCH"
    echo "export WINEDEBUG=-all"
    echo "export WINEDLLOVERRIDES='$WINEDLLOVERRIDES'"
    echo "export DISPLAY='$DISPLAY'"
    for line in "$@"; do echo "$line"; done
  } >"$file"
}

# stop_wine_session FILE PID_NAME: ends the Wine server and the display server whose process id
# the state FILE holds as PID_NAME, and removes FILE. The prefix stays for the next session.
stop_wine_session() {
  local file=$1 pid
  [ -f "$file" ] || return 0
  # shellcheck disable=SC1090
  . "$file"
  pid=${!2:-}
  wineserver -k >/dev/null 2>&1 || true
  if alive "$pid"; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do alive "$pid" || break; sleep 0.1; done
  fi
  rm -f "$file"
}
