#!/usr/bin/env bash
# The six families at larger sizes: cuttree's default, -j1,
# --no-source-runs and --no-backward-cuts, one run each, the report's build
# time, its arc looks and the engine auto took.
#   bench/family_growth.sh [BUILD_DIR] [SIZES] [LIMIT_SECONDS]
# Defaults: build, "8000 16000", 150. Instances go to a temporary folder.
set -euo pipefail
build=${1:-build}
sizes=${2:-8000 16000}
limit=${3:-150}
gen=$build/generators
cuttree=$build/cuttree/cuttree
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
echo "family n run seconds scans engine"
for n in $sizes; do
  for family in ringforge motley tanglenet spokerim hubspin twinloop; do
    sh "$(dirname "$0")/family_instance.sh" "$gen" "$family" "$n" > "$dir/graph.cut"
    for run in default -j1 no-source-runs no-backward-cuts; do
      flags=()
      [ "$run" = -j1 ] && flags=(-j1)
      [ "$run" = no-source-runs ] && flags=(--no-source-runs)
      [ "$run" = no-backward-cuts ] && flags=(--no-backward-cuts)
      if timeout "$limit" "$cuttree" "${flags[@]}" --report "$dir/graph.cut" > "$dir/out" 2>/dev/null; then
        seconds=$(awk '/^c time:/ {print $3}' "$dir/out")
        scans=$(awk '/^c scans:/ {print $3}' "$dir/out")
        engine=$(awk '/^c engine:/ {print $4}' "$dir/out")
      else
        seconds=">$limit" scans= engine=
      fi
      echo "$family $n $run $seconds $scans $engine"
    done
  done
done
