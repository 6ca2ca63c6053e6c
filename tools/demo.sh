#!/usr/bin/env bash
# Builds the suite and runs the main job: a generated instance piped into the
# solver. Arguments, if any, replace the generator command line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target sunder cuttree ringforge motley tanglenet spokerim hubspin twinloop >/dev/null
if [ $# -eq 0 ]; then
  set -- ringforge 2000 -m10000
fi
echo "+ $* | sunder" >&2
"build/generators/$1" "${@:2}" | build/solver/sunder
