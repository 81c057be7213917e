#!/usr/bin/env bash
# Builds the engine tests (audio core, playout and platform adapters) under AddressSanitizer + UBSan and
# under ThreadSanitizer (CMakePresets.json) and runs them. Any report fails the run. Under
# ThreadSanitizer the station on a JACK server (real audio callback, refill and UI threads) runs
# too, with the suppressions of scripts/tsan.supp.
# Usage: scripts/test-sanitizers.sh [asan] [tsan]   (both when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(asan tsan)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp"
for preset in "${presets[@]}"; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2
    tests=(test_core_audio test_core_playout test_platform test_core_stream test_stream)
    if [ "$preset" = tsan ]; then
        cmake --build --preset "$preset" --target test_jack -j2
        tests+=(test_jack)
    fi
    for test in "${tests[@]}"; do
        "build-$preset/tests/$test" --gtest_brief=1
    done
done
