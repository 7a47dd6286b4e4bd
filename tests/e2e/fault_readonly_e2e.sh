#!/usr/bin/env bash
# A read-only destination (a filesystem mounted read-only, which even root
# cannot write): first with only the destination directory there, so that the
# tree cannot be made (2231); then with the whole tree there, so that the first
# file cannot be created (906, named in the failure notice). The user's file
# and everything outside stay as they were.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
e2e_cd_machine win98
mkdir -p "$E2E_WORK/ro"
e2e_map_drive e "$E2E_WORK/ro"
e2e_modem 2 vendor08-modemblaster.modem
faults_answers 'E:\VOICE'
faults_userfiles 'E:\VOICE'
faults_mount_readonly "$E2E_WORK/ro"
faults_snapshot "$E2E_WORK/cd" "$E2E_WORK/ro"

echo "=== the tree cannot be made"
e2e_run 'D:\SETUP\SETUP.EXE'
faults_expect_status 2231
e2e_expect_log 'cannot create dir'
faults_expect_kept

echo "=== the tree is there, its files cannot be created"
umount "$E2E_WORK/ro"
for d in TEMP RECEIVE SEND PROGRAM DATA SCRIPT1 MBOX000 MBOX000/DSEND MBOX000/DRECV MBOX000/FOD; do
  mkdir -p "$E2E_WORK/ro/VOICE/$d"
done
mount --bind "$E2E_WORK/ro" "$E2E_WORK/ro" && mount -o remount,bind,ro "$E2E_WORK/ro"
e2e_check $? "the destination is read-only again"
faults_snapshot "$E2E_WORK/cd" "$E2E_WORK/ro"
e2e_run 'D:\SETUP\SETUP.EXE'
faults_expect_status 906
e2e_expect_log 'cannot create tofileE:\VOICE\'
grep -q '^abortmsg2 = .*E:\\VOICE' "$(e2e_logfile)"
e2e_check $? "the failure notice names the file that cannot be created"
faults_expect_kept

e2e_finish
