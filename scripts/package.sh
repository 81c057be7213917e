#!/usr/bin/env bash
# Makes the Debian package from the build that scripts/build.sh made (BUILD_DIR, default build/):
# CPack installs that build into a staging folder and packs it. CPack does not build, so the
# build is brought up to date first (nothing to do right after scripts/build.sh).
# Prints the package's absolute path.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/CPackConfig.cmake" ]; then
    echo "no configured build in $BUILD_DIR: run scripts/build.sh first" >&2
    exit 1
fi
cmake --build "$BUILD_DIR" >/dev/null
out="$BUILD_DIR/package"
rm -f "$out"/pelvano_*.deb
(cd "$BUILD_DIR" && cpack -G DEB -B "$PWD/package" >package.log 2>&1) || { cat "$BUILD_DIR/package.log" >&2; exit 1; }
readlink -f "$out"/pelvano_*.deb
