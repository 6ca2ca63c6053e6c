#!/usr/bin/env bash
# cuttree's default on one thread against two, on the peer benchmark's
# n = 2,000 instances (seed 1), alternating, median of REPEATS runs
# (default 3): the times and the speed-up of -j 2.
#   bench/thread_scaling.sh BIN_DIR [REPEATS]
# where BIN_DIR holds cuttree and the generators.
set -euo pipefail
bin=$1 repeats=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mapfile -t instances < <(grep -v "^#" "$(dirname "$0")/instances-2000.txt")
seconds() { "$bin/cuttree" --report --no-progress "$@" | awk '/^c time:/ {print $3}'; }
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
printf "| instance | -j 1 (s) | -j 2 (s) | speed-up |\n|---|---|---|---|\n"
for command in "${instances[@]}"; do
  set -- $command
  "$bin/$1" "${@:2}" > "$work/i.cut"
  : > "$work/one"; : > "$work/two"
  for ((r = 0; r < repeats; r++)); do
    seconds -j1 "$work/i.cut" >> "$work/one"
    seconds -j2 "$work/i.cut" >> "$work/two"
  done
  one=$(median < "$work/one") two=$(median < "$work/two")
  printf "| %s | %.3f | %.3f | %.2f |\n" "$command" "$one" "$two" "$(echo "$one / $two" | bc -l)"
done
