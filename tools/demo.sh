#!/usr/bin/env bash
# Builds the suite and runs the main job: a generated instance piped into the
# solver. Arguments, if any, replace the generator command line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target sunder >/dev/null
build/solver/sunder < examples/four.cut
