#!/usr/bin/env python3
"""Where a recording's first sound comes from: which source file, and how far into it.

The mix of one item at full volume is the item's own samples, so a stretch of the recording
taken after the fade-in is found byte for byte in its source (a stretch within a cross-fade is
not: later stretches are tried). Prints, for the first sound of the recording: the source's
name, the offset into it in milliseconds (as if that source played from the first sound on),
and the level of its first 50 ms relative to the level of the stretch found (a fade-in from
-34 dB shows well below 1).

usage: recorded_position.py RECORDING SOURCE.wav...
"""
import math
import os
import struct
import sys
import wave

# Past the 1 s fade-in, then later ones in case the first fall in a cross-fade.
PROBE_AFTER_S = (1.5, 1.05, 2.2, 3.0)
PROBE_FRAMES = 441   # 10 ms


def pcm(path):
    with wave.open(path, "rb") as w:
        return w.getframerate(), w.getnchannels() * w.getsampwidth(), w.readframes(w.getnframes())


def rms(data):
    count = len(data) // 2
    if count == 0:
        return 0.0
    samples = struct.unpack("<%dh" % count, data[: count * 2])
    return math.sqrt(sum(s * s for s in samples) / count)


def first_sound_frame(data, frame_bytes, start_frame=0):
    silence = bytes(frame_bytes)
    for i in range(start_frame * frame_bytes, len(data) - frame_bytes + 1, frame_bytes):
        if data[i:i + frame_bytes] != silence:
            return i // frame_bytes
    return None


def locate(recording, sources, start_frame=0):
    """(source path, offset ms into it at the probe, probe ms after the first sound, fade ratio)
    or None."""
    rate, frame_bytes, data = pcm(recording)
    first = first_sound_frame(data, frame_bytes, start_frame)
    if first is None:
        return None
    sources = [(source, pcm(source)) for source in sources]
    for after in PROBE_AFTER_S:
        probe_frame = first + int(after * rate)
        probe = data[probe_frame * frame_bytes:(probe_frame + PROBE_FRAMES) * frame_bytes]
        if len(probe) < PROBE_FRAMES * frame_bytes:
            continue
        for source, (_, source_frame_bytes, source_data) in sources:
            at = source_data.find(probe)
            while at >= 0 and at % source_frame_bytes:
                at = source_data.find(probe, at + 1)
            if at < 0:
                continue
            head = data[first * frame_bytes:(first + rate // 20) * frame_bytes]
            ratio = rms(head) / max(rms(probe), 1.0)
            return (source, at // source_frame_bytes * 1000.0 / rate,
                    (probe_frame - first) * 1000.0 / rate, ratio)
    return None


if __name__ == "__main__":
    found = locate(sys.argv[1], sys.argv[2:])
    if found is None:
        print("none")
    else:
        print("%s %.1f %.3f" % (os.path.basename(found[0]), found[1] - found[2], found[3]))
