#!/usr/bin/env bash
# The README's ways of running a program linked with the shared library of
# an install in a prefix of its own: built by CMake it carries a RUNPATH to
# PREFIX/lib and runs as it is; linked with pkg-config it needs
# LD_LIBRARY_PATH or -Wl,-rpath, and without either it cannot start (unless
# another libsunder.so.1 is on the system's library path). Each run must
# print the README's tree of examples/library/edges_in.cpp, worked out by
# hand: triangle 10-20-30 (3, 2, 4) and the bridge 30-40 (5); {20} is a cut
# of 5, {10, 20} one of 6. Exit status 77 (skipped) without pkg-config.
#   check_runtime.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
command -v pkg-config >/dev/null || { echo "library_runtime skipped: no pkg-config"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(ls "$prefix"/lib*/libsunder.so.1)")
printf '20 - 10: 5\n30 - 10: 6\n40 - 30: 5\nmin cut between 10 and 40: 5\n' > "$work/expected"

# CMake: the RUNPATH to the prefix's library directory, and a plain run.
cmake -S "$source/examples/library" -B "$work/example" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/example" --target edges_in >/dev/null
dynamic=$(readelf -d "$work/example/edges_in")
grep -E 'R(UN)?PATH' <<< "$dynamic" | grep -qF "$libdir" ||
  { echo "$dynamic"; echo "the CMake-built program has no RUNPATH to $libdir"; exit 1; }
env -u LD_LIBRARY_PATH "$work/example/edges_in" | cmp - "$work/expected"

# pkg-config: the shared library, found only when told where.
export PKG_CONFIG_PATH=$libdir/pkgconfig
c++ -std=c++17 "$source/examples/library/edges_in.cpp" -o "$work/edges_pc" $(pkg-config --cflags --libs sunder)
if ! /sbin/ldconfig -p 2>/dev/null | grep -q 'libsunder\.so\.1 '; then
  status=0
  env -u LD_LIBRARY_PATH "$work/edges_pc" > /dev/null 2> "$work/err" || status=$?
  [ "$status" -eq 127 ] && grep -q 'libsunder\.so\.1' "$work/err" ||
    { cat "$work/err"; echo "the pkg-config program ran without being told where libsunder.so.1 is (status $status)"; exit 1; }
fi
LD_LIBRARY_PATH=$libdir "$work/edges_pc" | cmp - "$work/expected"
c++ -std=c++17 "$source/examples/library/edges_in.cpp" -o "$work/edges_rpath" $(pkg-config --cflags --libs sunder) \
  -Wl,-rpath,"$(pkg-config --variable=libdir sunder)"
env -u LD_LIBRARY_PATH "$work/edges_rpath" | cmp - "$work/expected"
echo "library at run time: CMake's RUNPATH, LD_LIBRARY_PATH and -Wl,-rpath work"
