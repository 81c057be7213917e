#!/usr/bin/env bash
# Builds Pelvano and runs the whole test suite (unit, engine, playout, widget tests), then the
# engine tests again under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
# The engine tests under AddressSanitizer + UBSan (ThreadSanitizer: scripts/test-sanitizers.sh tsan).
scripts/test-sanitizers.sh asan
