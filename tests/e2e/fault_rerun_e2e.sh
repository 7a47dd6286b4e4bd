#!/usr/bin/env bash
# The installer killed in the middle of the copy (the user pulls the plug: every
# program of the machine ends at once), then run again over the half-done
# installation: the second run completes, every file is whole, and the user's
# files and settings are as they were.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
e2e_machine win98
cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
for i in 1 2 3 4 5 6; do head -c 1000000 /dev/urandom >"$E2E_WORK/demo/FOD/DOC$i.FAX"; done
E2E_MANIFEST=$E2E_WORK/demo/demo.manifest e2e_mkmedia cdrom "$E2E_WORK/cd"
e2e_printer_standins "$E2E_WORK/cd/SETUP"
e2e_map_drive d "$E2E_WORK/cd"
e2e_modem 2 vendor08-modemblaster.modem
faults_answers 'C:\VOICE'
faults_userfiles 'C:\VOICE'
faults_snapshot "$E2E_WORK/cd"

echo "=== killed while the fax documents are copied"
faults_kill_when 'expanding:- D:\SETUP\FOD\' 3
e2e_run 'D:\SETUP\SETUP.EXE'
[ -f "$E2E_WORK/killed" ]
e2e_check $? "the installer was killed during the copy"
e2e_expect_nolog 'INS_convertscript'
faults_expect_kept
WINEPREFIX=$E2E_PREFIX wineserver -p >/dev/null 2>&1
e2e_wine cmd /c exit >/dev/null 2>&1

echo "=== run again over the half-done installation"
e2e_run 'D:\SETUP\SETUP.EXE'
faults_expect_success
for i in 1 2 3 4 5 6; do
  cmp -s "$(e2e_unixpath "C:\\VOICE\\MBOX000\\FOD\\DOC$i.FAX")" "$E2E_WORK/demo/FOD/DOC$i.FAX"
  e2e_check $? "fax document $i is whole after the second run"
done
e2e_expect_ini 'C:\VOICE\DATA\ZELTAVOX.INI' GENERAL USERNAME 'Ann Smith'
e2e_expect_nofile 'C:\windows\VEQINS.DLL'
e2e_expect_nofile 'C:\windows\VEQSB95.DLL'
faults_expect_kept

e2e_finish
