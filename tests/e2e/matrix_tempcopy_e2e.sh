#!/usr/bin/env bash
# Scenario matrix, the temporary copy: SETUP.EXE and the medium's VEQCLEAN.BAT
# copied to C:\ZSETUP (as a launcher on the medium does) and started from there
# with -S naming the medium. The whole installation reads the medium; at exit the
# files that VEQCLEAN.BAT names are scheduled for deletion at the next start of
# Windows: WININIT.INI [Rename] on the Windows 95 family,
# PendingFileRenameOperations on Windows NT; nothing is deleted meanwhile.
#
#   E2E_MATRIX=full   also diskettes under NT, CD-ROM under win95, and NOCLEAN=1
#                     (nothing scheduled)
#
# Rows: name  product medium version port modem-profile vendor-code [options]
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/matrix_lib.sh"
e2e_init

matrix_install tempcopy-diskettes-win98 1 diskettes win98 2 vendor64-ess.modem    64 tempcopy
matrix_install tempcopy-cd-nt40         2 cd        nt40  3 vendor63-lucent.modem 63 tempcopy
if matrix_full; then
  matrix_install tempcopy-diskettes-nt40 5 diskettes nt40  1 vendor61-rockwell.modem 61 tempcopy
  matrix_install tempcopy-cd-win95       6 cd        win95 2 vendor65-conexant.modem 65 tempcopy
  matrix_install tempcopy-noclean-win98  1 cd        win98 2 vendor64-ess.modem      64 tempcopy noclean
fi

e2e_finish
