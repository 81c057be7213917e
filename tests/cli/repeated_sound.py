#!/usr/bin/env python3
"""Prints how many seconds of a 16-bit WAV recording repeat sound heard before them.

Each non-silent second is looked for, by its first 100 ms, in everything recorded before it:
a channel that replays its ring shows as an exact copy of earlier samples.
"""
import sys
import wave


def repeated_seconds(path):
    with wave.open(path, "rb") as w:
        frame_bytes = w.getsampwidth() * w.getnchannels()
        second = w.getframerate() * frame_bytes
        data = w.readframes(w.getnframes())
    probe = second // 10 - (second // 10) % frame_bytes
    silence = bytes(probe)
    repeats = 0
    for start in range(second, len(data) - probe, second):
        piece = data[start:start + probe]
        if piece == silence:
            continue
        if data.find(piece, 0, start + probe - 1) != -1:
            repeats += 1
    return repeats


if __name__ == "__main__":
    print(repeated_seconds(sys.argv[1]))
