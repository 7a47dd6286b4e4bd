#!/usr/bin/env bash
# The dialog sequence unattended: Back and Cancel, a missing answer, a failing
# check, and a port without a modem. Each run ends without waiting for anyone.
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_cd_machine nt40 --plain
e2e_modem 4 vendor08-modemblaster.modem

echo "=== Back returns to the destination with the entries kept; Cancel there ends silently"
e2e_answers <<'INI'
[988]
111=Netherlands
Button=1
[992]
102=C:\BACKTEST
Button=111
[997]
124=A company name of forty characters long!
123=#0
Button=301
[992.2]
Button=112
INI
e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 13000
e2e_expect_log 'INS_back = 1'
e2e_expect_log 'try to delete dir = C:\BACKTEST'
e2e_expect_nofile 'C:\BACKTEST'
e2e_expect_log 'Error in INS_install = 13000'
e2e_expect_nolog 'abortmsg2 = '
e2e_expect_nolog 'INS_getfilesize'
e2e_expect_nofile 'C:\windows\VEQINS.DLL'

echo "=== a dialog without an answer ends the run with 13001"
e2e_answers <<'INI'
[988]
111=Germany
Button=1
INI
e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 13001
e2e_expect_log 'unattended: no answer for dialog 992 = 13001'

echo "=== a failing check (a destination without drive letter) ends the run with its status"
e2e_answers <<'INI'
[988]
Button=1
[992]
102=\\server\share\fax
Button=111
INI
e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 2251
e2e_expect_log 'unattended box: 2251 - '
e2e_expect_log 'Error in INS_install = 2251'

echo "=== a subdirectory that cannot be made: 2231 with the failure notice"
mkdir -p "$E2E_PREFIX/drive_c/BLOCK"
echo "in the way" >"$E2E_PREFIX/drive_c/BLOCK/RECEIVE"
e2e_answers <<'INI'
[988]
Button=1
[992]
102=C:\BLOCK
Button=111
[494]
Answer=Yes
[997]
123=#0
Button=1
INI
e2e_run 'D:\SETUP\SETUP.EXE' D2  # which dialog was answered is a detail line
e2e_expect_rc 2231
e2e_expect_log 'abortmsg2 = A directory of the destination cannot be created.'
e2e_expect_log 'unattended: dialog 990'
e2e_expect_log 'INS_removesbfile = '
[ -d "$E2E_PREFIX/drive_c/BLOCK/TEMP" ] && [ ! -e "$E2E_PREFIX/drive_c/BLOCK/SEND" ]
e2e_check $? "directories before the failure stay, none after it is made"

echo "=== a port without a modem cannot be chosen: its button is disabled"
e2e_answers <<'INI'
[988]
Button=1
[992]
102=C:\NOMODEM
Button=111
[997]
123=#0
110=1
Button=1
INI
e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 13001
e2e_expect_log 'unattended: disabled choice 110'
e2e_expect_log 'unattended: choice not available = 13001'

echo "=== the second list entry skips the identification; the destination exists and is confirmed"
e2e_printer_standins "$E2E_WORK/cd/SETUP"
e2e_answers <<'INI'
[988]
Button=1
[992]
102=C:\NOMODEM
Button=111
[494]
Answer=Yes
[997]
123=#1
Button=1
INI
e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 0
e2e_expect_log 'checkdir exist=1'
e2e_expect_log 'unattended answer=Yes'
e2e_expect_log 'comport       = 4'
e2e_expect_nolog 'after detect'
e2e_expect_log 'winversion=2'
e2e_expect_file 'C:\NOMODEM\DATA\README.TXT'

echo "=== [Options] Delay= holds each dialog on screen before its answer"
e2e_answers <<'INI'
[Options]
Delay=3000
[988]
111=Germany
Button=1
INI
started=$(date +%s%N)
e2e_run 'D:\SETUP\SETUP.EXE' D2
held=$((($(date +%s%N) - started) / 1000000))
e2e_expect_rc 13001
e2e_expect_log 'unattended: showing 988'
e2e_expect_log 'unattended: showing 992'
[ "$held" -ge 6000 ]
e2e_check $? "two dialogs held 3 s each (the run took $held ms)"

e2e_finish
