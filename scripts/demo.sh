#!/usr/bin/env bash
# Installs the dependencies, builds Pelvano and runs the demo station.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build/tools/cli/pelvano-cli schedule estimate "build/demo-station/节目表.JMB"
