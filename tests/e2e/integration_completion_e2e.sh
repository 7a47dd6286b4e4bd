#!/usr/bin/env bash
# A whole installation of the demo set from CD-ROM, unattended, checked by what
# the completion leaves behind: configuration files, registry, shortcuts, the
# Program Manager group, the uninstall record; then the uninstaller, started
# by the uninstall entry's command with /Y and a log, removes it all, and after
# a restart nothing of the suite is left but the installer's log (Windows 95,
# where the uninstaller's own files go through WININIT.INI). A second
# installation, first killed in its completion and then run again, goes into
# a destination with a blank, where programs planted at
# C:\My.exe and C:\My must never run; its entry's quiet command removes it
# without a window and keeps the user's faxes and mailboxes (Windows XP).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
e2e_init
e2e_cd_machine win95 --plain
e2e_modem 2 vendor08-modemblaster.modem

# What the machine holds before: files of the Windows directories, the shell
# folders and the destination.
written_files() { e2e_written_files '' "$@"; }
written_files 'C:\ZELTA' | sort >"$E2E_WORK/files-before"
e2e_answers_default
e2e_answer_delete 988 111
e2e_answer 992 '102=C:\ZELTA\'
e2e_answer 997 124= '126=Springfield' '104=+1 555 0100' '103=555 0101' '127=555 0102' 111=1

e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 0

echo "=== configuration files"
ini='C:\ZELTA\DATA\ZELTAVOX.ini'
e2e_expect_ini "$ini" GENERAL USERNAME 'Ann Smith'
e2e_expect_ini "$ini" GENERAL COMPANYNAME ''
e2e_expect_ini "$ini" GENERAL FAXNUMBER '+1 555 0100'
e2e_expect_ini "$ini" GENERAL COMMPROGRAMNAME0 'C:\ZELTA\PROGRAM\ZELTATRM.EXE'
e2e_expect_ini "$ini" VEQFAX1 COMPORT 2
e2e_expect_ini "$ini" VEQFAX1 MAXRATE 3
e2e_expect_ini "$ini" VOICE FAXBACK1 'C:\ZELTA\DATA\FLOCHART'
e2e_expect_ini 'C:\windows\FAX.ini' FAX PATH 'C:\ZELTA\'

echo "=== uninstall entry, file types, record"
e2e_expect_file 'C:\windows\ZVUNINST.EXE'
e2e_expect_file 'C:\windows\VEQUNINS.DLL'
uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice'
e2e_expect_reg "$uninstall" DisplayName ZeltaVoice
e2e_expect_reg "$uninstall" UninstallString '"C:\windows\ZVUNINST.EXE" /PATH="C:\ZELTA"'
e2e_expect_reg "$uninstall" QuietUninstallString '"C:\windows\ZVUNINST.EXE" /PATH="C:\ZELTA" /N'
e2e_expect_reg "$uninstall" InstallLocation 'C:\ZELTA\'
e2e_expect_reg "$uninstall" DisplayIcon 'C:\ZELTA\PROGRAM\ZELTAVOX.EXE'
version=$(sed -n 's/^VERSION=\([^\r]*\).*/\1/p' "$E2E_WORK/cd/SETUP/INSTALL.INI" | head -1)
[ -n "$version" ]
e2e_check $? "INSTALL.INI of the set names its version"
e2e_expect_reg "$uninstall" DisplayVersion "$version"
e2e_expect_reg "$uninstall" NoModify 0x1
e2e_expect_reg "$uninstall" NoRepair 0x1
e2e_expect_reg "$uninstall" EstimatedSize 0x
e2e_expect_reg 'HKCR\.001' '' 001file
e2e_expect_reg 'HKCR\.lgo' '' lgofile
e2e_expect_reg 'HKCR\001file\shell\&Open\command' '' '"C:\ZELTA\PROGRAM\DUVOVIR.EXE" "%1"'
e2e_expect_reg 'HKCR\lgofile\shell\&Fax\command' '' '"C:\ZELTA\PROGRAM\ZELTAVOX.EXE" "%1"'
record=$(tr -d '\r' <"$(e2e_unixpath 'C:\ZELTA\DATA\UNINSTAL.DAT')" 2>/dev/null | tr '\n' '|')
[ "$record" = 'ZeltaVoice|001,&Open|001,&Print|001,&Fax|lgo,&Open|lgo,&Print|lgo,&Fax|' ]
e2e_check $? "UNINSTAL.DAT lists the title and six verbs (got '$record')"

echo "=== shortcuts and the program group"
desktop=$(e2e_shell_folder Desktop)
sendto=$(e2e_shell_folder SendTo)
programs=$(e2e_shell_folder Programs)
e2e_expect_file "$desktop\\ZeltaVoice.LNK"
e2e_expect_file "$sendto\\ZeltaVoice.LNK"
[ -d "$(e2e_unixpath "$programs\\ZeltaVoice")" ]
e2e_check $? "program group folder $programs\\ZeltaVoice"
e2e_expect_log 'item=[AddItem("C:\ZELTA\PROGRAM\ZELTAVOX.EXE","ZeltaVox","C:\ZEL'
e2e_expect_log 'item=[AddItem("C:\ZELTA\DATA\README.TXT","Read Me","")]'
e2e_expect_file 'C:\ZELTA\PROGRAM\VEQINS32.DLL'
e2e_expect_file 'C:\ZELTA\PROGRAM\VEQ95.DRV'
e2e_expect_log 'INS_CopyAddPrinterFiles WIN32=1'
e2e_expect_nolog 'Error in INS_alldone'

# The command the uninstall entry holds, as Add/Remove Programs would run it.
run_uninstaller() {  # value-name options
  local command
  command=$(e2e_reg_value "$uninstall" "$1")
  e2e_run_command "${command:+$command ${2:-}}" "the uninstall command $command ${2:-}ends with 0 (a question would wait for ever)"
}

find "$(e2e_unixpath 'C:\ZELTA')" -type f >"$E2E_WORK/zelta-files"
echo "=== the uninstall command with /Y and a log removes everything; the restart takes the uninstaller"
echo 'a received fax' >"$(e2e_unixpath 'C:\ZELTA\RECEIVE')/FAX0001.001"
mkdir -p "$E2E_PREFIX/drive_c/Removal Log"
run_uninstaller UninstallString '/Y /LOG="C:\Removal Log\zvuninst.log"'
e2e_expect_nofile 'C:\ZELTA'
e2e_expect_nofile "$desktop\\ZeltaVoice.LNK"
e2e_expect_nofile "$sendto\\ZeltaVoice.LNK"
e2e_expect_nofile "$programs\\ZeltaVoice"
e2e_expect_nofile 'C:\windows\FAX.ini'
e2e_expect_noreg "$uninstall"
e2e_expect_noreg 'HKCR\001file'
e2e_expect_noreg 'HKCR\.lgo'
removal=$(e2e_unixpath 'C:\Removal Log\zvuninst.log')
for line in 'removed file=C:\ZELTA\PROGRAM\ZELTAVOX.EXE' 'removed file=C:\ZELTA\RECEIVE\FAX0001.001' \
            'removed directory=C:\ZELTA' 'removed key=HKEY_CLASSES_ROOT\001file\shell\&Open' 'removed key=HKEY_CLASSES_ROOT\.lgo' \
            "removed key=HKEY_LOCAL_MACHINE\\${uninstall#HKLM\\}" "removed shortcut=$desktop\\ZeltaVoice.LNK" \
            "removed shortcut=$sendto\\ZeltaVoice.LNK" 'removed group=ZeltaVoice' 'removed file=C:\windows\FAX.ini' \
            'removed at restart=C:\windows\ZVUNINST.EXE' 'removed at restart=C:\windows\VEQUNINS.DLL'; do
  tr -d '\r' <"$removal" 2>/dev/null | grep -qixF -- "$line"
  e2e_check $? "the removal's log names '$line'"
done
# Every file of the installation: each named by the log as removed.
missing=0
while IFS= read -r f; do
  win='C:\ZELTA\'$(printf '%s' "${f#*/ZELTA/}" | tr '/' '\\')
  tr -d '\r' <"$removal" | grep -qixF -- "removed file=$win" || { missing=1; echo "not in the log: $win"; }
done <"$E2E_WORK/zelta-files"
e2e_check $missing "the removal's log names every file of the installation"
for f in ZVUNINST.EXE VEQUNINS.DLL; do
  grep -qixF "NUL=C:\\windows\\$f" <(tr -d '\r' <"$(e2e_unixpath 'C:\windows\WININIT.INI')")
  e2e_check $? "WININIT.INI [Rename] lists NUL=C:\\windows\\$f"
done
WINEPREFIX=$E2E_PREFIX wineboot -r >/dev/null 2>&1
e2e_expect_nofile 'C:\windows\ZVUNINST.EXE'
e2e_expect_nofile 'C:\windows\VEQUNINS.DLL'
# Left: the installer's debug log for the support desk, the removal's log asked
# for, and what the restart itself writes.
written_files 'C:\ZELTA' | sort | comm -13 "$E2E_WORK/files-before" - |
  grep -viE '/windows/(SETUP\.deb|wininit\.bak)$' >"$E2E_WORK/files-left"
[ ! -s "$E2E_WORK/files-left" ]
e2e_check $? "nothing of the suite left after the restart (got: $(tr '\n' ' ' <"$E2E_WORK/files-left"))"

echo "=== Windows NT, INSTALLPRINTER=1, into C:\My Fax (new)\: the printer installer is run, WIN.INI is left alone"
WINEPREFIX=$E2E_PREFIX wineserver -k >/dev/null 2>&1
rm -rf "$E2E_PREFIX"
e2e_cd_medium --plain
sed -i 's/^INSTALLPRINTER=.*/INSTALLPRINTER=1\r/' "$E2E_WORK/cd/SETUP/INSTALL.INI"
e2e_cd_machine winxp
e2e_modem 2 vendor08-modemblaster.modem
written_files | sort >"$E2E_WORK/files-before"
# Planted where an unquoted "C:\My Fax (new)\..." command line looks first: copies of
# the printer installer, which record every command line they are started with.
for planted in 'C:\My.exe' 'C:\My'; do cp "$WIN32_BUILD/companions/veqaddpr/VEQADDPR.EXE" "$(e2e_unixpath "$planted")"; done
e2e_answers_default
e2e_answer_delete 988 111
e2e_answer 992 '102=C:\My Fax (new)\'
e2e_answer_delete 997 124 125 126 104 103 127
e2e_answer 997 111=1
e2e_answer 991 Button=112
# First killed in the completion, with the program group half made: the run
# below takes the stopped one over, and its removal leaves nothing of either.
faults_kill_when 'enter addprogram' 1
e2e_run 'D:\SETUP\SETUP.EXE'
e2e_wait_for 10 "the kill to be done" test -f "$E2E_WORK/killed"
WINEPREFIX=$E2E_PREFIX wineserver -p >/dev/null 2>&1
e2e_answer 494 Answer=Yes  # the destination is there now
e2e_run 'D:\SETUP\SETUP.EXE' D1
e2e_expect_rc 0
e2e_expect_log 'Openning service:-Halvern Fax Server'
e2e_expect_log 'Error in INS_removeservice = 1060'
e2e_expect_file 'C:\My Fax (new)\PROGRAM\VEQNT.DLL'
e2e_expect_nofile 'C:\My Fax (new)\PROGRAM\VEQ95.DRV'
e2e_expect_log 'cmdline="C:\My Fax (new)\PROGRAM\VEQADDPR.EXE" /p1 /d'
# Started were the printer installer and (closing dialog, button 112) the
# installed program: only the first records a line, and no planted copy ran.
addpr=$(tr -d '\r' <"$(e2e_unixpath 'C:\windows\VEQADDPR.LOG')" 2>/dev/null)
[ "$addpr" = '"C:\My Fax (new)\PROGRAM\VEQADDPR.EXE" /p1 /d' ]
e2e_check $? "only the printer installer ran, once, quoted, with /p1 /d (got '$addpr')"
[ -z "$(e2e_ini_value 'C:\windows\win.ini' devices VEQ-printer)" ]
e2e_check $? "no printer entry in WIN.INI"
e2e_expect_nofile 'C:\windows\system32\VEQ.DRV'
e2e_expect_reg "$uninstall" UninstallString '"C:\windows\ZVUNINST.EXE" /PATH="C:\My Fax (new)"'
e2e_expect_reg 'HKCR\001file\shell\&Open\command' '' '"C:\My Fax (new)\PROGRAM\DUVOVIR.EXE" "%1"'
e2e_expect_reg 'HKCR\001file\shell\&Print\command' '' '"C:\My Fax (new)\PROGRAM\DUVOVIR.EXE" "%1" /p'
e2e_expect_reg 'HKCR\lgofile\shell\&Fax\command' '' '"C:\My Fax (new)\PROGRAM\ZELTAVOX.EXE" "%1"'
# The parentheses stay inside the quoted fields: every item of the group
# starts the program of this installation.
programs=$(e2e_shell_folder Programs)
for item in 'ZeltaVox|C:\My Fax (new)\PROGRAM\ZELTAVOX.EXE' 'Install the fax printer|C:\My Fax (new)\PROGRAM\VEQADDPR.EXE' \
            'Read Me|C:\My Fax (new)\DATA\README.TXT'; do
  lnk="$programs\\ZeltaVoice\\${item%%|*}.lnk"
  target=$(lnkinfo "$(e2e_unixpath "$lnk")" 2>/dev/null | sed -n 's/^\tLocal path\t*: //p' | tr -d '\r')
  want=${item#*|}
  [ -n "$target" ] && [ "${target,,}" = "${want,,}" ]
  e2e_check $? "group item '${item%%|*}' starts $want (got '$target')"
done

echo "=== the quiet uninstall command removes the installation in C:\\My Fax (new) without a window, keeping the faxes"
e2e_wine taskkill /f /im ZELTAVOX.EXE >/dev/null 2>&1  # the program button 112 started
for d in RECEIVE SEND MBOX000; do echo "the user's $d" >"$(e2e_unixpath "C:\\My Fax (new)\\$d")/KEEP.001"; done
run_uninstaller QuietUninstallString
e2e_expect_nofile 'C:\My Fax (new)\PROGRAM'
e2e_expect_nofile 'C:\My Fax (new)\DATA'
for d in RECEIVE SEND MBOX000; do e2e_expect_file "C:\\My Fax (new)\\$d\\KEEP.001"; done
e2e_expect_noreg "$uninstall"
e2e_expect_noreg 'HKCR\001file'
addpr=$(tr -d '\r' <"$(e2e_unixpath 'C:\windows\VEQADDPR.LOG')" 2>/dev/null)
[ "$addpr" = '"C:\My Fax (new)\PROGRAM\VEQADDPR.EXE" /p1 /d' ]
e2e_check $? "no planted program ran at all (got '$addpr')"
WINEPREFIX=$E2E_PREFIX wineboot -r >/dev/null 2>&1
e2e_expect_nofile 'C:\windows\ZVUNINST.EXE'
e2e_expect_nofile 'C:\windows\VEQUNINS.DLL'
# Left: the installer's debug log, the printer installer's record of its
# command lines (this test's planted copies write it), the planted copies, and
# the user's faxes and mailboxes (all of MBOX000) with the folder that holds them.
written_files 'C:\My Fax (new)' | sort | comm -13 "$E2E_WORK/files-before" - |
  grep -viE '/windows/(SETUP\.deb|VEQADDPR\.LOG)$' |
  grep -vE '/My Fax \(new\)(/(RECEIVE|SEND|MBOX000)(/.*)?)?$' >"$E2E_WORK/files-left"
[ ! -s "$E2E_WORK/files-left" ]
e2e_check $? "nothing of the suite left but the faxes after the restart (got: $(tr '\n' ' ' <"$E2E_WORK/files-left"))"

e2e_finish
