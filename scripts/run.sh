#!/usr/bin/env bash
# Installs what is needed, builds natively and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target tessaly_demo
./build/linux/demo/tessaly_demo "$@"
