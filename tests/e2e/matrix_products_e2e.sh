#!/usr/bin/env bash
# Scenario matrix, products: each product of the family (WHICHPROGRAM 0, 1, 2,
# 5 and 6) installed from its own set on diskettes and CD-ROM under the Windows
# 95 family and Windows NT, checked by its directory tree, configuration files,
# copy plan, voice road, registry, shortcuts, group and printer step.
#
#   E2E_MATRIX=full   every product on both media under win95, win98 and nt40
#                     (30 rows) instead of the five default rows
#
# Rows: name  product medium version port modem-profile vendor-code [options]
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/matrix_lib.sh"
e2e_init

# The modem each product is installed with, and the code it identifies as.
declare -A MODEM=([0]=vendor07-pctel.modem [1]=vendor08-modemblaster.modem [2]=vendor51-zyxel.modem
                  [5]=vendor08-vls.modem [6]=vendor31-usr.modem)
# The fax product identifies any voice modem as the fax-only installation.
declare -A CODE=([0]=98 [1]=8 [2]=51 [5]=8 [6]=31)

if matrix_full; then
  port=1
  for product in 0 1 2 5 6; do
    for medium in cd diskettes; do
      for version in win95 win98 nt40; do
        matrix_install "p$product-$medium-$version" "$product" "$medium" "$version" "$port" \
          "${MODEM[$product]}" "${CODE[$product]}"
        port=$((port % 4 + 1))
      done
    done
  done
else
  matrix_install p0-cd-nt40        0 cd        nt40  1 "${MODEM[0]}" "${CODE[0]}"
  matrix_install p1-diskettes-win95 1 diskettes win95 3 "${MODEM[1]}" "${CODE[1]}"
  matrix_install p2-cd-win98       2 cd        win98 2 "${MODEM[2]}" "${CODE[2]}"
  matrix_install p5-diskettes-nt40 5 diskettes nt40  4 "${MODEM[5]}" "${CODE[5]}"
  matrix_install p6-cd-win98       6 cd        win98 1 "${MODEM[6]}" "${CODE[6]}"
fi

e2e_finish
