#!/usr/bin/env bash
# A whole installation of the demo set from CD-ROM, unattended, checked by what
# the completion leaves behind: configuration files, registry, shortcuts, the
# Program Manager group, the uninstall record; then the uninstaller, started
# by the uninstall entry's command, removes it all but the user's faxes and
# mailboxes. A second installation goes into a destination with a blank, where
# programs planted at C:\My.exe and C:\My must never run.
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_cd_machine win98 --plain
e2e_modem 2 vendor08-modemblaster.modem
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
run_uninstaller() {
  local command
  command=$(e2e_reg_value "$uninstall" UninstallString)
  e2e_run_command "${command:+$command /N}" "the uninstall command $command /N ends with 0"
}

echo "=== the uninstaller keeps the faxes and removes the rest"
echo 'a received fax' >"$(e2e_unixpath 'C:\ZELTA\RECEIVE')/FAX0001.001"
run_uninstaller
e2e_expect_nofile 'C:\ZELTA\PROGRAM'
e2e_expect_nofile 'C:\ZELTA\DATA'
e2e_expect_file 'C:\ZELTA\RECEIVE\FAX0001.001'
e2e_expect_nofile "$desktop\\ZeltaVoice.LNK"
e2e_expect_nofile "$sendto\\ZeltaVoice.LNK"
e2e_expect_nofile "$programs\\ZeltaVoice"
e2e_expect_nofile 'C:\windows\FAX.ini'
! e2e_wine reg query "$uninstall" >/dev/null 2>&1
e2e_check $? "uninstall key removed"
! e2e_wine reg query 'HKCR\001file' >/dev/null 2>&1
e2e_check $? "file type 001 removed"

echo "=== Windows NT, INSTALLPRINTER=1, into C:\My Fax (new)\: the printer installer is run, WIN.INI is left alone"
WINEPREFIX=$E2E_PREFIX wineserver -k >/dev/null 2>&1
rm -rf "$E2E_PREFIX"
e2e_cd_medium --plain
sed -i 's/^INSTALLPRINTER=.*/INSTALLPRINTER=1\r/' "$E2E_WORK/cd/SETUP/INSTALL.INI"
e2e_cd_machine nt40
e2e_modem 2 vendor08-modemblaster.modem
# Planted where an unquoted "C:\My Fax (new)\..." command line looks first: copies of
# the printer installer, which record every command line they are started with.
for planted in 'C:\My.exe' 'C:\My'; do cp "$WIN32_BUILD/companions/veqaddpr/VEQADDPR.EXE" "$(e2e_unixpath "$planted")"; done
e2e_answers_default
e2e_answer_delete 988 111
e2e_answer 992 '102=C:\My Fax (new)\'
e2e_answer_delete 997 124 125 126 104 103 127
e2e_answer 997 111=1
e2e_answer 991 Button=112
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

echo "=== the uninstall command removes the installation in C:\\My Fax (new)"
e2e_wine taskkill /f /im ZELTAVOX.EXE >/dev/null 2>&1  # the program button 112 started
run_uninstaller
e2e_expect_nofile 'C:\My Fax (new)\PROGRAM'
e2e_expect_nofile 'C:\My Fax (new)\DATA'
e2e_expect_noreg "$uninstall"
e2e_expect_noreg 'HKCR\001file'
addpr=$(tr -d '\r' <"$(e2e_unixpath 'C:\windows\VEQADDPR.LOG')" 2>/dev/null)
[ "$addpr" = '"C:\My Fax (new)\PROGRAM\VEQADDPR.EXE" /p1 /d' ]
e2e_check $? "no planted program ran at all (got '$addpr')"

e2e_finish
