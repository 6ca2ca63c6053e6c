#!/usr/bin/env bash
# Builds the suite and runs every test.
#   tools/check.sh              optimised build in build/
#   tools/check.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUNDER_SANITIZE=ON -DSUNDER_BENCH=OFF >/dev/null
else
  dir=build
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$dir" -j "$jobs"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1}"
ctest --test-dir "$dir" --output-on-failure -j "$jobs"
