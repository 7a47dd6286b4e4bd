#!/usr/bin/env bash
# Scenario matrix, modems: the voice product installed with modems of different
# families, each identification leading the prompt conversion down its own road
# (voice files with each maker's header and coding, resampling to 8000 or 7200
# samples per second, no conversion), a modem without voice (the installation
# becomes the fax product) and a vendor code preset in INSTALL.INI (no
# identification; the preset's road). Each row also checks the copy plan rows
# of the vendor code it ended with.
#
#   E2E_MATRIX=full   every vendorNN-*.modem profile of media/modems on the
#                     Pro set (WHICHPROGRAM=2, whose tree takes every row of the
#                     copy plan) under win98, the Rockwell group again under nt40
#                     (voice files through the external converter), the
#                     presets, and a modem chosen from the list (no
#                     identification), instead of the default rows
#
# Rows: name  product medium version port modem-profile vendor-code [options]
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/matrix_lib.sh"
e2e_init

if matrix_full; then
  port=1
  for profile in $(cd "$SOURCE_DIR/media/modems" && ls vendor[0-9][0-9]-*.modem); do
    code=${profile#vendor}
    code=$((10#${code%%-*}))
    voice=
    [ "$profile" = vendor98-faxonly.modem ] && voice=novoice
    matrix_install "${profile%.modem}-win98" 2 cd win98 "$port" "$profile" "$code" $voice
    port=$((port % 4 + 1))
  done
  for profile in vendor00-generic-cls vendor03-phoneblaster vendor05-rockwell-acf vendor09-hayes \
                 vendor18-modemblaster-plus; do
    code=${profile#vendor}
    code=$((10#${code%%-*}))
    matrix_install "$profile-nt40" 2 cd nt40 2 "$profile.modem" "$code"
  done
  for code in 4 12 14 22 52 62 69 99; do
    matrix_install "preset$code-win98" 2 cd win98 2 vendor07-pctel.modem "$code" "preset=$code"
  done
  # The modem chosen from the list instead of detected: vendor code 8.
  matrix_install nodetect-win95 1 cd win95 2 vendor31-usr.modem 8 nodetect
  matrix_install nodetect-nt40  1 cd nt40  2 vendor31-usr.modem 8 nodetect
else
  matrix_install pctel07-rock4       1 cd win98 2 vendor07-pctel.modem      7
  matrix_install cirrus13-8000x8     1 cd win98 1 vendor13-cirrus.modem     13
  matrix_install motorola59-7200x8   1 cd win98 3 vendor59-motorola.modem   59
  matrix_install ess64-none          1 cd win98 2 vendor64-ess.modem        64
  matrix_install vsm41-att8          1 cd win98 2 vendor41-vsm.modem        41
  matrix_install is101m45-8000x16    1 cd win98 4 vendor45-is101match.modem 45
  matrix_install faxonly98-pro-cd     2 cd win98 2 vendor98-faxonly.modem   98 novoice
  matrix_install preset12-cirru4     1 cd win98 2 vendor07-pctel.modem      12 preset=12
fi

e2e_finish
