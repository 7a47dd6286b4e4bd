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
saved=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  for n in 4 5 6 7 8; do
    rm -f "$WINEPREFIX/dosdevices/com$n"
    [ -n "${saved[$n]:-}" ] && ln -s "${saved[$n]}" "$WINEPREFIX/dosdevices/com$n"
  done
  rm -rf "$work"
}
trap cleanup EXIT

for n in 4 5 6 7 8; do
  link="$WINEPREFIX/dosdevices/com$n"
  saved[$n]=$( [ -L "$link" ] && readlink "$link" || true )
done

start_modem() {  # port profile
  "$sim" --link "$work/com$1" --log "$work/port$1.log" "$SOURCE_DIR/media/modems/$2" >"$work/com$1.out" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -L "$work/com$1" ] && break; sleep 0.1; done
  [ -L "$work/com$1" ] || { echo "modemsim for COM$1 did not start"; cat "$work/com$1.out"; exit 1; }
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
