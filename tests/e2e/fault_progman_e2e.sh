#!/usr/bin/env bash
# No Program Manager service: the machine's shell does not run, so nobody
# answers the DDE initiate for PROGMAN. The group cannot be made; the
# installation ends with 13024 and the failure notice, after the files, the
# configuration and the uninstall entry are in place (they stay). Nothing hangs.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
e2e_cd_machine win98
e2e_modem 2 vendor08-modemblaster.modem
faults_answers 'C:\VOICE'
faults_userfiles 'C:\VOICE'
faults_snapshot "$E2E_WORK/cd"

# The shell (Wine's explorer, which serves PROGMAN) stops answering just
# before the completion, while the progress window is still open.
faults_hang_shell_when 'Before INS_addwinini'
start=$(date +%s)
e2e_run 'D:\SETUP\SETUP.EXE'
took=$(($(date +%s) - start))
[ -s "$E2E_WORK/stopped" ]
e2e_check $? "the shell was made to stop answering"
faults_resume_shell
echo "took $took s"
faults_expect_status 13024
e2e_expect_log 'enter addprogram'
e2e_expect_nolog 'exe buf = '
e2e_expect_file 'C:\VOICE\DATA\README.TXT'
e2e_expect_ini 'C:\VOICE\DATA\ZELTAVOX.INI' GENERAL USERNAME 'Ann Smith'
e2e_expect_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice' UninstallString 'ZVUNINST'
e2e_expect_nofile 'C:\windows\VEQINS.DLL'
faults_expect_kept

e2e_finish
