#!/usr/bin/env python3
"""Every shell block of the docs fenced as ```bash example runs as shown: each in its own bash
(-e, -u, pipefail) in an empty working folder, with the build's pelvano-cli first on PATH and a
fresh demo station in $STATION. A block that exits non-zero fails the test.

usage: run_examples.py SOURCE-DIR PELVANO-CLI
"""
import glob
import os
import re
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^```bash example[ \t]*\n(.*?)^```[ \t]*$", re.S | re.M)


def examples(source_dir):
    pages = [os.path.join(source_dir, "README.md")]
    pages += sorted(glob.glob(os.path.join(source_dir, "docs", "*.md")))
    for page in pages:
        text = open(page, encoding="utf-8").read()
        for match in FENCE.finditer(text):
            line = text.count("\n", 0, match.start()) + 1
            yield os.path.relpath(page, source_dir), line, match.group(1)


def main(source_dir, cli):
    cli = os.path.abspath(cli)
    failures = 0
    count = 0
    for page, line, code in examples(source_dir):
        count += 1
        with tempfile.TemporaryDirectory() as work:
            station = os.path.join(work, "station")
            # The build's pelvano-cli takes the sounds from the demo station the build generated.
            subprocess.run([cli, "demo", "init", station], check=True, stdout=subprocess.DEVNULL)
            cwd = os.path.join(work, "cwd")
            os.mkdir(cwd)
            env = dict(os.environ, STATION=station, PELVANO_OUTPUT="null", QT_QPA_PLATFORM="offscreen",
                       PATH=os.path.dirname(cli) + os.pathsep + os.environ.get("PATH", ""))
            try:
                result = subprocess.run(["bash", "-euo", "pipefail", "-c", code], cwd=cwd, env=env,
                                        capture_output=True, text=True, timeout=120)
                status, output = result.returncode, result.stdout + result.stderr
            except subprocess.TimeoutExpired:
                status, output = "timeout", ""
            if status != 0:
                failures += 1
                print(f"{page}:{line}: example failed ({status}):\n{code}{output}")
    print(f"{count} examples, {failures} failed")
    return 1 if failures or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
