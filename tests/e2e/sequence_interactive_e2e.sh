#!/usr/bin/env bash
# A person installs from the CD-ROM set without an answer file: the real
# dialogs get keystrokes (xdotool) on the virtual display, and the run must
# reach the end of the copying and the closing dialog.
source "$(dirname "$0")/lib.sh"
e2e_init
command -v xdotool >/dev/null || { echo "xdotool is missing (scripts/setup.sh installs it)"; exit 1; }
e2e_cd_machine win98
e2e_modem 2 vendor08-modemblaster.modem

STEP_TIMEOUT=${STEP_TIMEOUT:-90}

log_count_reached() {  # TEXT N: the debug log holds TEXT at least N times
  [ "$(e2e_log | tr -d '\r' | grep -cF -- "$1")" -ge "$2" ]
}
log_count_reached_or_ended() { log_count_reached "$1" "$2" || e2e_ended "$installer"; }
# Waits until the debug log holds TEXT at least N times; false after the time
# limit, and at once when the installer has ended.
wait_log() {  # TEXT N
  E2E_POLL=0.3 e2e_wait_for "$STEP_TIMEOUT" '' log_count_reached_or_ended "$1" "$2"
  log_count_reached "$1" "$2"
}

# One step: wait for the dialog's mark in the log, let its modal loop take the
# keyboard, then type. Ends the scenario with the log tail when the dialog never comes.
step() {
  local what=$1 text=$2 count=$3
  shift 3
  if ! wait_log "$text" "$count"; then
    echo "FAIL: $what did not come up within $STEP_TIMEOUT s (waited for '$text' x$count)"
    e2e_failures=$((e2e_failures + 1))
    xwd -root -silent 2>/dev/null | convert xwd:- "$E2E_WORK/stuck.png" 2>/dev/null
    kill "$installer" 2>/dev/null
    e2e_finish
  fi
  sleep 1.5
  echo "ok: $what is up; keys: $*"
  xdotool "$@"
}

echo "--- run: D:\\SETUP\\SETUP.EXE (interactive)"
WINEPREFIX=$E2E_PREFIX timeout "$E2E_TIMEOUT" wine 'D:\SETUP\SETUP.EXE' </dev/null >/dev/null 2>&1 &
installer=$!
e2e_pids+=($installer)

# Country: the first entry is chosen; Down picks the next (Germany), Return is OK.
step "the country dialog" 'INS_numcountry=' 1 key Down Return
# Destination: the proposed directory is selected; typing replaces it.
step "the destination dialog" 'Before INS_proceed' 1 type --delay 30 'C:\ZVTEST'
sleep 0.5
xdotool key Return
# User details: the name field has the focus; Tab to the company, then OK.
step "the user details dialog" 'INS_setwindowcaption' 3 type --delay 30 'Ann Smith'
xdotool key Tab
xdotool type --delay 30 'Acme Ltd'
sleep 0.5
xdotool key Return

# The closing dialog comes up after the copying and the shell entries. The
# program group the shell opens covers it and holds the keyboard: the dialog is
# raised and clicked (as a person would) first. Escape is its Close.
step "the closing dialog" 'Setting caption to' 4 sleep 0.1
dialog=$(xdotool search --name '^ZeltaVoice Installation$' 2>/dev/null | tail -1)
[ -n "$dialog" ]
e2e_check $? "the closing dialog has a window"
if [ -n "$dialog" ]; then
  xdotool windowraise "$dialog" 2>/dev/null
  sleep 0.5
  xdotool mousemove --window "$dialog" 8 8 click 1 2>/dev/null
  sleep 0.5
fi
xdotool key Escape

# The installer ends by itself after Close.
E2E_POLL=0.3 e2e_wait_for 30 '' e2e_ended "$installer"
ended=$?
e2e_check $ended "the installer ended after the closing dialog"
[ "$ended" = 0 ] && { wait "$installer"; E2E_RC=$?; }
e2e_expect_rc 0

# What the person typed and chose arrived.
e2e_expect_log 'country extGER'
e2e_expect_log 'pathname      = C:\ZVTEST'
e2e_expect_log 'comport       = 2'
e2e_expect_log 'INS_currentfilesize='
e2e_expect_nolog 'Error in INS_install'
e2e_expect_file 'C:\ZVTEST\DATA\COUNTRY.INI'
cmp -s "$(e2e_unixpath 'C:\ZVTEST\DATA\COUNTRY.INI')" "$SOURCE_DIR/media/demo/COUNTRY/COUNTRY.GER"
e2e_check $? "COUNTRY.INI is the German country file"
e2e_expect_file 'C:\ZVTEST\DATA\README.TXT'
cmp -s "$(e2e_unixpath 'C:\ZVTEST\DATA\README.TXT')" "$SOURCE_DIR/media/demo/DATA/README.TXT"
e2e_check $? "README.TXT expanded to its original bytes"
e2e_expect_ini 'C:\ZVTEST\DATA\ZELTAVOX.INI' GENERAL USERNAME 'Ann Smith'
e2e_expect_ini 'C:\ZVTEST\DATA\ZELTAVOX.INI' GENERAL COMPANYNAME 'Acme Ltd'
e2e_expect_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice' UninstallString 'ZVUNINST'
e2e_expect_nofile 'C:\windows\VEQINS.DLL'

e2e_finish
