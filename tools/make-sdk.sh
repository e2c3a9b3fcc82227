#!/usr/bin/env bash
# Makes the saver author's SDK, morvane-sdk-<version>.zip, from a 32-bit and a 64-bit build (each
# already built): both install their "sdk" component into one folder, which is zipped.
#   make-sdk.sh BUILD32 BUILD64 OUT_DIR     prints the zip's path
set -euo pipefail
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
rm -f "$out/$name.zip"
(cd "$stage" && cmake -E tar cf "$out/$name.zip" --format=zip "$name")
echo "$out/$name.zip"
