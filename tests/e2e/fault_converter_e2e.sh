#!/usr/bin/env bash
# The external voice converter hangs (Windows NT, a Rockwell-family modem, so
# the prompts go to VEQWAVE): after its time-out of 30 s it is ended, the
# prompt counts as not converted and the installation goes on to the end.
# Nothing of the converter stays running, its half-written output is not taken
# for a voice file, and its temporary files at the drive root are gone.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
# One prompt to convert keeps the wait at one time-out.
rm -f "$E2E_WORK/demo/txt/GOODBYE.WAV" "$E2E_WORK/demo/txt/MENU.WAV"
E2E_MANIFEST=$E2E_WORK/demo/demo.manifest e2e_cd_medium
hang=$WIN32_BUILD/companions/hangwave/HANGWAVE.EXE
[ -f "$hang" ] || { echo "HANGWAVE.EXE not built: $hang"; exit 1; }
cp "$hang" "$E2E_WORK/cd/SETUP/VEQWAVE.EXE"
e2e_cd_machine nt40
e2e_modem 2 vendor08-modemblaster.modem
faults_answers 'C:\VOICE'
faults_userfiles 'C:\VOICE'
faults_snapshot "$E2E_WORK/cd"

start=$(date +%s)
e2e_run 'D:\SETUP\SETUP.EXE'
took=$(($(date +%s) - start))
faults_expect_success
e2e_expect_log 'winversion=2'
# A traced text keeps its first 59 characters: the quoted command's last argument falls off.
e2e_expect_log 'cmd="D:\SETUP\VEQWAVE" 28673 "C:\VEQWAVE.WAV" "C:\VEQWAVE.VOX" '
e2e_expect_log 'Error in INS_StartTask = 13083'
e2e_expect_log 'Error in LVWAVE_wavetomodem = 13083'
e2e_expect_log 'cannot convert'
e2e_expect_log 'numfiles=0'
[ "$took" -ge 30 ] && [ "$took" -lt 200 ]
e2e_check $? "the converter was waited for its time-out, not for ever ($took s)"
faults_no_process 'VEQWAVE[^ ]* 28673'
# The prompt stays a WAV file; no voice file made of the converter's half output.
e2e_expect_file 'C:\VOICE\SCRIPT1\GREETING.WAV'
e2e_expect_nofile 'C:\VOICE\SCRIPT1\GREETING.VOX'
e2e_expect_nofile 'C:\VEQWAVE.WAV'
e2e_expect_nofile 'C:\VEQWAVE.VOX'
e2e_expect_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice' UninstallString 'ZVUNINST'
faults_expect_kept

e2e_finish
