#!/usr/bin/env bash
# Checks that every C and C++ source of the product and its tests is formatted as .clang-format
# says, and lists those that are not. With --fix it formats them in place instead.
# CLANG_FORMAT may name the program to use.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

fix=0
case "${1-}" in
  "") ;;
  --fix) fix=1 ;;
  *)
    echo "usage: $0 [--fix]" >&2
    exit 2
    ;;
esac

cf=${CLANG_FORMAT-}
if [ -z "$cf" ]; then
  for candidate in clang-format clang-format-14; do
    if command -v "$candidate" >/dev/null 2>&1; then
      cf=$candidate
      break
    fi
  done
fi
if [ -z "$cf" ] || ! command -v "$cf" >/dev/null 2>&1; then
  echo "check-format: clang-format not found; tools/setup.sh installs it" >&2
  exit 2
fi
# Another major version may break lines differently and fail files that clang-format 14 accepts.
version=$("$cf" --version | sed -n 's/.*clang-format version \([0-9]*\).*/\1/p')
if [ "$version" != 14 ]; then
  echo "check-format: note: $cf is version ${version:-unknown}; the tree is kept to version 14" >&2
fi

# Without the file clang-format would quietly fall back to a style of its own.
if [ ! -f .clang-format ]; then
  echo "check-format: $root/.clang-format is missing" >&2
  exit 2
fi
if ! err=$("$cf" --style=file --assume-filename="$root/check.cpp" --dump-config 2>&1 >/dev/null); then
  echo "check-format: $cf cannot read .clang-format:" >&2
  echo "$err" >&2
  exit 2
fi

# Build trees are skipped by name and by their CMake cache, wherever BUILD_DIR put them, since
# they may hold generated sources. Resource scripts (.rc) and .def files are not C.
mapfile -d '' files < <(find agent app scene saver carousel framework packaging tests tools \
  \( -type d \( -name 'build' -o -name 'build-*' -o -name '.*' \
  -o -exec test -e '{}/CMakeCache.txt' \; \) -prune \) \
  -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 | sort -z)

# One run over all files: clang-format names each file that it would change in its warnings.
status=0
report=$(printf '%s\0' "${files[@]}" |
  xargs -0 "$cf" --style=file --dry-run --Werror 2>&1 >/dev/null) || status=$?
mapfile -t bad < <(printf '%s\n' "$report" |
  sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
if [ "$status" -ne 0 ] && [ "${#bad[@]}" -eq 0 ]; then
  echo "check-format: $cf failed:" >&2
  printf '%s\n' "$report" >&2
  exit 2
fi

if [ "${#bad[@]}" -eq 0 ]; then
  echo "check-format: all ${#files[@]} files are formatted"
  exit 0
fi

if [ "$fix" -eq 1 ]; then
  "$cf" --style=file -i "${bad[@]}"
  printf 'check-format: formatted %s\n' "${bad[@]}"
  exit 0
fi

echo "check-format: ${#bad[@]} of ${#files[@]} files are not formatted:" >&2
printf '  %s\n' "${bad[@]}" >&2
echo "check-format: tools/check-format.sh --fix formats them" >&2
exit 1
