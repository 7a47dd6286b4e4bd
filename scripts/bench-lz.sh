#!/bin/bash
# Compares mkmedia's LZ storage with Debian's mscompress on a mixed corpus made
# from files that every Debian machine has: licence texts, the C library and
# the shell, gzip'd changelogs, C headers, a generated noisy 8 kHz WAV, a tiny
# and an empty file. Both run in this one run on the same files (each the
# best of BENCH_RUNS timed runs, files read and written); every output of ours
# is expanded with msexpand and compared with its original.
#
#   scripts/bench-lz.sh            builds szddpack (release) in build/release
#   SZDDPACK=path scripts/bench-lz.sh   measures another build of it
#   BENCH_RUNS=5 scripts/bench-lz.sh    more timed runs of each
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
RUNS=${BENCH_RUNS:-3}
command -v mscompress > /dev/null && command -v msexpand > /dev/null ||
    { echo "bench-lz: needs mscompress and msexpand (apt-get install mscompress)" >&2; exit 1; }

if [ -z "${SZDDPACK:-}" ]; then
    cmake -S "$ROOT" -B "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release > /dev/null
    cmake --build "$ROOT/build/release" --target szddpack -j2 > /dev/null
    SZDDPACK=$ROOT/build/release/tools/mkmedia/szddpack
fi

WORK=$(mktemp -d /tmp/bench-lzXXXXXX)
trap 'rm -rf "$WORK"' EXIT
C=$WORK/corpus
mkdir -p "$C"

# The corpus; the first word of a name is its class.
for f in /usr/share/common-licenses/*; do
    [ -f "$f" ] && [ ! -L "$f" ] && cp "$f" "$C/text-$(basename "$f")"
done
libc=$(ldd /bin/sh | awk '/libc\.so/ {print $3}')
cp "$(readlink -f "$libc")" "$C/binary-libc.so.6"
cp "$(readlink -f /bin/bash)" "$C/binary-bash"
# The largest gzip'd changelogs, up to about 1.5 MB.
total=0
while read -r size path; do
    [ $((total + size)) -gt 1500000 ] && continue
    cp "$path" "$C/gzip-$(basename "$(dirname "$path")").gz"
    total=$((total + size))
done < <(find /usr/share/doc -name changelog.Debian.gz -type f -printf '%s %p\n' 2>/dev/null | sort -k1,1nr -k2)
for f in /usr/include/*.h; do [ -f "$f" ] && cp "$f" "$C/header-$(basename "$f")"; done
python3 - "$C/wave-tone.wav" <<'PY'
import math, random, struct, sys
random.seed(8000)
rate, seconds = 8000, 60
samples = bytearray()
for i in range(rate * seconds):
    v = 9000 * math.sin(2 * math.pi * 440 * i / rate) + random.gauss(0, 1500)
    samples += struct.pack('<h', max(-32768, min(32767, int(v))))
head = b'RIFF' + struct.pack('<I', 36 + len(samples)) + b'WAVEfmt ' + struct.pack('<IHHIIHH', 16, 1, 1, rate, rate * 2, 2, 16)
open(sys.argv[1], 'wb').write(head + b'data' + struct.pack('<I', len(samples)) + samples)
PY
printf 'abcd' > "$C/tiny-4"
: > "$C/tiny-0"

now() { date +%s.%N; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# Timed runs, alternating: ours into a fresh directory, mscompress on a fresh
# copy (it writes NAME_ beside each file).
ours_t="" ms_t=""
for run in $(seq 1 "$RUNS"); do
    rm -rf "$WORK/ours" "$WORK/ms" && mkdir "$WORK/ours" && cp -r "$C" "$WORK/ms"
    sync
    t0=$(now)
    "$SZDDPACK" "$WORK/ours" "$C"/* > "$WORK/ours.lst"
    t1=$(now)
    (cd "$WORK/ms" && mscompress * > /dev/null 2>&1)
    t2=$(now)
    ours_t=$(best "$ours_t" "$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")
    ms_t=$(best "$ms_t" "$(awk -v a="$t1" -v b="$t2" 'BEGIN { print b - a }')")
done

# Every file of ours back to its original.
bad=0
while IFS=$'\t' read -r kind expanded stored name; do
    if [ "$kind" = lz ]; then
        msexpand < "$WORK/ours/$name" > "$WORK/back" 2> /dev/null || { echo "msexpand refused $name" >&2; bad=1; continue; }
    else
        cp "$WORK/ours/$name" "$WORK/back"
    fi
    cmp -s "$WORK/back" "$C/$name" || { echo "$name does not expand to its original" >&2; bad=1; }
done < "$WORK/ours.lst"

# The table: per class, input, ours and mscompress's output.
{
    for f in "$C"/*; do
        n=$(basename "$f")
        printf '%s\t%s\t%s\n' "${n%%-*}" "$(stat -c %s "$f")" "$(stat -c %s "$WORK/ms/${n}_")"
    done
} > "$WORK/sizes"
awk -F'\t' -v ours_t="$ours_t" -v ms_t="$ms_t" -v cores="$(nproc)" -v runs="$RUNS" '
    FNR == NR { split($4, parts, "-"); cls = parts[1]; o[cls] += $3; plain[cls] += ($1 == "plain"); next }
    { if (!($1 in files)) name[++k] = $1; files[$1]++; in_[$1] += $2; m[$1] += $3 }
    END {
        printf "%-8s %6s %11s %11s %7s %11s %7s %9s\n", "class", "files", "input", "mkmedia", "ratio", "mscompress", "ratio", "mk/ms"
        for (i = 1; i <= k; i++) {
            c = name[i]; ti += in_[c]; to += o[c]; tm += m[c]; tf += files[c]
            printf "%-8s %6d %11d %11d %7.3f %11d %7.3f %9.3f   (%d plain)\n", c, files[c], in_[c], o[c],
                in_[c] ? o[c] / in_[c] : 0, m[c], in_[c] ? m[c] / in_[c] : 0, m[c] ? o[c] / m[c] : 0, plain[c]
        }
        printf "%-8s %6d %11d %11d %7.3f %11d %7.3f %9.3f\n", "total", tf, ti, to, to / ti, tm, tm / ti, to / tm
        printf "time: mkmedia %.3f s, mscompress %.3f s (best of %d runs each, %d cores): mkmedia %.1f times as fast\n",
            ours_t, ms_t, runs, cores, ms_t / ours_t
        printf "size: mkmedia %.3f of mscompress\n", to / tm
    }
' "$WORK/ours.lst" "$WORK/sizes"
[ "$bad" = 0 ] && echo "every file of mkmedia expands with msexpand to its original" || { echo "bench-lz: round trip FAILED" >&2; exit 1; }
