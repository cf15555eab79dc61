#!/usr/bin/env bash
# The main job on the bundled example: what the demo package's setup reads from install.cfg.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset release -G Ninja -DTOVIN_BENCH=OFF >/dev/null
cmake --build --preset release --target tovin
./build/release/tools/tovin config examples/demo
