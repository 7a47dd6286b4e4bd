#!/usr/bin/env bash
# End-to-end harness: a fresh target machine per scenario (a copy of a prepared
# Wine prefix), installation media mapped as drives, COM ports mapped to
# simulated modems, SETUP.EXE run unattended with a time limit, and checks of
# what it left behind. Sourced by tests/e2e/*_e2e.sh, which run under
# scripts/with-wine.sh (display, prepared prefix in $WINEPREFIX).
#
#   e2e_init                    work directory, display, tools, clean-up on exit
#   e2e_wait_for LIMIT WHAT CMD...  until CMD succeeds, for at most LIMIT s; says WHAT when it never does
#   e2e_machine [VERSION]       fresh prefix (win95, win98, nt40, winxp ...); all COM ports absent
#   e2e_mkmedia KIND OUT [ARGS] build the demo set (cdrom|diskettes) with tools/mkmedia
#   e2e_map_drive LETTER DIR    map a medium directory as drive LETTER:
#   e2e_cd_medium [--plain]     the demo CD-ROM set in $E2E_WORK/cd (E2E_MANIFEST honoured),
#                               with printer driver stand-ins unless --plain
#   e2e_cd_machine [VERSION] [--plain] [--medium DIR]
#                               fresh machine with the CD-ROM set in D:: DIR, or else
#                               $E2E_WORK/cd, built by e2e_cd_medium [--plain] if not there yet
#   e2e_modem PORT PROFILE [OPT] simulated modem (media/modems/PROFILE) on COMn; OPT go to modemsim
#   e2e_port_absent PORT        COMn that cannot be opened
#   e2e_answers <<EOF ... EOF   the answer file ($E2E_ANSWERS)
#   e2e_answers_default         the answer file of a whole run: country, destination,
#                               user details with the detected modem, closing dialog
#   e2e_answer SECTION KEY=VALUE...     set or replace keys of the answer file
#   e2e_answer_delete SECTION [KEY...]  remove keys, or without keys the whole section
#   e2e_run WINPATH [ARGS]      run the installer unattended; E2E_RC = its exit code
#   e2e_expect_rc N, e2e_expect_file WINPATH, e2e_expect_nofile WINPATH,
#   e2e_expect_ini WINPATH SECTION KEY VALUE, e2e_expect_reg KEY VALUE DATA,
#   e2e_expect_log TEXT, e2e_expect_nolog TEXT
#   e2e_expect_dir WINPATH, e2e_expect_nodir WINPATH, e2e_expect_noreg KEY [VALUE]
#   e2e_row NAME / e2e_row_end  one row of a table-driven scenario: its checks,
#                               time and kept evidence are its own
#   e2e_finish                  report and exit with the number of failed checks
#
# Evidence of a failure: when a check fails or the installer does not end in
# time, the screen of the target machine (a screenshot taken then, and the last
# one taken while the installer ran), the debug log, the modem logs, the answer
# file and the installer's medium listing are kept in
# $SOURCE_DIR/out/e2e/<scenario>[/<row>]/ (E2E_OUT overrides the root), and the
# place is printed. A passing scenario leaves nothing there.
set -uo pipefail

e2e_failures=0
e2e_pids=()
e2e_machine_pids=()
e2e_row_failures=0
e2e_rows=()
E2E_ROW=
E2E_TIMEOUT=${E2E_TIMEOUT:-300}

e2e_init() {
  : "${WIN32_BUILD:?}" "${NATIVE_BUILD:?}" "${SOURCE_DIR:?}"
  # The prepared prefix fits this host's Wine: with-wine.sh chose it, by the
  # answer of wine-arch.sh.
  E2E_BASE_PREFIX=${E2E_BASE_PREFIX:-${WINEPREFIX:-}}
  [ -n "$E2E_BASE_PREFIX" ] || { echo "no Wine prefix given (run under scripts/with-wine.sh)"; exit 1; }
  [ -f "$E2E_BASE_PREFIX/system.reg" ] || { echo "no prepared Wine prefix at $E2E_BASE_PREFIX (run under scripts/with-wine.sh)"; exit 1; }
  E2E_SETUP=$WIN32_BUILD/resources/SETUP.EXE
  E2E_VEQINS=$WIN32_BUILD/resources/VEQINS.DLL
  E2E_MKMEDIA=$NATIVE_BUILD/tools/mkmedia/mkmedia
  E2E_MODEMSIM=$NATIVE_BUILD/tools/modemsim/modemsim
  [ -f "$E2E_SETUP" ] || { echo "SETUP.EXE not built: $E2E_SETUP"; exit 1; }
  E2E_WORK=$(mktemp -d /tmp/e2e.XXXXXX)
  mkdir -p "$E2E_WORK/absent"
  E2E_SCENARIO=${E2E_SCENARIO:-$(basename "$0" .sh)}
  E2E_SCENARIO=${E2E_SCENARIO%_e2e}
  E2E_EVIDENCE=${E2E_OUT:-$SOURCE_DIR/out/e2e}/$E2E_SCENARIO
  rm -rf "$E2E_EVIDENCE"
  E2E_STARTED=$SECONDS
  trap e2e_cleanup EXIT
  e2e_display
}

# Waits until COMMAND succeeds, trying every E2E_POLL seconds (0.1), for at
# most LIMIT seconds. When it never does, says WHAT (unless empty) and fails.
e2e_wait_for() {  # LIMIT WHAT COMMAND [ARG...]
  local limit=$1 what=$2 started=$SECONDS
  shift 2
  until "$@"; do
    if ((SECONDS - started >= limit)); then
      [ -n "$what" ] && echo "waited $limit s in vain: $what"
      return 1
    fi
    sleep "${E2E_POLL:-0.1}"
  done
}

e2e_ended() { ! kill -0 "$1" 2>/dev/null; }

# A display of the scenario's own: scenarios run side by side, and a window,
# a keystroke or a screenshot of one must never reach another's. Xvfb picks a
# free display number itself (-displayfd), so two starting at once never
# collide. Without Xvfb the caller's display is used.
e2e_display() {
  command -v Xvfb >/dev/null || return 0
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$E2E_WORK/display" >/dev/null 2>&1 &
  E2E_XVFB=$!
  e2e_wait_for 20 "a display of the scenario's own (Xvfb)" test -s "$E2E_WORK/display" || exit 1
  export DISPLAY=:$(head -1 "$E2E_WORK/display")
}

e2e_cleanup() {
  [ -n "${E2E_WATCHER:-}" ] && kill "$E2E_WATCHER" 2>/dev/null
  for pid in "${e2e_pids[@]}" "${e2e_machine_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${e2e_pids[@]}" "${e2e_machine_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if [ -n "${E2E_KEEP:-}" ]; then
    [ -n "${E2E_PREFIX:-}" ] && WINEPREFIX=$E2E_PREFIX wineserver -k >/dev/null 2>&1
  else
    [ -n "${E2E_PREFIX:-}" ] && e2e_prefix_drop "$E2E_PREFIX"
  fi
  # The display goes after the machine whose programs draw on it.
  [ -n "${E2E_XVFB:-}" ] && kill "$E2E_XVFB" 2>/dev/null && wait "$E2E_XVFB" 2>/dev/null
  [ -n "${E2E_KEEP:-}" ] || rm -rf "$E2E_WORK"
}

# A unix path as the target machine sees it.
e2e_winpath() {
  local p=$1
  echo "Z:${p//\//\\}"
}

# A Windows path of the target machine (C:\..., or Z:\...) as a unix path.
e2e_unixpath() {
  local p=$1 drive rest
  drive=$(echo "${p:0:1}" | tr 'A-Z' 'a-z')
  rest=${p:2}
  rest=${rest//\\//}
  if [ "$drive" = z ]; then echo "$rest"; return; fi
  local base
  base=$(readlink -f "$E2E_PREFIX/dosdevices/$drive:")
  # Windows names are found without regard to case.
  local out=$base part
  IFS='/' read -ra parts <<< "${rest#/}"
  for part in "${parts[@]}"; do
    [ -z "$part" ] && continue
    local match
    match=$(ls -1 "$out" 2>/dev/null | grep -ixF -- "$part" | head -1)
    out="$out/${match:-$part}"
  done
  echo "$out"
}

e2e_wine() { WINEPREFIX=$E2E_PREFIX wine "$@" </dev/null; }

e2e_machine() {
  local version=${1:-win98}
  # A machine before this one goes with its modems, media changer and drives.
  e2e_machine_stop
  [ -n "${E2E_PREFIX:-}" ] && [ -d "$E2E_PREFIX" ] && e2e_prefix_drop "$E2E_PREFIX"
  rm -f "$E2E_WORK/changer.log" "$E2E_WORK"/modem*.log "$E2E_WORK/screen-last.xwd"
  E2E_PREFIX=$E2E_WORK/prefix
  e2e_prefix_copy "$E2E_PREFIX"
  # The Windows version and the eight absent ports in one start of reg, not nine.
  local n reg=$E2E_WORK/machine.reg
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine]\r\n"Version"="%s"\r\n\r\n' "$version"
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
    for n in 1 2 3 4 5 6 7 8; do printf '"COM%s"="%s"\r\n' "$n" "$E2E_WORK/absent"; done
  } >"$reg"
  e2e_wine reg import "$(e2e_winpath "$reg")" >/dev/null 2>&1
  for n in 1 2 3 4 5 6 7 8; do ln -sfn "$E2E_WORK/absent" "$E2E_PREFIX/dosdevices/com$n"; done
}

# A copy of the prepared prefix at DIR, served by a wineserver of its own and
# made the current one: no ports, no drives A:, B:, D:. A frozen snapshot
# (E2E_BASE_FROZEN, see with-wine.sh) is laid under an overlay, which costs
# nothing, where a copy of its 700 MB takes seconds; without root, a copy.
e2e_prefix_copy() {  # DIR
  if [ -z "${E2E_BASE_FROZEN:-}" ] || ! mkdir -p "$1" "$1.upper" "$1.overlay" ||
    ! mount -t overlay overlay -o "lowerdir=$E2E_BASE_PREFIX,upperdir=$1.upper,workdir=$1.overlay" "$1" 2>/dev/null; then
    rm -rf "$1" "$1.upper" "$1.overlay"
    cp -a "$E2E_BASE_PREFIX" "$1"
  fi
  # Shell folders of the machine's own: a prefix whose Desktop links to the
  # host's home would put the installer's shortcuts there.
  local link
  for link in "$1"/drive_c/users/*/*; do
    [ -L "$link" ] || continue
    rm -f "$link" && mkdir -p "$link"
  done
  rm -f "$1"/dosdevices/com* "$1"/dosdevices/[abd]:
  export WINEPREFIX=$1
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# Removes a prefix made by e2e_prefix_copy, once its server has ended.
e2e_prefix_drop() {  # DIR
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1
  WINEPREFIX=$1 timeout 30 wineserver -w >/dev/null 2>&1
  if mountpoint -q "$1"; then umount "$1" 2>/dev/null || umount -l "$1"; fi
  rm -rf "$1" "$1.upper" "$1.overlay"
}

e2e_map_drive() {
  local letter
  letter=$(echo "$1" | tr 'A-Z' 'a-z')
  ln -sfn "$(readlink -f "$2")" "$E2E_PREFIX/dosdevices/$letter:"
}

e2e_port_absent() {
  e2e_wine reg add 'HKLM\Software\Wine\Ports' /v "COM$1" /d "$E2E_WORK/absent" /f >/dev/null 2>&1
  ln -sfn "$E2E_WORK/absent" "$E2E_PREFIX/dosdevices/com$1"
}

e2e_modem() {
  local port=$1 profile=$2 link=$E2E_WORK/modem$1
  shift 2
  [ -x "$E2E_MODEMSIM" ] || { echo "modemsim not built: $E2E_MODEMSIM"; exit 1; }
  rm -f "$link"
  "$E2E_MODEMSIM" --link "$link" --log "$E2E_WORK/modem$port.log" "$@" "$SOURCE_DIR/media/modems/$profile" \
    >"$E2E_WORK/modem$port.out" 2>&1 &
  e2e_machine_pids+=($!)
  e2e_wait_for 5 "modemsim for COM$port to start" test -L "$link" || { cat "$E2E_WORK/modem$port.out"; exit 1; }
  local device
  device=$(readlink "$link")
  e2e_wine reg add 'HKLM\Software\Wine\Ports' /v "COM$port" /d "$device" /f >/dev/null 2>&1
  ln -sfn "$device" "$E2E_PREFIX/dosdevices/com$port"
}

# Ends what serves the current machine: its simulated modems and media changer.
e2e_machine_stop() {
  local pid
  for pid in "${e2e_machine_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${e2e_machine_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  e2e_machine_pids=()
}

# The demo set as a CD-ROM, built afresh; a scenario that needs it changed
# changes it before e2e_cd_machine puts it in the drive.
e2e_cd_medium() {  # [--plain]
  rm -rf "$E2E_WORK/cd"
  e2e_mkmedia cdrom "$E2E_WORK/cd"
  [ "${1:-}" = --plain ] || e2e_printer_standins "$E2E_WORK/cd/SETUP"
}

# A target machine with the CD-ROM in drive D:. A scenario of several machines
# builds the demo set once and puts it into each.
e2e_cd_machine() {  # [VERSION] [--plain] [--medium DIR]
  local version=win98 plain='' medium=$E2E_WORK/cd
  while [ $# -gt 0 ]; do
    case $1 in
      --plain) plain=--plain ;;
      --medium) medium=$2 && shift ;;
      -*) echo "e2e_cd_machine: unknown option $1"; exit 2 ;;
      *) version=$1 ;;
    esac
    shift
  done
  e2e_machine "$version"
  [ "$medium" != "$E2E_WORK/cd" ] || [ -d "$medium" ] || e2e_cd_medium $plain
  e2e_map_drive d "$medium"
}

e2e_mkmedia() {
  local kind=$1 out=$2
  shift 2
  [ -x "$E2E_MKMEDIA" ] || { echo "mkmedia not built: $E2E_MKMEDIA"; exit 1; }
  "$E2E_MKMEDIA" "${E2E_MANIFEST:-$SOURCE_DIR/media/demo/demo.manifest}" "$out" "--$kind" --win32 "$WIN32_BUILD" "$@" \
    >"$E2E_WORK/mkmedia.out" 2>&1 || { echo "mkmedia failed"; cat "$E2E_WORK/mkmedia.out"; exit 1; }
}

e2e_answers() {
  E2E_ANSWERS=$E2E_WORK/answers.ini
  cat >"$E2E_ANSWERS"
}

# What a person answers for a whole installation from the demo set. Scenarios
# change only where they differ (e2e_answer, e2e_answer_delete); the file holds
# no comments, since every line of it is read as a key.
e2e_answers_default() {
  e2e_answers <<'INI'
[988]
111=Germany
Button=1
[992]
102=C:\ZELTAVOX
Button=111
[997]
102=Ann Smith
124=Acme Ltd
125=1 Main Street
126=Berlin
104=+49 30 1234
103=+49 30 5678
127=+49 30 9999
123=#0
Button=1
[991]
Button=111
INI
}

# Sets KEY=VALUE in SECTION (names compared without regard to case, as the
# profile functions do): a key there is replaced in place, a new one goes to
# the end of its section, a new section to the end of the file. Values are
# taken as they are, backslashes and trailing blanks included.
e2e_answer() {  # SECTION KEY=VALUE...
  local section=$1 pair
  shift
  [ -f "${E2E_ANSWERS:-}" ] || { echo "e2e_answer: no answer file yet"; exit 2; }
  for pair in "$@"; do
    [[ $pair == *=* ]] || { echo "e2e_answer: not KEY=VALUE: $pair"; exit 2; }
    E2E_A_SECTION=$section E2E_A_KEY=${pair%%=*} E2E_A_LINE=$pair awk '
      function name(line) { sub(/^[ \t]*\[/, "", line); sub(/\].*$/, "", line); return toupper(line) }
      BEGIN { s = toupper(ENVIRON["E2E_A_SECTION"]); k = toupper(ENVIRON["E2E_A_KEY"]); line = ENVIRON["E2E_A_LINE"] }
      /^[ \t]*\[/ { if (cur == s && !done) { print line; done = 1 } cur = name($0); print; next }
      cur == s && !done && index($0, "=") > 0 && toupper(substr($0, 1, index($0, "=") - 1)) == k { print line; done = 1; next }
      { print }
      END { if (!done) { if (cur != s) print "[" ENVIRON["E2E_A_SECTION"] "]"; print line } }' \
      "$E2E_ANSWERS" >"$E2E_ANSWERS.new" && mv -f "$E2E_ANSWERS.new" "$E2E_ANSWERS"
  done
}

# Removes KEYs from SECTION, or the whole section when no key is given.
e2e_answer_delete() {  # SECTION [KEY...]
  local section=$1
  shift
  [ -f "${E2E_ANSWERS:-}" ] || { echo "e2e_answer_delete: no answer file yet"; exit 2; }
  E2E_A_SECTION=$section E2E_A_KEYS="$*" awk '
    function name(line) { sub(/^[ \t]*\[/, "", line); sub(/\].*$/, "", line); return toupper(line) }
    BEGIN { s = toupper(ENVIRON["E2E_A_SECTION"]); n = split(toupper(ENVIRON["E2E_A_KEYS"]), keys, " ")
            for (i = 1; i <= n; i++) drop[keys[i]] = 1 }
    /^[ \t]*\[/ { cur = name($0); if (n == 0 && cur == s) next; print; next }
    cur == s && n == 0 { next }
    cur == s && index($0, "=") > 0 && (toupper(substr($0, 1, index($0, "=") - 1)) in drop) { next }
    { print }' "$E2E_ANSWERS" >"$E2E_ANSWERS.new" && mv -f "$E2E_ANSWERS.new" "$E2E_ANSWERS"
}

# Runs the installer through cmd's start /wait, so that the whole 16-bit
# status arrives (a unix exit status keeps only its low byte).
e2e_run() {
  local program=$1
  shift
  local bat=$E2E_WORK/run.bat rc=$E2E_WORK/rc.txt args="$*"
  rm -f "$rc"
  if [ -n "${E2E_ANSWERS:-}" ] && [[ "$args" != *"/ANSWERS="* ]]; then
    args="$args /ANSWERS=$(e2e_winpath "$E2E_ANSWERS")"
  fi
  printf 'start /wait "" %s %s\r\necho %%ERRORLEVEL%% > %s\r\n' "$program" "$args" "$(e2e_winpath "$rc")" >"$bat"
  echo "--- run: $program $args"
  E2E_RUNLINE="$program $args"
  e2e_screen_watch &
  E2E_WATCHER=$!
  env WINEPREFIX="$E2E_PREFIX" wine cmd /c "$(e2e_winpath "$bat")" </dev/null >/dev/null 2>&1 &
  local runner=$!
  E2E_POLL=0.5 e2e_wait_for "$E2E_TIMEOUT" '' e2e_ended "$runner"
  kill "$E2E_WATCHER" 2>/dev/null
  wait "$E2E_WATCHER" 2>/dev/null
  E2E_WATCHER=
  if kill -0 "$runner" 2>/dev/null; then
    E2E_RC=timeout
    # The screen is taken while the installer is still up, then its processes go.
    e2e_check 1 "the installer did not end within $E2E_TIMEOUT s"
    kill "$runner" 2>/dev/null
    WINEPREFIX=$E2E_PREFIX wineserver -k >/dev/null 2>&1
    wait "$runner" 2>/dev/null
    WINEPREFIX=$E2E_PREFIX wineserver -p >/dev/null 2>&1
    return
  fi
  wait "$runner" 2>/dev/null
  E2E_RC=$(tr -d ' \r\n' <"$rc" 2>/dev/null)
  echo "--- exit code $E2E_RC"
}

# The SNR (dB, printed) of a voice file's data after its 16-byte header against
# the prompt it was made from: decoded by pvftools as modem TYPE at RATE (the
# header's coding as the compression unless COMPRESSION is given), or by
# voxplay as FAMILY where pvftools is missing. --exact: the prompt brought to
# RATE as VEQWAVE.EXE does (see scripts/voice-snr.py). Prints nothing when it
# does not decode.
e2e_vox_snr() {  # [--exact] unix-vox unix-prompt-wav TYPE RATE FAMILY [COMPRESSION]
  local exact=''
  if [ "$1" = --exact ]; then exact=--exact; shift; fi
  local vox=$1 wav=$2 type=$3 rate=$4 family=$5 comp=${6:-}
  if command -v rmdtopvf >/dev/null; then
    python3 "$SOURCE_DIR/scripts/voice-snr.py" $exact --rmd "$type" "$rate" "$wav" "$vox" $comp 2>/dev/null
  else
    local out=$E2E_WORK/vox-snr.wav
    "$NATIVE_BUILD/tools/voxplay/voxplay" -f "$family" -r "$rate" "$vox" "$out" >/dev/null 2>&1 &&
      python3 "$SOURCE_DIR/scripts/voice-snr.py" $exact "$wav" "$out" 2>/dev/null
  fi
}

e2e_log() { cat "$E2E_PREFIX/drive_c/windows/SETUP.deb" 2>/dev/null; }

# The debug log holds the whole line TEXT (or COUNT lines that start with it, when COUNT is given).
e2e_log_holds() {  # TEXT [COUNT]
  if [ $# -ge 2 ]; then
    [ "$(e2e_log | tr -d '\r' | E2E_PREFIX_TEXT=$1 awk 'index($0, ENVIRON["E2E_PREFIX_TEXT"]) == 1 { n++ } END { print n + 0 }')" -ge "$2" ]
  else
    # Not grep -q: a reader that stops early fails the pipe (pipefail).
    e2e_log | tr -d '\r' | grep -xF -- "$1" >/dev/null
  fi
}

e2e_check() {  # condition-status message
  if [ "$1" = 0 ]; then
    echo "ok: $2"
  else
    echo "FAIL: ${E2E_ROW:+[$E2E_ROW] }$2"
    e2e_failures=$((e2e_failures + 1))
    e2e_row_failures=$((e2e_row_failures + 1))
    # The first failure of a row (or scenario) keeps the evidence.
    [ "$e2e_row_failures" = 1 ] && e2e_keep_evidence "$2"
  fi
}

# The directory that keeps the evidence of the current row or scenario.
e2e_evidence_dir() {
  if [ -n "$E2E_ROW" ]; then echo "$E2E_EVIDENCE/$E2E_ROW"; else echo "$E2E_EVIDENCE"; fi
}

# The whole virtual screen as a PNG file.
e2e_screenshot() {
  [ -n "${DISPLAY:-}" ] || return 1
  command -v xwd >/dev/null && command -v convert >/dev/null || return 1
  xwd -root -silent 2>/dev/null | convert xwd:- "png:$1" 2>/dev/null
}

# While the installer runs, the screen is taken every two seconds (raw, cheap),
# so that a failure found afterwards still shows the last thing on the screen.
e2e_screen_watch() {
  [ -n "${DISPLAY:-}" ] && command -v xwd >/dev/null || exit 0
  while sleep 2; do
    xwd -root -silent >"$E2E_WORK/screen-next.xwd" 2>/dev/null && mv -f "$E2E_WORK/screen-next.xwd" "$E2E_WORK/screen-last.xwd"
  done
}

e2e_keep_evidence() {  # reason
  local dir
  dir=$(e2e_evidence_dir)
  mkdir -p "$dir" || return
  {
    echo "scenario: $E2E_SCENARIO${E2E_ROW:+, row $E2E_ROW}"
    echo "first failed check: $1"
    echo "run: ${E2E_RUNLINE:-none}"
    echo "exit code: ${E2E_RC:-none}"
  } >"$dir/failure.txt"
  e2e_screenshot "$dir/screen.png" || echo "no screenshot (no display or no xwd/convert)" >>"$dir/failure.txt"
  if [ -f "$E2E_WORK/screen-last.xwd" ]; then
    convert "xwd:$E2E_WORK/screen-last.xwd" "png:$dir/screen-during-run.png" 2>/dev/null
  fi
  if [ -n "${E2E_PREFIX:-}" ] && [ -f "$E2E_PREFIX/drive_c/windows/SETUP.deb" ]; then
    cp "$E2E_PREFIX/drive_c/windows/SETUP.deb" "$dir/SETUP.deb"
  fi
  local f
  for f in "$E2E_WORK"/modem*.log "$E2E_WORK"/changer.log "$E2E_WORK"/mkmedia.out "${E2E_ANSWERS:-}"; do
    [ -f "$f" ] && cp "$f" "$dir/"
  done
  echo "evidence kept in $dir"
}

e2e_expect_rc() {
  [ "${E2E_RC:-}" = "$1" ]
  e2e_check $? "exit code $1 (got ${E2E_RC:-none})"
}

e2e_expect_file() {
  [ -f "$(e2e_unixpath "$1")" ]
  e2e_check $? "file $1 exists"
}

e2e_expect_nofile() {
  [ ! -e "$(e2e_unixpath "$1")" ]
  e2e_check $? "no $1"
}

# INI value as the profile functions read it: section and key without regard to case.
e2e_ini_value() {
  local file
  file=$(e2e_unixpath "$1")
  awk -v s="$2" -v k="$3" 'BEGIN { IGNORECASE = 1; s = toupper(s); k = toupper(k) }
    { sub(/\r$/, "") }
    /^[ \t]*\[/ { line = $0; gsub(/^[ \t]*\[|\][ \t]*$/, "", line); cur = toupper(line); next }
    cur == s { i = index($0, "="); if (i > 0) { key = substr($0, 1, i - 1); gsub(/^[ \t]+|[ \t]+$/, "", key);
               if (toupper(key) == k) { v = substr($0, i + 1); gsub(/^[ \t]+|[ \t]+$/, "", v); print v; exit } } }' \
    "$file" 2>/dev/null
}

e2e_expect_ini() {
  local got
  got=$(e2e_ini_value "$1" "$2" "$3")
  [ "$got" = "$4" ]
  e2e_check $? "$1 [$2] $3=$4 (got '$got')"
}

# A string value as the registry holds it, or nothing.
e2e_reg_value() {  # key value-name
  e2e_wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -F'REG_SZ' '/REG_SZ/ {sub(/^[ \t]+/, "", $2); print $2}'
}

e2e_shell_folder() {  # Desktop, SendTo, Programs...
  e2e_reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' "$1"
}

# Where an installation writes: the files of the Windows and system
# directories, and what lies below the shell folders (Desktop, SendTo,
# Programs) and the DIRs given; with TYPE f, files only.
e2e_written_files() {  # TYPE DIR...
  local only=() d
  [ -n "$1" ] && only=(-type "$1")
  shift
  for d in 'C:\windows' 'C:\windows\system' 'C:\windows\system32'; do
    find "$(e2e_unixpath "$d")" -maxdepth 1 -type f 2>/dev/null
  done
  for d in "$(e2e_shell_folder Desktop)" "$(e2e_shell_folder SendTo)" "$(e2e_shell_folder Programs)" "$@"; do
    [ -n "$d" ] && find "$(e2e_unixpath "$d")" "${only[@]}" 2>/dev/null
  done
  true
}

# Runs a command line as the shell would (Add/Remove Programs runs the
# uninstall entry so), waits for it and checks its exit code.
e2e_run_command() {  # command-line message
  [ -n "$1" ] || { e2e_check 1 "a command to run for: $2"; return; }
  printf 'start /wait "" %s\r\nexit %%ERRORLEVEL%%\r\n' "$1" >"$E2E_WORK/command.bat"
  timeout 120 env WINEPREFIX="$E2E_PREFIX" wine cmd /c "$(e2e_winpath "$E2E_WORK/command.bat")" </dev/null >/dev/null 2>&1
  e2e_check $? "$2"
}

# A value that is not there is read twice: once, with four scenarios running,
# a query came back without a value that the same check found in every other
# run. What the last query said is shown.
e2e_expect_reg() {
  local out try
  for try in 1 2; do
    out=$(e2e_wine reg query "$1" /v "$2" 2>"$E2E_WORK/reg.err" | tr -d '\r')
    [[ "$out" == *"$3"* ]] && break
    sleep 1
  done
  [[ "$out" == *"$3"* ]]
  e2e_check $? "registry $1 $2 holds '$3'"
  [[ "$out" == *"$3"* ]] || echo "  reg query said: $(cat - "$E2E_WORK/reg.err" <<<"$out" | tr -d '\r' | tr '\n' ' ' | cut -c1-300)"
}

# The debug log without carriage returns, as a file (grep -q on a pipe would
# cut the writer short, which pipefail reports as a failure).
e2e_logfile() {
  e2e_log | tr -d '\r' >"$E2E_WORK/log.txt"
  echo "$E2E_WORK/log.txt"
}

# What a failed log check shows, as tests/support/logcheck.h does for the unit
# tests: the lines that begin like the one expected with their neighbours, or
# the log's last lines.
e2e_log_nearby() {  # TEXT LOGFILE
  local start=${1:0:12}
  while [ ${#start} -ge 4 ] && ! grep -qF -- "$start" "$2" 2>/dev/null; do start=${start:0:$((${#start} - 1))}; done
  if [ ${#start} -ge 4 ]; then
    echo "  the lines nearest to it:"
    tr -d '\r' <"$2" | grep -nF -C2 -- "$start" | head -n 24 | sed 's/^/    /'
  else
    echo "  the log's last lines:"
    tr -d '\r' <"$2" 2>/dev/null | tail -n 12 | sed 's/^/    /'
  fi
}

# The name resources/ids.h gives a dialog template number (the .rc files
# name their templates so), or the number itself when it has none.
e2e_template_name() {  # number
  local name
  name=$(awk -v n="$1" '$1 == "#define" && $3 == n && $2 ~ /^IDD_/ { print $2; exit }' "$SOURCE_DIR/resources/ids.h")
  echo "${name:-$1}"
}

e2e_expect_log() {
  grep -qF -- "$1" "$(e2e_logfile)"
  local found=$?
  e2e_check $found "log line '$1'"
  [ $found = 0 ] || e2e_log_nearby "$1" "$(e2e_logfile)"
}

e2e_expect_nolog() {
  ! grep -qF -- "$1" "$(e2e_logfile)"
  local absent=$?
  e2e_check $absent "no log line '$1'"
  [ $absent = 0 ] || tr -d '\r' <"$(e2e_logfile)" | grep -nF -- "$1" | head -n 3 | sed 's/^\([0-9]*\):/  found in line \1: /'
}

e2e_expect_dir() {
  [ -d "$(e2e_unixpath "$1")" ]
  e2e_check $? "directory $1 exists"
}

e2e_expect_nodir() {
  [ ! -d "$(e2e_unixpath "$1")" ]
  e2e_check $? "no directory $1"
}

# No such key, or (with a value name) no such value under it.
e2e_expect_noreg() {
  if [ $# -ge 2 ]; then
    ! e2e_wine reg query "$1" /v "$2" >/dev/null 2>&1
    e2e_check $? "no registry value $1 $2"
  else
    ! e2e_wine reg query "$1" >/dev/null 2>&1
    e2e_check $? "no registry key $1"
  fi
}

# Rows of a table-driven scenario: each names itself in its failures, keeps its
# own evidence and appears in the summary that e2e_finish prints.
e2e_row() {
  [ -n "$E2E_ROW" ] && e2e_row_end
  E2E_ROW=$1
  e2e_row_failures=0
  e2e_row_started=$SECONDS
  E2E_RC=
  E2E_RUNLINE=
  echo "=== row $E2E_ROW"
}

e2e_row_end() {
  [ -n "$E2E_ROW" ] || return 0
  local verdict=ok
  [ "$e2e_row_failures" = 0 ] || verdict="FAIL ($e2e_row_failures)"
  e2e_rows+=("$(printf '%-44s %-10s %4d s' "$E2E_ROW" "$verdict" $((SECONDS - e2e_row_started)))")
  E2E_ROW=
  e2e_row_failures=0
}

e2e_finish() {
  e2e_row_end
  if [ "${#e2e_rows[@]}" != 0 ]; then
    echo "--- rows of $E2E_SCENARIO"
    printf '%s\n' "${e2e_rows[@]}"
    echo "--- $E2E_SCENARIO took $((SECONDS - E2E_STARTED)) s"
  fi
  if [ "$e2e_failures" != 0 ]; then
    echo "--- debug log"
    e2e_log | tail -60
    echo "$e2e_failures check(s) failed"
    [ -d "$E2E_EVIDENCE" ] && echo "evidence of the failures: $E2E_EVIDENCE"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

# The printer driver files are companions that may not be built yet; a set
# without them gets small stand-ins so that the rest of the run can be checked.
e2e_printer_standins() {
  local dir=$1 f
  for f in VEQ95.DRV VEQNT.DLL VEQ.DRV; do
    [ -e "$dir/$f" ] || { echo "stand-in $f"; printf 'printer driver stand-in %s\r\n' "$f" >"$dir/$f"; }
  done
}

# A media changer outside the installer: when the debug log asks for disk N,
# drive LETTER is switched to the directory of that disk (DISKN under SETDIR).
e2e_media_changer() {
  local letter=$1 setdir=$2
  (
    local wanted=2
    while [ -d "$setdir/DISK$wanted" ]; do
      # The scenario's own limit (E2E_TIMEOUT) ends a run that never asks.
      E2E_POLL=0.3 e2e_wait_for "$E2E_TIMEOUT" '' e2e_log_holds "disknum = $wanted" || break
      sleep 1
      e2e_map_drive "$letter" "$setdir/DISK$wanted"
      echo "changer: disk $wanted inserted" >>"$E2E_WORK/changer.log"
      wanted=$((wanted + 1))
    done
  ) &
  e2e_machine_pids+=($!)
}

