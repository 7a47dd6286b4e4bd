#!/usr/bin/env bash
# Builds every build and runs every test: native unit tests (with sanitizers),
# short libFuzzer runs of the parsers, then the Windows tests and the end-to-end scenarios under Wine and Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
# Which Windows build runs under Wine here, asked once (with-wine.sh and the
# scenarios take it from WINE_ARCH); without a Wine that runs, nothing is built.
WINE_ARCH=$(scripts/wine-arch.sh) || exit 1
export WINE_ARCH
jobs=$(nproc)

cmake --preset native >/dev/null
cmake --build build/native -j"$jobs"
ctest --preset native -j"$jobs"

cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j"$jobs"
ctest --preset fuzz -j"$jobs"

cmake --preset win32 >/dev/null
cmake --build build/win32 -j"$jobs"
if [ "$WINE_ARCH" = win32 ]; then
  scripts/with-wine.sh ctest --preset win32
else
  # A kernel without IA-32 emulation starts no 32-bit program, so Wine runs
  # only its 64-bit loader: the shipped 32-bit files get the checks that need
  # no Wine (CTest label host), and the Windows tests run on the 64-bit build
  # of the same sources.
  echo "test.sh: this host runs no 32-bit programs; the Windows tests run on the 64-bit test build (build/win64)"
  ctest --preset win32 -L host
  cmake --preset win64 >/dev/null
  cmake --build build/win64 -j"$jobs"
  scripts/with-wine.sh ctest --preset win64 -LE host
fi
