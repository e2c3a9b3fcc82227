#!/usr/bin/env bash
# Makes the saver author's SDK, morvane-sdk-<version>.zip, from a 32-bit and a 64-bit build (each
# already built): both install their "sdk" component into one folder, which is zipped.
#   make-sdk.sh BUILD32 BUILD64 OUT_DIR     prints the zip's path
# With MORVANE_SIGN_PFX and MORVANE_SIGN_PASSWORD set (tools/sign.sh), its programs and libraries
# are signed. They ship without debugging information: the symbols go to
# morvane-sdk-<version>-symbols.zip beside it (tools/split-symbols.sh). Both appear in OUT_DIR only
# once complete.
set -euo pipefail
sign=$(dirname "$0")/sign.sh
signing=0
if "$sign" enabled; then
  "$sign" check
  signing=1
fi
b32=$(cd "${1:?32-bit build}" && pwd)
b64=$(cd "${2:?64-bit build}" && pwd)
mkdir -p "${3:?output folder}"
out=$(cd "$3" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for build in "$b32" "$b64"; do
  cmake --install "$build" --component sdk --prefix "$stage/sdk" >/dev/null
done
name=morvane-sdk-$(cat "$stage/sdk/VERSION")
mv "$stage/sdk" "$stage/$name"
# Each file's symbols in the same folder of the symbols tree as the file in the SDK's.
(cd "$stage/$name" && find . -type f \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.scr' \
  -o -iname '*.a' -o -iname '*.o' \) -print0) | while IFS= read -r -d '' file; do
  "$(dirname "$0")/split-symbols.sh" "$stage/$name-symbols/$(dirname "$file")" "$stage/$name/$file"
done
if [ $signing = 1 ]; then
  find "$stage/$name" -type f \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.scr' \) \
    -exec "$sign" {} +
fi
(cd "$stage" && cmake -E tar cf "$stage/$name.zip" --format=zip "$name")
(cd "$stage" && cmake -E tar cf "$stage/$name-symbols.zip" --format=zip "$name-symbols")
mv -f "$stage/$name-symbols.zip" "$out/$name-symbols.zip"
mv -f "$stage/$name.zip" "$out/$name.zip"
echo "$out/$name.zip"
