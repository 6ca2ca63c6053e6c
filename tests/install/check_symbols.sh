#!/usr/bin/env bash
# The shared library exports the sunder:: API and nothing else: every
# dynamic symbol it defines is a name in sunder:: (or the type information
# and virtual table of a sunder:: class), none in sunder::detail, and a
# program with its own timer, tree, compact and stack links and runs with it.
#   check_symbols.sh LIBSUNDER_SO INCLUDE_DIR CXX
set -euo pipefail
lib=$1 include=$2 cxx=$3
names=$(nm -D -C --defined-only "$lib" | cut -d' ' -f3-)
outside=$(grep -Ev '^(sunder::|typeinfo for sunder::|typeinfo name for sunder::|vtable for sunder::)' <<<"$names" || true)
detail=$(grep -E 'sunder::detail::' <<<"$names" || true)
status=0
if [ -n "$outside" ]; then echo "exported outside sunder::"; echo "$outside"; status=1; fi
if [ -n "$detail" ]; then echo "exported from sunder::detail"; echo "$detail"; status=1; fi
for want in 'sunder::buildCutTree(sunder::Graph const&, sunder::BuildOptions const&)' \
            'sunder::Graph::addEdge(long, long, long)' 'typeinfo for sunder::Error'; do
  grep -qxF "$want" <<<"$names" || { echo "not exported: $want"; status=1; }
done

# A program whose own global names are those of the solver's records and
# routines inside the library.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/clash.cpp" <<'CPP'
#include <cstdio>
#include "sunder/sunder.h"
struct tree { int leaves; };
tree *createTree(int n) { static tree t{n}; return &t; }
float timer() { return 42.0f; }
int compact = 7, stack = 8, relabel = 9;
int main() {
  sunder::Graph g;
  g.addEdge(1, 2, 3);
  g.addEdge(2, 3, 1);
  sunder::CutTree t = sunder::buildCutTree(g);
  std::printf("%g %d %d %d %d %lld\n", timer(), createTree(5)->leaves, compact, stack, relabel,
              static_cast<long long>(t.minCutValue(1, 3)));
  try {
    t.minCutValue(1, 99);
  } catch (const sunder::Error &e) {
    std::printf("caught: %s\n", e.what());
  }
}
CPP
"$cxx" -std=c++17 -I"$include" "$work/clash.cpp" -o "$work/clash" "$lib" -Wl,-rpath,"$(dirname "$lib")"
got=$("$work/clash")
want=$'42 5 7 8 9 1\ncaught: node 99 is not in the tree'
if [ "$got" != "$want" ]; then
  echo "the program with its own names printed:"; echo "$got"; echo "instead of:"; echo "$want"
  status=1
fi
exit $status
