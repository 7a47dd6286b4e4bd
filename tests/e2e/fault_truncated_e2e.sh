#!/usr/bin/env bash
# A compressed file cut short on the medium (a damaged CD-ROM copy): the
# expansion must fail with the read error and name the file, never install the
# shortened file as if it were whole. Cut once inside the compressed data and
# once inside the compressed file's header.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
e2e_machine win98
cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
# A file large enough that half of it is well inside the compressed data.
for i in $(seq 400); do echo "line $i of the modem table: ATZ ATE0 AT+FCLASS=8 AT#CLS=8"; done >"$E2E_WORK/demo/PROGRAM/MODEMS.INI"
E2E_MANIFEST=$E2E_WORK/demo/demo.manifest e2e_mkmedia cdrom "$E2E_WORK/cd"
e2e_printer_standins "$E2E_WORK/cd/SETUP"
cut_file=$E2E_WORK/cd/SETUP/PROGRAM/MODEMS.INI
[ "$(head -c 4 "$cut_file")" = SZDD ]
e2e_check $? "MODEMS.INI is compressed on the medium"
size=$(stat -c %s "$cut_file")
truncate -s $((size / 2)) "$cut_file"
e2e_map_drive d "$E2E_WORK/cd"
e2e_modem 2 vendor08-modemblaster.modem
faults_answers 'C:\VOICE'
faults_userfiles 'C:\VOICE'
faults_snapshot "$E2E_WORK/cd"

echo "=== cut inside the compressed data"
e2e_run 'D:\SETUP\SETUP.EXE' D2  # the announced size and the removal are detail lines
faults_expect_status 2259
# The service expanded what was there and called it done; the size the header
# announces shows the file ended early.
e2e_expect_log 'announced='
e2e_expect_log 'lzcopy=-3'
e2e_expect_log 'removed unfinished C:\VOICE\PROGRAM\MODEMS.INI'
e2e_expect_nofile 'C:\VOICE\PROGRAM\MODEMS.INI'
faults_expect_kept

echo "=== cut inside the header"
truncate -s 9 "$cut_file"
faults_snapshot "$E2E_WORK/cd"
e2e_run 'D:\SETUP\SETUP.EXE'
faults_expect_status 2259
e2e_expect_nofile 'C:\VOICE\PROGRAM\MODEMS.INI'
faults_expect_kept

e2e_finish
