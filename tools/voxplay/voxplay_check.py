#!/usr/bin/env python3
"""Checks voxplay on small voice files: header fields, families and rate
defaults, the 8-bit expander with both polarities, Rockwell ADPCM against
pvftools' decoding of the committed vectors, and refusals.
Usage: voxplay_check.py <voxplay> <tests/native/voice_vectors>"""
import os
import struct
import subprocess
import sys
import tempfile

voxplay = sys.argv[1]
vectors = sys.argv[2]
failures = []


def header(tag, coding):
    return tag.encode() + bytes([2, 0, 0, 0, 0, coding, 0, 0, 0, 0, 0])


def run(args):
    return subprocess.run([voxplay] + args, capture_output=True).returncode


def wave(path):
    b = open(path, "rb").read()
    rate = struct.unpack_from("<I", b, 24)[0]
    bits = struct.unpack_from("<H", b, 34)[0]
    size = struct.unpack_from("<I", b, 40)[0]
    return rate, bits, list(struct.unpack_from("<%dh" % (size // 2), b, 44))


def check(what, got, expected):
    if got != expected:
        failures.append("%s: got %r, expected %r" % (what, got, expected))


with tempfile.TemporaryDirectory() as d:
    vox, wav = os.path.join(d, "P.VOX"), os.path.join(d, "P.WAV")
    open(vox, "wb").write(header("SIERR", 8) + bytes([0x00, 0x7F, 0xFF, 0x19]))
    check("sierra exit", run([vox, wav]), 0)
    check("sierra", wave(wav), (8000, 16, [0, 8064, -8064, 102]))

    open(vox, "wb").write(header("AT&T ", 8) + bytes([0x7F, 0x00, 0x80]))
    check("att exit", run([vox, wav]), 0)
    check("att", wave(wav), (8000, 16, [0, 8064, -8064]))

    open(vox, "wb").write(header("ZyXEL", 4) + bytes([0x77, 0x77, 0x77]))
    check("zyxel exit", run([vox, wav]), 0)
    check("zyxel", wave(wav), (9600, 16, [11, 41, 104, 240, 533, 1164]))

    open(vox, "wb").write(header("ROCK ", 2) + bytes([0x55]))
    check("rock exit", run(["-r", "8000", vox, wav]), 0)
    rate, bits, s = wave(wav)
    check("rock rate and count", (rate, len(s)), (8000, 4))
    open(vox, "wb").write(header("ROCK ", 3) + bytes([1, 2, 3]))
    check("rock 3-bit exit", run([vox, wav]), 0)
    rate, bits, s = wave(wav)
    check("rock 3-bit: 24 bits are 8 codes at 7200 Hz", (rate, len(s)), (7200, 8))

    # The Rockwell stream as pvftools' rmdtopvf decodes it, sample for sample.
    for b in (2, 3, 4):
        rmd = open(os.path.join(vectors, "rockwell_%d.rmd" % b), "rb").read()
        dec = open(os.path.join(vectors, "rockwell_%d.dec" % b), "rb").read()
        open(vox, "wb").write(header("ROCK ", b) + rmd[32:])
        check("rockwell %d exit" % b, run([vox, wav]), 0)
        rate, bits, s = wave(wav)
        expected = list(struct.unpack("<%dh" % (len(dec) // 2), dec))
        first = next((i for i in range(min(len(s), len(expected))) if s[i] != expected[i]), None)
        check("rockwell %d: samples, first difference" % b, (len(s), first), (len(expected), None))
        # -f overrides the tag: the IMA family has no 3-bit coding.
        check("rockwell %d read as ima" % b, run(["-f", "ima", vox, wav]) == 0, b != 3)

    open(vox, "wb").write(header("ROCK ", 5) + bytes([1]))
    check("coding 5 refused", run([vox, wav]) != 0, True)
    open(vox, "wb").write(header("ROCK ", 4) + bytes([1]))
    check("unknown family refused", run(["-f", "alaw", vox, wav]) != 0, True)
    open(vox, "wb").write(b"RIFF")
    check("no header refused", run([vox, wav]) != 0, True)
    check("missing file refused", run([os.path.join(d, "NONE.VOX"), wav]) != 0, True)

for f in failures:
    print(f)
sys.exit(1 if failures else 0)
