#!/bin/sh
# Makes the ZyXEL ADPCM vectors with pvftools' encoder and decoder (Debian's
# mgetty-pvftools, espeak-ng and sox): a short spoken piece at 9600 Hz, peak
# -3 dBFS, then a full-scale square wave and silence;
#   zyxel_input.s16   the samples (16-bit little-endian),
#   zyxel_<b>.rmd     pvftormd "ZyXEL 2864" <b>, b = 2, 3, 4 (32-byte header, then the codes),
#   zyxel_<b>.s16     rmdtopvf | pvftolin of that file;
#   zyxel_reset.rmd   a 4-bit stream no encoder sends: code 0 (the modem's
#                     reset) and steps that grow past 32 bits,
#   zyxel_reset.s16   rmdtopvf | pvftolin of that file.
# Run from anywhere; writes beside this script.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/voice-steps.sh"
speech_input 9600 0.25 32767 -32768 20 240 161 "$here/zyxel_input.s16"
for b in 2 3 4; do
    pvf_encode "ZyXEL 2864" $b "$here/zyxel_$b"
done
python3 - "$here/zyxel_reset.rmd" <<'PY'
import struct, sys
codes = bytes([0x77] * 3 + [0x70, 0x07, 0x00] + [0x77] * 30 + [0xFF] * 4 + [0x08, 0x80] + [0xFF] * 30 + [0x13, 0x9A, 0x00, 0x5C])
header = b'RMD1' + b'ZyXEL 2864'.ljust(16, b'\0') + struct.pack('>HHB', 4, 9600, 4) + bytes(7)
open(sys.argv[1], 'wb').write(header + codes)
PY
pvf_decode "$here/zyxel_reset"
