#!/usr/bin/env bash
# A whole installation from a diskette set on drive A:, unattended: the
# diskette dialog presses OK again until a media changer has put the next disk in.
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_machine win95
# The demo set with six fax documents that do not compress (stored plain): at
# least three 1.44 MB diskettes. How many more depends on the size of the
# programs of the build under test, so the count is read off the set.
cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
for i in 1 2 3 4 5 6; do head -c 400000 /dev/urandom >"$E2E_WORK/demo/FOD/DOC$i.FAX"; done
E2E_MANIFEST=$E2E_WORK/demo/demo.manifest e2e_mkmedia diskettes "$E2E_WORK/set"
disks=1
while [ -d "$E2E_WORK/set/DISK$((disks + 1))" ]; do disks=$((disks + 1)); done
[ "$disks" -ge 3 ]
e2e_check $? "the set spans at least three diskettes (it has $disks)"
last=$E2E_WORK/set/DISK$disks
checks=0
for n in $(seq 2 "$disks"); do
  [ -f "$E2E_WORK/set/DISK$n/$n.txt" ] || checks=1
  [ "$n" = "$disks" ] || [ ! -f "$E2E_WORK/set/DISK$n/lastdisk.txt" ] || checks=1
done
[ -f "$last/lastdisk.txt" ] || checks=1
e2e_check $checks "disks 2 to $disks carry their check files, only the last the last-disk marker"
# The completion reads these from the drive after the diskette loop, when the
# last disk is in: the set carries them on every disk.
for f in ICONS.LST ZVUNINST.EXE VEQUNINS.DLL VEQ95.DRV VEQNT.DLL VEQ.DRV VEQWAVE.EXE; do
  [ -f "$last/$f" ]
  e2e_check $? "the last disk carries $f"
done
e2e_map_drive a "$E2E_WORK/set/DISK1"
e2e_modem 3 vendor08-modemblaster.modem
e2e_media_changer a "$E2E_WORK/set"
e2e_answers_default
e2e_answer 988 '111=United Kingdom'
e2e_answer 992 '102=C:\VOICE'
e2e_answer 997 '102=Bob Jones' '104=+44 20 1234'
e2e_answer_delete 997 124 125 126 103 127
e2e_answer 900 Timeout=60
e2e_answer_delete 991

e2e_run 'A:\SETUP.EXE'
e2e_expect_rc 0
e2e_expect_log 'Before INS_change diskette'
for n in $(seq 2 "$disks"); do e2e_expect_log "disknum = $n"; done
e2e_expect_nolog "disknum = $((disks + 1))"
grep -q "disk $disks inserted" "$E2E_WORK/changer.log" 2>/dev/null
e2e_check $? "the media changer swapped the disks"
for i in 1 2 3 4 5 6; do
  cmp -s "$(e2e_unixpath "C:\\VOICE\\MBOX000\\FOD\\DOC$i.FAX")" "$E2E_WORK/demo/FOD/DOC$i.FAX"
  e2e_check $? "fax document $i expanded from its disk to its original bytes"
done
# Files of every disk arrived.
e2e_expect_file 'C:\VOICE\DATA\COUNTRY.INI'
cmp -s "$(e2e_unixpath 'C:\VOICE\DATA\COUNTRY.INI')" "$SOURCE_DIR/media/demo/COUNTRY/COUNTRY.UK"
e2e_check $? "the British country file"
missing=0
for f in "$SOURCE_DIR"/media/demo/PROGRAM/*; do
  name=$(basename "$f")
  [ -f "$(e2e_unixpath "C:\\VOICE\\PROGRAM\\$name")" ] || { echo "missing PROGRAM\\$name"; missing=1; }
done
e2e_check $missing "every file of PROGRAM installed"
e2e_expect_ini 'C:\VOICE\DATA\ZELTAVOX.INI' GENERAL USERNAME 'Bob Jones'
e2e_expect_log 'comport       = 3'
e2e_expect_log 'winversion=1'
e2e_expect_nofile 'C:\windows\VEQINS.DLL'

e2e_finish
