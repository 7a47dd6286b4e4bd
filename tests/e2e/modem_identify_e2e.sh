#!/usr/bin/env bash
# Every modem profile of media/modems identified under Wine through the real
# serial API: vendorNN-*.modem must give code NN, bad-*.modem the outcome on
# its "# expect:" line. Up to six modems run at once on COM1..COM6, each
# identified by its own Wine process; COM7 is a silent modem, COM8 a port that
# does not exist (mapped to a directory, so that opening it fails as on
# Windows). Last, a code-31 modem that vanishes after its fifth command.
set -euo pipefail
: "${WIN32_BUILD:?}" "${NATIVE_BUILD:?}" "${SOURCE_DIR:?}"
# The prefix that with-wine.sh chose for this host's Wine.
: "${WINEPREFIX:?no Wine prefix given (run under scripts/with-wine.sh)}"
sim=$NATIVE_BUILD/tools/modemsim/modemsim
probe=$WIN32_BUILD/tests/modem_identify_test.exe
[ -x "$sim" ] || { echo "modemsim not built: $sim (build the native build first)"; exit 1; }
[ -f "$probe" ] || { echo "missing $probe"; exit 1; }
[ -d "$WINEPREFIX/dosdevices" ] || { echo "no Wine prefix at $WINEPREFIX (run under scripts/with-wine.sh)"; exit 1; }

winpath() { local p=${1//\//\\}; echo "Z:$p"; }
work=$(mktemp -d)
pids=()
keep=()
cleanup() {
  for pid in "${pids[@]}" "${keep[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}" "${keep[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ "${WINEPREFIX:-}" = "$work/prefix" ] && e2e_prefix_drop "$work/prefix"
  rm -rf "$work"
}
trap cleanup EXIT
# The ports are mapped in a machine of the scenario's own, a copy of the
# prepared prefix: other tests use that prefix meanwhile.
source "$(dirname "$0")/lib.sh"
E2E_BASE_PREFIX=${E2E_BASE_PREFIX:-$WINEPREFIX}
e2e_prefix_copy "$work/prefix"

start_modem() {  # port profile [modemsim options]
  local port=$1 profile=$2; shift 2
  rm -f "$work/com$port"
  "$sim" --link "$work/com$port" --log "$work/$profile.log" "$@" "$SOURCE_DIR/media/modems/$profile" \
    >"$work/sim$port.out" 2>&1 &
  pids+=($!)
  e2e_wait_for 5 "modemsim for COM$port to start" test -L "$work/com$port" || { cat "$work/sim$port.out"; exit 1; }
  ln -sfn "$(readlink "$work/com$port")" "$WINEPREFIX/dosdevices/com$port"
}
stop_modems() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
}

export MODEM_PROFILE_DIR
MODEM_PROFILE_DIR=$(winpath "$SOURCE_DIR/media/modems")
export WINEDEBUG=${WINEDEBUG:--all}
mkdir "$work/absent"
ln -sfn "$work/absent" "$WINEPREFIX/dosdevices/com8"
start_modem 7 silent.modem
keep=("${pids[@]}")
pids=()

mapfile -t profiles < <(cd "$SOURCE_DIR/media/modems" && ls vendor*.modem bad-*.modem)
rc=0
checked=0
for ((i = 0; i < ${#profiles[@]}; i += 6)); do
  batch=("${profiles[@]:i:6}")
  runs=()
  for j in "${!batch[@]}"; do start_modem $((j + 1)) "${batch[j]}"; done
  for j in "${!batch[@]}"; do
    port=$((j + 1))
    filter="Ports/EveryProfile.*"
    # The single cases ride along with the first batch's first port.
    if [ "$i" -eq 0 ] && [ "$port" -eq 1 ]; then filter="$filter:ModemOnPort.*-*Vanishes*"; fi
    MODEM_IDENTIFY="$port=${batch[j]}" MODEM_SILENTPORT=7 MODEM_ABSENTPORT=8 \
      timeout 300 wine "$probe" --gtest_filter="$filter" </dev/null >"$work/run$port.out" 2>&1 &
    runs+=($!)
  done
  for j in "${!batch[@]}"; do
    if wait "${runs[j]}"; then
      echo "ok    COM$((j + 1)) ${batch[j]}"
      grep -E '^\[ +OK +\] ModemOnPort' "$work/run$((j + 1)).out" || true
    else
      echo "FAIL  COM$((j + 1)) ${batch[j]}"; cat "$work/run$((j + 1)).out"; rc=1
    fi
    grep -q "\[  PASSED  \] [1-9]" "$work/run$((j + 1)).out" || { echo "nothing ran for ${batch[j]}"; rc=1; }
    if grep -q "SKIPPED" "$work/run$((j + 1)).out"; then echo "skipped: ${batch[j]}"; cat "$work/run$((j + 1)).out"; rc=1; fi
    checked=$((checked + 1))
  done
  stop_modems
done
echo "$checked profiles identified under Wine"
grep -qx "AT" "$work/silent.modem.log" || { echo "the silent modem never got an AT"; rc=1; }

# A modem pulled out in the middle of the identification.
start_modem 1 vendor31-usr.modem --die-after 5
set +e
MODEM_DYINGPORT=1 timeout 300 wine "$probe" --gtest_filter="*Vanishes*" </dev/null >"$work/dying.out" 2>&1
drc=$?
set -e
cat "$work/dying.out"
echo "--- modemsim log of the vanishing modem"; cat "$work/vendor31-usr.modem.log"
grep -qx "# died" "$work/vendor31-usr.modem.log" || { echo "the modem did not vanish"; rc=1; }
grep -q "\[  PASSED  \] 1 test" "$work/dying.out" || rc=1
[ "$drc" -eq 0 ] || rc=1
exit $rc
