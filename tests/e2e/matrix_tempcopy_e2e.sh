#!/usr/bin/env bash
# Scenario matrix, the temporary copy: SETUP.EXE and the medium's VEQCLEAN.BAT
# copied to C:\ZSETUP (as a launcher on the medium does) and started from there
# with -S naming the medium. The whole installation reads the medium; at exit the
# files that VEQCLEAN.BAT names are scheduled for deletion at the next start of
# Windows: WININIT.INI [Rename] on the Windows 95 family,
# PendingFileRenameOperations on Windows NT; nothing is deleted meanwhile. The
# restart then deletes every file the list names, and moves nothing into the
# Windows directory in their stead (a file listed under NUL1 would become a file
# named NUL1 there).
#
#   E2E_MATRIX=full   also diskettes under NT, CD-ROM under win95, and NOCLEAN=1
#                     (nothing scheduled)
#
# Rows: name  product medium version port modem-profile vendor-code [options]
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/matrix_lib.sh"
e2e_init

# The restart of the row's machine, as integration_completion_e2e.sh restarts.
tempcopy_restart() {
  WINEPREFIX=$E2E_PREFIX wineboot -r >/dev/null 2>&1
  local line listed=0
  while IFS= read -r line; do
    line=${line%$'\r'}
    [[ $line == *' '* ]] || continue
    e2e_expect_nofile "${line#* }"
    listed=$((listed + 1))
  done <"$E2E_SOURCE_UNIX/VEQCLEAN.BAT"
  [ "$listed" -gt 0 ]
  e2e_check $? "VEQCLEAN.BAT of the set names files ($listed)"
  local moved
  moved=$(ls -1 "$(e2e_unixpath 'C:\windows')" | grep -iE '^NUL[0-9]+$' | tr '\n' ' ')
  [ -z "$moved" ]
  e2e_check $? "nothing moved into the Windows directory as NUL1, NUL2 ... (got '$moved')"
}

matrix_install tempcopy-diskettes-win98 1 diskettes win98 2 vendor64-ess.modem    64 tempcopy
tempcopy_restart
matrix_install tempcopy-cd-nt40         2 cd        nt40  3 vendor63-lucent.modem 63 tempcopy
tempcopy_restart
if matrix_full; then
  matrix_install tempcopy-diskettes-nt40 5 diskettes nt40  1 vendor61-rockwell.modem 61 tempcopy
  tempcopy_restart
  matrix_install tempcopy-cd-win95       6 cd        win95 2 vendor65-conexant.modem 65 tempcopy
  tempcopy_restart
  matrix_install tempcopy-noclean-win98  1 cd        win98 2 vendor64-ess.modem      64 tempcopy noclean
fi

e2e_finish
