#!/bin/sh
# Times two cuttree binaries side by side (paths and trees, one thread) on
# heavy-tailed graphs made by heavy_tail_graphs.py, with the scans line of
# --report. Usage: local_cuts.sh OLD_CUTTREE NEW_CUTTREE [DIR]
set -e
old=$1 new=$2 dir=${3:-/tmp/heavy_tail}
here=$(dirname "$0")
mkdir -p "$dir"
[ -f "$dir/pa.dimacs" ] || python3 "$here/heavy_tail_graphs.py" pa 20000 "$dir/pa.dimacs"
[ -f "$dir/pa_w.dimacs" ] || python3 "$here/heavy_tail_graphs.py" pa 20000 "$dir/pa_w.dimacs" --maxcap 5 --seed 2
[ -f "$dir/tree.dimacs" ] || python3 "$here/heavy_tail_graphs.py" tree 20000 "$dir/tree.dimacs" --maxcap 3
printf '%-12s %-6s %-4s %10s %14s\n' graph engine bin seconds scans
for g in pa pa_w tree; do
  for e in paths trees; do
    for b in old new; do
      eval bin=\$$b
      out=$("$bin" --engine $e -j1 --report --format dimacs "$dir/$g.dimacs")
      secs=$(echo "$out" | sed -n 's/^c time: *//p')
      scans=$(echo "$out" | sed -n 's/^c scans: *//p')
      printf '%-12s %-6s %-4s %10.2f %14s\n' $g $e $b "$secs" "$scans"
    done
  done
done
