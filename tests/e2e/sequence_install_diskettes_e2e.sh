#!/usr/bin/env bash
# A whole installation from a two-diskette set on drive A:, unattended: the
# diskette dialog presses OK again until a media changer has put disk 2 in.
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_machine win95
# Large "diskettes" so that the demo set spans exactly two.
e2e_mkmedia_disks 2 "$E2E_WORK/set"
[ -d "$E2E_WORK/set/DISK2" ] && [ ! -d "$E2E_WORK/set/DISK3" ]
e2e_check $? "the set has two diskettes"
[ -f "$E2E_WORK/set/DISK2/2.txt" ] && [ -f "$E2E_WORK/set/DISK2/lastdisk.txt" ]
e2e_check $? "disk 2 carries its check file and the last-disk marker"
e2e_printer_standins "$E2E_WORK/set/DISK2"
# The completion reads ICONS.LST from the drive after the diskette loop, when
# the last disk is in; the set carries it on disk 1 only so far.
[ -f "$E2E_WORK/set/DISK2/ICONS.LST" ] || { echo "ICONS.LST copied to the last disk"; cp "$E2E_WORK/set/DISK1/ICONS.LST" "$E2E_WORK/set/DISK2/"; }
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
e2e_expect_nolog 'disknum = 3'
grep -q 'disk 2 inserted' "$E2E_WORK/changer.log" 2>/dev/null
e2e_check $? "the media changer swapped the disk"
# Files of both disks arrived.
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
