#!/usr/bin/env bash
# Prints which Windows test build this host can run under Wine: win32 where
# Wine's 32-bit loader starts, win64 where the kernel runs no 32-bit programs
# (IA-32 emulation switched off) but the 64-bit loader does. WINE_ARCH overrides.
if [ -n "${WINE_ARCH:-}" ]; then echo "$WINE_ARCH"; exit 0; fi
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32
elif /usr/lib/wine/wine64 --version >/dev/null 2>&1; then echo win64
else echo none; exit 1
fi
