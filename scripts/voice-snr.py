#!/usr/bin/env python3
"""The SNR of a converted prompt: the prompt brought to the modem's rate as the
installer does it (kept samples only), against a decoding of its voice file.

  voice-snr.py PROMPT.WAV DECODED.WAV
      DECODED.WAV: voxplay's decoding (its rate is the modem's)
  voice-snr.py --rmd TYPE RATE PROMPT.WAV FILE.VOX [COMPRESSION]
      decodes FILE.VOX's data with pvftools (rmdtopvf, modem TYPE, the header's
      coding as the compression unless COMPRESSION is given: US Robotics GSM
      files carry coding 2 and decode as compression 1) at RATE

  --exact (first): the prompt brought to the rate as VEQWAVE.EXE does it,
      sample j x rate / modem rate exactly, not by the installer's whole
      percentage (11025 x 100 / 7200 = 153 drifts from 1.53125: after a second
      the two are six samples apart)

Prints the whole-file SNR in dB."""
import math
import struct
import subprocess
import sys
import tempfile


def wave(path):
    b = open(path, "rb").read()
    at, rate, bits, data = 12, 0, 0, b""
    while at + 8 <= len(b):
        cid, size = b[at:at + 4], struct.unpack_from("<I", b, at + 4)[0]
        if cid == b"fmt ":
            rate, bits = struct.unpack_from("<I", b, at + 12)[0], struct.unpack_from("<H", b, at + 22)[0]
        elif cid == b"data":
            data = b[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    if bits != 16:
        sys.exit("voice-snr: %s is not 16-bit PCM" % path)
    return rate, list(struct.unpack("<%dh" % (len(data) // 2), data[:len(data) // 2 * 2]))


def to_rate(samples, rate, modem, exact=False):
    if exact:
        num, den = rate, modem
    else:
        num, den = rate * 100 // modem, 100
    if num == den:
        return samples
    out, j = [], 0
    while j * num // den < len(samples):
        out.append(samples[j * num // den])
        j += 1
    return out


def snr(x, y):
    s = sum(v * v for v in x)
    e = sum((x[i] - (y[i] if i < len(y) else 0)) ** 2 for i in range(len(x)))
    return 10 * math.log10(s / max(e, 1))


def main(args):
    exact = bool(args) and args[0] == "--exact"
    if exact:
        args = args[1:]
    if len(args) == 2:
        rate, prompt = wave(args[0])
        modem, decoded = wave(args[1])
    elif len(args) in (5, 6) and args[0] == "--rmd":
        kind, modem, (rate, prompt) = args[1], int(args[2]), wave(args[3])
        vox = open(args[4], "rb").read()
        coding = int(args[5]) if len(args) == 6 else vox[10]
        head = b"RMD1" + kind.encode().ljust(16, b"\0") + struct.pack(">HH", coding, modem) + bytes([coding]) + bytes(7)
        with tempfile.NamedTemporaryFile(suffix=".rmd") as f:
            f.write(head + vox[16:])
            f.flush()
            out = subprocess.run("rmdtopvf '%s' | pvftolin -W -S -I" % f.name, shell=True, capture_output=True,
                                 check=True).stdout
        decoded = list(struct.unpack("<%dh" % (len(out) // 2), out[:len(out) // 2 * 2]))
    else:
        sys.exit(__doc__)
    print("%.1f" % snr(to_rate(prompt, rate, modem, exact), decoded))


if __name__ == "__main__":
    main(sys.argv[1:])
