#!/usr/bin/env bash
# Installs the dependencies, builds Pelvano and opens the player on the demo station (closing
# the player ends it). Without a display it says so and runs the same station headless until
# Ctrl-C. Without a sound card it plays on the null output, paced by the real clock.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cli=build/tools/cli/pelvano-cli
if [ -z "${PELVANO_OUTPUT:-}" ] && [ "$("$cli" devices 2>/dev/null | wc -l)" -lt 2 ]; then
    echo "no sound card: the demo station plays on the null output (PELVANO_OUTPUT=null)"
    export PELVANO_OUTPUT=null
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/src/gui/pelvano build/demo-station
fi
echo "no display (DISPLAY and WAYLAND_DISPLAY unset): running the demo station headless with pelvano-cli run"
exec "$cli" run build/demo-station
