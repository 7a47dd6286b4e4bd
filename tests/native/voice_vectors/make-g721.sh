#!/bin/sh
# Makes the G.721 vectors with pvftools' encoder and decoder (Debian's
# mgetty-pvftools, espeak-ng and sox): a short spoken piece at 7200 Hz, peak
# -3 dBFS, then a square wave at half scale and silence (at full scale pvftormd's
# arithmetic overflows where its own decoder's does not);
#   g721_input.s16   the samples (16-bit little-endian),
#   g721.rmd         pvftormd UMC 4 (32-byte header, then the codes),
#   g721.s16         rmdtopvf | pvftolin of that file,
#   g721_sox.s16     sox's decoding of the same codes as a Sun .au file (encoding 23).
# Run from anywhere; writes beside this script.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
espeak-ng -w "$tmp/speech.wav" "Please leave your message after the tone."
sox -D "$tmp/speech.wav" -r 7200 -b 16 -c 1 -e signed "$tmp/speech.raw" norm -3 trim 0.35 0.4
python3 - "$tmp/speech.raw" "$here/g721_input.s16" <<'PY'
import struct, sys
speech = open(sys.argv[1], 'rb').read()
tail = [16000 if (i // 15) % 2 == 0 else -16000 for i in range(180)] + [0] * 121
open(sys.argv[2], 'wb').write(speech + struct.pack('<%dh' % len(tail), *tail))
PY
sox -t raw -r 7200 -e signed -b 16 -c 1 "$here/g721_input.s16" "$tmp/input.wav"
wavtopvf "$tmp/input.wav" "$tmp/input.pvf"
pvftormd UMC 4 "$tmp/input.pvf" "$here/g721.rmd"
rmdtopvf "$here/g721.rmd" | pvftolin -W -S -I > "$here/g721.s16"
python3 - "$here/g721.rmd" "$tmp/codes.au" <<'PY'
import struct, sys
codes = open(sys.argv[1], 'rb').read()[32:]
open(sys.argv[2], 'wb').write(b'.snd' + struct.pack('>IIIII', 24, len(codes), 23, 7200, 1) + codes)
PY
sox -V1 "$tmp/codes.au" -t raw -e signed -b 16 "$here/g721_sox.s16"
