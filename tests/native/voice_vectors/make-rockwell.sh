#!/usr/bin/env bash
# Makes the Rockwell ADPCM test vectors with pvftools (Debian's mgetty-pvftools):
#   rockwell_input.raw   2400 samples, 16-bit little-endian, 7200 Hz: a voiced
#                        sound (two formants over a 120 Hz pulse train, gliding)
#                        with a noise burst, peak about -6 dBFS; made here, seeded
#   rockwell_<b>.rmd     pvftormd's encoding at b = 2, 3, 4 bits (32-byte RMD header)
#   rockwell_<b>.dec     rmdtopvf's decoding of it, 16-bit little-endian
# Run from anywhere; writes beside itself.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for t in pvftormd rmdtopvf lintopvf pvftolin python3; do
  command -v "$t" >/dev/null || { echo "make-rockwell: needs $t (apt-get install mgetty-pvftools)" >&2; exit 1; }
done
python3 - "$here/rockwell_input.raw" <<'PY'
import math, random, struct, sys
random.seed(7200)
rate, n = 7200, 2400
out = []
phase1 = phase2 = 0.0
for i in range(n):
    t = i / rate
    f0 = 120 + 40 * t                       # a gliding pitch
    pulse = 1.0 if (i % int(rate / f0)) == 0 else 0.0
    env = math.sin(math.pi * i / n) ** 0.5
    phase1 += 2 * math.pi * (700 + 300 * t) / rate
    phase2 += 2 * math.pi * (1800 - 400 * t) / rate
    v = 9000 * env * (math.sin(phase1) + 0.5 * math.sin(phase2)) * (0.6 + 0.4 * pulse)
    if 1500 <= i < 1800:                    # a fricative
        v += random.gauss(0, 2500)
    out.append(max(-32768, min(32767, int(round(v)))))
open(sys.argv[1], "wb").write(struct.pack("<%dh" % n, *out))
PY
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
lintopvf -W -S -I -s 7200 "$here/rockwell_input.raw" "$tmp/in.pvf"
for b in 2 3 4; do
  pvftormd Rockwell "$b" "$tmp/in.pvf" "$here/rockwell_$b.rmd"
  rmdtopvf "$here/rockwell_$b.rmd" | pvftolin -W -S -I >"$here/rockwell_$b.dec"
done
