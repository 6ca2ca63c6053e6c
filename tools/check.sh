#!/usr/bin/env bash
# Builds the suite and runs every test.
#   tools/check.sh              optimised build in build/
#   tools/check.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
#   tools/check.sh --threads    ThreadSanitizer build in build-tsan/, the tests
#                               that build trees on several threads
# The sanitizer builds optimise at -O1 with line tables only: a third less
# compile time than RelWithDebInfo's -O2 -g, with stack traces that still
# name files and lines.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
filter=()
targets=()
sanitized="-O1 -g1 -DNDEBUG"
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$sanitized" \
    -DSUNDER_SANITIZE=ON -DSUNDER_BENCH=OFF >/dev/null
elif [ "${1:-}" = "--threads" ]; then
  dir=build-tsan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$sanitized" \
    -DSUNDER_TSAN=ON -DSUNDER_BENCH=OFF >/dev/null
  filter=(-L parallel)
  targets=(--target api_test cuttree_test engines_local_test hostile_test gomory_hu_test)
else
  dir=build
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$dir" -j "$jobs" "${targets[@]}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1}"
ctest --test-dir "$dir" --output-on-failure -j "$jobs" "${filter[@]}"
