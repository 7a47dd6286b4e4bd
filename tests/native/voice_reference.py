#!/usr/bin/env python3
"""Writes voice_reference_vectors.inc: IMA ADPCM reference data made with
Python's audioop (an independent implementation of the same algorithm).

Run once from this directory: python3 voice_reference.py > voice_reference_vectors.inc
"""
import math
import random
import struct
import warnings

warnings.simplefilter("ignore", DeprecationWarning)
import audioop  # noqa: E402

rng = random.Random(20261208)


def c_array(kind, name, values, per_line=16):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(str(v) for v in values[i:i + per_line]) + ",")
    return "const %s %s[%d] = {\n%s\n};\n" % (kind, name, len(values), "\n".join(lines))


out = ["// Made by voice_reference.py with Python's audioop; do not edit.\n"]

# Decoding: random code bytes, including long runs of large codes that drive
# the step index and the predictor against their limits.
codes = bytes(rng.randrange(256) for _ in range(1500))
codes += bytes([0x77] * 120 + [0xFF] * 40 + [0x77] * 60 + [0x00] * 40)
decoded, _ = audioop.adpcm2lin(codes, 2, None)
out.append(c_array("std::uint8_t", "ref_codes", list(codes)))
out.append(c_array("std::int16_t", "ref_decoded", list(struct.unpack("<%dh" % (len(decoded) // 2), decoded))))

# Encoding: a sweep, noise and full-scale square waves.
samples = []
for i in range(1200):
    samples.append(int(12000 * math.sin(i * i * 0.0005)))
for i in range(800):
    samples.append(rng.randrange(-32768, 32768))
for i in range(400):
    samples.append(32767 if (i // 13) % 2 else -32768)
pcm = struct.pack("<%dh" % len(samples), *samples)
encoded, _ = audioop.lin2adpcm(pcm, 2, None)
out.append(c_array("std::int16_t", "ref_pcm", samples))
out.append(c_array("std::uint8_t", "ref_encoded", list(encoded)))
print("".join(out), end="")
