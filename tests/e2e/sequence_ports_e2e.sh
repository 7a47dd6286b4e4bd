#!/usr/bin/env bash
# The port probing of the user-details dialog: no modem anywhere, then modems
# on two ports, of which the last one that answers is chosen and identified.
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_cd_machine win98 --plain

echo "=== no modem on any port: detection cannot start (2312)"
e2e_answers <<'INI'
[988]
Button=1
[992]
102=C:\PORTS
Button=111
[997]
123=#0
Button=1
INI
e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 2312
e2e_expect_nofile 'C:\PORTS\PROGRAM'

echo "=== modems on COM2 and COM4: COM4 is chosen and identified"
e2e_modem 2 vendor31-usr.modem
e2e_modem 4 vendor08-modemblaster.modem
e2e_answers_default
e2e_answer_delete 988 111
e2e_answer 992 '102=C:\PORTS'
e2e_answer 494 Answer=Yes
e2e_answer 997 '102=Port Tester'
e2e_answer_delete 997 124 125 126 104 103 127
e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 0
e2e_expect_log 'comport       = 4'
e2e_expect_log 'after detect'
# Commands other than the probe's AT: the identification's.
identified() { grep -v '^#' "$E2E_WORK/modem$1.log" | grep -qvx 'AT'; }
identified 4
e2e_check $? "the modem on COM4 was identified"
! identified 2
e2e_check $? "the modem on COM2 was only probed"
e2e_expect_ini 'C:\PORTS\DATA\ZELTAVOX.INI' VEQFAX1 COMPORT 4

e2e_finish
