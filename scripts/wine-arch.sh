#!/usr/bin/env bash
# Prints which Windows test build this host can run under Wine: win32 where
# Wine's 32-bit loader starts, win64 where the kernel runs no 32-bit programs
# (IA-32 emulation switched off) but the 64-bit loader does. WINE_ARCH overrides.
# Where neither starts it prints none, says why on stderr and exits 1: the
# scripts that ask stop there, before anything is built.
if [ -n "${WINE_ARCH:-}" ]; then
  case $WINE_ARCH in
    win32 | win64) echo "$WINE_ARCH"; exit 0 ;;
    *) echo "WINE_ARCH=$WINE_ARCH: win32 or win64" >&2; echo none; exit 1 ;;
  esac
fi
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32
elif /usr/lib/wine/wine64 --version >/dev/null 2>&1; then echo win64
else
  echo "Wine cannot run on this host: neither its 32-bit loader (/usr/lib/wine/wine) nor its 64-bit one" \
       "(/usr/lib/wine/wine64) starts; scripts/setup.sh installs them" >&2
  echo none
  exit 1
fi
