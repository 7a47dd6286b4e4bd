#!/usr/bin/env bash
# Start-up failures and the debug log, unattended: nothing may wait for a person.
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_machine win98

medium=$E2E_WORK/cd
mkdir -p "$medium"
cp "$E2E_SETUP" "$E2E_VEQINS" "$medium/"
cp "$SOURCE_DIR/media/demo/INSTALL.INI" "$medium/"
e2e_map_drive d "$medium"
e2e_answers <<'INI'
[992]
Button=112
INI

echo "=== no FAX.LST: not an installation disk"
e2e_run 'D:\SETUP.EXE'
e2e_expect_rc 2111
e2e_expect_log 'checking D:\FAX.LST'
e2e_expect_log 'unattended box: 2111 - '
e2e_expect_nolog 'Enter install'
e2e_expect_nofile 'C:\windows\VEQINS.DLL'

echo "=== no VEQINS.DLL: the copy fails before any library text exists"
cp "$SOURCE_DIR/media/demo/FAX.LST" "$medium/"
rm "$medium/VEQINS.DLL"
e2e_run 'D:\SETUP.EXE'
e2e_expect_rc 905
e2e_expect_nofile 'C:\windows\VEQINS.DLL'

echo "=== debug level 2: the log starts afresh with the settings and the version"
cp "$E2E_VEQINS" "$medium/"
e2e_log >/dev/null
e2e_run 'D:\SETUP.EXE' D2
e2e_expect_rc 13000
first=$(head -1 "$(e2e_logfile)")
[ "$first" = 'INI path=D:\INSTALL.INI' ]
e2e_check $? "the log's first line names INSTALL.INI (got '$first')"
head -40 "$(e2e_logfile)" | grep '^Software version=2.2i - 990605$' >/dev/null
e2e_check $? "the version line comes early"
[ "$(grep -c '^INI path=' "$(e2e_logfile)")" = 1 ]
e2e_check $? "the log holds one run only"
e2e_expect_log 'Error in INS_install = 13000'
e2e_expect_nolog 'abortmsg2 = '
e2e_expect_nofile 'C:\windows\VEQINS.DLL'

e2e_finish
