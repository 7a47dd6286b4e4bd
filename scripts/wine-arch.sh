#!/usr/bin/env bash
# Prints which Windows test build this host can run under Wine: win32 where
# Wine's 32-bit loader starts, win64 where the kernel runs no 32-bit programs
# (IA-32 emulation switched off) but the 64-bit loader does. WINE_ARCH overrides,
# for a loader that starts. The only place that decides: the other scripts take
# the answer, and with-wine.sh and the scenarios get it as WINE_ARCH.
# Where Wine is missing or the loader does not start it prints nothing, says
# why on stderr and exits 1: the scripts that ask stop there, before anything
# is built.
fail() {
  echo "wine-arch: $*" >&2
  exit 1
}
# The commands the scripts call by name (wineboot starts wine-stable).
for command in wine wine-stable wineserver wineboot; do
  command -v "$command" >/dev/null 2>&1 || fail "Wine is not installed here: no $command on PATH (scripts/setup.sh installs it)"
done
starts() { "/usr/lib/wine/$1" --version >/dev/null 2>&1; }
case ${WINE_ARCH:-} in
  "")
    if starts wine; then echo win32
    elif starts wine64; then echo win64
    else
      fail "Wine cannot run on this host: neither its 32-bit loader (/usr/lib/wine/wine) nor its 64-bit one" \
           "(/usr/lib/wine/wine64) starts (scripts/setup.sh installs them)"
    fi ;;
  win32)
    starts wine || fail "WINE_ARCH=win32, but Wine's 32-bit loader (/usr/lib/wine/wine) does not start here"
    echo win32 ;;
  win64)
    starts wine64 || fail "WINE_ARCH=win64, but Wine's 64-bit loader (/usr/lib/wine/wine64) does not start here"
    echo win64 ;;
  *) fail "WINE_ARCH=$WINE_ARCH: it is win32 or win64" ;;
esac
