#!/usr/bin/env bash
# Builds every build and runs every test: native unit tests (with sanitizers),
# short libFuzzer runs of the parsers, then the Windows tests and the end-to-end scenarios under Wine and Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# What each stage took, and the slowest scenarios, are printed at the end,
# of a failed run too.
stages=()
stage_started=$SECONDS
stage_name=
windows_log=$root/build/windows-tests.log
rm -f "$windows_log"
stage() {  # NAME: the stage that begins now
  [ -n "$stage_name" ] && stages+=("$(printf '%-8s %5d s' "$stage_name" $((SECONDS - stage_started)))")
  stage_name=$1
  stage_started=$SECONDS
}
report() {
  local rc=$?
  stage ''
  echo "--- test.sh: time per stage (builds included)"
  printf '  %s\n' "${stages[@]}"
  if [ -f "$windows_log" ]; then
    echo "--- test.sh: the five slowest Windows tests and scenarios (${E2E_JOBS:-} side by side)"
    sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .* \([0-9.]*\) sec$/\2 \1/p' "$windows_log" |
      sort -rn | head -5 | awk '{ printf "  %-32s %6.0f s\n", $2, $1 }'
  fi
  echo "--- test.sh: $SECONDS s in all, exit code $rc"
}
trap report EXIT
stage setup
scripts/setup.sh
# Which Windows build runs under Wine here, asked once (with-wine.sh and the
# scenarios take it from WINE_ARCH); without a Wine that runs, nothing is built.
WINE_ARCH=$(scripts/wine-arch.sh) || exit 1
export WINE_ARCH
jobs=$(nproc)
# The Windows tests and scenarios run side by side: they mostly wait (for
# Wine's start-up, the modems, the installer's own pauses), so more of them
# than processors keep the processors busy. On 2 cores 4 took 783 s against
# 1064 s for 3, but with 4 a start of a Wine program failed now and then.
E2E_JOBS=${E2E_JOBS:-$((jobs + 1))}

# The Windows stage: its output goes to the screen and to $windows_log.
windows_tests() {  # PRESET [CTEST OPTIONS]
  local preset=$1
  shift
  E2E_FREEZE_BASE=1 scripts/with-wine.sh ctest --preset "$preset" -j"$E2E_JOBS" "$@" 2>&1 | tee "$windows_log"
}

stage native
cmake --preset native >/dev/null
cmake --build build/native -j"$jobs"
ctest --preset native -j"$jobs"

stage fuzz
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j"$jobs"
ctest --preset fuzz -j"$jobs"

stage host
cmake --preset win32 >/dev/null
cmake --build build/win32 -j"$jobs"
if [ "$WINE_ARCH" = win32 ]; then
  stage Windows
  windows_tests win32
else
  # A kernel without IA-32 emulation starts no 32-bit program, so Wine runs
  # only its 64-bit loader: the shipped 32-bit files get the checks that need
  # no Wine (CTest label host), and the Windows tests run on the 64-bit build
  # of the same sources.
  echo "test.sh: this host runs no 32-bit programs; the Windows tests run on the 64-bit test build (build/win64)"
  ctest --preset win32 -L host
  stage Windows
  cmake --preset win64 >/dev/null
  cmake --build build/win64 -j"$jobs"
  windows_tests win64 -LE host
fi
