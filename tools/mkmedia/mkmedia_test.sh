#!/bin/bash
# End-to-end check of mkmedia: the demo set both ways, every file expanded
# back with the reference expander and compared with its source, diskettes
# within their capacity, FILESIZE.txt against a total counted here, and what
# is stored plain.
set -euo pipefail
MKMEDIA=$1
MANIFEST=$2
SZDDPACK=${3:-}
WORK=$(mktemp -d /tmp/mkmediaXXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Every listed file, expanded (or read as it is), equals its source.
check_listing() {
    local out=$1 listing=$2
    while IFS=$'\t' read -r where kind expanded stored origin; do
        [ -f "$out/$where" ] || fail "$where missing"
        [ "$(stat -c %s "$out/$where")" = "$stored" ] || fail "$where: stored size differs from the listing"
        if [ "$kind" = lz ]; then
            msexpand < "$out/$where" > "$WORK/expanded" || fail "msexpand refused $where"
            # Compressed though it does not shrink: only what would pass for a compressed file.
            [ "$stored" -lt "$expanded" ] || [ "$(head -c 4 "$WORK/expanded")" = SZDD ] ||
                fail "$where is stored compressed ($stored bytes) but is $expanded bytes plain"
        else
            cp "$out/$where" "$WORK/expanded"
        fi
        [ "$(stat -c %s "$WORK/expanded")" = "$expanded" ] || fail "$where: expanded size"
        case "$origin" in
            "(made)") ;;
            */INSTALL.INI) grep -q "^CDROM=" "$WORK/expanded" || fail "INSTALL.INI without CDROM" ;;
            *) cmp -s "$WORK/expanded" "$origin" || fail "$where differs from $origin" ;;
        esac
    done < "$listing"
}

# The demo on diskettes and on a CD-ROM.
"$MKMEDIA" "$MANIFEST" "$WORK/disks" --listing "$WORK/disks.lst" > /dev/null
check_listing "$WORK/disks" "$WORK/disks.lst"
[ -f "$WORK/disks/DISK1/lastdisk.txt" ] || fail "one-disk set without lastdisk.txt"
grep -q "^CDROM=0" "$WORK/disks/DISK1/INSTALL.INI" || fail "diskette set not marked CDROM=0"

"$MKMEDIA" "$MANIFEST" "$WORK/cd" --cdrom --listing "$WORK/cd.lst" > /dev/null
check_listing "$WORK/cd" "$WORK/cd.lst"
grep -q "^CDROM=1" "$WORK/cd/SETUP/INSTALL.INI" || fail "CD-ROM set not marked CDROM=1"
[ ! -e "$WORK/cd/SETUP/lastdisk.txt" ] || fail "CD-ROM set with lastdisk.txt"

# FILESIZE.txt of the demo for vendor 8: the fixed rows, vendor 8's rows and
# the unpacked prompts, counted from the sources.
sum() { local t=0; for f in "$@"; do [ -f "$f" ] && t=$((t + $(stat -c %s "$f"))); done; echo $t; }
D=$(dirname "$MANIFEST")
expected=$(sum "$D"/PROGRAM/* "$D"/DATA/* "$D"/SCRIPT1/* "$D"/FOD/* "$D"/ROCKPG/* "$D"/MBPG/* "$D"/MBDAT/* \
               "$D"/ROCKSC1/* "$D"/txt/*)
[ "$(head -1 "$WORK/disks/DISK1/FILESIZE.txt" | tr -d '\r')" = "$expected" ] || fail "FILESIZE.txt is not $expected"
[ "$(head -1 "$WORK/cd/SETUP/FILESIZE.txt" | tr -d '\r')" = "$expected" ] || fail "CD FILESIZE.txt is not $expected"

# A set that needs several diskettes: incompressible plan files, small disks.
S=$WORK/split
mkdir -p "$S/PROGRAM" "$S/ZYXPG" "$S/..hidden"
printf '[GENERAL]\r\nWHICHPROGRAM=0\r\nVENDOR=51\r\n' > "$S/INSTALL.INI"
printf '00001 Fax modem\r\n00002 Other\r\n' > "$S/FAX.LST"
for i in 1 2 3 4 5 6; do head -c $((2500 + i)) /dev/urandom > "$S/PROGRAM/P$i.EXE"; done
for i in 1 2; do head -c 1800 /dev/urandom > "$S/ZYXPG/Z$i.DLL"; done
head -c 700 /dev/urandom > "$S/RUNME.EXE"
head -c 100 /dev/urandom > "$S/PACKED.TXT"
# Stored plain without a flag: the converter the installer runs from the medium
# (however well it would compress), an empty file, noise; compressed although
# flagged plain: a file that begins like a compressed one.
for i in $(seq 1 40); do printf 'converter line\r\n'; done > "$S/VEQWAVE.EXE"
: > "$S/EMPTY.DAT"
head -c 900 /dev/urandom > "$S/NOISE.BIN"
{ printf 'SZDD\x88\xf0\x27\x33A'; head -c 300 /dev/urandom; } > "$S/FAKE.LZ"
printf 'SZDD\x88\xf0\x27\x33A' > "$S/SHORT.LZ"
printf '%s\n' "$(for i in $(seq 1 60); do printf 'Line %d of the manual\r\n' $i; done)" > "$S/MANUAL.TXT"
cat > "$S/split.manifest" <<'MANIFEST'
file INSTALL.INI INSTALL.INI
file FAX.LST FAX.LST
dir PROGRAM PROGRAM
dir ZYXPG ZYXPG
file RUNME.EXE RUNME.EXE plain everydisk
pack PACKED.TXT PACKED.TXT
file VEQWAVE.EXE VEQWAVE.EXE
file EMPTY.DAT EMPTY.DAT
file NOISE.BIN NOISE.BIN
file FAKE.LZ FAKE.LZ plain
file SHORT.LZ SHORT.LZ
file MANUAL.TXT MANUAL.TXT
MANIFEST
CAP=7000
"$MKMEDIA" "$S/split.manifest" "$WORK/sdisks" --disksize $CAP --listing "$WORK/sdisks.lst" > /dev/null
check_listing "$WORK/sdisks" "$WORK/sdisks.lst"
stored_as() { awk -F'\t' -v n="$2" '$1 ~ ("/" n "$") {print $2}' "$1"; }
for f in VEQWAVE.EXE EMPTY.DAT NOISE.BIN P1.EXE; do
    [ "$(stored_as "$WORK/sdisks.lst" $f)" = plain ] || fail "$f not stored plain"
done
for f in FAKE.LZ SHORT.LZ MANUAL.TXT; do [ "$(stored_as "$WORK/sdisks.lst" $f)" = lz ] || fail "$f not compressed"; done
[ ! -s "$WORK/sdisks/DISK1/EMPTY.DAT" ] || fail "the empty file grew"
n=$(ls -d "$WORK/sdisks"/DISK* | wc -l)
[ "$n" -ge 3 ] || fail "expected at least 3 disks, got $n"
for i in $(seq 1 "$n"); do
    used=$(find "$WORK/sdisks/DISK$i" -type f -printf '%s\n' | awk '{t+=$1} END {print t}')
    [ "$used" -le $CAP ] || fail "DISK$i holds $used bytes, more than $CAP"
    [ -f "$WORK/sdisks/DISK$i/RUNME.EXE" ] || fail "DISK$i lacks the every-disk file"
    if [ "$i" -gt 1 ]; then [ -f "$WORK/sdisks/DISK$i/$i.txt" ] || fail "DISK$i lacks $i.txt"; fi
    if [ "$i" -lt "$n" ]; then [ ! -e "$WORK/sdisks/DISK$i/lastdisk.txt" ] || fail "DISK$i is not the last"; fi
done
[ -f "$WORK/sdisks/DISK$n/lastdisk.txt" ] || fail "last disk lacks lastdisk.txt"
# Fax product (WHICHPROGRAM=0): txt.pck is not unpacked, so not counted.
expected=$(sum "$S"/PROGRAM/* "$S"/ZYXPG/*)
[ "$(head -1 "$WORK/sdisks/DISK1/FILESIZE.txt" | tr -d '\r')" = "$expected" ] || fail "split FILESIZE.txt"
# Vendor 2 copies none of ZYXPG.
"$MKMEDIA" "$S/split.manifest" "$WORK/v2" --disksize $CAP --vendor 2 > /dev/null
[ "$(head -1 "$WORK/v2/DISK1/FILESIZE.txt" | tr -d '\r')" = "$(sum "$S"/PROGRAM/*)" ] || fail "vendor 2 FILESIZE.txt"

# Compressing on several threads gives the same files as on one, and each
# expands to its original (files of several pieces, and the blank-prefix cases).
if [ -n "$SZDDPACK" ]; then
    P=$WORK/pack && mkdir -p "$P/in" "$P/j1" "$P/j2"
    seq 1 150000 > "$P/in/numbers.txt"
    cp "$MKMEDIA" "$P/in/program.bin"
    printf '%4096s' '' > "$P/in/blanks.4k"
    { printf '%4097s' ''; printf 'x'; } > "$P/in/blanks.4k1"
    { printf '      ab\r\n'; printf 'ab\r\n%.0s' $(seq 1 30); printf '   ab\r\n        end'; } > "$P/in/prefix.txt"
    : > "$P/in/empty"
    "$SZDDPACK" -j 1 "$P/j1" "$P/in"/* > "$P/j1.lst"
    "$SZDDPACK" -j 3 "$P/j2" "$P/in"/* > /dev/null
    while IFS=$'\t' read -r kind expanded stored name; do
        cmp -s "$P/j1/$name" "$P/j2/$name" || fail "$name differs between one and three threads"
        if [ "$kind" = lz ]; then msexpand < "$P/j1/$name" > "$P/back"; else cp "$P/j1/$name" "$P/back"; fi
        cmp -s "$P/back" "$P/in/$name" || fail "$name does not expand to its original"
    done < "$P/j1.lst"
    [ "$(wc -l < "$P/j1.lst")" = 6 ] || fail "szddpack did not store every file"
fi

# Refusals: a file larger than a disk, a non-8.3 name, a non-empty output, a bad FAX.LST.
! "$MKMEDIA" "$S/split.manifest" "$WORK/tiny" --disksize 2000 2> /dev/null || fail "oversized file accepted"
printf 'file LONGFILENAME.TXT FAX.LST\n' >> "$S/split.manifest"
! "$MKMEDIA" "$S/split.manifest" "$WORK/long" 2> /dev/null || fail "long name accepted"
! "$MKMEDIA" "$MANIFEST" "$WORK/disks" 2> /dev/null || fail "non-empty output accepted"
printf '0000x bad\r\n' > "$S/FAX.LST"
sed -i '$d' "$S/split.manifest"
! "$MKMEDIA" "$S/split.manifest" "$WORK/badlst" 2> /dev/null || fail "bad FAX.LST accepted"
# The fax product has no SCRIPT2: a set that the plan would copy there is refused.
printf '00001 Fax modem\r\n' > "$S/FAX.LST"
mkdir -p "$S/ZYXSC2" && printf 'script' > "$S/ZYXSC2/Z.SCR"
printf 'dir ZYXSC2 ZYXSC2\n' >> "$S/split.manifest"
! "$MKMEDIA" "$S/split.manifest" "$WORK/noscript2" 2> /dev/null || fail "file for a missing SCRIPT2 accepted"
"$MKMEDIA" "$S/split.manifest" "$WORK/othervendor" --vendor 2 > /dev/null || fail "vendor 2 does not copy ZYXSC2"
# One manifest for both media: a "cdonly" entry beside the source directory is
# placed on a CD-ROM and left out of diskettes, which cannot hold it.
sed -i '$d' "$S/split.manifest"
mkdir -p "$S/32PG" && printf 'beside the source' > "$S/32PG/CDONLY.EXE"
printf 'dir ..\\32PG 32PG cdonly\n' >> "$S/split.manifest"
"$MKMEDIA" "$S/split.manifest" "$WORK/cdonly-cd" --cdrom > /dev/null || fail "cdonly set refused on CD-ROM"
[ -f "$WORK/cdonly-cd/32PG/CDONLY.EXE" ] || fail "cdonly entry missing from the CD-ROM"
"$MKMEDIA" "$S/split.manifest" "$WORK/cdonly-disks" --disksize $CAP > "$WORK/cdonly.out" ||
    fail "cdonly entry not left out of diskettes"
! find "$WORK/cdonly-disks" -name CDONLY.EXE | grep -q . || fail "cdonly entry placed on a diskette"
grep -q "left out of the diskettes: ../32PG/CDONLY.EXE" "$WORK/cdonly.out" || fail "cdonly entry left out without a note"
sed -i 's/ cdonly$//' "$S/split.manifest"
! "$MKMEDIA" "$S/split.manifest" "$WORK/beside-disks" --disksize $CAP 2> /dev/null || fail "path beside the source accepted on diskettes"

# The language of a set chooses the resource library: English by default,
# "set language" in the manifest, --language over both; wherever the line
# stands. An unknown language, or a missing library of another language, is
# refused rather than leaving an English library on a German set.
W=$WORK/w32
mkdir -p "$W/resources/de"
printf 'english library' > "$W/resources/VEQINS.DLL"
printf 'german library' > "$W/resources/de/VEQINS.DLL"
L=$WORK/lang
mkdir -p "$L"
cp "$S/INSTALL.INI" "$S/FAX.LST" "$L/"
printf 'file INSTALL.INI INSTALL.INI\nfile FAX.LST FAX.LST\nbuild VEQINS.DLL VEQINS.DLL plain\n' > "$L/en.manifest"
{ cat "$L/en.manifest"; printf 'set language de\n'; } > "$L/de.manifest"
library_of() {  # manifest out [options...]
    local manifest=$1 out=$2
    shift 2
    "$MKMEDIA" "$L/$manifest" "$WORK/$out" --cdrom --win32 "$W" "$@" > /dev/null || fail "$out: set refused"
    cat "$WORK/$out/SETUP/VEQINS.DLL"
}
[ "$(library_of en.manifest lang-en)" = "english library" ] || fail "default language is not English"
[ "$(library_of de.manifest lang-de)" = "german library" ] || fail "set language de did not choose the German library"
[ "$(library_of de.manifest lang-de-en --language en)" = "english library" ] || fail "--language en did not override"
[ "$(library_of en.manifest lang-en-de --language de)" = "german library" ] || fail "--language de did not choose German"
! "$MKMEDIA" "$L/en.manifest" "$WORK/lang-fr" --win32 "$W" --language fr 2> "$WORK/fr.err" || fail "--language fr accepted"
grep -q "language fr" "$WORK/fr.err" || fail "--language fr refused without naming it"
printf 'set language fr\n' >> "$L/en.manifest"
! "$MKMEDIA" "$L/en.manifest" "$WORK/lang-setfr" --win32 "$W" 2> "$WORK/setfr.err" || fail "set language fr accepted"
grep -q "en.manifest:4: .*language fr" "$WORK/setfr.err" || fail "set language fr refused without its line"
rm "$W/resources/de/VEQINS.DLL"
sed -i 's/plain$/plain optional/' "$L/de.manifest"
! "$MKMEDIA" "$L/de.manifest" "$WORK/lang-nolib" --win32 "$W" 2> "$WORK/nolib.err" || fail "German set without its library"
grep -q "de resource library is not built: $W/resources/de/VEQINS.DLL" "$WORK/nolib.err" ||
    fail "missing German library refused without saying so"

# The German demo set: every file from its sources, the German lists on it.
DE=$(dirname "$MANIFEST")/demo-de.manifest
"$MKMEDIA" "$DE" "$WORK/de-disks" --listing "$WORK/de-disks.lst" > /dev/null || fail "German demo set refused"
check_listing "$WORK/de-disks" "$WORK/de-disks.lst"
cmp -s "$WORK/de-disks/DISK1/COUNTRY/COUNTRY.LST" "$D/de/COUNTRY/COUNTRY.LST" || fail "German set without its country list"
echo "mkmedia end-to-end: all checks passed"
