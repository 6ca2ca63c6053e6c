#!/usr/bin/env bash
# Installs the build into a fresh prefix, then builds examples/library
# against that prefix alone (CMake package and pkg-config) and checks that
# its tree of a generated instance is the one cuttree builds, and that
# cuttree's independent check passes on that instance.
#   check_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in include/sunder/sunder.h include/sunder/graph.h lib/libsunder.a \
         lib/cmake/sunder/sunderConfig.cmake lib/pkgconfig/sunder.pc bin/cuttree; do
  [ -e "$prefix/$f" ] || [ -e "$prefix/${f/lib\//lib64/}" ] || { echo "not installed: $f"; exit 1; }
done
ls "$prefix"/lib*/libsunder.so.* >/dev/null || { echo "no versioned shared library"; exit 1; }

cmake -S "$source/examples/library" -B "$work/example" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/example" >/dev/null

"$prefix/bin/ringforge" 80 -m300 -s5 > "$work/r.cut"
"$work/example/tree_of" "$work/r.cut" > "$work/tree_of.txt"
"$prefix/bin/cuttree" -j1 "$work/r.cut" | grep '^t ' > "$work/cuttree.txt"
cmp "$work/tree_of.txt" "$work/cuttree.txt"
[ "$(wc -l < "$work/tree_of.txt")" -eq 79 ] || { echo "expected 79 tree edges"; exit 1; }
"$prefix/bin/cuttree" --check=500 "$work/r.cut" >/dev/null

# The README's example, worked by hand: triangle 10-20-30 (3, 2, 4) and the
# bridge 30-40 (5); {20} is a cut of 5, {10, 20} one of 6.
printf '20 - 10: 5\n30 - 10: 6\n40 - 30: 5\nmin cut between 10 and 40: 5\n' |
  cmp - <("$work/example/edges_in")

# The same program built with pkg-config alone, linked statically.
if command -v pkg-config >/dev/null; then
  export PKG_CONFIG_PATH=$(dirname "$(ls "$prefix"/lib*/pkgconfig/sunder.pc)")
  c++ -std=c++17 "$source/examples/library/tree_of.cpp" -o "$work/tree_of_pc" \
    $(pkg-config --cflags sunder) -Wl,-Bstatic $(pkg-config --libs sunder) -Wl,-Bdynamic -pthread
  "$work/tree_of_pc" "$work/r.cut" | cmp - "$work/tree_of.txt"
fi
echo "installed package: headers, libraries, CMake package and sunder.pc work"
