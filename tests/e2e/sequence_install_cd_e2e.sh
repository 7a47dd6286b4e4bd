#!/usr/bin/env bash
# A whole installation from the CD-ROM set, unattended, with a Modem Blaster
# class voice modem on COM2, recorded answers checked afterwards.
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_cd_machine win98
e2e_modem 2 vendor08-modemblaster.modem
e2e_answers_default

e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 0
# The dialogs: COM2 was the only port that answered, so it was chosen.
e2e_expect_log 'comport       = 2'
e2e_expect_log 'country extGER'
e2e_expect_nolog 'Before INS_change diskette'
# The tree, the country file, the fax template and the copy plan.
for d in TEMP RECEIVE SEND PROGRAM DATA SCRIPT1 'MBOX000\FOD'; do
  [ -d "$(e2e_unixpath "C:\\ZELTAVOX\\$d")" ]
  e2e_check $? "directory C:\\ZELTAVOX\\$d"
done
e2e_expect_nofile 'C:\ZELTAVOX\SDK'
e2e_expect_file 'C:\ZELTAVOX\DATA\COUNTRY.INI'
cmp -s "$(e2e_unixpath 'C:\ZELTAVOX\DATA\COUNTRY.INI')" "$SOURCE_DIR/media/demo/COUNTRY/COUNTRY.GER"
e2e_check $? "COUNTRY.INI is the German country file, expanded"
e2e_expect_file 'C:\windows\FAX.INI'
e2e_expect_file 'C:\ZELTAVOX\DATA\README.TXT'
cmp -s "$(e2e_unixpath 'C:\ZELTAVOX\DATA\README.TXT')" "$SOURCE_DIR/media/demo/DATA/README.TXT"
e2e_check $? "README.TXT expanded to its original bytes"
# The user details went into the product's configuration.
e2e_expect_ini 'C:\ZELTAVOX\DATA\ZELTAVOX.INI' GENERAL USERNAME 'Ann Smith'
e2e_expect_ini 'C:\ZELTAVOX\DATA\ZELTAVOX.INI' GENERAL COMPANYNAME 'Acme Ltd'
e2e_expect_ini 'C:\ZELTAVOX\DATA\ZELTAVOX.INI' GENERAL FAXNUMBER '+49 30 1234'
# The completion: uninstall entry and the resource library copy removed at exit.
e2e_expect_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice' UninstallString 'ZVUNINST'
e2e_expect_nofile 'C:\windows\VEQINS.DLL'
e2e_expect_nolog 'Error in INS_install'
# At debug level 0 the log holds the labelled lines support staff know, none of our own detail lines.
for line in 'close progress window' 'productini=' 'unattended: showing ' 'unattended: dialog ' 'unattended: button '; do
  e2e_expect_nolog "$line"
done
# The prompts became Rockwell voice files that pvftools decodes (Rockwell ADPCM,
# 4 bits, 7200 Hz) back to the prompts; voxplay where pvftools is missing.
for p in GREETING MENU GOODBYE; do
  vox=$(e2e_unixpath "C:\\ZELTAVOX\\SCRIPT1\\$p.VOX") wav=$(e2e_unixpath "C:\\ZELTAVOX\\SCRIPT1\\$p.WAV")
  [ "$(head -c 5 "$vox" 2>/dev/null)" = 'ROCK ' ] && [ "$(od -An -tu1 -j10 -N1 "$vox" | tr -d ' ')" = 4 ]
  e2e_check $? "$p.VOX: 'ROCK ' header, coding 4"
  db=$(e2e_vox_snr "$vox" "$wav" Rockwell 7200 rockwell)
  awk -v d="${db:--99}" 'BEGIN { exit !(d >= 20) }'
  e2e_check $? "$p.VOX decodes to the prompt (SNR ${db:-none} dB, at least 20)"
done
# The modem was asked: the port probe and the identification both reached it.
grep -qx 'AT' "$E2E_WORK/modem2.log"
e2e_check $? "the simulated modem on COM2 received AT"

e2e_finish
