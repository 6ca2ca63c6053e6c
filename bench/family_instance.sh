#!/bin/sh
# One instance of the six families with the benchmarks' parameters, on
# standard output: bench/family_instance.sh GENERATORS_DIR FAMILY N
set -eu
gen=$1
case $2 in
  ringforge) "$gen/ringforge" "$3" -m$(($3 * 5)) ;;
  motley) "$gen/motley" "$3" 3 100 ;;
  tanglenet) "$gen/tanglenet" "$3" 0.5 10 50 ;;
  spokerim) "$gen/spokerim" "$3" -r100 ;;
  hubspin) "$gen/hubspin" "$3" -r100 ;;
  twinloop) "$gen/twinloop" "$3" ;;
  *) echo "family_instance: unknown family $2" >&2; exit 2 ;;
esac
