#!/usr/bin/env bash
# Installs what is needed, builds natively and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target tessaly_demo
# The demo saves its calendar pictures in the folder it runs in.
cd build/linux && ./demo/tessaly_demo "$@"
