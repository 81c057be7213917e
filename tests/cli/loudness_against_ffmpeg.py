#!/usr/bin/env python3
"""pelvano-cli loudness against ffmpeg's own EBU R128 filter: tones and noise at several
loudnesses, with 3 s of silence at each end, as WAV and MP3. Integrated loudness within 0.1 LU,
true peak within 0.2 dB, cue points at the edges of the silence."""
import json
import re
import subprocess
import sys
import tempfile
from pathlib import Path

CLI = sys.argv[1]
SILENCE = 3.0
SOUND = 8.0

# (name, lavfi source of the sound, gain in dB, container)
CASES = [
    ("tone_loud", "sine=frequency=997:sample_rate=48000", 14, "wav"),
    ("tone_mid", "sine=frequency=440:sample_rate=44100", 0, "mp3"),
    ("noise_mid", "anoisesrc=color=pink:sample_rate=48000:amplitude=0.5:seed=7", -6, "wav"),
    ("noise_quiet", "anoisesrc=color=white:sample_rate=44100:amplitude=0.3:seed=3", -22, "mp3"),
    ("chord_stereo", "aevalsrc=0.3*sin(2*PI*220*t)|0.2*sin(2*PI*330*t):s=48000", -3, "wav"),
]


def generate(folder: Path, name: str, source: str, gain: int, container: str) -> Path:
    out = folder / f"{name}.{container}"
    rate = re.search(r"(?:sample_rate|s)=(\d+)", source).group(1)
    graph = (f"{source},atrim=0:{SOUND},aformat=channel_layouts=stereo,volume={gain}dB,"
             f"adelay={int(SILENCE * 1000)}:all=1,apad=pad_dur={SILENCE}")
    codec = ["-c:a", "libmp3lame", "-b:a", "192k"] if container == "mp3" else ["-c:a", "pcm_f32le"]
    subprocess.run(["ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi",
                    "-i", graph, "-ar", rate, *codec, str(out)], check=True)
    return out


def reference(path: Path) -> tuple[float, float]:
    """ffmpeg's integrated loudness (from its metadata, three places) and true peak (summary)."""
    run = subprocess.run(["ffmpeg", "-nostdin", "-hide_banner", "-nostats", "-i", str(path), "-af",
                          "ebur128=peak=true:metadata=1,ametadata=mode=print:file=-",
                          "-f", "null", "-"], check=True, capture_output=True, text=True)
    integrated = float(re.findall(r"lavfi\.r128\.I=(-?[\d.]+)", run.stdout)[-1])
    peak = float(re.findall(r"Peak:\s+(-?[\d.]+|-inf) dBFS", run.stderr)[-1])
    return integrated, peak


def main() -> int:
    failures = []
    with tempfile.TemporaryDirectory() as work:
        folder = Path(work)
        files = [generate(folder, *case) for case in CASES]
        out = subprocess.run([CLI, "loudness", *map(str, files), "--json"], check=True,
                             capture_output=True, text=True, cwd=work)
        measured = {Path(m["file"]).name: m for m in json.loads(out.stdout)}
        text = subprocess.run([CLI, "loudness", str(files[0])], check=True, capture_output=True,
                              text=True, cwd=work).stdout
        if "LUFS" not in text or "dBTP" not in text:
            failures.append(f"the text output lacks its units: {text!r}")
        for path in files:
            m = measured[path.name]
            integrated, peak = reference(path)
            print(f"{path.name}: ours I={m['integrated_lufs']} TP={m['true_peak_dbtp']} "
                  f"cue {m['cue_in_s']}-{m['cue_out_s']}; ffmpeg I={integrated} TP={peak}")
            if abs(m["integrated_lufs"] - integrated) > 0.1:
                failures.append(f"{path.name}: integrated {m['integrated_lufs']} vs {integrated}")
            if abs(m["true_peak_dbtp"] - peak) > 0.2:
                failures.append(f"{path.name}: true peak {m['true_peak_dbtp']} vs {peak}")
            # A window of 10 ms, and an MP3 frame's smear at the edges.
            if abs(m["cue_in_s"] - SILENCE) > 0.03:
                failures.append(f"{path.name}: cue-in {m['cue_in_s']}")
            if abs(m["cue_out_s"] - (SILENCE + SOUND)) > 0.03:
                failures.append(f"{path.name}: cue-out {m['cue_out_s']}")
            if not 0 <= m["lra_lu"] < 30:
                failures.append(f"{path.name}: loudness range {m['lra_lu']}")
        # Undecodable input: the other files are still measured; the status says one failed.
        (folder / "broken.mp3").write_bytes(b"not audio at all")
        bad = subprocess.run([CLI, "loudness", str(folder / "broken.mp3"), str(files[1])],
                             capture_output=True, text=True, cwd=work)
        if bad.returncode != 1 or files[1].name not in bad.stdout or "broken.mp3" not in bad.stderr:
            failures.append(f"broken file: status {bad.returncode}, {bad.stdout!r} {bad.stderr!r}")
        if subprocess.run([CLI, "loudness"], capture_output=True).returncode != 2:
            failures.append("no FILE must be a usage error")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
