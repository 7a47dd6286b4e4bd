#!/usr/bin/env bash
# Screenshots of every window of the installer at 640x480, 800x600 and 1024x768,
# into out/screenshots/<size>/<name>.png, for a person to look over.
#
# Each size gets its own Xvfb; unattended runs with [Options] Delay= keep every
# dialog on screen a while, and a watcher of the debug log shoots each window
# when it comes up, told by the log line just before it ("INS_numcountry=",
# "INS_back = ", "before askpath", "before dialog", "abortmsg2 = ", the second
# "Save link result=" for the closing dialog; "title = " for the progress windows). Runs: a CD installation with modem detection (country,
# destination, user details, modem search, copying, closing dialog), a
# destination whose subdirectory cannot be made (the failure notice) and a
# diskette set without its second disk (the diskette dialog), and a medium
# without its modem list (an error box).
#   scripts/screenshots.sh [de|en] [SIZE...]     e.g. scripts/screenshots.sh de 640x480
# The language (also SHOTS_LANG=de) chooses the demo set: English by default,
# German (demo-de.manifest) with its shots in out/screenshots/de/<size>/.
# Needs the native and win32 builds (win64 on a host that runs no 32-bit programs).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

lang=${SHOTS_LANG:-en}
case ${1:-} in de | en) lang=$1 && shift ;; esac
case $lang in de | en) ;; *) echo "no resource library for language '$lang'" >&2 && exit 2 ;; esac
export SHOTS_LANG=$lang

if [ "${1:-}" = --inner ]; then
  size=$2
  WINE_ARCH=$("$root/scripts/wine-arch.sh") || exit 1
  export WIN32_BUILD=$root/build/$WINE_ARCH NATIVE_BUILD=$root/build/native SOURCE_DIR=$root E2E_TIMEOUT=180
  source "$root/tests/e2e/lib.sh"
  set +e
  out=$root/out/screenshots/$size
  [ "$lang" = en ] || out=$root/out/screenshots/$lang/$size
  rm -rf "$out" && mkdir -p "$out"
  e2e_init

  shoot() { xwd -root -silent 2>/dev/null | convert xwd:- "$out/$1.png" 2>/dev/null && echo "shot $size/$1"; }
  name_of() {
    case $1 in
      988) echo 988-country ;; 992) echo 992-destination ;; 997) echo 997-user-modem-port ;;
      900) echo 900-diskette ;; 990) echo 990-failure-notice ;; 991) echo 991-closing ;; *) echo "dialog-$1" ;;
    esac
  }
  # Shoots each window of the run named in the debug log as it comes up.
  watch_log() {
    (
      local log=$E2E_PREFIX/drive_c/windows/SETUP.deb seen=0 line n templ progress=0 links=0
      while sleep 0.1; do
        [ -f "$log" ] || continue
        if [ ! -f "$out/main-screen.png" ] && [ -f "$log" ]; then sleep 0.3; shoot main-screen; fi
        mapfile -t lines < <(tr -d '\r' <"$log" 2>/dev/null |
          grep -E '^(INS_numcountry=|INS_back = |before askpath|before dialog|abortmsg2 = |Save link result=|title = )')
        n=${#lines[@]}
        while [ "$seen" -lt "$n" ]; do
          line=${lines[$seen]}
          seen=$((seen + 1))
          templ=
          case $line in
            'INS_numcountry='*) templ=988 ;;
            'INS_back = '*) templ=992 ;;
            'before askpath'*) templ=997 ;;
            'before dialog'*) templ=900 ;;
            'abortmsg2 = '*) templ=990 ;;
            'Save link result='*)
              # The desktop shortcut, then the Send To one: the closing dialog follows.
              links=$((links + 1))
              [ "$links" = 2 ] && templ=991 ;;
          esac
          case $line in
            'title = '*)
              [ -n "${SHOOT_PROGRESS:-}" ] || continue
              # Progress windows in order: the modem search (986) comes before the copying (994).
              sleep 0.4
              progress=$((progress + 1))
              shoot "progress-$progress" ;;
            *)
              [ -n "$templ" ] || continue
              # The closing dialog comes up under the program group window the
              # shell opens (Wine's folder window): that is taken off the screen,
              # as often as it comes up until the shot (it may come a moment late).
              if [ "$templ" = 991 ]; then
                for _ in $(seq 15); do
                  for folder in $(xdotool search --onlyvisible --name '^ZeltaVoice$' 2>/dev/null); do xdotool windowunmap "$folder"; done
                  sleep 0.1
                done
              else
                sleep 1
              fi
              [ -f "$out/$(name_of "$templ").png" ] || shoot "$(name_of "$templ")" ;;
          esac
        done
      done
    ) &
    watcher=$!
  }
  stop_watch() { kill "$watcher" 2>/dev/null; wait "$watcher" 2>/dev/null; }
  # Each run on a fresh target machine (e2e_machine copies into an absent directory only).
  fresh_machine() {
    WINEPREFIX=$E2E_PREFIX wineserver -k >/dev/null 2>&1
    rm -rf "$E2E_WORK/prefix"
    e2e_machine "$1"
    unmanaged
  }
  # The demo set in the chosen language (its own lists and resource library).
  manifest=demo.manifest country=Germany
  [ "$lang" = de ] && manifest=demo-de.manifest country=Deutschland
  # Without a window manager Wine leaves the caption bars to none: it draws them itself.
  unmanaged() { e2e_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1; }

  echo "== $size: CD installation with modem detection"
  E2E_MANIFEST=$SOURCE_DIR/media/demo/$manifest e2e_cd_machine win98
  unmanaged
  e2e_modem 2 vendor08-modemblaster.modem
  e2e_answers_default
  e2e_answer Options Delay=2500
  e2e_answer 988 "111=$country"
  SHOOT_PROGRESS=1 watch_log
  e2e_run 'D:\SETUP\SETUP.EXE'
  stop_watch

  echo "== $size: a destination whose subdirectory cannot be made (failure notice)"
  fresh_machine win98
  e2e_map_drive d "$E2E_WORK/cd"
  e2e_modem 2 vendor08-modemblaster.modem
  mkdir -p "$E2E_PREFIX/drive_c/BLOCK"
  echo "in the way" >"$E2E_PREFIX/drive_c/BLOCK/RECEIVE"
  e2e_answers <<'INI'
[Options]
Delay=2500
[988]
Button=1
[992]
102=C:\BLOCK
Button=111
[494]
Answer=Yes
[997]
123=#1
Button=1
INI
  watch_log
  e2e_run 'D:\SETUP\SETUP.EXE'
  stop_watch

  echo "== $size: a diskette set whose second disk never comes"
  fresh_machine win95
  cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
  for i in 1 2 3 4 5 6; do head -c 300000 /dev/urandom >"$E2E_WORK/demo/FOD/DOC$i.FAX"; done
  E2E_MANIFEST=$E2E_WORK/demo/$manifest e2e_mkmedia diskettes "$E2E_WORK/set"
  e2e_map_drive a "$E2E_WORK/set/DISK1"
  e2e_modem 3 vendor08-modemblaster.modem
  e2e_answers <<'INI'
[Options]
Delay=2500
[988]
Button=1
[992]
102=C:\VOICE
Button=111
[997]
102=Bob Jones
123=#1
Button=1
[900]
Timeout=4
INI
  watch_log
  e2e_run 'A:\SETUP.EXE'
  stop_watch

  echo "== $size: a medium without its modem list (an error box, answered by a person)"
  fresh_machine win98
  cp -r "$E2E_WORK/cd" "$E2E_WORK/nolist"
  rm -f "$E2E_WORK/nolist/SETUP/FAX.LST"
  e2e_map_drive d "$E2E_WORK/nolist"
  unset E2E_ANSWERS
  (
    # The box's caption is the product's short name and text 473 ("... Setup", "...-Installation").
    for _ in $(seq 300); do
      sleep 0.2
      box=$(xdotool search --name '(Setup|-Installation)$' 2>/dev/null | head -1)
      [ -n "$box" ] || continue
      sleep 1
      shoot error-box
      xdotool key --window "$box" Return
      break
    done
  ) &
  boxer=$!
  e2e_run 'D:\SETUP\SETUP.EXE'
  wait "$boxer" 2>/dev/null
  ls "$out"
  exit 0
fi

# Which Windows build runs under Wine here, asked once for every size.
WINE_ARCH=$("$root/scripts/wine-arch.sh") || exit 1
export WINE_ARCH
sizes=("$@")
[ "$lang" = en ] && outdir=$root/out/screenshots || outdir=$root/out/screenshots/$lang
[ ${#sizes[@]} -gt 0 ] || sizes=(640x480 800x600 1024x768)
for size in "${sizes[@]}"; do
  for n in $(seq 150 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    break
  done
  Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  # A wineserver of the previous size may still be going down: then the start is tried again.
  for attempt in 1 2 3; do
    DISPLAY=":$n" "$root/scripts/with-wine.sh" "$0" --inner "$size"
    [ -d "$outdir/$size" ] && break
    sleep 3
  done
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
done
echo "screenshots in $outdir"
