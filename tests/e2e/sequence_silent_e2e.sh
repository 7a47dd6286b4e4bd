#!/usr/bin/env bash
# Rolling out: silent and very silent runs from the CD-ROM set, watched while
# they run. Every 100 ms the visible top-level windows of the installer are
# read (tests/e2e/wintexts.cpp), and the X screen's visible windows are listed
# (xdotool), so that a window that shows for a moment is seen.
#   1. /VERYSILENT with /DIR=, /LOG= and /RESULT= holding blanks: nothing shows,
#      and the installation is the one the answered run of sequence_install_cd makes.
#   2. /LOG= in a folder that does not exist: the start-up ends as for a log that
#      cannot be made, and the result file says so.
#   3. /SILENT with a file missing from the set: only the progress window shows;
#      the result file holds the status and the notice's text, the exit code the status.
#   4. /VERYSILENT without /ANSWERS=: refused at once with a box.
source "$(dirname "$0")/lib.sh"
export LC_ALL=C LANG=C
e2e_init
wintexts=$WIN32_BUILD/tests/e2e/wintexts.exe
[ -f "$wintexts" ] || { echo "FAIL: wintexts.exe is not built: $wintexts"; exit 1; }
e2e_cd_machine win98
e2e_modem 2 vendor08-modemblaster.modem
cp "$wintexts" "$E2E_WORK/wintexts.exe"
mkdir -p "$E2E_PREFIX/drive_c/Setup Logs"
# The answers of the answered run; /DIR= takes the place of its destination.
e2e_answers_default

# Starts the watches: wintexts over the installer's windows (PROGRAMS, a
# leading + answers them), xdotool over every visible window of the screen
# that was not there before. Ends with watch_stop.
watch_start() {
  seen=$E2E_WORK/seen-$1.txt
  screen=$E2E_WORK/screen-$1.txt
  local stop=$E2E_WORK/stop-$1
  shift
  rm -f "$seen" "$screen" "$stop"
  watch_stopfile=$stop
  WINEPREFIX=$E2E_PREFIX wine "$E2E_WORK/wintexts.exe" watch "$(e2e_winpath "$seen")" "$(e2e_winpath "$stop")" \
    "$@" </dev/null >/dev/null 2>&1 &
  watch_pid=$!
  e2e_pids+=("$watch_pid")
  e2e_wait_for 30 "" test -f "$seen"
  e2e_check $? "the window watch has begun"
  : >"$screen"
  xdotool search --onlyvisible --name '' 2>/dev/null | sort >"$E2E_WORK/screen-before"
  (
    while [ ! -f "$stop" ]; do
      xdotool search --onlyvisible --name '' 2>/dev/null | sort | comm -13 "$E2E_WORK/screen-before" - |
        while read -r id; do
          # A window that closed between the two looks has no name to read: it was seen already or was never shown.
          name=$(xdotool getwindowname "$id" 2>/dev/null) && echo "$id $name"
        done >>"$screen"
      sleep 0.1
    done
  ) &
  screen_pid=$!
  e2e_pids+=("$screen_pid")
}

watch_stop() {
  touch "$watch_stopfile"
  wait "$watch_pid" 2>/dev/null
  wait "$screen_pid" 2>/dev/null
  sort -u "$screen" -o "$screen"
}

# The texts of the installer's windows other than the progress window: every
# label and button of the dialog templates, and the main window's class.
template_texts() {  # number...
  local n
  for n in "$@"; do
    awk -v n="$(e2e_template_name "$n")" '$1 == n && $2 == "DIALOG" { t = 1; next } t && /^END/ { t = 0 }
         t && /^ *(LTEXT|CTEXT|DEFPUSHBUTTON|PUSHBUTTON)/ && match($0, /"[^"]+"/) { print substr($0, RSTART + 1, RLENGTH - 2) }' \
      "$SOURCE_DIR/resources/veqins.rc"
  done | sort -u
}
template_texts 986 994 >"$E2E_WORK/progress-texts"
template_texts 900 988 990 991 992 997 | comm -23 - "$E2E_WORK/progress-texts" >"$E2E_WORK/dialog-texts"

echo "=== 1. very silent, with a destination, a log and a result file that hold blanks"
watch_start verysilent SETUP.EXE VEQADDPR.EXE VEQWAVE.EXE ZELTAVOX.EXE
e2e_run 'D:\SETUP\SETUP.EXE' '/VERYSILENT /DIR="C:\Zelta Voice" /LOG="C:\Setup Logs\zelta setup.deb"' \
  '/RESULT="C:\Setup Logs\result, verysilent.ini"'
watch_stop
e2e_expect_rc 0
[ ! -s "$seen" ]
e2e_check $? "no window of the installer was visible at any look (saw: $(cut -f2- "$seen" | head -5 | tr '\n' '|'))"
[ ! -s "$screen" ]
e2e_check $? "no new window appeared on the screen (saw: $(head -5 "$screen" | tr '\n' '|'))"
e2e_expect_nofile 'C:\windows\SETUP.deb'
log="C:\\Setup Logs\\zelta setup.deb"
e2e_log() { cat "$(e2e_unixpath "$log")" 2>/dev/null; }
e2e_expect_log 'pathname      = C:\Zelta Voice\'
# What the answered run of sequence_install_cd finds, in the place /DIR= named.
e2e_expect_log 'comport       = 2'
e2e_expect_log 'country extGER'
e2e_expect_nolog 'Error in INS_install'
e2e_expect_nolog 'unattended box'
for d in TEMP RECEIVE SEND PROGRAM DATA SCRIPT1 'MBOX000\FOD'; do
  [ -d "$(e2e_unixpath "C:\\Zelta Voice\\$d")" ]
  e2e_check $? "directory C:\\Zelta Voice\\$d"
done
e2e_expect_nodir 'C:\ZELTAVOX'
cmp -s "$(e2e_unixpath 'C:\Zelta Voice\DATA\COUNTRY.INI')" "$SOURCE_DIR/media/demo/COUNTRY/COUNTRY.GER"
e2e_check $? "COUNTRY.INI is the German country file, expanded"
cmp -s "$(e2e_unixpath 'C:\Zelta Voice\DATA\README.TXT')" "$SOURCE_DIR/media/demo/DATA/README.TXT"
e2e_check $? "README.TXT expanded to its original bytes"
e2e_expect_file 'C:\windows\FAX.INI'
e2e_expect_ini 'C:\Zelta Voice\DATA\ZELTAVOX.INI' GENERAL USERNAME 'Ann Smith'
e2e_expect_ini 'C:\Zelta Voice\DATA\ZELTAVOX.INI' GENERAL FAXNUMBER '+49 30 1234'
e2e_expect_reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice' UninstallString 'ZVUNINST'
# The group is written into its folder, without the shell's folder window.
lnk="$(e2e_shell_folder Programs)\ZeltaVoice\ZeltaVox.lnk"
target=$(lnkinfo "$(e2e_unixpath "$lnk")" 2>/dev/null | sed -n 's/^\tLocal path\t*: //p' | tr -d '\r')
[ "${target,,}" = 'c:\zelta voice\program\zeltavox.exe' ]
e2e_check $? "the group's item starts the installed program (got '$target')"
e2e_expect_nofile 'C:\windows\VEQINS.DLL'
for line in 'close progress window' 'productini=' 'unattended: showing ' 'silent: '; do
  e2e_expect_nolog "$line"
done
result='C:\Setup Logs\result, verysilent.ini'
e2e_expect_ini "$result" Result Status 0
e2e_expect_ini "$result" Result Text 'The installation is complete. You can start the program now or read its help first.'
e2e_expect_ini "$result" Result Product 'ZeltaVoice'
e2e_expect_ini "$result" Result Destination 'C:\Zelta Voice\'
e2e_expect_ini "$result" Result Vendor 8
e2e_expect_ini "$result" Result Port COM2
e2e_expect_ini "$result" Result Log "$log"

echo "=== 2. a log that cannot be made ends the start-up"
e2e_run 'D:\SETUP\SETUP.EXE' '/VERYSILENT /LOG="C:\No Such Folder\s.deb" /RESULT="C:\Setup Logs\nolog.ini"'
e2e_expect_rc 13103
e2e_expect_ini 'C:\Setup Logs\nolog.ini' Result Status 13103
e2e_expect_ini 'C:\Setup Logs\nolog.ini' Result Text 'A file cannot be created: C:\No Such Folder\s.deb'
e2e_expect_nofile 'C:\windows\VEQINS.DLL'

echo "=== 3. silent, a file missing from the set"
log='C:\windows\SETUP.deb'
rm -f "$E2E_WORK/cd/SETUP/DATACHIP/ZELTAVOX.MB"
watch_start silent SETUP.EXE
e2e_run 'D:\SETUP\SETUP.EXE' '/SILENT /RESULT=C:\result.ini /DIR=C:\ZELTASIL'
watch_stop
status=$(e2e_ini_value 'C:\result.ini' Result Status)
[ -n "$status" ] && [ "$status" != 0 ] && [ "${E2E_RC:-}" = "$status" ]
e2e_check $? "the exit code is the result file's Status (exit code ${E2E_RC:-none}, Status '$status')"
e2e_expect_log "Error in INS_install = $status"
notice=$(tr -d '\r' <"$(e2e_unixpath "$log")" | sed -n 's/^abortmsg2 = //p' | tail -1)
[ -n "$notice" ]
e2e_check $? "the failure notice's text is in the log ('$notice')"
# The notice cuts its line at 78 characters; the result file keeps the whole name.
text=$(e2e_ini_value 'C:\result.ini' Result Text)
[[ "$text" == "${notice:0:40}"* && "$text" == *'D:\SETUP\DATACHIP\ZELTAVOX.MB' ]]
e2e_check $? "the result's Text is the notice's, with the whole name of the missing file (got '$text')"
# By its caption or its lines: on a busy machine the watch may look only while
# the installer's thread is too busy to hand the lines over.
grep -qE "$(printf '^SETUP\\.EXE\t(0\t#32770\t(ZeltaVoice )?Installation$|11[12]\tStatic\t(Checking the serial ports|Looking for your modem|Copying the program files))')" "$seen"
found=$?
e2e_check $found "the progress window was on the screen"
[ "$found" = 0 ] || sed 's/^/  the watch saw: /' "$seen"
# The screen watch sees what shows: no more windows than the progress windows
# the log says were opened ("title = "; a short one may pass between two looks).
opened=$(tr -d '\r' <"$(e2e_unixpath "$log")" | grep -c '^title = ')
shown=$(wc -l <"$screen")
[ "$shown" -ge 1 ] && [ "$shown" -le "$opened" ] && ! grep -qvE '^[0-9]+ (ZeltaVoice )?Installation$' "$screen"
e2e_check $? "the screen showed progress windows ($opened opened) and nothing else (saw: $(tr '\n' '|' <"$screen"))"
grep -qP '^SETUP\.EXE\t0\twindow1\t' "$seen"
[ $? != 0 ]
e2e_check $? "the main window (the backdrop) never showed"
cut -f4 "$seen" | sort -u | comm -12 - "$E2E_WORK/dialog-texts" >"$E2E_WORK/dialog-seen"
[ ! -s "$E2E_WORK/dialog-seen" ]
e2e_check $? "no dialog showed (saw: $(tr '\n' '|' <"$E2E_WORK/dialog-seen"))"

echo "=== 4. very silent without answers: refused with a box"
unset E2E_ANSWERS
watch_start refused +SETUP.EXE
e2e_run 'D:\SETUP\SETUP.EXE' '/VERYSILENT /DIR=C:\ZELTAVOX'
watch_stop
e2e_expect_rc 13001
grep -qF '/VERYSILENT needs /ANSWERS=' "$seen"
e2e_check $? "the box says why (saw: $(cut -f4 "$seen" | tr '\n' '|'))"
e2e_expect_nodir 'C:\ZELTAVOX'

e2e_finish
