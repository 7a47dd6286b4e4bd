#!/usr/bin/env bash
# The second diskette lacks its check file (2.txt): the diskette dialog keeps
# asking for the right disk; unattended, its time limit ends the run with 900.
# What the first disk brought stays complete, the user's files stay.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
e2e_machine win95
cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
for i in 1 2 3 4; do head -c 300000 /dev/urandom >"$E2E_WORK/demo/FOD/DOC$i.FAX"; done
E2E_MANIFEST=$E2E_WORK/demo/demo.manifest e2e_mkmedia diskettes "$E2E_WORK/set"
[ -d "$E2E_WORK/set/DISK2" ] && [ -f "$E2E_WORK/set/DISK2/2.txt" ]
e2e_check $? "the set has a second diskette with its check file"
rm -f "$E2E_WORK/set/DISK2/2.txt"
e2e_map_drive a "$E2E_WORK/set/DISK1"
e2e_modem 3 vendor08-modemblaster.modem
e2e_media_changer a "$E2E_WORK/set"
FAULTS_DISKWAIT=8 faults_answers 'C:\VOICE'
faults_userfiles 'C:\VOICE'
faults_snapshot "$E2E_WORK/set"

e2e_run 'A:\SETUP.EXE'
faults_expect_status 900
e2e_expect_log 'disknum = 2'
e2e_expect_log 'exist = 0'
e2e_expect_log 'unattended: diskette not inserted in time = 900'
e2e_expect_nolog 'disknum = 3'
cmp -s "$(e2e_unixpath 'C:\VOICE\DATA\README.TXT')" "$SOURCE_DIR/media/demo/DATA/README.TXT"
e2e_check $? "the first disk's files are complete"
faults_expect_kept

e2e_finish
