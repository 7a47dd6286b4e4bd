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
faults_photo start

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

echo "=== removed: the folders the killed run made go too"
command=$(e2e_reg_value 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice' UninstallString)
e2e_run_command "${command:+$command /Y}" "the uninstall command $command /Y ends with 0"
faults_expect_photo start "the re-run's removal left the machine as it was before the first run"

# The wider matrix: killed at each point on both Windows families, then undone
# by /UNDO, and killed again, run again and removed; a damaged file and a
# cancelled disk request, with /ROLLBACK and then with /UNDO. Each way back
# leaves the machine as it was.
if [ "${E2E_MATRIX:-}" = full ]; then
  uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice'
  fresh() {  # version medium-drive...
    e2e_machine "$1"
    e2e_map_drive "$2" "$3"
    e2e_modem 3 vendor08-modemblaster.modem
    faults_answers 'C:\VOICE'
    faults_photo matrix
  }
  killed() {  # program text count
    # The kill watches the debug log: an earlier run's must not set it off.
    rm -f "$E2E_WORK/killed" "$E2E_PREFIX/drive_c/windows/SETUP.deb"
    faults_kill_when "$2" "$3"
    e2e_run "$1"
    e2e_wait_for 60 "the kill at $2" test -f "$E2E_WORK/killed"
    WINEPREFIX=$E2E_PREFIX wineserver -p >/dev/null 2>&1
  }
  undo() {  # program what
    # A kill lands a moment after its line: near the end of the completion it
    # may come after the journal is done, and the installation is whole.
    local journal=no
    compgen -G "$E2E_PREFIX/drive_c/windows/VEQJ*.JNL" >/dev/null && journal=yes
    E2E_ANSWERS='' e2e_run "$1" /UNDO /SILENT
    if [ "$journal" = yes ]; then
      faults_expect_photo matrix "$2: /UNDO left the machine as it was"
    else
      echo "note: $2: the kill came after the journal was done; /UNDO had nothing to undo"
      e2e_expect_rc 0
    fi
  }
  e2e_cd_medium
  for version in win98 winxp; do
    for point in 'port probe|title = |1' 'directories|try to create dir = |4' 'first file|INS_expandfile from=|3' \
                 'mid-copy|expanddirectory from|3' 'voice conversion|INS_convertscript vendor=|1' 'uninstall entry|adduninstall=|1' \
                 'Program Manager|enter addprogram|1' 'links|szLink=|1'; do
      IFS='|' read -r name text count <<<"$point"
      echo "=== matrix $version: killed at $name"
      fresh "$version" d "$E2E_WORK/cd"
      killed 'D:\SETUP\SETUP.EXE' "$text" "$count"
      undo 'D:\SETUP\SETUP.EXE' "$version, killed at $name"
      killed 'D:\SETUP\SETUP.EXE' "$text" "$count"
      e2e_run 'D:\SETUP\SETUP.EXE'
      faults_expect_success
      command=$(e2e_reg_value "$uninstall" UninstallString)
      e2e_run_command "${command:+$command /Y}" "$version, killed at $name: the re-run's uninstall command ends with 0"
      faults_expect_photo matrix "$version, killed at $name: the re-run's removal left the machine as it was"
    done
    echo "=== matrix $version: a cancelled disk request"
    fresh "$version" a "$E2E_WORK/set/DISK1"
    e2e_answer 900 Button=103
    e2e_run 'A:\SETUP.EXE' /ROLLBACK
    faults_expect_status 13000
    faults_expect_photo matrix "$version, disk request cancelled with /ROLLBACK: the machine as it was"
    e2e_run 'A:\SETUP.EXE'
    faults_expect_status 13000
    undo 'A:\SETUP.EXE' "$version, disk request cancelled"
  done
fi

e2e_finish
