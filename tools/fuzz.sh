#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-fuzz/) and runs each of them.
#   tools/fuzz.sh            short run for CI: the reader 12 s, cuttree 10 s, each
#                            generator's checks 3 s (about 45 s)
#   tools/fuzz.sh SECONDS [TARGET ...]
#                            every target (or the ones named: reader,
#                            ringforge, ...) for SECONDS; the inputs that add
#                            coverage are merged into fuzz/corpus/<target>
# Each run starts from fuzz/corpus/<target> and the seeds in fuzz/seeds/;
# a finding stops the script with the input saved in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-deps.sh
dir=build-fuzz
CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUNDER_FUZZ=ON \
  -DSUNDER_TESTS=OFF -DSUNDER_BENCH=OFF >/dev/null
cmake --build "$dir" -j 2 --target reader_fuzzer cuttree_fuzzer ringforge_fuzzer motley_fuzzer \
  tanglenet_fuzzer spokerim_fuzzer hubspin_fuzzer twinloop_fuzzer powerlaw_fuzzer
mkdir -p "$dir/artifacts"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# run TARGET SEEDS DICT SECONDS
run() {
  local target=$1 seeds=$2 dict=$3 seconds=$4
  local corpus=fuzz/corpus/$target work="$dir/work/$target"
  rm -rf "$work"
  mkdir -p "$work" "$corpus"
  echo "== $target: $seconds s"
  # Runs on a copy, so that a short run leaves the committed corpus alone.
  local status=0
  "$dir/fuzz/${target}_fuzzer" -dict="$dict" -max_total_time="$seconds" -close_fd_mask=2 \
    -print_final_stats=1 -artifact_prefix="$dir/artifacts/$target-" "$work" "$corpus" "$seeds" \
    >"$dir/work/$target.log" 2>&1 || status=$?
  # The start, the last growth of coverage, the end; a finding's report.
  awk '/INITED|DONE|stat::(number_of|average)/ { print; next }
       /NEW|REDUCE/ { if ($4 != cov) { cov = $4; last = $0 } }
       END { if (last != "") print "last coverage growth: " last }' "$dir/work/$target.log"
  if [ "$status" -ne 0 ]; then
    grep -E "ERROR|SUMMARY|==[0-9]+==|#[0-9]+ " "$dir/work/$target.log" | tail -n 40
    echo "$target: finding, see $dir/artifacts/"
    exit 1
  fi
  if [ "$merge" = 1 ]; then
    local merged="$dir/work/$target.merged"
    rm -rf "$merged" && mkdir -p "$merged"
    "$dir/fuzz/${target}_fuzzer" -merge=1 -close_fd_mask=2 "$merged" "$corpus" "$work" "$seeds" \
      2>&1 | grep -E "MERGE-OUTER: [0-9]+ new files" || true
    rm -rf "$corpus" && mv "$merged" "$corpus"
  fi
}

targets=(reader cuttree ringforge motley tanglenet spokerim hubspin twinloop powerlaw)
if [ $# -ge 1 ]; then
  merge=1; reader=$1; cuttree=$1; each=$1
  shift
  [ $# -eq 0 ] || targets=("$@")
else
  merge=0; reader=12; cuttree=10; each=3
fi
for t in "${targets[@]}"; do
  if [ "$t" = reader ]; then
    run reader fuzz/seeds/reader fuzz/reader.dict "$reader"
  elif [ "$t" = cuttree ]; then
    run cuttree fuzz/seeds/cuttree fuzz/cuttree.dict "$cuttree"
  else
    run "$t" fuzz/seeds/gen_args fuzz/gen_args.dict "$each"
  fi
done
