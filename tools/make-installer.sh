#!/usr/bin/env bash
# Makes the user's installer, glimmerbox-setup-<version>.exe, with NSIS from a 32-bit build and,
# when given, a 64-bit one (each already built). The hot-corner agent goes in when a build has it.
#   make-installer.sh BUILD32 [BUILD64] OUT_DIR     prints the installer's path
# With MORVANE_SIGN_PFX and MORVANE_SIGN_PASSWORD set (tools/sign.sh), every program and library in
# it (copies: the builds stay as they are, NSIS's plugins included), its uninstaller and the
# installer itself are signed. What it carries ships without debugging information: the symbols go
# to glimmerbox-<version>-symbols.zip beside the installer (tools/split-symbols.sh). Both appear in
# OUT_DIR only once complete.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -eq 3 ]; then b64=$(cd "$2" && pwd); out=$3; else b64=""; out=${2:?output folder}; fi
b32=$(cd "${1:?32-bit build}" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$b32/CMakeCache.txt")
[ -n "$version" ] || { echo "make-installer: no project version in $b32" >&2; exit 1; }
exe=$out/glimmerbox-setup-$version.exe
sign=$root/tools/sign.sh
signing=0
if "$sign" enabled; then
  "$sign" check
  signing=1
  # makensis runs the signing of the uninstaller and the installer from the script's folder.
  MORVANE_SIGN_PFX=$(realpath "$MORVANE_SIGN_PFX")
  export MORVANE_SIGN_PFX
fi
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
partial=$stage/glimmerbox-setup.exe
defines=(-DVERSION="$version" -DOUTFILE="$partial")
# Programs and Features' help link; without it a placeholder (README, "Installing").
[ -z "${MORVANE_HELP_URL:-}" ] || defines+=(-DHELP_URL="$MORVANE_HELP_URL")
symbols=glimmerbox-$version-symbols
carry() {  # define, file: a copy without debugging information, signed when signing
  mkdir -p "$stage/$1"
  cp "$2" "$stage/$1/"
  local file=$stage/$1/$(basename "$2")
  "$root/tools/split-symbols.sh" "$stage/$symbols/$1" "$file"
  if [ $signing = 1 ]; then "$sign" "$file"; fi
  defines+=(-D"$1"="$file")
}
carry SAVER32 "$b32/bin/glimmerbox.scr"
carry CAROUSEL32 "$b32/bin/carousel.scr"
# Run by the installer and the uninstaller, never installed: the 32-bit ones serve both word sizes.
carry KEEPFILES "$b32/bin/keepfiles.exe"
carry RESTORESAVERS "$b32/bin/restoresavers.exe"
# glimmerbox.nsi takes its icon from beside SAVER32.
if [ -f "$b32/bin/glimmerbox.ico" ]; then cp "$b32/bin/glimmerbox.ico" "$stage/SAVER32/"; fi
add_agent() {  # build, suffix
  # bin/agent/: bin/ScrHots.dll is the tests' stand-in.
  if [ -f "$1/bin/agent/morvanecorners.exe" ] && [ -f "$1/bin/agent/ScrHots.dll" ]; then
    carry AGENT"$2" "$1/bin/agent/morvanecorners.exe"
    carry HOTS"$2" "$1/bin/agent/ScrHots.dll"
  fi
}
add_agent "$b32" 32
if [ -n "$b64" ]; then
  carry SAVER64 "$b64/bin/glimmerbox.scr"
  carry CAROUSEL64 "$b64/bin/carousel.scr"
  add_agent "$b64" 64
fi
if [ $signing = 1 ]; then
  # NSIS unpacks its plugins next to the installer when it runs: they ship too.
  plugins=$stage/plugins
  mkdir -p "$plugins"
  nsisdir=$(makensis -HDRINFO | tr ', ' '\n\n' | sed -n 's/^NSISDIR=//p' | head -n 1)
  cp "$nsisdir"/Plugins/x86-unicode/*.dll "$plugins/"
  "$sign" "$plugins"/*.dll
  defines+=(-DSIGN="$sign" -DSIGNED_PLUGINS="$plugins")
fi
makensis -V2 "${defines[@]}" "$root/packaging/installer/glimmerbox.nsi" >&2
(cd "$stage" && cmake -E tar cf "$stage/$symbols.zip" --format=zip "$symbols")
mv -f "$stage/$symbols.zip" "$out/$symbols.zip"
mv -f "$partial" "$exe"
echo "$exe"
