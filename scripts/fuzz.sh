#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer), makes the corpora from the demo
# set, runs each target (all by default) for SECONDS with its corpus, one after
# the other under `nice -n 19`, and prints one line per target: executions,
# coverage (cov: and ft: of libFuzzer's last stats line) and crashes.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]      (default 60 seconds, every target)
#
# Environment: FUZZ_RUNS=N stops a target after N executions instead of the
# time (the time still bounds it when given); FUZZ_JOBS=N builds with N jobs
# (default 2); FUZZ_NOBUILD=1 skips the build and the corpora.
# Inputs a target found new are kept in build/fuzz/work/<target>/ and used by
# the next run; crashing inputs go to build/fuzz/crashes/<target>/ and the
# whole output of each run to build/fuzz/logs/<target>.log. The exit code is 1
# when any target crashed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=60
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
build=$root/build/fuzz

if [ "${FUZZ_NOBUILD:-0}" != 1 ]; then
    cmake --preset fuzz >/dev/null
    cmake --build "$build" -j"${FUZZ_JOBS:-2}" >/dev/null
    "$root/scripts/fuzz-corpus.sh" "$build/corpus" >/dev/null
fi

if [ $# -gt 0 ]; then
    targets=("$@")
else
    mapfile -t targets < <(cd tests/fuzz && ls *_fuzz.cpp | sed 's/\.cpp$//')
fi

limits=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)
[ -n "${FUZZ_RUNS:-}" ] && limits+=(-runs="$FUZZ_RUNS")

failed=0
printf '%-28s %12s %6s %7s %8s\n' target executions cov ft crashes
for t in "${targets[@]}"; do
    exe=$build/tests/fuzz/$t
    if [ ! -x "$exe" ]; then
        echo "fuzz: no target $t" >&2
        failed=1
        continue
    fi
    work=$build/work/$t
    crashes=$build/crashes/$t
    log=$build/logs/$t.log
    mkdir -p "$work" "$crashes" "$(dirname "$log")"
    dirs=("$work")
    [ -d "$build/corpus/$t" ] && dirs+=("$build/corpus/$t")
    [ -d "tests/fuzz/seeds/$t" ] && dirs+=("tests/fuzz/seeds/$t")
    before=$(find "$crashes" -type f | wc -l)
    status=0
    nice -n 19 "$exe" "${limits[@]}" -artifact_prefix="$crashes/" "${dirs[@]}" >"$log" 2>&1 || status=$?
    after=$(find "$crashes" -type f | wc -l)
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    stats=$(grep -E '^#[0-9]+.*cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || true)
    cov=$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$stats")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$stats")
    found=$((after - before))
    if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then found=1; fi
    [ "$found" -ne 0 ] && failed=1
    printf '%-28s %12s %6s %7s %8s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$found"
    if [ "$found" -ne 0 ]; then
        grep -E 'broken promise|ERROR:|SUMMARY' "$log" | head -3 | sed 's/^/    /'
        echo "    inputs: $crashes/   log: $log"
    fi
done
exit $failed
