#!/usr/bin/env bash
# Sets the machine up, builds the demo and runs it: on your X display when there is one, otherwise
# on a virtual display, where it answers "No" to the start question, lets the scene run for a few
# seconds, saves a PNG screenshot (its path is printed) and ends the demo with Escape.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}/win

"$root/tools/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)" --target glimmerbox scene_textures uiprobe

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # A prefix of the build's own, not the user's; windows stay managed by the user's window manager.
  export WINEPREFIX=$build/wine/demo-prefix WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  cd "$build/bin"
  exec wine ./glimmerbox.exe
fi

trap '"$root/tools/wine-session.sh" stop "$build" >/dev/null 2>&1 || true' EXIT
"$root/tools/wine-session.sh" start "$build"
python3 "$root/tools/demo_headless.py" "$build"
