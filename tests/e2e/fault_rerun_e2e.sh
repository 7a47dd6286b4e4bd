#!/usr/bin/env bash
# The installer killed in the middle of the copy (the user pulls the plug:
# every program of the machine ends at once) while it waits for the second
# diskette, then run again from the first disk over the half-done
# installation: the second run completes, every file is whole, and the user's
# files and settings are as they were. A ZARARAV.EXE that someone put into the
# existing destination is not the set's: it is neither run nor removed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
e2e_machine win95
cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
for i in 1 2 3 4; do head -c 300000 /dev/urandom >"$E2E_WORK/demo/FOD/DOC$i.FAX"; done
E2E_MANIFEST=$E2E_WORK/demo/demo.manifest e2e_mkmedia diskettes "$E2E_WORK/set"
[ -f "$E2E_WORK/set/DISK2/2.txt" ]
e2e_check $? "the set has a second diskette"
e2e_map_drive a "$E2E_WORK/set/DISK1"
e2e_modem 3 vendor08-modemblaster.modem
faults_answers 'C:\VOICE'
faults_userfiles 'C:\VOICE'
faults_snapshot "$E2E_WORK/set"

echo "=== killed while the copy waits for the second disk"
faults_kill_when 'disknum = 2' 1
e2e_run 'A:\SETUP.EXE'
e2e_wait_for 10 "the kill to be done" test -f "$E2E_WORK/killed"
[ -f "$E2E_WORK/killed" ] && [ -z "${E2E_RC:-}" ]
e2e_check $? "the installer was killed during the copy"
e2e_expect_nolog 'INS_convertscript'
e2e_expect_file 'C:\VOICE\DATA\README.TXT'
faults_expect_kept

echo "=== run again over the half-done installation"
WINEPREFIX=$E2E_PREFIX wineserver -p >/dev/null 2>&1
e2e_wine cmd /c exit >/dev/null 2>&1
# The killed run's log must not start the media changer before the new run asks.
rm -f "$E2E_PREFIX/drive_c/windows/SETUP.deb"
e2e_map_drive a "$E2E_WORK/set/DISK1"
e2e_media_changer a "$E2E_WORK/set"
# The printer installer companion records every command line it is started with.
mkdir -p "$(e2e_unixpath 'C:\VOICE')/PROGRAM"
cp "$WIN32_BUILD/companions/veqaddpr/VEQADDPR.EXE" "$(e2e_unixpath 'C:\VOICE\PROGRAM')/ZARARAV.EXE"
e2e_run 'A:\SETUP.EXE'
faults_expect_success
# A check that something did not happen: a tool started without waiting
# would have written its line within this pause.
sleep 1
! grep -qi 'ZARARAV' "$(e2e_unixpath 'C:\windows\VEQADDPR.LOG')" 2>/dev/null
e2e_check $? "the planted PROGRAM\\ZARARAV.EXE did not run"
e2e_expect_file 'C:\VOICE\PROGRAM\ZARARAV.EXE'

for i in 1 2 3 4; do
  cmp -s "$(e2e_unixpath "C:\\VOICE\\MBOX000\\FOD\\DOC$i.FAX")" "$E2E_WORK/demo/FOD/DOC$i.FAX"
  e2e_check $? "fax document $i is whole after the second run"
done
e2e_expect_ini 'C:\VOICE\DATA\ZELTAVOX.INI' GENERAL USERNAME 'Ann Smith'
e2e_expect_nofile 'C:\windows\VEQINS.DLL'
e2e_expect_nofile 'C:\windows\VEQSB95.DLL'
faults_expect_kept

e2e_finish
