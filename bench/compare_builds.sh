#!/usr/bin/env bash
# Times cuttree of two builds side by side on the peer benchmark's n = 2,000
# instances (seed 1): the default and --engine push-relabel, each run alternating
# between the builds, median of REPEATS runs (default 3), and prints a table
# of the times and their ratio (new / old). Both builds must give the same
# sorted tree weights; a difference is reported.
#   bench/compare_builds.sh OLD_BIN_DIR NEW_BIN_DIR [REPEATS]
# where each directory holds cuttree and the six generators.
set -euo pipefail
old=$1 new=$2 repeats=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mapfile -t instances < <(grep -v "^#" "$(dirname "$0")/instances-2000.txt")
seconds() {  # seconds of one cuttree run, from its report
  "$@" --report --no-progress | awk '/^c time:/ {print $3}'
}
weights() {
  "$@" --no-progress | awk '/^t / {print $4}' | sort -n | md5sum
}
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
printf "| instance | mode | old (s) | new (s) | new / old |\n|---|---|---|---|---|\n"
for command in "${instances[@]}"; do
  set -- $command
  "$new/$1" "${@:2}" > "$work/i.cut"
  for mode in default exact; do
    extra=()
    [ "$mode" = exact ] && extra=(--engine push-relabel)
    if [ "$(weights "$old/cuttree" "$work/i.cut" "${extra[@]}")" != "$(weights "$new/cuttree" "$work/i.cut" "${extra[@]}")" ]; then
      echo "| $command | $mode | trees differ |"
      continue
    fi
    : > "$work/old" ; : > "$work/new"
    for ((r = 0; r < repeats; r++)); do
      seconds "$old/cuttree" "$work/i.cut" "${extra[@]}" >> "$work/old"
      seconds "$new/cuttree" "$work/i.cut" "${extra[@]}" >> "$work/new"
    done
    o=$(median < "$work/old") n=$(median < "$work/new")
    printf "| %s | %s | %.3f | %.3f | %.2f |\n" "$command" "$mode" "$o" "$n" "$(echo "$n / $o" | bc -l)"
  done
done
