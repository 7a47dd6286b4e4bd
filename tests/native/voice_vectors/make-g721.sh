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
. "$here/voice-steps.sh"
speech_input 7200 0.4 16000 -16000 15 180 121 "$here/g721_input.s16"
pvf_encode UMC 4 "$here/g721"
python3 - "$here/g721.rmd" "$tmp/codes.au" <<'PY'
import struct, sys
codes = open(sys.argv[1], 'rb').read()[32:]
open(sys.argv[2], 'wb').write(b'.snd' + struct.pack('>IIIII', 24, len(codes), 23, 7200, 1) + codes)
PY
sox -V1 "$tmp/codes.au" -t raw -e signed -b 16 "$here/g721_sox.s16"
