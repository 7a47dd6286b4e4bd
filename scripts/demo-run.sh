#!/usr/bin/env bash
# The demo's run on the target machine; started by demo.sh under with-wine.sh.
root=$(cd "$(dirname "$0")/.." && pwd)
export WIN32_BUILD=$root/build/win32 NATIVE_BUILD=$root/build/native SOURCE_DIR=$root
export E2E_KEEP=1 E2E_TIMEOUT=${E2E_TIMEOUT:-600}
source "$root/tests/e2e/lib.sh"
set +e
out=$root/out/demo
rm -rf "$out" && mkdir -p "$out"

e2e_init
echo "== target machine (Windows 98), demo CD-ROM set as D:, voice modem on COM2"
e2e_machine win98
e2e_mkmedia cdrom "$E2E_WORK/cd"
e2e_printer_standins "$E2E_WORK/cd/SETUP"
e2e_map_drive d "$E2E_WORK/cd"
e2e_modem 2 vendor08-modemblaster.modem

# Screenshots while the installer runs; the last one that shows it is kept.
(
  n=0
  while sleep 1; do
    n=$((n + 1))
    xwd -root -silent 2>/dev/null | convert xwd:- "$out/shot-$n.png" 2>/dev/null || break
  done
) &
shooter=$!

if [ "${DEMO_INTERACTIVE:-0}" = 1 ]; then
  echo "== SETUP.EXE on your display: install as you like (the modem answers on COM2)"
  e2e_run 'D:\SETUP\SETUP.EXE' "/RECORD=$(e2e_winpath "$out/recorded.ini")"
else
  e2e_answers <<'INI'
[988]
111=United Kingdom
Button=1
[992]
102=C:\ZELTAVOX
Button=111
[997]
102=Demo User
124=Demo Company
125=1 High Street
126=London
104=+44 20 7946 0000
103=+44 20 7946 0001
127=+44 20 7946 0002
123=#0
Button=1
[991]
Button=111
INI
  echo "== SETUP.EXE unattended (answers: $E2E_ANSWERS)"
  e2e_run 'D:\SETUP\SETUP.EXE'
fi
kill "$shooter" 2>/dev/null
wait "$shooter" 2>/dev/null
# Keep a screenshot from the middle of the run (the last ones show the empty desktop).
shots=$(ls "$out"/shot-*.png 2>/dev/null | sort -t- -k2 -n)
count=$(echo "$shots" | grep -c png)
if [ "$count" -gt 0 ]; then
  pick=$(echo "$shots" | sed -n "$(( (count + 1) / 2 ))p")
  cp "$pick" "$out/screenshot.png"
  rm -f "$out"/shot-*.png
fi

dest=$(e2e_unixpath 'C:\ZELTAVOX')
{
  echo "== exit code: $E2E_RC"
  echo
  echo "== installed tree (C:\\ZELTAVOX)"
  (cd "$dest" 2>/dev/null && find . -type f | sort | sed 's|^\./|  |' | head -80)
  echo
  echo "== configuration"
  for f in 'C:\ZELTAVOX\DATA\ZELTAVOX.INI' 'C:\windows\FAX.INI'; do
    echo "-- $f"
    tr -d '\r' <"$(e2e_unixpath "$f")" 2>/dev/null | head -40
  done
  echo
  echo "== registry"
  e2e_wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' | grep -v '^$' | head -20
  e2e_wine reg query 'HKCR\.001' 2>/dev/null | tr -d '\r' | grep -v '^$'
  e2e_wine reg query 'HKCR\.lgo' 2>/dev/null | tr -d '\r' | grep -v '^$'
  echo
  echo "== Start Menu group and shortcuts"
  (cd "$E2E_PREFIX/drive_c" && find . -iname '*.lnk' | sort | sed 's|^\./|  |' | head -30)
  echo
  echo "== the simulated modem was asked"
  head -20 "$E2E_WORK/modem2.log" 2>/dev/null | sed 's/^/  /'
  echo
  echo "== debug log (last 40 lines of C:\\windows\\SETUP.deb)"
  e2e_log | tr -d '\r' | tail -40
  echo
  [ -f "$out/screenshot.png" ] && echo "== screenshot: $out/screenshot.png"
  echo "== target machine kept in $E2E_PREFIX"
} | tee "$out/report.txt"
cp "$E2E_PREFIX/drive_c/windows/SETUP.deb" "$out/SETUP.deb" 2>/dev/null
[ "$E2E_RC" = 0 ]
