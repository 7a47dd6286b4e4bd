#!/usr/bin/env bash
# A whole installation from a three-diskette set on drive A:, unattended: the
# diskette dialog presses OK again until a media changer has put the next disk in.
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_machine win95
# The demo set with six fax documents that do not compress (stored plain): three 1.44 MB diskettes.
cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
for i in 1 2 3 4 5 6; do head -c 400000 /dev/urandom >"$E2E_WORK/demo/FOD/DOC$i.FAX"; done
E2E_MANIFEST=$E2E_WORK/demo/demo.manifest e2e_mkmedia diskettes "$E2E_WORK/set"
[ -d "$E2E_WORK/set/DISK3" ] && [ ! -d "$E2E_WORK/set/DISK4" ]
e2e_check $? "the set has three diskettes"
[ -f "$E2E_WORK/set/DISK2/2.txt" ] && [ -f "$E2E_WORK/set/DISK3/3.txt" ] && [ -f "$E2E_WORK/set/DISK3/lastdisk.txt" ] &&
  [ ! -f "$E2E_WORK/set/DISK2/lastdisk.txt" ]
e2e_check $? "disks 2 and 3 carry their check files, only the last the last-disk marker"
# The completion reads these from the drive after the diskette loop, when the
# last disk is in: the set carries them on every disk.
for f in ICONS.LST ZVUNINST.EXE VEQUNINS.DLL VEQ95.DRV VEQNT.DLL VEQ.DRV VEQWAVE.EXE; do
  [ -f "$E2E_WORK/set/DISK3/$f" ]
  e2e_check $? "the last disk carries $f"
done
e2e_map_drive a "$E2E_WORK/set/DISK1"
e2e_modem 3 vendor08-modemblaster.modem
e2e_media_changer a "$E2E_WORK/set"
e2e_answers <<'INI'
[988]
111=United Kingdom
Button=1
[992]
102=C:\VOICE
Button=111
[997]
102=Bob Jones
104=+44 20 1234
123=#0
Button=1
[900]
Timeout=60
INI

e2e_run 'A:\SETUP.EXE'
e2e_expect_rc 0
e2e_expect_log 'Before INS_change diskette'
e2e_expect_log 'disknum = 2'
e2e_expect_log 'disknum = 3'
e2e_expect_nolog 'disknum = 4'
grep -q 'disk 3 inserted' "$E2E_WORK/changer.log" 2>/dev/null
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
