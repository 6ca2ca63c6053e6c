#!/bin/sh
# Builds the benchmarks in Release and runs them. Extra arguments go to the
# benchmark program, e.g. --benchmark_filter=sparse or
# --benchmark_format=csv.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="${SUNDER_BENCH_BUILD:-$root/build-bench}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSUNDER_BENCH=ON -DSUNDER_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target bench_sunder
exec "$build/bench/bench_sunder" "$@"
