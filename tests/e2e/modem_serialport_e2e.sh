#!/usr/bin/env bash
# The serial port under Wine against simulated modems: COM5 plays a code-31
# voice modem, COM7 one that answers only the third AT, COM4 one that answers
# in pieces of three bytes; COM6 is absent (mapped to a directory, so that
# opening it fails as on Windows) and COM8 is a device that is no serial line
# (/dev/null: it opens, but the line settings cannot be read).
set -euo pipefail
: "${WIN32_BUILD:?}" "${NATIVE_BUILD:?}" "${SOURCE_DIR:?}"
# The prefix that with-wine.sh chose for this host's Wine.
: "${WINEPREFIX:?no Wine prefix given (run under scripts/with-wine.sh)}"
sim=$NATIVE_BUILD/tools/modemsim/modemsim
probe=$WIN32_BUILD/tests/modem_serialport_test.exe
[ -x "$sim" ] || { echo "modemsim not built: $sim (build the native build first)"; exit 1; }
[ -f "$probe" ] || { echo "missing $probe"; exit 1; }
[ -d "$WINEPREFIX/dosdevices" ] || { echo "no Wine prefix at $WINEPREFIX (run under scripts/with-wine.sh)"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ "${WINEPREFIX:-}" = "$work/prefix" ] && e2e_prefix_drop "$work/prefix"
  rm -rf "$work"
}
trap cleanup EXIT

# The ports are mapped in a machine of the scenario's own, a copy of the
# prepared prefix: other tests use that prefix meanwhile.
source "$(dirname "$0")/lib.sh"
E2E_BASE_PREFIX=${E2E_BASE_PREFIX:-$WINEPREFIX}
e2e_prefix_copy "$work/prefix"

start_modem() {  # port profile
  "$sim" --link "$work/com$1" --log "$work/port$1.log" "$SOURCE_DIR/media/modems/$2" >"$work/com$1.out" 2>&1 &
  pids+=($!)
  e2e_wait_for 5 "modemsim for COM$1 to start" test -L "$work/com$1" || { cat "$work/com$1.out"; exit 1; }
  ln -sfn "$(readlink "$work/com$1")" "$WINEPREFIX/dosdevices/com$1"
}
start_modem 5 vendor31-usr.modem
start_modem 7 third-at.modem
start_modem 4 vendor63-lucent.modem
ln -sfn /dev/null "$WINEPREFIX/dosdevices/com8"
mkdir "$work/absent"
ln -sfn "$work/absent" "$WINEPREFIX/dosdevices/com6"

winlog="Z:${work//\//\\}\\port5.log"
set +e
MODEM_TEST_PORT=5 MODEM_TEST_SLEEPYPORT=7 MODEM_TEST_ABSENTPORT=6 MODEM_TEST_SPLITPORT=4 \
  MODEM_TEST_BROKENPORT=8 MODEM_TEST_LOG="$winlog" \
  WINEDEBUG=${WINEDEBUG:--all} timeout 600 wine "$probe" </dev/null
rc=$?
set -e
echo "--- modemsim COM5 log"; cat "$work/port5.log"
echo "--- modemsim COM7 log"; cat "$work/port7.log"
grep -qx "AT#VRX" "$work/port5.log" || { echo "the firmware check never reached the modem"; rc=1; }
[ "$(grep -cx AT "$work/port7.log")" -ge 3 ] || { echo "COM7 did not get three AT"; rc=1; }
exit $rc
