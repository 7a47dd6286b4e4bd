#!/usr/bin/env python3
"""Writes the demo set's voice prompts: short 8000 Hz 16-bit mono PCM tones.

The WAV files beside this script were made with it; run it again to remake them.
"""
import math
import os
import struct
import wave

RATE = 8000
PROMPTS = {
    # name: list of (frequency in Hz, milliseconds)
    "GREETING.WAV": [(440, 120), (554, 120)],
    "MENU.WAV": [(523, 80), (659, 80), (784, 80)],
    "GOODBYE.WAV": [(554, 120), (440, 160)],
    "RINGING.WAV": [(425, 200)],
    "PHONE.WAV": [(350, 100), (440, 100)],
}


def tone(freq, ms):
    n = RATE * ms // 1000
    return [int(9000 * math.sin(2 * math.pi * freq * i / RATE) * min(1, i / 80, (n - i) / 80)) for i in range(n)]


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "txt")
    for name, parts in PROMPTS.items():
        samples = [s for f, ms in parts for s in tone(f, ms)]
        with wave.open(os.path.join(here, name), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(struct.pack("<%dh" % len(samples), *samples))


if __name__ == "__main__":
    main()
