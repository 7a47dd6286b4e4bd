#!/usr/bin/env bash
# The modem is pulled out in the middle of its identification: the probe of
# the ports finds it (two AT), then it vanishes at the third command of the
# identification. The exchange ends at once with 8141 and the failure notice
# instead of waiting out every later time-out; nothing is installed yet.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
e2e_cd_machine win98
e2e_modem 2 vendor08-modemblaster.modem --die-after 5
faults_answers 'C:\VOICE'
faults_userfiles 'C:\VOICE'
faults_snapshot "$E2E_WORK/cd"

start=$(date +%s)
e2e_run 'D:\SETUP\SETUP.EXE'
took=$(($(date +%s) - start))
grep -qx '# died' "$E2E_WORK/modem2.log"
e2e_check $? "the modem vanished during the run"
grep -qx 'AT+FCLASS=8' "$E2E_WORK/modem2.log"
e2e_check $? "it vanished during the identification, after the port probe"
faults_expect_status 8141
[ "$took" -lt 90 ]
e2e_check $? "the run ended soon after the modem vanished ($took s)"
e2e_expect_nofile 'C:\VOICE\PROGRAM'
e2e_expect_nofile 'C:\windows\FAX.INI'
faults_expect_kept

e2e_finish
