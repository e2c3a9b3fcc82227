#!/usr/bin/env bash
# Takes the debugging information off files about to ship, keeping it apart for crash analysis.
# Each FILE (changed in place: give it copies) loses its .debug_ sections and gets a debug link
# (the debug file's name and CRC) to FILE's name + .debug in SYMBOLS_DIR, which receives that
# debug file; a debugger given SYMBOLS_DIR finds it. A static library or an object file ships
# without its debugging information and goes whole into SYMBOLS_DIR. Strip before signing: the
# signature covers what ships.
#   split-symbols.sh SYMBOLS_DIR FILE...
set -euo pipefail
# The MinGW-w64 objcopy reads 32-bit and 64-bit PE files alike.
objcopy=${MORVANE_OBJCOPY:-x86_64-w64-mingw32-objcopy}
dir=${1:?symbols folder}
shift
mkdir -p "$dir"
# A program's link time, from its PE header: the stripped copy keeps it (objcopy would stamp the
# time of the copy), so that the same build always ships the same bytes.
link_time() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tu4 -j$((header + 8)) -N4 "$1" | tr -d ' '
}
for file in "$@"; do
  name=$(basename "$file")
  case "$name" in
    *.a | *.o)
      # An import "library" may be a linker script, text with nothing to strip.
      if [ "$(head -c 7 "$file")" != '!<arch>' ] && [ "${name%.o}" = "$name" ]; then continue; fi
      cp "$file" "$dir/$name"
      "$objcopy" --strip-debug "$file"
      ;;
    *)
      SOURCE_DATE_EPOCH=$(link_time "$file")
      export SOURCE_DATE_EPOCH
      "$objcopy" --only-keep-debug "$file" "$dir/$name.debug"
      "$objcopy" --strip-debug --add-gnu-debuglink="$dir/$name.debug" "$file"
      ;;
  esac
done
