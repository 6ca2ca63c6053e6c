#!/bin/sh
# Runs cut_settings_bench over the six families at the given sizes under a
# fixed list of settings and prints one markdown table: seconds per family
# and setting, with the arc scans in millions. One run per cell; the machine
# is shared, so read the table as ratios within a row.
#   bench/cut_settings_table.sh BUILD_DIR [SIZE...]     (default 1000 2000)
set -eu
build=$1
shift
sizes=${*:-"1000 2000"}
gen=$build/generators
bench=$build/bench/cut_settings_bench
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

instance() {  # family n -> file
  sh "$(dirname "$0")/family_instance.sh" "$gen" "$1" "$2" > "$dir/$1-$2.txt"
  echo "$dir/$1-$2.txt"
}

settings="exact|--start-update|--factor 1|--factor 0.5|--factor 4|--start-update --factor 1"
printf '| instance |'
echo "$settings" | tr '|' '\n' | while read -r s; do printf ' %s |' "${s:-exact}"; done
printf '\n|---|'
echo "$settings" | tr '|' '\n' | while read -r s; do printf -- '---|'; done
printf '\n'
for n in $sizes; do
  for family in ringforge motley tanglenet spokerim hubspin twinloop; do
    file=$(instance "$family" "$n")
    printf '| %s %s |' "$family" "$n"
    echo "$settings" | tr '|' '\n' | while read -r s; do
      [ "$s" = exact ] && s=""
      # shellcheck disable=SC2086
      "$bench" "$file" $s | awk '{ printf " %.2f s, %.0f M scans |", $6, $12 / 1e6 }'
    done
    printf '\n'
  done
done
