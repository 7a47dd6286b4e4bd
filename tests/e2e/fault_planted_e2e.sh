#!/usr/bin/env bash
# What an ordinary user may put into an installation folder must not turn the
# uninstaller against the administrator. The demo set goes into C:\A (which
# already held DATA\KEEP.TXT and TEMP\KEEP.TXT) and then into C:\B; the record
# names only what each installation made. Then, through each entry's command:
# A is removed with a planted VEQINS32.DLL and an UNINSTAL.DAT that names the
# shell's own types and the title Startup; B, which must still work after
# that, is removed with links to outside folders in TEMP, DATA and PROGRAM and
# a record titled like another program's uninstall entry.
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_cd_machine win98 --plain
e2e_modem 2 vendor08-modemblaster.modem
install_into() {
  e2e_answers_default
  e2e_answer_delete 988 111
  e2e_answer 992 "102=$1\\"
  e2e_answer 494 Answer=Yes
  e2e_answer_delete 997 124 125 126 104 103 127
  e2e_answer 997 111=1
  e2e_run 'D:\SETUP\SETUP.EXE'
  e2e_expect_rc 0
}
uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice'
run_uninstaller() {  # command
  e2e_run_command "${1:+$1 /N}" "the uninstall command $1 /N ends with 0"
}
unix() { e2e_unixpath "$1"; }

echo "=== into C:\\A, which held DATA\\KEEP.TXT and TEMP\\KEEP.TXT"
mkdir -p "$E2E_PREFIX/drive_c/A/DATA" "$E2E_PREFIX/drive_c/A/TEMP"
echo 'kept' >"$E2E_PREFIX/drive_c/A/DATA/KEEP.TXT"
echo 'kept' >"$E2E_PREFIX/drive_c/A/TEMP/KEEP.TXT"
install_into 'C:\A'
record=$(tr -d '\r' <"$(unix 'C:\A\DATA\UNINSTAL.LST')" 2>/dev/null)
for line in 'D,PROGRAM' 'D,MBOX000\FOD' 'F,PROGRAM\ZELTAVOX.EXE' 'F,PROGRAM\VEQINS32.DLL' 'F,DATA\ZELTAVOX.ini' \
  'F,DATA\UNINSTAL.DAT'; do
  grep -qixF -- "$line" <<<"$record"
  e2e_check $? "the record of C:\\A names $line"
done
! grep -qE '^(D,DATA|D,TEMP|F,DATA\\KEEP\.TXT|.*UNINSTAL\.LST)$' <<<"$record"
e2e_check $? "the record names neither the folders that were there nor their files, nor itself"
e2e_expect_reg "$uninstall" UninstallString '"C:\windows\ZVUNINST.EXE" /PATH="C:\A"'
command_a=$(e2e_reg_value "$uninstall" UninstallString)
desktop=$(e2e_shell_folder Desktop)
programs=$(e2e_shell_folder Programs)
cp "$(unix "$desktop\\ZeltaVoice.LNK")" "$E2E_WORK/to_a.lnk"  # a shortcut to a program in C:\A

echo "=== the same set into C:\\B"
install_into 'C:\B'
e2e_expect_reg "$uninstall" UninstallString '"C:\windows\ZVUNINST.EXE" /PATH="C:\B"'
cp "$(unix "$desktop\\ZeltaVoice.LNK")" "$E2E_WORK/to_b.lnk"

echo "=== planted in C:\\A: a library that runs, the shell's own types, the Startup group"
cp "$WIN32_BUILD/companions/uninstall/MARKDLL.DLL" "$(unix 'C:\A\PROGRAM\VEQINS32.DLL')"
# Without PROGRAM in the record only the recorded files go there, so a mark
# the library leaves beside itself would stay to be seen.
sed -i '/^D,PROGRAM\r\?$/d' "$(unix 'C:\A\DATA\UNINSTAL.LST')"
dat=$(unix 'C:\A\DATA\UNINSTAL.DAT')
{ printf 'Startup\r\n'; tail -n +2 "$dat"; printf 'exe,open\r\ntxt,open\r\nlnk,x\r\n'; } >"$dat.new" && mv "$dat.new" "$dat"
# Wine's own Startup folder, whatever its letter case.
startup=$(unix "$programs\\Startup")
mkdir -p "$startup"
cp "$E2E_WORK/to_b.lnk" "$startup/Other.lnk"
cp "$E2E_WORK/to_b.lnk" "$(unix "$desktop")/Startup.lnk"
for key in 'HKCR\exefile\shell\open' 'HKCR\txtfile\shell\open' 'HKCR\lnkfile'; do
  e2e_wine reg query "$key" >/dev/null 2>&1 || e2e_wine reg add "$key" /ve /d planted /f >/dev/null 2>&1
done
run_uninstaller "$command_a"
e2e_expect_nofile 'C:\A\PROGRAM\MARK.TXT'
e2e_expect_nofile 'C:\A\PROGRAM\ZELTAVOX.EXE'
e2e_expect_nofile 'C:\A\PROGRAM\VEQINS32.DLL'
e2e_expect_nofile 'C:\A\SCRIPT1'
e2e_expect_nofile 'C:\A\DATA\ZELTAVOX.ini'
e2e_expect_file 'C:\A\DATA\KEEP.TXT'
e2e_expect_file 'C:\A\TEMP\KEEP.TXT'
for key in 'HKCR\exefile\shell\open' 'HKCR\txtfile\shell\open' 'HKCR\lnkfile'; do
  e2e_wine reg query "$key" >/dev/null 2>&1
  e2e_check $? "registry $key is still there"
done
e2e_expect_file "$programs\\Startup\\Other.lnk"
e2e_expect_file "$desktop\\Startup.lnk"

echo "=== C:\\B still works"
e2e_expect_file 'C:\B\PROGRAM\ZELTAVOX.EXE'
e2e_expect_file 'C:\B\DATA\UNINSTAL.LST'
e2e_expect_reg "$uninstall" UninstallString '"C:\windows\ZVUNINST.EXE" /PATH="C:\B"'
e2e_expect_ini 'C:\windows\FAX.ini' FAX PATH 'C:\B\'
e2e_expect_reg 'HKCR\001file\shell\&Open\command' '' '"C:\B\PROGRAM\DUVOVIR.EXE" "%1"'
e2e_expect_file "$desktop\\ZeltaVoice.LNK"

echo "=== planted in C:\\B: links to outside folders, another program's title"
for d in TEMP DATA PROGRAM; do
  mkdir -p "$E2E_PREFIX/drive_c/OUT$d"
  echo "outside $d" >"$E2E_PREFIX/drive_c/OUT$d/FILE.TXT"
  ln -s "$E2E_PREFIX/drive_c/OUT$d" "$(unix "C:\\B\\$d")/LINK"
done
other='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\OtherApp'
e2e_wine reg add "$other" /v UninstallString /d '"C:\OTHER\UNINST.EXE"' /f >/dev/null 2>&1
mkdir -p "$(unix "$programs")/OtherApp"
cp "$E2E_WORK/to_a.lnk" "$(unix "$programs")/OtherApp/Other.lnk"
cp "$E2E_WORK/to_a.lnk" "$(unix "$desktop")/OtherApp.lnk"
dat=$(unix 'C:\B\DATA\UNINSTAL.DAT')
{ printf 'OtherApp\r\n'; tail -n +2 "$dat"; } >"$dat.new" && mv "$dat.new" "$dat"
run_uninstaller "$(e2e_reg_value "$uninstall" UninstallString)"
for d in TEMP DATA PROGRAM; do
  e2e_expect_file "C:\\OUT$d\\FILE.TXT"
done
# The folders themselves stay under Wine as long as it cannot remove a host
# link: what matters is that the suite's files went and the links' targets stayed.
e2e_expect_nofile 'C:\B\PROGRAM\ZELTAVOX.EXE'
e2e_expect_nofile 'C:\B\DATA\UNINSTAL.DAT'
e2e_expect_nofile 'C:\B\SCRIPT1'
e2e_expect_reg "$other" UninstallString '"C:\OTHER\UNINST.EXE"'
e2e_expect_file "$programs\\OtherApp\\Other.lnk"
e2e_expect_file "$desktop\\OtherApp.lnk"
e2e_expect_noreg 'HKCR\001file'
e2e_expect_file 'C:\A\DATA\KEEP.TXT'

e2e_finish
