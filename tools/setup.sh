#!/usr/bin/env bash
# Installs everything the build, the demo and the tests need on a Debian 12 machine.
# Quick when all is already there; fails loudly when a package is still missing afterwards.
set -euo pipefail

PACKAGES=(
  cmake make g++ python3 python3-pefile
  googletest libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  g++-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine64 libgl1:amd64 libgl1-mesa-dri:amd64 libglu1-mesa:amd64
  xvfb xauth x11-apps x11-utils imagemagick xdotool
  nsis osslsigncode openssl p7zip-full
  xserver-xorg-core xserver-xorg-video-dummy libxinerama1:i386 libxinerama1:amd64
)

missing() {
  local p
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
      echo "$p"
    fi
  done
}

need=$(missing)
if [ -n "$need" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -q --no-install-recommends $need
fi

still=$(missing)
if [ -n "$still" ]; then
  echo "setup: these packages are still not installed:" >&2
  echo "$still" >&2
  exit 1
fi
