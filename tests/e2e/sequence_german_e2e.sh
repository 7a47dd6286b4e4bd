#!/usr/bin/env bash
# The German edition: a whole installation of the German demo set from CD-ROM,
# with every window that the installer and the uninstaller show read while
# they run (tests/e2e/wintexts.cpp). No window may carry a text of the English
# resource library; the installer's own fallback texts may not show at all,
# since the library is there. The German verbs are registered with their
# umlauts, recorded in UNINSTAL.DAT, and the uninstaller removes them with
# everything else the installation made.
source "$(dirname "$0")/lib.sh"
# Texts are compared as bytes of code page 1252, the library's. Wine's ANSI code
# page follows the locale of the caller, so the target machine gets the plain
# one (code page 1252), whatever the caller's is; the tools here compare bytes.
export LC_ALL=C LANG=C
unset LANGUAGE
e2e_init
german=$WIN32_BUILD/resources/de/VEQINS.DLL
wintexts=$WIN32_BUILD/tests/e2e/wintexts.exe
[ -f "$german" ] || { echo "FAIL: the German resource library is not built: $german"; exit 1; }
[ -f "$wintexts" ] || { echo "FAIL: wintexts.exe is not built: $wintexts"; exit 1; }

# The quoted texts of resource scripts, one a line, as the library holds them:
# without the font and class names, "\\" and "" undone, a line break a blank
# (as the watch writes it).
rc_texts() {
  awk '/^[ \t]*(#|\/\/|FONT)/ { next }
       { line = $0
         while (match(line, /"([^"]|"")*"/)) {
           t = substr(line, RSTART + 1, RLENGTH - 2); line = substr(line, RSTART + RLENGTH)
           gsub(/""/, "\"", t); gsub(/\\[nr]/, " ", t); gsub(/\\\\/, "\\", t)
           if (t != "" && t != "Static") print t } }' "$@" | sort -u
}
# The label and button texts of one dialog template (the first text of each
# control line; the caption is the installer's own window title).
template_texts() {  # number files...
  local name
  name=$(e2e_template_name "$1")
  shift
  awk -v n="$name" '$1 == n && ($2 == "DIALOG" || $2 == "DIALOGEX") { t = 1; next }
       t && /^[ \t]*END/ { t = 0 } t && b && match($0, /"([^"]|"")*"/) { s = substr($0, RSTART + 1, RLENGTH - 2); if (s != "") print s }
       t && /^[ \t]*BEGIN/ { b = 1 } !t { b = 0 }' "$@"
}
library_text() {  # number files...
  local number=$1
  shift
  awk -v n="$number" '$1 == n && match($0, /"([^"]|"")*"/) { t = substr($0, RSTART + 1, RLENGTH - 2)
       gsub(/""/, "\"", t); gsub(/\\\\/, "\\", t); print t; exit }' "$@"
}

T=$E2E_WORK/texts
mkdir -p "$T"
english_rc=("$SOURCE_DIR/resources/veqins_strings.rc" "$SOURCE_DIR/resources/veqins.rc")
german_rc=("$SOURCE_DIR"/resources/de/*.rc)
rc_texts "${english_rc[@]}" >"$T/english"
rc_texts "${german_rc[@]}" >"$T/german"
# What is English only: texts both libraries share (product names, "OK") are not.
comm -23 "$T/english" "$T/german" >"$T/english-only"
# A longer text must not appear inside another either; a text with "%d" or
# "@@" is filled in at run time, so its fixed parts are looked for.
awk '{ n = split($0, parts, /%[a-z]|@@/); for (i = 1; i <= n; i++) { p = parts[i]; gsub(/^ +| +$/, "", p); if (length(p) >= 12) print p } }' \
  "$T/english-only" | sort -u >"$T/english-parts"
[ "$(wc -l <"$T/english-only")" -ge 60 ]
e2e_check $? "the English library has texts of its own to look for ($(wc -l <"$T/english-only"))"

E2E_MANIFEST=$SOURCE_DIR/media/demo/demo-de.manifest e2e_cd_machine win98
cmp -s "$german" "$E2E_WORK/cd/SETUP/VEQINS.DLL"
e2e_check $? "the German set carries the German library"
e2e_modem 2 vendor08-modemblaster.modem
# The files where the installation writes (the Windows and system directories,
# the shell folders, the destination), before it and after its removal.
desktop=$(e2e_shell_folder Desktop)
sendto=$(e2e_shell_folder SendTo)
programs=$(e2e_shell_folder Programs)
written_files() { e2e_written_files f 'C:\ZELTA'; }
written_files | sort >"$E2E_WORK/files-before"

# The watch runs from before the first window to after the uninstaller.
seen=$E2E_WORK/seen.txt stop=$E2E_WORK/stop
cp "$wintexts" "$E2E_WORK/wintexts.exe"
WINEPREFIX=$E2E_PREFIX wine "$E2E_WORK/wintexts.exe" watch "$(e2e_winpath "$seen")" "$(e2e_winpath "$stop")" \
  SETUP.EXE +ZVUNINST.EXE </dev/null >/dev/null 2>&1 &
watcher=$!
e2e_pids+=("$watcher")
e2e_wait_for 30 "" test -f "$seen"
e2e_check $? "the window watch has begun"

# Each dialog stays up long enough for several looks of the watch.
e2e_answers_default
e2e_answer Options Delay=700
e2e_answer 988 111=Deutschland
e2e_answer 992 '102=C:\ZELTA\'
e2e_answer 997 '102=Anna Schmidt' 124= '125=Hauptstrasse 1' '104=+49 30 1234567' '103=030 1234568' '127=030 1234569'
e2e_run 'D:\SETUP\SETUP.EXE'
e2e_expect_rc 0

echo "=== the German verbs, registered and recorded"
oe=$'\xd6'
printf '&Drucken\n&Faxen\n&%sffnen\n' "$oe" >"$E2E_WORK/verbs-expected"
for type in 001file lgofile; do
  e2e_wine "$(e2e_winpath "$E2E_WORK/wintexts.exe")" keys "HKCR\\$type\\shell" 2>/dev/null | tr -d '\r' | sort \
    >"$E2E_WORK/verbs-$type"
  cmp -s "$E2E_WORK/verbs-expected" "$E2E_WORK/verbs-$type"
  e2e_check $? "HKCR\\$type\\shell holds &Öffnen, &Drucken, &Faxen (got '$(tr '\n' ' ' <"$E2E_WORK/verbs-$type" | iconv -f CP1252 -t UTF-8)')"
done
e2e_expect_reg 'HKCR\001file\shell\&Drucken\command' '' '"C:\ZELTA\PROGRAM\DUVOVIR.EXE" "%1" /p'
record=$(tr -d '\r' <"$(e2e_unixpath 'C:\ZELTA\DATA\UNINSTAL.DAT')" 2>/dev/null | tr '\n' '|')
[ "$record" = "ZeltaVoice|001,&${oe}ffnen|001,&Drucken|001,&Faxen|lgo,&${oe}ffnen|lgo,&Drucken|lgo,&Faxen|" ]
e2e_check $? "UNINSTAL.DAT records the German verbs (got '$(printf '%s' "$record" | iconv -f CP1252 -t UTF-8)')"

echo "=== the uninstaller removes everything"
e2e_expect_file "$desktop\\ZeltaVoice.LNK"
e2e_expect_dir "$programs\\ZeltaVoice"
# As Add/Remove Programs runs it: its questions (read, and answered Yes by the
# watch) and its closing message are the uninstaller's windows.
uninstall=$(e2e_reg_value 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice' UninstallString)
[ "$uninstall" = '"C:\windows\ZVUNINST.EXE" /PATH="C:\ZELTA"' ]
e2e_check $? "the uninstall entry runs ZVUNINST.EXE for C:\ZELTA, quoted (got '$uninstall')"
e2e_run_command "$uninstall" "ZVUNINST, all questions answered Yes, ends with 0"
for key in 'HKCR\.001' 'HKCR\.lgo' 'HKCR\001file' 'HKCR\lgofile' \
  'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\ZeltaVoice'; do
  e2e_expect_noreg "$key"
done
e2e_expect_nofile "$desktop\\ZeltaVoice.LNK"
e2e_expect_nofile "$sendto\\ZeltaVoice.LNK"
e2e_expect_nodir "$programs\\ZeltaVoice"
e2e_expect_nodir 'C:\ZELTA'
[ -z "$(e2e_ini_value 'C:\windows\win.ini' devices VEQ-printer)" ]
e2e_check $? "no printer entry in WIN.INI"
# Left on purpose: the debug log for the support desk, and the uninstaller with
# its library, which the Windows 95 family deletes at the restart from the
# NUL= lines of WININIT.INI.
for f in ZVUNINST.EXE VEQUNINS.DLL; do
  grep -qixF "NUL=C:\\windows\\$f" <(tr -d '\r' <"$(e2e_unixpath 'C:\windows\WININIT.INI')")
  e2e_check $? "WININIT.INI [Rename] lists NUL=C:\\windows\\$f"
done
written_files | sort | comm -13 "$E2E_WORK/files-before" - |
  grep -viE '/windows/(SETUP\.deb|ZVUNINST\.EXE|VEQUNINS\.DLL|WININIT\.INI)$' >"$E2E_WORK/files-left"
[ ! -s "$E2E_WORK/files-left" ]
e2e_check $? "no file left behind (got: $(tr '\n' ' ' <"$E2E_WORK/files-left"))"

echo "=== every window in German"
touch "$stop"
e2e_wait_for 30 "" e2e_ended "$watcher"
e2e_check $? "the window watch has ended"
cut -f4- "$seen" | sort -u >"$T/seen"
echo "read $(wc -l <"$T/seen") texts in $(cut -f1 "$seen" | sort -u | tr '\n' ' ')"
grep -Fxf "$T/english-only" "$T/seen" >"$T/found-equal"
grep -Ff "$T/english-parts" "$T/seen" >"$T/found-inside"
[ ! -s "$T/found-equal" ] && [ ! -s "$T/found-inside" ]
e2e_check $? "no window text of the English library (found: $(cat "$T/found-equal" "$T/found-inside" | sort -u | tr '\n' '|'))"
grep -E 'Undocumented Error|Unknown Error' "$T/seen" >"$T/found-fallback"
[ ! -s "$T/found-fallback" ]
e2e_check $? "no fallback text while the library is there (found: $(tr '\n' '|' <"$T/found-fallback"))"
# The product title (voice product) and the library's word for the installation;
# the window open while the ports are probed carries the word alone.
word=$(library_text 430 "${german_rc[@]}")
title="$(library_text 7114 "${german_rc[@]}")${word:+ }${word# }"
awk -F'\t' '$1 == "SETUP.EXE" && $2 == 0 && $3 == "#32770" { print $4 }' "$seen" | sort -u >"$T/captions"
grep -q . "$T/captions" && ! grep -vxF -e "$title" -e "${word# }" "$T/captions" >/dev/null
e2e_check $? "every dialog is captioned '$title', the probing window '${word# }' (got '$(tr '\n' '|' <"$T/captions")')"
# The watch saw every dialog whole, and the German lists of the set.
for template in 988 992 997 991; do
  template_texts "$template" "${german_rc[@]}" | sort -u >"$T/template-$template"
  comm -23 "$T/template-$template" "$T/seen" >"$T/missing-$template"
  [ -s "$T/template-$template" ] && [ ! -s "$T/missing-$template" ]
  e2e_check $? "dialog $template read whole (missing: $(tr '\n' '|' <"$T/missing-$template"))"
done
# The uninstaller asked before it removed anything.
grep -q '^ZVUNINST\.EXE	' "$seen"
e2e_check $? "the watch read the uninstaller's question"
# List items of the country and modem lists. The modem search's progress
# window is not asked for: the search polls the port without pumping messages,
# so the window answers the watch only by chance.
for text in "${oe}sterreich" 'Sprachmodem - automatisch erkennen'; do
  grep -qxF -- "$text" "$T/seen"
  e2e_check $? "the watch read '$(printf '%s' "$text" | iconv -f CP1252 -t UTF-8)'"
done
if [ "$e2e_failures" != 0 ]; then mkdir -p "$E2E_EVIDENCE" && cp "$seen" "$E2E_EVIDENCE/windows-seen.txt"; fi

e2e_finish
