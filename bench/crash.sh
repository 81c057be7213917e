#!/usr/bin/env bash
# The crash harness's long run: the writer of settings, schedules, lyrics, tags and MP3 lists
# killed at random moments, 1,200 times by default. Prints the kills, the damaged files and the
# leftovers.
# Usage: bench/crash.sh [BUILD_DIR] [KILLS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
exec bash tests/crash/crash_harness.sh "$build/tests/crash/pelvano-crash-writer" "${2:-1200}"
