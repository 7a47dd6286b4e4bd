#!/usr/bin/env bash
# Builds every build and runs every test: native unit tests (with sanitizers),
# short libFuzzer runs of the parsers, then the Windows tests and the end-to-end scenarios under Wine and Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
jobs=$(nproc)

cmake --preset native >/dev/null
cmake --build build/native -j"$jobs"
ctest --preset native -j"$jobs"

cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j"$jobs"
ctest --preset fuzz -j"$jobs"

cmake --preset win32 >/dev/null
cmake --build build/win32 -j"$jobs"
scripts/with-wine.sh ctest --preset win32
