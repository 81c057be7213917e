#!/usr/bin/env bash
# Runs the engine tests (audio, playout, platform adapters) under AddressSanitizer + UBSan, then
# builds Pelvano and runs the whole test suite (unit, engine, playout, widget, CLI tests, the docs'
# examples, and the Debian package made from the build: installed and removed again when root).
# ThreadSanitizer: scripts/test-sanitizers.sh tsan.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
scripts/test-sanitizers.sh asan
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE long
