#!/usr/bin/env bash
# Sets the machine up, builds everything and runs every test: natively under sanitizers, then the
# Windows build under Wine on a virtual display, 32-bit and then 64-bit. Exits non-zero on any
# failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=$(nproc)

"$root/tools/setup.sh"

echo "== native build and tests"
# clang, so that the fuzzers link the very libraries the tests link.
cmake -S "$root" -B "$build/native" -DGLIMMER_WERROR=ON -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build/native" -j"$jobs"
ctest --test-dir "$build/native" -j2 --output-on-failure

echo "== Windows build and tests under Wine"
cmake -S "$root" -B "$build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
  -DGLIMMER_WERROR=ON
cmake --build "$build/win" -j"$jobs"
# The session is a test fixture that ctest starts and stops; this only catches an interrupted run.
stop_sessions() {
  local b
  for b in win win64; do
    "$root/tools/wine-session.sh" stop "$build/$b" >/dev/null 2>&1 || true
  done
}
trap stop_sessions EXIT
ctest --test-dir "$build/win" -j2 --output-on-failure

echo "== 64-bit Windows build and tests under 64-bit Wine"
# The 32-bit build beside it: the SDK zip and the installer carry both word sizes.
cmake -S "$root" -B "$build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" \
  -DGLIMMER_WERROR=ON -DGLIMMER_PEER_BUILD="$build/win"
cmake --build "$build/win64" -j"$jobs"
ctest --test-dir "$build/win64" -j2 --output-on-failure
