#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test the installer.
# Idempotent: quick when everything is already there.
set -euo pipefail

need=(cmake make g++ g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
      wine wine32 xvfb x11-apps imagemagick googletest mscompress socat python3
      liblnk-utils xdotool clang libclang-rt-14-dev
      wine64 g++-mingw-w64-x86-64-win32
      fonts-wine  # Wine's own fonts: scripts/with-wine.sh puts them into the prefix
      mgetty-pvftools libgsm-tools sox espeak-ng)  # the voice coders' references (tests, bench-voice.sh)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
# wine32 lives in the i386 architecture, so the index must know it. A mirror
# caught mid-sync fails one index: try again, then install from what is known.
for try in 1 2 3; do
  $SUDO apt-get update -qq && break
  echo "setup.sh: the package index did not update (try $try of 3)" >&2
  sleep $((try * 10))
done
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
