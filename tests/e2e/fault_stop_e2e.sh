#!/usr/bin/env bash
# The stop button of the progress window pressed at each stage ([994]
# StopAfter= in the answer file, see docs/answers.md): during the port probe
# (which ends only the probe), before the modem identification, while the compressor is staged, in the copy
# plan, in the voice conversion and in the completion. Every stop ends the run
# silently (13000, no failure notice), removes the staged compressor files and
# keeps what was there. A stop asked for after the window has closed (the
# Program Manager group) is never pressed: the run completes.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
e2e_cd_medium

stop_at() {  # stage text count
  local stage=$1 text=$2 count=$3
  echo "=== stop: $stage"
  e2e_cd_machine win98
  e2e_modem 2 vendor08-modemblaster.modem  # each machine has its own modem
  faults_answers 'C:\VOICE'
  e2e_answer 994 "StopAfter=$text" "Count=$count"
  faults_userfiles 'C:\VOICE'
  faults_snapshot "$E2E_WORK/cd"
  [ $# -gt 3 ] && faults_photo start
  e2e_run 'D:\SETUP\SETUP.EXE' "${@:4}"
}

expect_stopped() {
  faults_expect_status 13000
  e2e_expect_log 'unattended: stop button'
  e2e_expect_nolog 'abortmsg2 = '
  e2e_expect_log 'INS_removesbfile = 0'
  e2e_expect_nofile 'C:\windows\VEQSB95.DLL'
  e2e_expect_nofile 'C:\windows\VEQINS.DLL'
  faults_expect_kept
}

# A stop during the port probe ends the probe, not the run: the user-details
# dialog stays open with the ports not probed; its OK (from the answer file)
# then finds no port chosen (2312).
stop_at "port probe" 'title = ' 1
faults_expect_status 2312
e2e_expect_log 'unattended: stop button'
e2e_expect_nolog 'comport       = '
e2e_expect_nofile 'C:\VOICE\PROGRAM'
faults_expect_kept

stop_at "before the identification" 'title = ' 2
expect_stopped
e2e_expect_nolog 'after detect'
e2e_expect_nofile 'C:\VOICE\PROGRAM'

stop_at "compressor staging" 'title = ' 3
expect_stopped
e2e_expect_nolog 'Before INS_addfaxini'

stop_at "copy plan" 'expanddirectory from' 3
expect_stopped
e2e_expect_nolog 'copying INS_vendor='
# Whatever was copied is whole; the file being copied at the stop is not left cut.
cmp -s "$(e2e_unixpath 'C:\VOICE\DATA\README.TXT')" "$SOURCE_DIR/media/demo/DATA/README.TXT"
e2e_check $? "the files copied before the stop are complete"

stop_at "voice conversion" 'local convert wave' 1
expect_stopped
e2e_expect_nolog 'INS_convertscript done'

stop_at "completion" 'adduninstall=' 1
expect_stopped
e2e_expect_nolog 'enter addprogram'

# Asked to roll back, the cancelled run undoes what it did before it ends.
stop_at "voice conversion, with /ROLLBACK" 'local convert wave' 1 /ROLLBACK '/RESULT=C:\windows\result.ini'
expect_stopped
e2e_expect_ini 'C:\windows\result.ini' Result Restored 'The machine was restored: what this installation changed is undone.'
faults_expect_photo start "the cancelled run with /ROLLBACK left the machine as it was"

stop_at "after the window has closed" 'enter addprogram' 1
faults_expect_success
e2e_expect_nolog 'unattended: stop button'
faults_expect_kept

e2e_finish
