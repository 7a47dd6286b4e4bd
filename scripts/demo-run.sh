#!/usr/bin/env bash
# The demo's run on the target machine; started by demo.sh under with-wine.sh.
root=$(cd "$(dirname "$0")/.." && pwd)
# The build that runs here: with-wine.sh passes the answer on as WINE_ARCH.
WINE_ARCH=$("$root/scripts/wine-arch.sh") || exit 1
export WIN32_BUILD=$root/build/$WINE_ARCH NATIVE_BUILD=$root/build/native SOURCE_DIR=$root
export E2E_KEEP=1 E2E_TIMEOUT=${E2E_TIMEOUT:-600}
source "$root/tests/e2e/lib.sh"
set +e
out=$root/out/demo
rm -rf "$out" && mkdir -p "$out/voice"

e2e_init
# DEMO_LANG=de: the German edition (the German demo set and its answers).
lang=${DEMO_LANG:-en}
[ "$lang" = de ] && export E2E_MANIFEST=$root/media/demo/demo-de.manifest
echo "== target machine (Windows 98), demo CD-ROM set ($lang) as D:, voice modem on COM2"
e2e_cd_machine win98
if [ "${DEMO_INTERACTIVE:-0}" != 1 ]; then
  # No window manager on the virtual display: Wine draws the captions itself.
  e2e_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
e2e_modem 2 vendor08-modemblaster.modem
log=$E2E_PREFIX/drive_c/windows/SETUP.deb
# The installer's dialogs are captioned with the product title and a word of
# the library ("Installation" in English); the new group's folder window is
# captioned with the title alone.
title='ZeltaVoice .+'

# The closing dialog comes up after the Send To shortcut: then its caption is
# set. The folder window that the shell opens for the new group covers it: on a
# person's display the dialog is raised, on the virtual one (no window manager)
# the folder window is taken off the screen. Then the screen is photographed.
closing_dialog_shot() {
  local started=$1
  for _ in $(seq 3000); do
    if [ -f "$log" ] && tr -d '\r' <"$log" | awk '/^szLink=.*SendTo/ { s = 1 } s && /^Setting caption to/ { f = 1 } END { exit !f }'; then
      echo $(( $(date +%s) - started )) >"$E2E_WORK/closing-seconds"
      sleep 1
      local dialog
      dialog=$(xdotool search --name "^$title\$" 2>/dev/null | tail -1)
      if [ "${DEMO_INTERACTIVE:-0}" = 1 ]; then
        [ -n "$dialog" ] && xdotool windowraise "$dialog" 2>/dev/null
      else
        for folder in $(xdotool search --name '^ZeltaVoice$' 2>/dev/null); do xdotool windowunmap "$folder"; done
      fi
      sleep 0.5
      xwd -root -silent 2>/dev/null | convert xwd:- "$out/screenshot.png" 2>/dev/null
      return
    fi
    sleep 0.2
  done
}

started=$(date +%s)
closing_dialog_shot "$started" &
shooter=$!
if [ "${DEMO_INTERACTIVE:-0}" = 1 ]; then
  echo "== SETUP.EXE on your display: install as you like (the modem answers on COM2)"
  E2E_TIMEOUT=3600 e2e_run 'D:\SETUP\SETUP.EXE' "/RECORD=$(e2e_winpath "$out/recorded.ini")"
else
  # Each dialog stays on screen for three seconds, so that the run can be watched.
  e2e_answers_default
  e2e_answer Options Delay=3000
  if [ "$lang" = de ]; then
    e2e_answer 988 111=Deutschland
    e2e_answer 997 '102=Erika Mustermann' '124=Muster GmbH' '125=Hauptstrasse 1' '126=10115 Berlin' \
      '104=+49 30 1234567' '103=+49 30 1234568' '127=+49 30 1234569'
  else
    e2e_answer 988 '111=United Kingdom'
    e2e_answer 997 '102=Demo User' '124=Demo Company' '125=1 High Street' '126=London' \
      '104=+44 20 7946 0000' '103=+44 20 7946 0001' '127=+44 20 7946 0002'
  fi
  echo "== SETUP.EXE unattended (answers: $E2E_ANSWERS)"
  e2e_run 'D:\SETUP\SETUP.EXE'
fi
finished=$(date +%s)
kill "$shooter" 2>/dev/null
wait "$shooter" 2>/dev/null

dest=$(e2e_unixpath 'C:\ZELTAVOX')
voxplay=$NATIVE_BUILD/tools/voxplay/voxplay
reg_show() { e2e_wine reg query "$@" 2>/dev/null | tr -d '\r' | grep -v '^$' | sed 's/^/  /'; }
{
  echo "== exit code: $E2E_RC"
  if [ -f "$E2E_WORK/closing-seconds" ]; then
    echo "== from the start of SETUP.EXE to the closing dialog: $(cat "$E2E_WORK/closing-seconds") s (whole run $((finished - started)) s)"
  fi
  echo
  echo "== installed tree (C:\\ZELTAVOX)"
  (cd "$dest" 2>/dev/null && find . -type f -printf '%P\t%s\n' | sort | awk -F'\t' '{ printf "  %-28s %8d\n", $1, $2 }')
  echo
  echo "== configuration"
  for f in 'C:\ZELTAVOX\DATA\ZELTAVOX.INI' 'C:\windows\FAX.INI'; do
    echo "-- $f"
    tr -d '\r' <"$(e2e_unixpath "$f")" 2>/dev/null | sed 's/^/  /'
  done
  echo
  echo "== voice prompts converted for the modem ($(tr -d '\r' <"$log" | grep -m1 '^INS_convertscript vendor='))"
  for vox in "$dest"/SCRIPT1/*.VOX; do
    [ -f "$vox" ] || continue
    name=$(basename "$vox" .VOX)
    tag=$(head -c 16 "$vox" | tr -c '[:print:]' '.')
    line="  $(printf '%-12s %6d bytes, header %s' "$name.VOX" "$(stat -c %s "$vox")" "$tag")"
    if [ -x "$voxplay" ] && said=$("$voxplay" "$vox" "$out/voice/$name.wav" 2>/dev/null); then
      # voxplay names the family and the coding: '"ROCK " rockwell 4-bit coding, ...'
      read -r family bits <<<"$(sed -n 's/^.*" \([a-z0-9]*\) \([0-9]*\)-bit coding.*$/\1 \2/p' <<<"$said")"
      case $family-$bits in
        rockwell-*) coding="Rockwell ADPCM $bits-bit" ;;
        ima-8) coding="8-bit companding" ;;
        *) coding="$family $bits-bit" ;;
      esac
      line="$line\n      $coding, plays back as out/demo/voice/$name.wav"
      wav=$dest/SCRIPT1/$name.WAV
      if [ -f "$wav" ]; then
        line="$line; SNR against the prompt $(python3 "$root/scripts/voice-snr.py" "$wav" "$out/voice/$name.wav" 2>/dev/null || echo '?') dB"
        if [ "$family" = rockwell ] && command -v rmdtopvf >/dev/null; then
          rate=$(python3 -c 'import struct,sys; print(struct.unpack_from("<I", open(sys.argv[1], "rb").read(), 24)[0])' "$out/voice/$name.wav")
          line="$line, decoded by pvftools' rmdtopvf $(python3 "$root/scripts/voice-snr.py" --rmd Rockwell "$rate" "$wav" "$vox" 2>/dev/null || echo '?') dB"
        fi
      fi
    fi
    echo -e "$line"
  done
  echo
  echo "== registry"
  reg_show 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s
  reg_show 'HKCR\.001'
  reg_show 'HKCR\001file' /s
  reg_show 'HKCR\.lgo'
  echo
  echo "== Start Menu group, desktop and Send To shortcuts"
  (cd "$E2E_PREFIX/drive_c" && find . -iname '*.lnk' | sort) | while read -r lnk; do
    target=$(lnkinfo "$E2E_PREFIX/drive_c/$lnk" 2>/dev/null | sed -n 's/^\tLocal path\t*: //p')
    echo "  ${lnk#./} -> ${target:-?}"
  done
  echo
  echo "== the simulated modem was asked"
  grep -v '^#' "$E2E_WORK/modem2.log" 2>/dev/null | head -14 | sed 's/^/  /'
  echo
  echo "== debug log (last 30 lines of C:\\windows\\SETUP.deb)"
  e2e_log | tr -d '\r' | tail -30 | sed 's/^/  /'
  echo
  if [ -f "$out/screenshot.png" ]; then
    echo "== screenshot of the closing dialog: $out/screenshot.png"
  else
    echo "== no screenshot: the closing dialog did not come up"
  fi
  echo "== target machine kept in $E2E_PREFIX"
} | tee "$out/report.txt"
cp "$log" "$out/SETUP.deb" 2>/dev/null
[ "$E2E_RC" = 0 ]
