#!/usr/bin/env bash
# INSTALL.INI, FAX.LST and ICONS.LST full of garbage on the medium: random
# bytes with NULs and overlong lines, and one endless line without any line
# end. The installer reads them without crashing or hanging and ends with the
# status that the damaged file leads to; the user's files stay.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
faults_init
e2e_cd_medium

# Bytes that look random but are the same at every run (a chain of SHA-256
# sums from the seed): truly random garbage now and then reads as something
# usable, a list line of digits and a tab before a form feed for instance,
# and the scenario's outcome would depend on chance.
noise() {  # count seed
  local seed=$2 hex=
  while (( ${#hex} < $1 * 2 )); do
    seed=$(printf '%s' "$seed" | sha256sum | cut -c1-64)
    hex+=$seed
  done
  printf "$(printf '%s' "${hex:0:$(($1 * 2))}" | sed 's/../\\x&/g')"
}

# Noise (NULs among it), a line of 3000 characters, more noise, no final line end.
garbage_binary() {  # file
  noise 1500 "$1 head"
  printf '\r\n[GENERAL]\r\nWHICHPROGRAM='
  head -c 3000 /dev/zero | tr '\0' '7'
  printf '\r\n\0\0\0#VOICE.EXE\0\r\n'
  noise 1500 "$1 tail"
}

# One line of 12000 characters and no line end at all.
garbage_endless() {  # file
  noise 9000 "$1 endless" | base64 -w0
}

run_with() {  # file kind
  local file=$1 kind=$2
  echo "=== $file: $kind"
  rm -rf "$E2E_WORK/cdg"
  cp -r "$E2E_WORK/cd" "$E2E_WORK/cdg"
  "garbage_$kind" "$file" >"$E2E_WORK/cdg/SETUP/$file"
  e2e_cd_machine win98 --medium "$E2E_WORK/cdg"
  e2e_modem 2 vendor08-modemblaster.modem  # each machine has its own modem
  faults_answers 'C:\VOICE'
  faults_userfiles 'C:\VOICE'
  faults_snapshot "$E2E_WORK/cdg"
  e2e_run 'D:\SETUP\SETUP.EXE'
  [ "${E2E_RC:-}" != timeout ]
  e2e_check $? "the installer ended by itself"
  faults_expect_kept
}

expect_failed() {  # status
  e2e_expect_rc "$1"
  e2e_expect_log "Error in INS_install = $1"
}

# Without its settings the set reads as another product (WHICHPROGRAM absent:
# the fax product; a number of thousands of digits: a product without a name),
# whose chip-family INI file (DATACHIP\<product>.MB) this voice product's
# medium does not carry, so the first copy stops with the file named (905).
for kind in binary endless; do
  run_with INSTALL.INI $kind
  expect_failed 905
  e2e_expect_log 'missing file'
  grep -a '^missing file' "$(e2e_logfile)" | head -3
done

# The modem list holds garbage or nothing usable: the dialog offers no entry
# to choose, so the answer "#0" is refused (13001); a person would meet 2311
# on OK and leave with Cancel.
for kind in binary endless; do
  run_with FAX.LST $kind
  expect_failed 13001
  e2e_expect_log 'unattended no entry=#0'
done

# The group's items are garbage: they are sent to Program Manager as they were
# read, cut to their limits, and the installation completes.
for kind in binary endless; do
  run_with ICONS.LST $kind
  faults_expect_success
  e2e_expect_log 'enter addprogram'
  e2e_expect_log 'after loop'
done

e2e_finish
