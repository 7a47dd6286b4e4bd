#!/bin/bash
# The voice compressor libraries against pvftools' own encoders, on speech.
# A spoken prompt (espeak-ng, peak -3 dBFS, 11025 Hz as the prompts ship) is
# brought to each family's rate as the installer does (kept samples only, no
# filter), coded by the library's coder in the vendor's blocks (sbencode,
# release build), decoded by pvftools (rmdtopvf) and compared with the samples
# fed in; pvftools' encoder (pvftormd) codes the same samples for comparison,
# for GSM libgsm's toast (decoded by untoast), whose frames pvftools reads too.
# The GSM rows' SNR is rmdtopvf's; the row after them decodes the same frames
# with untoast.
#
#   scripts/bench-voice.sh              builds sbencode (release) in build/release
#   SBENCODE=path scripts/bench-voice.sh   measures another build of it
#   BENCH_TEXT='...' scripts/bench-voice.sh   another prompt
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
for t in espeak-ng sox lintopvf pvftormd rmdtopvf pvftolin toast untoast python3; do
    command -v "$t" > /dev/null || { echo "bench-voice: needs $t (scripts/setup.sh installs it)" >&2; exit 1; }
done
if [ -z "${SBENCODE:-}" ]; then
    cmake -S "$ROOT" -B "$ROOT/build/release" -DCMAKE_BUILD_TYPE=Release > /dev/null
    cmake --build "$ROOT/build/release" --target sbencode -j2 > /dev/null
    SBENCODE=$ROOT/build/release/tools/voxplay/sbencode
fi
W=$(mktemp -d /tmp/bench-voiceXXXXXX)
[ -n "${BENCH_KEEP:-}" ] || trap 'rm -rf "$W"' EXIT
TEXT=${BENCH_TEXT:-"Thank you for calling. Nobody can take your call at the moment. Please leave your name, your number and a short message after the tone, and we will call you back as soon as we can."}
espeak-ng -w "$W/speech.wav" "$TEXT"
sox -D "$W/speech.wav" -r 11025 -b 16 -e signed -c 1 "$W/prompt.s16" gain -n -3

# The installer's rate step: output sample j is input sample j x ratio / 100,
# ratio = 11025 x 100 / modem rate.
to_rate() {  # rate out
    python3 - "$W/prompt.s16" "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
rate = int(sys.argv[2])
ratio = 11025 * 100 // rate
n = len(data) // 2
out = bytearray()
j = 0
while j * ratio // 100 < n:
    i = j * ratio // 100
    out += data[2 * i:2 * i + 2]
    j += 1
open(sys.argv[3], "wb").write(out)
PY
}

rmd() {  # type compression rate data out
    python3 - "$@" <<'PY'
import struct, sys
kind, comp, rate, data, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], sys.argv[5]
head = b"RMD1" + kind.encode().ljust(16, b"\0") + struct.pack(">HH", comp, rate) + bytes([comp]) + bytes(7)
open(out, "wb").write(head + open(data, "rb").read())
PY
}

snr() {  # reference decoded
    python3 - "$1" "$2" <<'PY'
import math, struct, sys
a = open(sys.argv[1], "rb").read(); b = open(sys.argv[2], "rb").read()
x = struct.unpack("<%dh" % (len(a) // 2), a); y = struct.unpack("<%dh" % (len(b) // 2), b)
s = sum(v * v for v in x)
e = sum((x[i] - (y[i] if i < len(y) else 0)) ** 2 for i in range(len(x)))
print("%.1f" % (10 * math.log10(s / max(e, 1))))
PY
}

# Our US Robotics frames as bare 33-byte frames with libgsm's signature nibble.
bare_gsm() {  # framed-or-bare in out
    python3 - "$1" "$2" <<'PY'
import sys
d = open(sys.argv[1], "rb").read()
size = 38 if d[:2] in (b"\xfe\xfe", b"\xb6\xb6") else 33
at = 2 if size == 38 else 0
out = bytearray()
for i in range(0, len(d) - size + 1, size):
    f = bytearray(d[i + at:i + at + 33])
    f[0] = 0xD0 | (f[0] & 15)
    out += f
open(sys.argv[2], "wb").write(out)
PY
}

printf '%-26s %-7s %8s %9s %13s %10s\n' family coding bytes 'our SNR' "reference SNR" samples/s
# One row per family: library, family, coding, rate, block (bytes), start flag,
# pvftools' modem type and compression. A row starting with # is left out.
while IFS='|' read -r lib family coding rate block flag kind comp; do
    [[ -z "$lib" || $lib == \#* ]] && continue
    in=$W/in-$rate.s16
    [ -f "$in" ] || to_rate "$rate" "$in"
    read -r _ _ bytes _ speed _ < <("$SBENCODE" "$family" "$coding" "$block" "$flag" "$in" "$W/ours.bin")
    rmd "$kind" "$comp" "$rate" "$W/ours.bin" "$W/ours.rmd"
    rmdtopvf "$W/ours.rmd" | pvftolin -W -S -I > "$W/ours.dec"
    if [ "$family" = gsm ]; then
        toast -l -c "$in" > "$W/ref.gsm"
        untoast -l -c "$W/ref.gsm" > "$W/ref.dec"
    else
        # pvftormd takes Rockwell data at 7200 Hz only: the 8000 Hz rows are
        # given to it labelled 7200 (the coding does not depend on the rate).
        lintopvf -W -S -I -s "$rate" "$in" "$W/in.pvf"
        if ! pvftormd "$kind" "$comp" "$W/in.pvf" "$W/ref.rmd" 2>/dev/null; then
            lintopvf -W -S -I -s 7200 "$in" "$W/in.pvf"
            pvftormd "$kind" "$comp" "$W/in.pvf" "$W/ref.rmd"
        fi
        rmdtopvf "$W/ref.rmd" | pvftolin -W -S -I > "$W/ref.dec"
    fi
    ref=$(snr "$in" "$W/ref.dec")
    printf '%-26s %-7s %8d %9s %13s %10s\n' "$lib $family" "$coding" "$bytes" "$(snr "$in" "$W/ours.dec")" \
        "$ref" "$speed"
    if [ "$family" = gsm ]; then
        bare_gsm "$W/ours.bin" "$W/ours.gsm"
        untoast -l -c "$W/ours.gsm" > "$W/ours.dec"
        printf '%-26s %-7s %8s %9s %13s %10s\n' "  the same, by untoast" "" "" "$(snr "$in" "$W/ours.dec")" "$ref" ""
    fi
done <<'ROWS'
VEQSB95.ROC|rockwell|4|7200|48|0|Rockwell|4
VEQSB95.ROC|rockwell|3|7200|48|0|Rockwell|3
VEQSB95.ROC|rockwell|2|7200|48|0|Rockwell|2
VEQSB95.PCT|rockwell|4|8000|48|0|Rockwell|4
VEQSBV.DLL|rockwell|4|8000|48|1|Rockwell|4
VEQSB95.ZYX|zyxel|4|9600|2040|0|ZyXEL 2864|4
VEQSB95.ZYX|zyxel|3|9600|2040|0|ZyXEL 2864|3
VEQSB95.ZYX|zyxel|2|9600|2040|0|ZyXEL 2864|2
VEQSB95.UMC|g721|4|7200|48|0|UMC|4
VEQSB95.USR|gsm|2|8000|320|0|US Robotics|1
VEQSB95.USR|gsm|2|8000|320|1|US Robotics|1
ROWS
