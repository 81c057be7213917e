#!/usr/bin/env bash
# Installs the dependencies, builds Pelvano and runs the demo station in real time (Ctrl-C
# closes it). Without a sound card it plays on the null output, paced by the real clock.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cli=build/tools/cli/pelvano-cli
if [ -z "${PELVANO_OUTPUT:-}" ] && [ "$("$cli" devices 2>/dev/null | wc -l)" -lt 2 ]; then
    echo "no sound card: the demo station plays on the null output (PELVANO_OUTPUT=null)"
    export PELVANO_OUTPUT=null
fi
exec "$cli" run build/demo-station
