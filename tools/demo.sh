#!/usr/bin/env bash
# Builds the suite and runs the main job: a generated instance through the
# solver (its report), then the cut tree of the same instance and two answers
# read off it. Arguments, if any, replace the generator command line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
jobs=$(nproc 2>/dev/null || echo 2)
cmake --build build -j "$jobs" --target sunder cuttree ringforge motley tanglenet spokerim \
  hubspin twinloop powerlaw >/dev/null
# The Python module, when the build found pybind11 and the Python headers.
if [[ "$(cmake --build build --target help)" == *sunder_python* ]]; then
  cmake --build build -j "$jobs" --target sunder_python >/dev/null
fi
if [ $# -eq 0 ]; then
  set -- ringforge 2000 -m10000
fi
instance=$(mktemp --suffix=.cut)
trap 'rm -f "$instance"' EXIT
"build/generators/$1" "${@:2}" > "$instance"
echo "+ $* | sunder" >&2
build/sunder/sunder < "$instance"

# The cut tree answers any minimum-cut question; two of them, in words.
first=$(awk '/^a / {print $2; exit}' "$instance")
last=$(awk '/^p / {print $3}' "$instance")
echo "+ cuttree --query $first $last --mincut" >&2
build/cuttree/cuttree --no-progress --query "$first" "$last" --mincut "$instance" | awk -v n="$last" '
  /^q / { printf "The minimum cut between nodes %s and %s has capacity %s.\n", $2, $3, $4 }
  /^m / { value = $2; count = $3; next }
  /^n / && count > 0 { side = side (side == "" ? "" : ", ") $2; shown++ }
  END {
    if (shown > 8) side = shown " nodes";
    printf "The smallest cut of the whole graph has capacity %s: it cuts off %s.\n", value, side
  }'
