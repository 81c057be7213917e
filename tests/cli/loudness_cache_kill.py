#!/usr/bin/env python3
"""The station's loudness cache through a kill -9 in the middle of measuring 100 files: the
database opens whole and every row it holds is right. A changed file is measured again; a
cache file full of garbage is moved aside and rebuilt."""
import json
import os
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
from pathlib import Path

CLI = sys.argv[1]
COUNT = 100


def tones(made: list[tuple[Path, int, float]]) -> None:
    """Each file a tone of its own pitch and level, all from one ffmpeg run."""
    inputs, outputs = [], []
    for n, (path, index, gain) in enumerate(made):
        inputs += ["-f", "lavfi", "-i", f"sine=frequency={200 + 37 * index}:sample_rate=48000:"
                   f"duration=6,volume={gain}dB,aformat=channel_layouts=stereo"]
        outputs += ["-map", str(n), str(path)]
    subprocess.run(["ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", *inputs,
                    *outputs], check=True)


def measure(station: Path, files: list[Path]) -> dict:
    out = subprocess.run([CLI, "loudness", "--json", "--station", str(station), *map(str, files)],
                         check=True, capture_output=True, text=True).stdout
    return {m["file"]: m for m in json.loads(out)}


def rows(cache: Path) -> dict:
    db = sqlite3.connect(cache)
    try:
        if db.execute("PRAGMA integrity_check").fetchone()[0] != "ok":
            raise AssertionError("the cache is damaged")
        return {path.decode(): (lufs, peak) for path, lufs, peak in
                db.execute("SELECT path, integrated_lufs, true_peak_dbtp FROM loudness")}
    finally:
        db.close()


def main() -> int:
    with tempfile.TemporaryDirectory() as work:
        station = Path(work) / "station"
        music = Path(work) / "music"
        station.mkdir()
        music.mkdir()
        files = [music / f"{i:03d}.wav" for i in range(COUNT)]
        for first in range(0, COUNT, 25):
            tones([(files[i], i, -(i % 30)) for i in range(first, first + 25)])
        cache = station / "History" / "loudness.sqlite"

        killed = subprocess.Popen([CLI, "loudness", "--station", str(station), *map(str, files)],
                                  stdout=subprocess.DEVNULL)
        while not cache.exists() and killed.poll() is None:
            time.sleep(0.01)
        time.sleep(0.3)
        if killed.poll() is not None:
            print("FAIL: the measurement ended before the kill")
            return 1
        killed.send_signal(signal.SIGKILL)
        killed.wait()
        kept = rows(cache)
        print(f"{len(kept)} of {COUNT} rows kept through the kill")
        if not kept:
            print("FAIL: nothing was kept before the kill")
            return 1
        # The truth, measured without any cache.
        truth = {m["file"]: m for m in json.loads(subprocess.run(
            [CLI, "loudness", "--json", *map(str, files)], check=True, capture_output=True,
            text=True).stdout)}
        for path, (lufs, peak) in kept.items():
            if (round(lufs, 2) != truth[path]["integrated_lufs"]
                    or round(peak, 2) != truth[path]["true_peak_dbtp"]):
                print(f"FAIL: {path} kept {lufs}, {peak}; measured {truth[path]}")
                return 1

        again = measure(station, files)
        if again != truth or len(rows(cache)) != COUNT:
            print("FAIL: the run after the kill does not end with every file right")
            return 1

        # Louder, the same length: only the size and time tell.
        changed = files[5]
        old = truth[str(changed)]["integrated_lufs"]
        tones([(changed, 5, 6)])
        new = measure(station, [changed])[str(changed)]["integrated_lufs"]
        if abs(new - old - 11) > 0.1:
            print(f"FAIL: the changed file reads {new}, it was {old}")
            return 1

        cache.write_bytes(os.urandom(8192))
        for journal in ("-wal", "-shm"):
            Path(str(cache) + journal).unlink(missing_ok=True)
        if measure(station, files[:3]) != {str(f): truth[str(f)] for f in files[:3]}:
            print("FAIL: measured wrong over a garbage cache")
            return 1
        if len(rows(cache)) != 3 or not Path(str(cache) + ".damaged").exists():
            print("FAIL: the garbage cache was not moved aside and rebuilt")
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
