#!/usr/bin/env bash
# Makes the user's installer, glimmerbox-setup-<version>.exe, with NSIS from a 32-bit build and,
# when given, a 64-bit one (each already built). The hot-corner agent goes in when a build has it.
#   make-installer.sh BUILD32 [BUILD64] OUT_DIR     prints the installer's path
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -eq 3 ]; then b64=$(cd "$2" && pwd); out=$3; else b64=""; out=${2:?output folder}; fi
b32=$(cd "${1:?32-bit build}" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$b32/CMakeCache.txt")
[ -n "$version" ] || { echo "make-installer: no project version in $b32" >&2; exit 1; }
exe=$out/glimmerbox-setup-$version.exe
defines=(-DVERSION="$version" -DOUTFILE="$exe" -DSAVER32="$b32/bin/glimmerbox.scr")
add_agent() {  # build, suffix
  # bin/agent/: bin/ScrHots.dll is the tests' stand-in.
  if [ -f "$1/bin/agent/morvanecorners.exe" ] && [ -f "$1/bin/agent/ScrHots.dll" ]; then
    defines+=(-DAGENT"$2"="$1/bin/agent/morvanecorners.exe" -DHOTS"$2"="$1/bin/agent/ScrHots.dll")
  fi
}
add_agent "$b32" 32
if [ -n "$b64" ]; then
  defines+=(-DSAVER64="$b64/bin/glimmerbox.scr")
  add_agent "$b64" 64
fi
makensis -V2 "${defines[@]}" "$root/packaging/installer/glimmerbox.nsi" >&2
echo "$exe"
