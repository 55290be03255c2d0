#!/usr/bin/env python3
"""Writes three short bat recordings with GUANO metadata into FOLDER, for the review window's
picture: frequency-modulated calls over faint noise, as a 384 kHz recorder would keep them.
Usage: scripts/make-example-calls.py FOLDER"""
import math
import os
import random
import struct
import sys

RATE = 384000
SECONDS = 0.6
CALLS = [  # label, start and end of each call in Hz, call length in s, calls every s
    ("Pippip", 90000, 45000, 0.005, 0.09),
    ("Nycnoc", 45000, 20000, 0.012, 0.2),
    ("Myodau", 95000, 30000, 0.003, 0.07),
]


def chunk(name, data):
    return name + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")


def recording(start, end, length, every, seed):
    noise = random.Random(seed)
    samples = []
    for i in range(int(RATE * SECONDS)):
        t = (i / RATE) % every
        value = noise.gauss(0, 0.004)
        if t < length:
            rise = min(1.0, t / 0.0005, (length - t) / 0.0005)
            phase = 2 * math.pi * (start * t + (end - start) * t * t / (2 * length))
            value += 0.5 * rise * math.sin(phase)
        samples.append(max(-32768, min(32767, round(value * 32767))))
    return struct.pack("<%dh" % len(samples), *samples)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for n, (label, start, end, length, every) in enumerate(CALLS):
        stamp = "2012-06-21T22:%02d:10+02:00" % (10 + 7 * n)
        guano = (
            "GUANO|Version:1.0\nMake:Example Acoustics\nModel:Field Recorder 2\n"
            "Timestamp:%s\nLoc Position:49.60 11.05\nSamplerate:%d\nLength:%.1f\n"
            "Species Auto ID:%s\nTemperature Ext:17.5\n" % (stamp, RATE, SECONDS, label)
        ).encode()
        fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
        body = b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"data", recording(start, end, length, every, n))
        body += chunk(b"guan", guano)
        name = "example_20120621_22%02d10.wav" % (10 + 7 * n)
        with open(os.path.join(folder, name), "wb") as out:
            out.write(b"RIFF" + struct.pack("<I", len(body)) + body)


if __name__ == "__main__":
    main()
