#!/usr/bin/env bash
# Fault scenarios: what a run that meets a fault must leave behind. Sourced
# after lib.sh by tests/e2e/fault_*_e2e.sh.
#
#   faults_answers DEST           answer file for a whole run into DEST (C:\VOICE ...); e2e_answer adds to it
#   faults_userfiles DESTWIN      a user's file in the destination and a user's section in WIN.INI
#   faults_snapshot               remember every file of the target machine outside the destination
#                                 and the Windows directory, and every file of the media
#   faults_expect_kept            the user's files, WIN.INI's earlier lines and everything remembered
#                                 by faults_snapshot are as they were
#   faults_expect_status N        exit code N, its "Error in INS_install = N" line, and the run ended
#   faults_expect_success         exit code 0, no error line of the installation
#   faults_photo NAME             remember what the suite may change on the machine: the files of the
#                                 Windows directories, the shell folders and the destination, the
#                                 uninstall entry (the logs, and the uninstaller's own two files,
#                                 which go at the next restart, aside)
#   faults_expect_photo NAME WHAT the machine is as faults_photo NAME saw it
#   faults_mount_small DIR SIZE   a filesystem of SIZE (e.g. 9m) at DIR, removed at exit
#   faults_mount_readonly DIR     DIR becomes a read-only filesystem (a bind mount), removed at exit
#   faults_kill_when TEXT N       in the background: kill the target machine's programs once the
#                                 debug log holds N lines starting with TEXT
#   faults_no_process TEXT        no process whose command line holds TEXT is left running
#   faults_hang_shell_when TEXT   in the background: the machine's shell stops answering once the
#                                 debug log holds a line starting with TEXT (faults_resume_shell)

faults_mounts=()

faults_cleanup() {
  faults_resume_shell
  local m
  for ((i = ${#faults_mounts[@]} - 1; i >= 0; i--)); do
    m=${faults_mounts[i]}
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
  e2e_cleanup
}

faults_init() {
  e2e_init
  trap faults_cleanup EXIT
  FAULTS_DEST=''
}

# The whole run's answers, into a destination that may exist already, with
# only the name and the fax number of the user details.
faults_answers() {  # DEST
  FAULTS_DEST=$1
  e2e_answers_default
  e2e_answer 992 "102=$1"
  e2e_answer 494 Answer=Yes
  e2e_answer_delete 997 124 125 126 103 127
  e2e_answer 900 "Timeout=${FAULTS_DISKWAIT:-20}"
}

# A user's own file in the destination, a user's section in WIN.INI: both must
# survive whatever the run meets.
faults_userfiles() {
  local dest=$1 dir
  dir=$(e2e_unixpath "$dest")
  mkdir -p "$dir"
  head -c 4000 /dev/urandom | base64 >"$dir/MYNOTES.TXT"
  FAULTS_USERFILE=$dir/MYNOTES.TXT
  FAULTS_USERSUM=$(md5sum <"$FAULTS_USERFILE")
  local winini
  winini=$(e2e_unixpath 'C:\windows\win.ini')
  [ -f "$winini" ] || printf '[windows]\r\n' >"$winini"
  printf '[UserTools]\r\nEditor=C:\\TOOLS\\EDIT.EXE\r\n' >>"$winini"
  cp "$winini" "$E2E_WORK/win.ini.before"
}

# Lists path, size and checksum of every file below a directory, skipping the
# given subpaths (relative, lower case compared).
faults_listing() {
  local root=$1
  shift
  (cd "$root" && find . -type f -print0 2>/dev/null | sort -z | while IFS= read -r -d '' f; do
      local lower=${f,,} skip=0 s
      for s in "$@"; do [[ "$lower" == ./"$s"* ]] && skip=1; done
      [ "$skip" = 1 ] && continue
      printf '%s %s\n' "$(md5sum <"$f" | cut -c1-32)" "$f"
    done)
}

faults_outside() {
  local destrel
  destrel=$(e2e_unixpath "$FAULTS_DEST")
  destrel=${destrel#"$(readlink -f "$E2E_PREFIX/drive_c")"/}
  # The destination, the Windows directory, and the places where the shell
  # keeps the shortcuts and the Start Menu group that a run may legitimately make.
  faults_listing "$E2E_PREFIX/drive_c" "${destrel,,}" windows users programdata
  local d
  for d in "${FAULTS_MEDIA[@]}"; do echo "== medium $d"; faults_listing "$d"; done
}

faults_snapshot() {
  FAULTS_MEDIA=("$@")
  faults_outside >"$E2E_WORK/outside.before"
}

faults_expect_kept() {
  if [ -n "${FAULTS_USERFILE:-}" ]; then
    [ -f "$FAULTS_USERFILE" ] && [ "$(md5sum <"$FAULTS_USERFILE")" = "$FAULTS_USERSUM" ]
    e2e_check $? "the user's file in the destination is intact"
  fi
  if [ -f "$E2E_WORK/win.ini.before" ]; then
    local winini missing=0 line
    winini=$(e2e_unixpath 'C:\windows\win.ini')
    while IFS= read -r line; do
      line=${line%$'\r'}
      [ -z "$line" ] && continue
      tr -d '\r' <"$winini" | grep -qxF -- "$line" || { echo "WIN.INI lost: $line"; missing=1; }
    done <"$E2E_WORK/win.ini.before"
    e2e_check $missing "every line WIN.INI had before the run is still there"
  fi
  if [ -f "$E2E_WORK/outside.before" ]; then
    faults_outside >"$E2E_WORK/outside.after"
    diff "$E2E_WORK/outside.before" "$E2E_WORK/outside.after" >"$E2E_WORK/outside.diff"
    local rc=$?
    [ "$rc" = 0 ] || { echo "changed outside the destination and the Windows directory:"; head -20 "$E2E_WORK/outside.diff"; }
    e2e_check $rc "nothing written outside the destination and the Windows directory, the media untouched"
  fi
}

faults_photo() {
  { e2e_written_files '' "$FAULTS_DEST" |
      grep -viE '/windows/(SETUP\.deb|wininit\.(bak|ini)|ZVUNINST\.EXE|VEQUNINS\.DLL|[^/]*\.log|result\.ini)$'
    e2e_wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice' /s 2>/dev/null | tr -d '\r'
  } | sort >"$E2E_WORK/photo.$1"
}

faults_expect_photo() {  # NAME WHAT
  faults_photo "$1.now"
  diff "$E2E_WORK/photo.$1" "$E2E_WORK/photo.$1.now" >"$E2E_WORK/photo.diff"
  local rc=$?
  [ "$rc" = 0 ] || { echo "not as before:"; head -20 "$E2E_WORK/photo.diff"; }
  e2e_check $rc "$2"
}

faults_expect_status() {
  [ "${E2E_RC:-}" != timeout ]
  e2e_check $? "the installer ended by itself"
  e2e_expect_rc "$1"
  e2e_expect_log "Error in INS_install = $1"
}

faults_expect_success() {
  e2e_expect_rc 0
  e2e_expect_nolog 'Error in INS_install'
}

faults_mount_small() {
  local dir=$1 size=$2
  mkdir -p "$dir"
  mount -t tmpfs -o "size=$size" tmpfs "$dir" ||
    { echo "cannot mount a small filesystem at $dir (the scenario needs root)"; exit 1; }
  faults_mounts+=("$dir")
}

faults_mount_readonly() {
  local dir=$1
  mount --bind "$dir" "$dir" && faults_mounts+=("$dir") && mount -o remount,bind,ro "$dir" ||
    { echo "cannot make $dir read-only (the scenario needs root)"; exit 1; }
  ! touch "$dir/.probe" 2>/dev/null
  e2e_check $? "$dir is read-only even for root"
}

faults_kill_when() {
  local text=$1 count=$2
  (
    # Looked at often, so that the kill falls right at the point named.
    E2E_POLL=0.05 e2e_wait_for 60 "" e2e_log_holds "$text" "$count" || exit 0
    WINEPREFIX=$E2E_PREFIX wineserver -k >/dev/null 2>&1
    echo killed >"$E2E_WORK/killed"
  ) &
  e2e_pids+=($!)
}

# Scenarios run side by side: only the processes of this target machine count.
faults_no_process() {
  ! faults_machine_pids "$1" | grep . >/dev/null
  e2e_check $? "no process '$1' left running"
}

# The pids of the target machine's processes whose command line matches
# PATTERN, found by the machine's prefix in their environment so that no
# other Wine machine is touched.
faults_machine_pids() {  # PATTERN
  local pid
  for pid in $(pgrep -f -- "$1" 2>/dev/null); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -xF "WINEPREFIX=$E2E_PREFIX" >/dev/null && echo "$pid"
  done
}

# In the background: once the debug log holds a line starting with TEXT, the
# machine's shell stops answering (its process is suspended; it is resumed at
# the end of the scenario).
faults_hang_shell_when() {
  local text=$1
  (
    local pid
    E2E_POLL=0.05 e2e_wait_for 300 "" e2e_log_holds "$text" 1 || exit 0
    for pid in $(faults_machine_pids explorer.exe); do kill -STOP "$pid" && echo "$pid" >>"$E2E_WORK/stopped"; done
  ) &
  e2e_pids+=($!)
}

faults_resume_shell() {
  local pid
  [ -f "$E2E_WORK/stopped" ] || return 0
  while read -r pid; do kill -CONT "$pid" 2>/dev/null; done <"$E2E_WORK/stopped"
  rm -f "$E2E_WORK/stopped"
}
