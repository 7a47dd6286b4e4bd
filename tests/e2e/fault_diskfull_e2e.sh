#!/usr/bin/env bash
# The destination disk fills up during the copy: a 9 MB drive passes the
# destination dialog's 7 MB check, then a 10 MB fax document does not fit.
# The write error ends the installation with its status and the failure
# notice; the user's files stay, nothing is written anywhere else, and no
# half-written file is left behind as if it were complete.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
cp -r "$SOURCE_DIR/media/demo" "$E2E_WORK/demo"
head -c 10000000 /dev/urandom >"$E2E_WORK/demo/FOD/BIG.FAX"
E2E_MANIFEST=$E2E_WORK/demo/demo.manifest e2e_cd_machine win98
faults_mount_small "$E2E_WORK/small" 9m
e2e_map_drive e "$E2E_WORK/small"
e2e_modem 2 vendor08-modemblaster.modem
faults_answers 'E:\VOICE'
faults_userfiles 'E:\VOICE'
faults_snapshot "$E2E_WORK/cd"

e2e_run 'D:\SETUP\SETUP.EXE'
faults_expect_status 13921
e2e_expect_log 'lzcopy=-4'
e2e_expect_log 'abortmsg2 = '
e2e_expect_nofile 'E:\VOICE\MBOX000\FOD\BIG.FAX'
# What was copied before the disk filled up is complete.
cmp -s "$(e2e_unixpath 'E:\VOICE\DATA\README.TXT')" "$SOURCE_DIR/media/demo/DATA/README.TXT"
e2e_check $? "a file copied before the disk filled up is complete"
e2e_expect_nolog 'adduninstall='
faults_expect_kept

e2e_finish
