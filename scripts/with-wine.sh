#!/usr/bin/env bash
# Runs a command with a Wine target machine ready: a prefix for the build that
# runs here, a virtual display when there is none, and one persistent
# wineserver kept warm.
#   WINEPREFIX  the prefix to use (default build/wineprefix, build/wineprefix64
#               for win64; made on first use)
#   WINE_ARCH   win32 (the shipped build) or win64 (the 64-bit test build, for a
#               host that runs no 32-bit programs); scripts/wine-arch.sh decides
#   WINESERVER_LOG  where the wineserver writes (default $WINEPREFIX.wineserver.log,
#               made afresh by each run)
#   E2E_FREEZE_BASE  when set: the scenarios' machines are copies of a snapshot
#               of the prefix ($WINEPREFIX.base, exported as E2E_BASE_PREFIX)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
WINE_ARCH=$("$root/scripts/wine-arch.sh") || exit 1
export WINE_ARCH WINEARCH=$WINE_ARCH
if [ "$WINE_ARCH" = win64 ]; then
  export PATH=$root/scripts/wine64:$PATH
  export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix64}
else
  export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or Gecko prompts, and no menu entries or desktop files on the host.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    break
  done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 </dev/null || true
  wineserver -w
fi
# Wine's own fonts (Marlett draws the caption buttons, Tahoma and MS Sans Serif
# the dialogs) come with fonts-wine into /usr/share/wine/fonts, but Debian's
# Wine 8 looks for them at "<data dir>\../fonts", a path it cannot open, and
# so finds none. The Windows directory's Fonts it always reads: they go there,
# into a new prefix and into one made before, file by file when missing.
wine_fonts=/usr/share/wine/fonts
if [ -f "$wine_fonts/marlett.ttf" ]; then
  fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  for font in "$wine_fonts"/*.ttf "$wine_fonts"/*.fon; do
    [ -f "$font" ] && [ ! -e "$fonts/${font##*/}" ] || continue
    cp "$font" "$fonts/.${font##*/}.$$" && mv -f "$fonts/.${font##*/}.$$" "$fonts/${font##*/}"
  done
else
  echo "with-wine: no $wine_fonts/marlett.ttf (scripts/setup.sh installs fonts-wine): captions show letters for their buttons" >&2
fi
# A new prefix links Desktop, Documents ... to the host user's home; the target
# machine gets folders of its own, so shortcuts never land on the host.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  [ -L "$link" ] || continue
  rm -f "$link" && mkdir -p "$link"
done
# The scenarios copy the prepared prefix for each target machine while the
# Windows tests write into it (WININIT.INI, the registry): they copy a snapshot
# frozen here instead, before any test runs and while no server holds it.
if [ -n "${E2E_FREEZE_BASE:-}" ]; then
  rm -rf "$WINEPREFIX.base.new"
  cp -a "$WINEPREFIX" "$WINEPREFIX.base.new"
  rm -rf "$WINEPREFIX.base"
  mv "$WINEPREFIX.base.new" "$WINEPREFIX.base"
  export E2E_BASE_PREFIX=$WINEPREFIX.base E2E_BASE_FROZEN=1
fi
# Background processes of Wine must not hold the caller's pipes open. A server
# of the same prefix that is still shutting down refuses a new one for a moment.
# The server writes into a file of its own, not into the caller's output: a
# serial port it opens (a simulated modem's pty) becomes its controlling
# terminal, and when the modem goes the hang-up makes it dump every object it
# holds (some ten thousand lines of registry keys) to its stderr.
WINESERVER_LOG=${WINESERVER_LOG:-$WINEPREFIX.wineserver.log}
for attempt in 1 2 3 4 5 6 7 8 9 10; do
  wineserver -p 2>"$WINESERVER_LOG" && break
  [ "$attempt" = 10 ] && { echo "with-wine: cannot start a wineserver for $WINEPREFIX" >&2; exit 1; }
  sleep 1
done
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
"$@"
