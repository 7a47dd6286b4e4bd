#!/bin/sh
# Makes the GSM 06.10 reference vectors with libgsm's toast and untoast
# (Debian libgsm-tools), used here only as black boxes; the speech comes from
# espeak-ng and sox. Run from anywhere on a little-endian machine (toast -l
# reads and writes 16-bit samples in host order):
#   sh tests/native/voice_vectors/gsm_vectors.sh
#
# gsm_speech.s16  40 frames of speech, 8000 Hz, peak -3 dBFS
# gsm_edge.s16    40 frames of the hard cases: silence, full-scale square waves
#                 (-32768/32767), full-scale noise, steps, impulses, tiny noise,
#                 a loud sweep
# *.gsm           toast's frames of each (33 bytes, signature nibble 0xD)
# *.dec           untoast's samples from those frames
# gsm_random.gsm  20 frames of random bytes (signature 0xD), lags outside
#                 40..120 included, and gsm_random.dec, untoast's samples
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

espeak-ng -w "$tmp/speech.wav" "Please leave your message after the tone."
sox -D "$tmp/speech.wav" -r 8000 -b 16 -e signed -t raw "$tmp/speech.raw" norm -3
head -c $((40 * 320)) "$tmp/speech.raw" > gsm_speech.s16

python3 - <<'PY'
import math, random, struct
rng = random.Random(20261210)
x = []
x += [0] * 800                                                        # silence
x += [32767 if (i // 20) % 2 else -32768 for i in range(800)]       # 200 Hz square
x += [32767 if (i // 3) % 2 else -32768 for i in range(800)]        # 1333 Hz square
x += [rng.randrange(-32768, 32768) for _ in range(800)]             # full-scale noise
x += [-32768] * 480 + [32767] * 480 + [0] * 320                     # steps
x += [32767 if i % 97 == 0 else 0 for i in range(800)]              # impulses
x += [rng.randrange(-8, 9) for _ in range(320)]                     # tiny noise
x += [int(32767 * math.sin(2 * math.pi * (60 + i * 0.9) * i / 8000)) for i in range(800)]  # sweep
assert len(x) == 40 * 160
open("gsm_edge.s16", "wb").write(struct.pack("<%dh" % len(x), *x))
frames = bytearray(rng.randrange(256) for _ in range(20 * 33))
for i in range(0, len(frames), 33):
    frames[i] = 0xD0 | (frames[i] & 15)
open("gsm_random.gsm", "wb").write(bytes(frames))
PY

for v in speech edge; do
    toast -l -c gsm_$v.s16 > gsm_$v.gsm
    untoast -l -c gsm_$v.gsm > gsm_$v.dec
done
untoast -l -c gsm_random.gsm > gsm_random.dec
