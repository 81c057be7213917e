#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for FUZZ_SECONDS
# (60 by default) from its seed inputs in fuzz/corpus/<target>/. New inputs go to a scratch
# folder; a finding fails the run and leaves its input in build-fuzz/findings/.
# Usage: scripts/fuzz.sh [TARGET...]   (every target when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVANO_BUILD_FUZZ=ON \
    -DPELVANO_BUILD_GUI=OFF -DPELVANO_BUILD_TESTS=OFF -DPELVANO_BUILD_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for src in fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
    scratch=$(mktemp -d)
    seeds=fuzz/corpus/$target
    mkdir -p "$seeds"
    echo "== $target: $seconds s"
    log=build-fuzz/findings/$target.log
    set +e
    ASAN_OPTIONS=detect_leaks=1 "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" "$scratch" "$seeds" >"$log" 2>&1
    status=$?
    set -e
    grep -E '^(stat::number_of_executed_units|stat::new_units_added|SUMMARY|Test unit written)' "$log" || true
    rm -rf "$scratch"
    [ "$status" = 0 ] || { echo "$target found a fault (input in build-fuzz/findings/)"; exit 1; }
done
