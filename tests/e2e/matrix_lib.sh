#!/usr/bin/env bash
# The scenario matrix's shared part, sourced by tests/e2e/matrix_*_e2e.sh after
# lib.sh: one installation per row, from the matrix sets of media/matrix (one
# per product, built by mkmedia for the row's medium), on a fresh machine of the
# row's Windows version with the row's modem, checked by what it left behind.
#
# The expected results are tables of the installer's documented behaviour held
# here beside the checks, independent of the installer's own tables: the
# products, the copy plan's rows per vendor code, and the voice roads.
#
#   E2E_MATRIX=full   every row of each matrix script instead of the default rows
#
# A row is one call:
#   matrix_install ROW PRODUCT MEDIUM VERSION PORT PROFILE VENDOR [OPTIONS...]
# PRODUCT  0, 1, 2, 5, 6 (WHICHPROGRAM)     MEDIUM  cd | diskettes
# VERSION  win95, win98, nt40 ...           PORT    COM port number of the modem
# PROFILE  media/modems profile             VENDOR  the vendor code it must end with
# OPTIONS  preset=CODE    VENDOR=CODE in INSTALL.INI (identification skipped)
#          tempcopy       SETUP.EXE and VEQCLEAN.BAT copied to C:\ZSETUP and
#                         started from there with -S naming the medium
#          noclean        NOCLEAN=1 in INSTALL.INI
#          novoice        the modem cannot handle voice: the installation
#                         becomes the fax product
#          nodetect       the second entry of the modem list chosen: no port
#                         check, no identification, vendor code 8
#          path=WINPATH   destination typed into the destination dialog

E2E_MATRIX=${E2E_MATRIX:-default}
matrix_full() { [ "$E2E_MATRIX" = full ]; }

# --- the products: title, name (default folder, INI, program), full tree, printer step /p
declare -A PRODUCT_TITLE=([0]='ZeltaFax' [1]='ZeltaVoice' [2]='ZeltaVoice Pro' [5]='ZeltaVoice Home'
                          [6]='ZeltaVoice Comm Server')
declare -A PRODUCT_NAME=([0]=ZELTAFAX [1]=ZELTAVOX [2]=ZELTAPRO [5]=RURORA [6]=VUZAZARE)
declare -A PRODUCT_FULLTREE=([0]=0 [1]=0 [2]=1 [5]=1 [6]=1)
# INSTALLPRINTER of the matrix sets: 0 (the printer installer) for 5 and 6, else none.
declare -A PRODUCT_PRINTER=([0]=3 [1]=3 [2]=3 [5]=0 [6]=0)

SMALL_TREE='TEMP RECEIVE SEND PROGRAM DATA SCRIPT1 MBOX000 MBOX000\DSEND MBOX000\DRECV MBOX000\FOD'
FULL_ONLY='SDK SCRIPT2 SCRIPT3 SCRIPT4 SCRIPT5 SCRIPT6 SCRIPT7 SCRIPT8 SCRIPT9'

# --- the copy plan: the vendor rows (source:target), by vendor code
matrix_plan_vendor_rows() {
  case $1 in
    0|62|63) echo ROCKPG:PROGRAM ROCKDAT:DATA ROCKSC1:SCRIPT1 ROCKSC2:SCRIPT2 ;;
    3) echo ROCKPG:PROGRAM PBPG:PROGRAM PBDAT:DATA ROCKSC1:SCRIPT1 ROCKSC2:SCRIPT2 ;;
    4) echo ZOOMPG:PROGRAM ZOOMDAT:DATA ZOOMSC1:SCRIPT1 ZOOMSC2:SCRIPT2 ;;
    5|59) echo ACFPG:PROGRAM PBDAT:DATA ACFSC1:SCRIPT1 ACFSC2:SCRIPT2 ;;
    6) echo UMCPG:PROGRAM UMCDAT:DATA UMCSC1:SCRIPT1 UMCSC2:SCRIPT2 ;;
    7) echo PCTPG:PROGRAM PCTDAT:DATA PCTSC1:SCRIPT1 PCTSC2:SCRIPT2 ;;
    8) echo ROCKPG:PROGRAM MBPG:PROGRAM MBDAT:DATA ROCKSC1:SCRIPT1 RCKSC2:SCRIPT2 ;;
    9) echo HAYPG:PROGRAM HAYDAT:DATA HAYSC1:SCRIPT1 HAYSC2:SCRIPT2 ;;
    11|13) echo CIRPG:PROGRAM CIRDAT:DATA CIRSC1:SCRIPT1 CIRSC2:SCRIPT2 ;;
    12) echo CIRUPG:PROGRAM CIRUDAT:DATA CIRUSC1:SCRIPT1 CIRUSC2:SCRIPT2 ;;
    18) echo MBPPG:PROGRAM MBPDAT:DATA ROCKSC1:SCRIPT1 RCKSC2:SCRIPT2 ;;
    21|22) echo SIEPG:PROGRAM SIEDAT:DATA SIESC1:SCRIPT1 SIESC2:SCRIPT2 ;;
    31) echo USRPG:PROGRAM USRDAT:DATA USRSC1:SCRIPT1 USRSC2:SCRIPT2 ;;
    41) echo ATTPG:PROGRAM ATTDAT:DATA ATTSC1:SCRIPT1 ATTSC2:SCRIPT2 ;;
    51|52) echo ZYXPG:PROGRAM ZYXDAT:DATA ZYXSC1:SCRIPT1 ZYXSC2:SCRIPT2 ;;
    61) echo PROGRAM:PROGRAM DATA:DATA ATTSC1:SCRIPT1 ;;
    65|69) echo S101PG:PROGRAM S101DAT:DATA S101SC1:SCRIPT1 S101SC2:SCRIPT2 ;;
    98) echo FAXPG:PROGRAM FAXDAT:DATA ;;
    *) echo ATTSC1:SCRIPT1 ;;
  esac
}

# Every marker directory of the matrix sets (media/matrix/plan and cd).
MARKER_DIRS='ROCKPG ROCKDAT ROCKSC1 ROCKSC2 PBPG PBDAT ZOOMPG ZOOMDAT ZOOMSC1 ZOOMSC2 ACFPG ACFSC1 ACFSC2 UMCPG
UMCDAT UMCSC1 UMCSC2 PCTPG PCTDAT PCTSC1 PCTSC2 MBPG MBDAT RCKSC2 HAYPG HAYDAT HAYSC1 HAYSC2 CIRPG CIRDAT CIRSC1
CIRSC2 CIRUPG CIRUDAT CIRUSC1 CIRUSC2 MBPPG MBPDAT SIEPG SIEDAT SIESC1 SIESC2 USRPG USRDAT USRSC1 USRSC2 ATTPG ATTDAT
ATTSC1 ATTSC2 ZYXPG ZYXDAT ZYXSC1 ZYXSC2 S101PG S101DAT S101SC1 S101SC2 FAXPG FAXDAT SCRIPT2 32PG 32DATA SDK'

# The markers an installation must leave, as TARGET/NAME.TXT lines: the CD-ROM
# rows, the fixed SCRIPT2 row (into SCRIPT1) and the vendor's rows; rows into
# SCRIPT2 or SDK only where the product's set carries them.
matrix_expected_markers() {  # product medium vendor
  local full=${PRODUCT_FULLTREE[$1]} row src dst
  {
    if [ "$2" = cd ]; then
      echo PROGRAM/32PG.TXT
      echo DATA/32DATA.TXT
      [ "$full" = 1 ] && echo SDK/SDK.TXT
    fi
    echo SCRIPT1/SCRIPT2.TXT
    for row in $(matrix_plan_vendor_rows "$3"); do
      src=${row%%:*} dst=${row#*:}
      [ "$src" = PROGRAM ] || [ "$src" = DATA ] && continue   # the demo's own directories, no marker
      [ "$dst" = SCRIPT2 ] && [ "$full" = 0 ] && continue
      echo "$dst/$src.TXT"
    done
  } | sort -u
}

# The markers found under the destination, as TARGET/NAME.TXT lines.
matrix_found_markers() {  # unix destination directory
  local dir=$1 names
  names=$(echo $MARKER_DIRS | tr ' ' '\n' | sed 's/$/.TXT/')
  (cd "$dir" && find . -type f | sed 's|^\./||') | while read -r f; do
    if echo "$names" | grep -qixF -- "$(basename "$f")"; then echo "$f"; fi
  done | sort -u
}

# --- the voice roads: what the conversion must do for a vendor code
#   vox TAG CODING | resample RATE BITS | none (the fax product converts nothing)
matrix_road() {  # vendor
  case $1 in
    0|3|5|8|9|18|6|7|60|61) echo 'vox ROCK 4' ;;
    31) echo 'vox ROCK 2' ;;
    11) echo 'vox CIRRU 8' ;;
    12) echo 'vox CIRRU 4' ;;
    21|22) echo 'vox SIERR 8' ;;
    41) echo 'vox AT&T 8' ;;
    51|52) echo 'vox ZyXEL 4' ;;
    13|62|63|65|69) echo 'resample 8000 8' ;;
    59) echo 'resample 7200 8' ;;
    14|64) echo 'none' ;;
    *) echo 'resample 8000 16' ;;
  esac
}
# The chip-family data-set extension (as a pattern: a digit stands for the ATI
# match code) and the compressor library's program-set extension, by vendor code.
matrix_dataset_ext() {
  case $1 in
    0) echo ROC ;; 3) echo PB ;; 4) echo ZM ;; 5) echo 'ACF|AC[3468]' ;; 6) echo UMC ;; 7) echo PCT ;;
    8) echo MB ;; 9) echo HAY ;; 11) echo CIR ;; 12) echo CUX ;; 13) echo 'C01|C0[3468]' ;; 18) echo MBP ;;
    21) echo SIE ;; 22) echo SI4 ;; 31) echo 'USR|US[3468]' ;; 41) echo 'ATT|AT[3468]' ;; 51) echo ZYX ;;
    52) echo Z28 ;; 59) echo M01 ;; 60) echo MOT ;; 61) echo HCF ;; 62|64) echo ESS ;; 63) echo A02 ;;
    65) echo R01 ;; 69) echo A01 ;; 98) echo 'FAX|FA[3468]' ;;
    # The match sections of INSTALL.INI name their own (VENDORINI).
    45) echo T45 ;; 47) echo A47 ;;
    *) echo PCT ;;
  esac
}
matrix_programset_ext() {
  case $1 in
    0|3|4|8|9|18) echo ROC ;; 5) echo ACF ;; 6) echo UMC ;; 11|12) echo CIR ;; 13) echo C01 ;; 21|22) echo SIE ;;
    31) echo USR ;; 41) echo ATT ;; 51|52) echo ZYX ;; 98) echo FAX ;; *) echo PCT ;;
  esac
}

# The Rockwell group: support libraries, and on Windows NT the external converter.
matrix_rockwell() { case $1 in 0|3|5|8|9|18) return 0 ;; esac; return 1; }

# How a vendor's voice data decodes: pvftools' modem type, the rate, voxplay's
# family, the compression (- for the header's coding) and the least SNR (dB)
# against the prompt. Vendor 0 is fed at 8000 Hz by the library, at 7200 Hz by
# VEQWAVE on Windows NT.
matrix_vox_format() {  # vendor version
  case $1 in
    0) if [[ $2 == nt* ]]; then echo 'Rockwell 7200 rockwell - 20'; else echo 'Rockwell 8000 rockwell - 20'; fi ;;
    3|5|8|9|18) echo 'Rockwell 7200 rockwell - 20' ;;
    7|60|61) echo 'Rockwell 8000 rockwell - 20' ;;
    6) echo 'UMC 7200 g721 - 18' ;;
    31) echo 'US_Robotics 8000 gsm 1 10' ;;
    51|52) echo 'ZyXEL_2864 9600 zyxel - 20' ;;
  esac
}

# Little-endian number of N bytes at OFFSET of a file.
matrix_le() {  # file offset count
  od -An -tu1 -j "$2" -N "$3" "$1" 2>/dev/null | awk '{ for (i = NF; i >= 1; i--) v = v * 256 + $i } END { print v + 0 }'
}

# --- building and mapping the row's medium
# Sets E2E_SETDIR; maps the medium; E2E_MEDIUM_ROOT is the source directory as
# the installer names it (D:\SETUP\ or A:\).
matrix_medium() {  # product medium
  local manifest=$SOURCE_DIR/media/matrix/product$1.manifest
  E2E_SETDIR=$E2E_WORK/set$1-$2
  if [ ! -d "$E2E_SETDIR" ]; then
    if [ "$2" = cd ]; then
      E2E_MANIFEST=$manifest e2e_mkmedia cdrom "$E2E_SETDIR"
    else
      matrix_diskettes "$manifest" "$E2E_SETDIR"
    fi
  fi
  E2E_SET_EXTRA=
  if [ "$2" = cd ]; then
    e2e_map_drive d "$E2E_SETDIR"
    E2E_MEDIUM_ROOT='D:\SETUP\'
    E2E_SOURCE_UNIX=$E2E_SETDIR/SETUP
  else
    e2e_map_drive a "$E2E_SETDIR/DISK1"
    E2E_MEDIUM_ROOT='A:\'
    E2E_SOURCE_UNIX=$E2E_SETDIR/DISK1
  fi
}

# A diskette set of at least two disks: the disk size is what disk 1 must
# carry plus a little, so the copy plan's files spill onto further disks.
matrix_diskettes() {  # manifest out
  local size=65536 need room tries
  for tries in 1 2 3 4 5 6 7 8 9 10; do
    rm -rf "$2"
    if "$E2E_MKMEDIA" "$1" "$2" --diskettes --disksize "$size" --win32 "$WIN32_BUILD" >"$E2E_WORK/mkmedia.out" 2>&1; then
      echo "diskette set of $size-byte disks: $(ls -d "$2"/DISK* | wc -l) disks"
      return 0
    fi
    read -r need room < <(sed -n 's/.*disk 1 must carry take \([0-9]*\) bytes, more than \([0-9]*\).*/\1 \2/p' \
      "$E2E_WORK/mkmedia.out")
    if [ -n "$need" ]; then
      size=$((size + need - room + 4096))
    else
      size=$((size * 2))   # not even the files of every disk fit
    fi
  done
  echo "mkmedia found no disk size"
  cat "$E2E_WORK/mkmedia.out"
  exit 1
}

# A copy of the medium's INSTALL.INI with one key of [GENERAL] changed; the set
# is copied first so that the shared set stays as built.
matrix_setting() {  # key value
  local copy=$E2E_WORK/setting-set
  if [ "$E2E_SETDIR" != "$copy" ]; then
    rm -rf "$copy"
    cp -a "$E2E_SETDIR" "$copy"
    E2E_SETDIR=$copy
  fi
  local ini
  for ini in "$copy"/SETUP/INSTALL.INI "$copy"/DISK1/INSTALL.INI; do
    [ -f "$ini" ] && sed -i "s/^$1=.*/$1=$2\r/" "$ini"
  done
  if [ -d "$copy/SETUP" ]; then
    e2e_map_drive d "$copy"
    E2E_SOURCE_UNIX=$copy/SETUP
  else
    e2e_map_drive a "$copy/DISK1"
    E2E_SOURCE_UNIX=$copy/DISK1
  fi
}

# --- one row
matrix_install() {
  local row=$1 product=$2 medium=$3 version=$4 port=$5 profile=$6 vendor=$7
  shift 7
  local preset='' tempcopy=0 noclean=0 path='' modemtype=0 novoice=0 opt
  for opt in "$@"; do
    case $opt in
      preset=*) preset=${opt#preset=} ;;
      tempcopy) tempcopy=1 ;;
      noclean) noclean=1 ;;
      nodetect) modemtype=1 ;;
      novoice) novoice=1 ;;
      path=*) path=${opt#path=} ;;
      *) echo "matrix_install: unknown option $opt"; exit 2 ;;
    esac
  done
  e2e_row "$row"
  E2E_PROFILE=$profile
  E2E_SET_PRODUCT=$product
  e2e_machine "$version"
  matrix_medium "$product" "$medium"
  [ -n "$preset" ] && matrix_setting VENDOR "$preset"
  [ "$noclean" = 1 ] && matrix_setting NOCLEAN 1
  [ "$medium" = diskettes ] && e2e_media_changer a "$E2E_SETDIR"
  e2e_modem "$port" "$profile"

  # The product the installation ends as: a modem without voice makes any product the fax product.
  local final=$product
  [ "$novoice" = 1 ] && final=0
  local name=${PRODUCT_NAME[$final]} title=${PRODUCT_TITLE[$final]}
  local dest=${path:-C:\\${PRODUCT_NAME[$product]}}
  dest=${dest%\\}

  # The destination dialog keeps the product's own proposal unless the row types one.
  e2e_answers_default
  if [ -n "$path" ]; then e2e_answer 992 "102=$path"; else e2e_answer_delete 992 102; fi
  e2e_answer 997 "102=Row $row" '124=Matrix Ltd' "104=+49 30 $port$port$port" "123=#$modemtype"
  e2e_answer_delete 997 125 126 103 127
  e2e_answer 900 Timeout=90

  local program="$E2E_MEDIUM_ROOT"SETUP.EXE args=
  if [ "$tempcopy" = 1 ]; then
    # What a launcher on the medium does: copy the installer and its clean-up
    # list to a temporary directory and start the copy with the medium named.
    mkdir -p "$E2E_PREFIX/drive_c/ZSETUP"
    cp "$E2E_SOURCE_UNIX/SETUP.EXE" "$E2E_SOURCE_UNIX/VEQCLEAN.BAT" "$E2E_PREFIX/drive_c/ZSETUP/"
    program='C:\ZSETUP\SETUP.EXE'
    args="-S$E2E_MEDIUM_ROOT"
  fi
  e2e_run "$program" $args
  e2e_expect_rc 0
  e2e_expect_nolog 'Error in INS_install'

  # The whole run read the medium, also when started from a copy elsewhere.
  e2e_expect_log "INI path=${E2E_MEDIUM_ROOT}INSTALL.INI"
  matrix_check_identity "$product" "$final" "$dest" "$version" "$port" "$vendor" "$preset" "$modemtype"
  matrix_check_medium "$medium"
  matrix_check_plan "$final" "$medium" "$vendor" "$dest"
  matrix_check_road "$final" "$version" "$vendor" "$dest"
  matrix_check_completion "$product" "$final" "$dest"
  matrix_check_cleanup "$tempcopy" "$noclean" "$version"
}

# The product, the version, the modem and the choices of the dialogs.
matrix_check_identity() {  # product final dest version port vendor preset modemtype
  local product=$1 final=$2 dest=$3 version=$4 port=$5 vendor=$6 preset=$7 modemtype=$8 d
  local name=${PRODUCT_NAME[$final]}
  e2e_expect_log "whichprogram=$product"
  e2e_expect_log "INS_version=2.2i-M$product"
  e2e_expect_log "comport       = $port"
  if [ "$modemtype" = 1 ]; then
    # A modem chosen from the list is not looked for.
    e2e_expect_nolog 'INS_vendor = '
    local asked
    asked=$(grep -v '^#' "$E2E_WORK/modem$port.log" 2>/dev/null | grep -vx 'AT' | sort -u | tr '\n' ' ')
    [ -z "$asked" ]
    e2e_check $? "the modem on COM$port got no command but the port probe's AT (got: ${asked:-none})"
  elif [ -n "$preset" ]; then
    e2e_expect_log "No autodetect-Vendor=$preset"
  else
    e2e_expect_nolog 'No autodetect-Vendor='
    e2e_expect_log "INS_vendor = $vendor"
  fi
  [ "$modemtype" = 1 ] || e2e_expect_log "INS_whichprog = $final"
  case $version in
    nt*) e2e_expect_log 'winversion=2'; e2e_expect_log 'Openning service:-Halvern Fax Server' ;;
    *) e2e_expect_log 'winversion=1'; e2e_expect_nolog 'Openning service:-' ;;
  esac
  # The directory tree of the product.
  local missing=''
  for d in $SMALL_TREE; do [ -d "$(e2e_unixpath "$dest\\$d")" ] || missing="$missing $d"; done
  if [ "${PRODUCT_FULLTREE[$final]}" = 1 ]; then
    for d in $FULL_ONLY; do [ -d "$(e2e_unixpath "$dest\\$d")" ] || missing="$missing $d"; done
    [ -z "$missing" ]
    e2e_check $? "the nineteen directories under $dest (missing:${missing:- none})"
  else
    local extra=''
    for d in $FULL_ONLY; do [ -d "$(e2e_unixpath "$dest\\$d")" ] && extra="$extra $d"; done
    [ -z "$missing$extra" ]
    e2e_check $? "the ten directories under $dest and no others (missing:${missing:- none}; extra:${extra:- none})"
  fi
  # The product INI: the chip-family file of the vendor with the user details added.
  local ini="$dest\\DATA\\$name.INI"
  e2e_expect_ini "$ini" GENERAL USERNAME "Row $E2E_ROW"
  e2e_expect_ini "$ini" GENERAL FAXNUMBER "+49 30 $port$port$port"
  e2e_expect_ini "$ini" VEQFAX1 COMPORT "$port"
  local chip want
  chip=$(e2e_ini_value "$ini" CHIP SET)
  want=$(matrix_dataset_ext "$vendor")
  [[ "$chip" =~ ^($want)$ ]]
  e2e_check $? "$name.INI was made from DATACHIP\\$name.($want) (got '$chip')"
  e2e_expect_ini "$ini" GENERAL COMMPROGRAMNAME0 "$dest\\PROGRAM\\ZELTATRM.EXE"
  e2e_expect_ini "$ini" VEQFAX1 MAXRATE 3
  e2e_expect_ini "$ini" VOICE FAXBACK1 "$dest\\DATA\\FLOCHART"
  e2e_expect_ini "$ini" VOICE FAXBACK2 "$dest\\DATA\\PRICE"
  if [ "$vendor" = 31 ]; then
    # The firmware check: voice data of 0xB6 or 0xFE after CONNECT makes it 0, else 1.
    local usr=1 byte
    byte=$(awk '/^\[/ { inrx = toupper($0) == "[AT#VRX]" } inrx && /^stream *=/ { print toupper($3); exit }' \
      "$SOURCE_DIR/media/modems/$E2E_PROFILE")
    [ "$byte" = B6 ] || [ "$byte" = FE ] && usr=0
    e2e_expect_ini "$ini" HARDWARE VERSION "$usr"
  else
    [ -z "$(e2e_ini_value "$ini" HARDWARE VERSION)" ]
    e2e_check $? "no [HARDWARE] VERSION for vendor $vendor"
  fi
  cmp -s "$(e2e_unixpath "$dest\\DATA\\COUNTRY.INI")" "$SOURCE_DIR/media/demo/COUNTRY/COUNTRY.GER"
  e2e_check $? "COUNTRY.INI is the German country file"
  # The fax configuration: FAX.FAX for the fax product, FAX.INI for the others.
  if [ "$final" = 0 ]; then
    e2e_expect_ini 'C:\windows\FAX.INI' FAX PRODUCT FAX
    # Its PROGRAM value names the installed fax task.
    e2e_expect_ini 'C:\windows\FAX.INI' FAX PROGRAM "$dest\\PROGRAM\\VEQTASK.EXE"
  else
    # A template without PROGRAM gets none.
    [ -z "$(e2e_ini_value 'C:\windows\FAX.INI' FAX PROGRAM)" ]
    e2e_check $? "no [FAX] PROGRAM in FAX.INI from a template without one"
    e2e_expect_ini 'C:\windows\FAX.INI' FAX RETRYDELAY 120
    [ -z "$(e2e_ini_value 'C:\windows\FAX.INI' FAX PRODUCT)" ]
    e2e_check $? "FAX.INI is the voice products' template, not FAX.FAX"
  fi
  e2e_expect_ini 'C:\windows\FAX.INI' FAX PATH "$dest\\"
}

matrix_check_medium() {  # medium
  if [ "$1" = cd ]; then
    e2e_expect_nolog 'Before INS_change diskette'
    e2e_expect_log 'Before INS_expanddirectory'
  else
    e2e_expect_log 'disknum = 2'
    local last
    last=$(ls -d "$E2E_SETDIR"/DISK* | wc -l)
    e2e_expect_log "disknum = $last"
    e2e_expect_nolog "disknum = $((last + 1))"
    e2e_expect_nolog 'Before INS_expanddirectory'
  fi
}

# The copy plan: exactly the rows of the medium and the vendor ran, each into its target.
matrix_check_plan() {  # final medium vendor dest
  local expected found
  expected=$(matrix_expected_markers "$1" "$2" "$3")
  found=$(matrix_found_markers "$(e2e_unixpath "$4")")
  [ "$expected" = "$found" ]
  e2e_check $? "copy plan rows for vendor $3 from $2: $(echo $expected) (got: $(echo $found))"
  e2e_expect_log "copying INS_vendor=$3"
  # A set made for a product with SDK, installed as the fax product, leaves its SDK row out
  # (the row left out is a detail line of the log, not written at level 0).
  if [ "$2" = cd ] && [ "${PRODUCT_FULLTREE[$E2E_SET_PRODUCT]}" = 1 ] && [ "${PRODUCT_FULLTREE[$1]}" = 0 ]; then
    e2e_expect_nodir "$4\\SDK"
  fi
}

# The voice road of the vendor, seen in the prompt directory and the log.
matrix_check_road() {  # final version vendor dest
  local final=$1 version=$2 vendor=$3 dest=$4 road p f
  road=$(matrix_road "$vendor")
  local s1
  s1=$(e2e_unixpath "$dest\\SCRIPT1")
  local prompts='GREETING MENU GOODBYE'
  if [ "$final" = 0 ]; then
    e2e_expect_log 'Didovada install'
    [ ! -e "$s1/GREETING.WAV" ] && [ -z "$(ls "$s1" | grep -i '\.VOX$')" ]
    e2e_check $? "fax product: no prompts unpacked, none converted"
    e2e_expect_nolog 'INS_convertscript vendor='
    e2e_expect_nofile "$dest\\PROGRAM\\VEQSB95.DLL"
    return
  fi
  e2e_expect_log "INS_convertscript vendor=$vendor"
  e2e_expect_log 'INS_convertscript done'
  # RINGING.WAV and PHONE.WAV stay as they came on every road.
  local kept=0
  for p in RINGING PHONE; do cmp -s "$s1/$p.WAV" "$SOURCE_DIR/media/matrix/txt/$p.WAV" || kept=1; done
  [ -e "$s1/RINGING.VOX" ] || [ -e "$s1/PHONE.VOX" ] && kept=1
  e2e_check $kept "RINGING.WAV and PHONE.WAV untouched"
  set -- $road
  case $1 in
    vox)
      local tag=$2 coding=$3 bad='' type rate family comp least db exact
      for p in $prompts; do
        f=$s1/$p.VOX
        if [ ! -f "$f" ]; then bad="$bad $p.VOX:missing"; continue; fi
        # Tags are five characters, blank-padded ("ROCK ", "AT&T ").
        [ "$(head -c 5 "$f" | tr ' ' _)" = "$(printf '%-5s' "$tag" | tr ' ' _)" ] || bad="$bad $p.VOX:tag"
        [ "$(matrix_le "$f" 5 1)" = 2 ] || bad="$bad $p.VOX:kind"
        [ "$(matrix_le "$f" 10 1)" = "$coding" ] || bad="$bad $p.VOX:coding"
        [ "$(stat -c %s "$f")" -gt 16 ] || bad="$bad $p.VOX:nodata"
        # The data is what the vendor's modems play: it decodes to the prompt.
        read -r type rate family comp least < <(matrix_vox_format "$vendor" "$version")
        # On Windows NT VEQWAVE brings the Rockwell vendors' prompts to 7200 Hz itself.
        exact=''
        [[ $version == nt* ]] && matrix_rockwell "$vendor" && exact=--exact
        db=$(e2e_vox_snr $exact "$f" "$s1/$p.WAV" "${type//_/ }" "$rate" "$family" ${comp#-})
        awk -v d="${db:--99}" -v m="$least" 'BEGIN { exit !(d >= m) }' || bad="$bad $p.VOX:snr=${db:-none}<$least"
        cmp -s "$s1/$p.WAV" "$SOURCE_DIR/media/matrix/txt/$p.WAV" || bad="$bad $p.WAV:changed"
      done
      [ -z "$bad" ]
      e2e_check $? "voice files with the '$tag' header and coding $coding beside the prompts, their data decoding as $(matrix_vox_format "$vendor" "$version" | cut -d' ' -f1-2 | tr _ ' ') Hz (faults:${bad:- none})"
      e2e_expect_log 'numfiles=3'
      if [[ $version == nt* ]] && matrix_rockwell "$vendor"; then
        e2e_expect_log "cmd=\"${E2E_MEDIUM_ROOT}VEQWAVE\" 28673 \"C:\\VEQWAVE.WAV\" \"C:\\VEQWAVE.VOX\" $coding"
        e2e_expect_nolog 'local convert wavefi'
        e2e_expect_nofile 'C:\VEQWAVE.WAV'
        e2e_expect_nofile 'C:\VEQWAVE.VOX'
      else
        e2e_expect_log 'local convert wavefi'   # the label as the log cuts it
        e2e_expect_nolog 'INS_StartTask cmdline='
      fi
      e2e_expect_nolog 'cannot convert'
      ;;
    resample)
      local rate=$2 bits=$3 bad=''
      for p in $prompts; do
        f=$s1/$p.WAV
        [ "$(matrix_le "$f" 24 4)" = "$rate" ] || bad="$bad $p:rate=$(matrix_le "$f" 24 4)"
        [ "$(matrix_le "$f" 34 2)" = "$bits" ] || bad="$bad $p:bits=$(matrix_le "$f" 34 2)"
        [ -e "$s1/$p.VOX" ] && bad="$bad $p.VOX"
      done
      [ -z "$bad" ]
      e2e_check $? "prompts resampled to $rate Hz, $bits bits, no voice files (faults:${bad:- none})"
      e2e_expect_log 'numfiles=3'
      ;;
    none)
      local bad=''
      for p in $prompts; do
        cmp -s "$s1/$p.WAV" "$SOURCE_DIR/media/matrix/txt/$p.WAV" || bad="$bad $p.WAV"
        [ -e "$s1/$p.VOX" ] && bad="$bad $p.VOX"
      done
      [ -z "$bad" ]
      e2e_check $? "prompts left as they came (faults:${bad:- none})"
      e2e_expect_nolog 'numfiles='
      ;;
  esac
  # The compressor library of the vendor was staged, and ends in the program
  # directory; the Windows directory keeps none of it.
  local lib="PROGCHIP\\VEQSB95.$(matrix_programset_ext "$vendor")" built
  [[ $version == nt* ]] && matrix_rockwell "$vendor" && lib='PROGCHIP\VEQSB95.PCT'
  [ "$vendor" = 60 ] || [ "$vendor" = 63 ] && lib='PROGRAM\VEQSBV.DLL'
  e2e_expect_log "from file=$E2E_MEDIUM_ROOT$lib"
  built=$WIN32_BUILD/stage/${lib//\\//}
  cmp -s "$(e2e_unixpath "$dest\\PROGRAM\\VEQSB95.DLL")" "$built"
  e2e_check $? "PROGRAM\\VEQSB95.DLL is $lib of the build"
  e2e_expect_nofile 'C:\windows\VEQSB95.DLL'
  local t
  for t in VEQSB16.DLL VEQTHK16.DLL VEQTHK32.DLL; do
    if matrix_rockwell "$vendor"; then
      e2e_expect_file "$dest\\PROGRAM\\$t"
    else
      e2e_expect_nofile "$dest\\PROGRAM\\$t"
    fi
    e2e_expect_nofile "C:\\windows\\$t"
  done
}

# Completion: uninstall entry, record, shortcuts, group and printer step, all by the product's title.
matrix_check_completion() {  # product final dest
  local product=$1 final=$2 dest=$3
  local name=${PRODUCT_NAME[$final]} title=${PRODUCT_TITLE[$final]}
  local key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$title"
  e2e_expect_reg "$key" DisplayName "$title"
  e2e_expect_reg "$key" UninstallString "\"C:\\windows\\ZVUNINST.EXE\" /PATH=\"$dest\""
  local first
  first=$(head -1 "$(e2e_unixpath "$dest\\DATA\\UNINSTAL.DAT")" 2>/dev/null | tr -d '\r')
  [ "$first" = "$title" ]
  e2e_check $? "UNINSTAL.DAT starts with the title (got '$first')"
  e2e_expect_reg 'HKCR\lgofile\shell\&Fax\command' '' "\"$dest\\PROGRAM\\$name.EXE\" \"%1\""
  e2e_expect_log "item=[AddItem(\"$dest\\PROGRAM\\$name.EXE"
  local desktop programs sendto
  desktop=$(e2e_shell_folder Desktop)
  programs=$(e2e_shell_folder Programs)
  sendto=$(e2e_shell_folder SendTo)
  e2e_expect_log "shortcut path=$dest\\PROGRAM\\$name.EXE"
  e2e_expect_file "$desktop\\$title.LNK"
  e2e_expect_file "$sendto\\$title.LNK"
  e2e_expect_dir "$programs\\$title"
  # The printer step of the set's INSTALL.INI: the printer installer is told the product installed.
  if [ "${PRODUCT_PRINTER[$product]}" = 0 ]; then
    local addpr
    addpr=$(tr -d '\r' <"$(e2e_unixpath 'C:\windows\VEQADDPR.LOG')" 2>/dev/null)
    [[ "$addpr" == "\"$dest\\PROGRAM\\VEQADDPR.EXE\" /p$final"* ]]
    e2e_check $? "the printer installer ran for product $final (got '$addpr')"
  else
    e2e_expect_nofile 'C:\windows\VEQADDPR.LOG'
  fi
  e2e_expect_nofile 'C:\windows\VEQINS.DLL'
}

# Clean-up at exit: only a temporary copy schedules its files, by the Windows family's means.
matrix_check_cleanup() {  # tempcopy noclean version
  local session='HKLM\System\CurrentControlSet\Control\Session Manager'
  if [ "$1" = 1 ] && [ "$2" = 0 ]; then
    e2e_expect_log 'INS_DelActiveFile=C:\ZSETUP\SETUP.EXE'
    e2e_expect_log 'INS_DelActiveFile=C:\ZSETUP\VEQCLEAN.BAT'
    # Nothing is deleted while the installer runs.
    e2e_expect_file 'C:\ZSETUP\SETUP.EXE'
    if [[ $3 == nt* ]]; then
      local pending
      pending=$(e2e_wine reg query "$session" /v PendingFileRenameOperations 2>/dev/null | tr -d '\r' | tr -s '\n ' ' ')
      [[ "$pending" == *'C:\ZSETUP\SETUP.EXE'* && "$pending" == *'C:\ZSETUP\VEQCLEAN.BAT'* ]]
      e2e_check $? "both files pending deletion at the next start (got '$pending')"
      e2e_expect_nofile 'C:\windows\WININIT.INI'
    else
      e2e_expect_ini 'C:\windows\WININIT.INI' Rename NUL 'C:\ZSETUP\SETUP.EXE'
      grep -qixF 'NUL=C:\ZSETUP\VEQCLEAN.BAT' <(tr -d '\r' <"$(e2e_unixpath 'C:\windows\WININIT.INI')")
      e2e_check $? 'WININIT.INI [Rename] lists NUL=C:\ZSETUP\VEQCLEAN.BAT as a line of its own'
      e2e_expect_noreg "$session" PendingFileRenameOperations
    fi
  else
    e2e_expect_nolog 'INS_DelActiveFile='
    e2e_expect_nofile 'C:\windows\WININIT.INI'
    e2e_expect_noreg "$session" PendingFileRenameOperations
  fi
}
