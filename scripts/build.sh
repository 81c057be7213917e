#!/usr/bin/env bash
# Configures and builds Pelvano into build/ (warnings are errors for our own code).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVANO_WERROR=ON "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
