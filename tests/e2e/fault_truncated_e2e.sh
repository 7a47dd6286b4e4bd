#!/usr/bin/env bash
# A compressed file cut short on the medium (a damaged CD-ROM copy): the
# expansion must fail with the read error and name the file, never install the
# shortened file as if it were whole. Cut once inside the compressed data and
# once inside the compressed file's header. Then a damaged packed archive: an
# entry named like a device or with "..\" fails the installation, naming the
# entry, with the entries before it unpacked and nothing written for it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
# A file large enough that half of it is well inside the compressed data.
for i in $(seq 400); do echo "line $i of the modem table: ATZ ATE0 AT+FCLASS=8 AT#CLS=8"; done >"$E2E_WORK/demo/PROGRAM/MODEMS.INI"
E2E_MANIFEST=$E2E_WORK/demo/demo.manifest e2e_cd_medium
cut_file=$E2E_WORK/cd/SETUP/PROGRAM/MODEMS.INI
[ "$(head -c 4 "$cut_file")" = SZDD ]
e2e_check $? "MODEMS.INI is compressed on the medium"
size=$(stat -c %s "$cut_file")
truncate -s $((size / 2)) "$cut_file"
e2e_cd_machine win98
e2e_modem 2 vendor08-modemblaster.modem
faults_answers 'C:\VOICE'
faults_userfiles 'C:\VOICE'
faults_snapshot "$E2E_WORK/cd"

faults_photo start

echo "=== cut inside the compressed data"
# The announced size and the removal are detail lines.
e2e_run 'D:\SETUP\SETUP.EXE' D2 '/RESULT=C:\windows\result.ini'
faults_expect_status 2259
e2e_expect_ini 'C:\windows\result.ini' Result Undo 'SETUP.EXE /UNDO undoes what this installation changed.'
# The service expanded what was there and called it done; the size the header
# announces shows the file ended early.
e2e_expect_log 'announced='
e2e_expect_log 'lzcopy=-3'
e2e_expect_log 'removed unfinished C:\VOICE\PROGRAM\MODEMS.INI'
e2e_expect_nofile 'C:\VOICE\PROGRAM\MODEMS.INI'
faults_expect_kept
# The way back: everything the failed run made goes, its debug log stays.
cp "$E2E_PREFIX/drive_c/windows/SETUP.deb" "$E2E_WORK/failed.deb"
E2E_ANSWERS='' e2e_run 'D:\SETUP\SETUP.EXE' /UNDO /SILENT '/RESULT=C:\windows\result.ini'
e2e_expect_rc 0
e2e_expect_ini 'C:\windows\result.ini' Result Text 'What the stopped installation changed is undone.'
faults_expect_photo start "/UNDO after the failure left the machine as it was"
cmp -s "$E2E_WORK/failed.deb" "$E2E_PREFIX/drive_c/windows/SETUP.deb"
e2e_check $? "/UNDO left the failed run's debug log as it was"
if [ "${E2E_MATRIX:-}" = full ]; then
  e2e_run 'D:\SETUP\SETUP.EXE' /ROLLBACK
  faults_expect_status 2259
  faults_expect_photo start "the failed run with /ROLLBACK left the machine as it was"
fi

echo "=== cut inside the header"
truncate -s 9 "$cut_file"
faults_snapshot "$E2E_WORK/cd"
e2e_run 'D:\SETUP\SETUP.EXE'
faults_expect_status 2259
e2e_expect_nofile 'C:\VOICE\PROGRAM\MODEMS.INI'
faults_expect_kept

# txt.pck with two entries, the damaged one, and one after it.
damaged_archive() {  # name
  python3 - "$E2E_WORK/cd/SETUP/txt.pck" "$1" <<'PY'
import struct, sys
def entry(name, data):
    return struct.pack('<i', len(data)) + name.encode('latin-1').ljust(13, b'\0') + data
with open(sys.argv[1], 'wb') as f:
    f.write(entry('FIRST.TXT', b'first entry\r\n') + entry('SECOND.TXT', b'second\r\n') +
            entry(sys.argv[2], b'must never be written\r\n') + entry('AFTER.TXT', b'after\r\n'))
PY
}

for entry in 'AUX.TXT' '..\EVIL.TXT'; do
  echo "=== packed archive with the entry $entry"
  rm -rf "$(e2e_unixpath 'C:\VOICE\SCRIPT1')"
  damaged_archive "$entry"
  faults_snapshot "$E2E_WORK/cd"
  e2e_run 'D:\SETUP\SETUP.EXE' D2  # the refused name is a detail line
  faults_expect_status 13103
  e2e_expect_log " refused name $entry"
  e2e_expect_log 'Unpack failed - after creating 2 files for a total of 21 bytes'
  e2e_expect_log "abortmsg2 = A file cannot be created: $entry"
  e2e_expect_file 'C:\VOICE\SCRIPT1\FIRST.TXT'
  e2e_expect_file 'C:\VOICE\SCRIPT1\SECOND.TXT'
  e2e_expect_nofile 'C:\VOICE\SCRIPT1\AFTER.TXT'
  e2e_expect_nofile 'C:\VOICE\SCRIPT1\AUX.TXT'
  e2e_expect_nofile 'C:\VOICE\EVIL.TXT'
  faults_expect_kept
done

e2e_finish
