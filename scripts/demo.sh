#!/usr/bin/env bash
# The demo: builds everything and the demo installation set (CD-ROM), creates a
# fresh target machine (a Wine prefix), starts a simulated voice modem on COM2
# and runs SETUP.EXE: on your display when there is one (DEMO_UNATTENDED=1 to
# run it unattended there too), else unattended under Xvfb. Ends with a report:
# the installed tree, the configuration, the registry entries, the Start Menu
# group and shortcuts, the debug log's tail and a screenshot. DEMO_LANG=de
# installs the German edition (media/demo/demo-de.manifest).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
case "${DEMO_LANG:-en}" in
  en | de) ;;
  *) echo "DEMO_LANG=$DEMO_LANG: the demo installs the English (en) or the German (de) edition" >&2; exit 2 ;;
esac
scripts/setup.sh
# Which Windows build runs under Wine here, asked once (with-wine.sh takes it
# from WINE_ARCH); without a Wine that runs, nothing is built.
WINE_ARCH=$(scripts/wine-arch.sh) || exit 1
export WINE_ARCH
jobs=$(nproc)
echo "== building"
cmake --preset native >/dev/null && cmake --build build/native -j"$jobs" >/dev/null
cmake --preset win32 >/dev/null && cmake --build build/win32 -j"$jobs" >/dev/null
# A host that runs no 32-bit programs shows the 64-bit build of the same sources.
if [ "$WINE_ARCH" = win64 ]; then
  echo "(this host runs no 32-bit programs: the demo runs the 64-bit build under Wine)"
  cmake --preset win64 >/dev/null && cmake --build build/win64 -j"$jobs" >/dev/null
fi

interactive=0
if [ -n "${DISPLAY:-}" ] && [ -z "${DEMO_UNATTENDED:-}" ]; then interactive=1; fi
export DEMO_INTERACTIVE=$interactive
exec scripts/with-wine.sh bash scripts/demo-run.sh
