#!/usr/bin/env bash
# Wall time of a full modem identification under Wine, per profile, against
# its floor: the waiting that the exchange itself prescribes (40 ms before each
# command, 2 ms after each byte, the 1 ms polls and the time-outs the tree
# waits out, the simulated modem's answer delays). The floor is the native
# identification's virtual clock on the same profile (tests/native/modem_floor_test).
#   scripts/bench-modem.sh [PROFILE.modem ...]     (default: every vendor*.modem)
# Needs both builds (build/native, and build/win32 or, on a host that runs no
# 32-bit programs, build/win64). Profiles run one at a time on COM1, so that
# they do not compete for the processor. Prints a Markdown table.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${BENCH_UNDER_WINE:-}" ]; then
  BENCH_UNDER_WINE=1 exec "$root/scripts/with-wine.sh" bash "$0" "$@"
fi
sim=$root/build/native/tools/modemsim/modemsim
floortest=$root/build/native/tests/modem_floor_test
WINE_ARCH=$("$root/scripts/wine-arch.sh") || exit 1
probe=$root/build/$WINE_ARCH/tests/modem_identify_test.exe
for f in "$sim" "$floortest" "$probe"; do [ -e "$f" ] || { echo "missing $f: build first" >&2; exit 1; }; done

if [ $# -gt 0 ]; then profiles=("$@"); else
  mapfile -t profiles < <(cd "$root/media/modems" && ls vendor*.modem)
fi
work=$(mktemp -d)
com1="$WINEPREFIX/dosdevices/com1"
saved=$( [ -L "$com1" ] && readlink "$com1" || true )
simpid=""
cleanup() {
  [ -n "$simpid" ] && { kill "$simpid" 2>/dev/null || true; wait "$simpid" 2>/dev/null || true; }
  rm -f "$com1"
  [ -n "$saved" ] && ln -s "$saved" "$com1"
  rm -rf "$work"
}
trap cleanup EXIT

TEST_SOURCE_DIR=$root MODEM_FLOOR_OUT=$work/floor.txt "$floortest" >"$work/floor.out" 2>&1 ||
  { cat "$work/floor.out" >&2; exit 1; }

profiledir="Z:${root//\//\\}\\media\\modems"
timing="Z:${work//\//\\}\\measured.txt"
for p in "${profiles[@]}"; do
  rm -f "$work/com1"
  "$sim" --link "$work/com1" "$root/media/modems/$p" >"$work/sim.out" 2>&1 &
  simpid=$!
  for _ in $(seq 50); do [ -L "$work/com1" ] && break; sleep 0.1; done
  ln -sfn "$(readlink "$work/com1")" "$com1"
  MODEM_IDENTIFY="1=$p" MODEM_PROFILE_DIR="$profiledir" MODEM_TIMING_OUT="$timing" \
    timeout 300 wine "$probe" --gtest_filter='Ports/EveryProfile.*' </dev/null >"$work/run.out" 2>&1 ||
    { echo "identification of $p failed:" >&2; cat "$work/run.out" >&2; }
  kill "$simpid" 2>/dev/null || true
  wait "$simpid" 2>/dev/null || true
  simpid=""
done

echo "| profile | vendor code | floor (ms) | measured (ms) | ratio |"
echo "|---|---:|---:|---:|---:|"
awk 'NR == FNR { floor[$1] = $3; next }
     { f = floor[$1]; printf "| %s | %d | %d | %.0f | %.3f |\n", $1, $2, f, $3, (f > 0 ? $3 / f : 0)
       tf += f; tm += $3; if (f > 0 && $3 / f > worst) { worst = $3 / f; wp = $1 } }
     END { if (tf > 0) printf "| total | | %d | %.0f | %.3f |\n\nworst: %s at %.3f\n", tf, tm, tm / tf, wp, worst }' \
  "$work/floor.txt" "$work/measured.txt"
