// scan_count: the arc scans and the tree of sunder's cut-tree computation on
// one instance file. Runs the same reader and the same cut-tree loop as
// sunder (the loop draws its sources with the unseeded library generator, so
// counters and tree are those of a sunder run on the same file) and prints
// "scans=<total>", the sum of the graph's seven edge-scan counters,
// "relabels=" and "pushes=" as sunder's report has them, then
// "weights=<count>" and one line "w <weight>" per tree edge in increasing
// order, which the benchmark compares with the peers' trees.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "graph/graph.h"
#include "lib/engines/solver_engine.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: scan_count INSTANCE\n");
    return 2;
  }
  FILE *input = std::fopen(argv[1], "r");
  if (input == nullptr) {
    std::fprintf(stderr, "scan_count: cannot open %s\n", argv[1]);
    return 1;
  }
  graph *g = dimacsParse(input);
  std::fclose(input);
  copyArcs(g);
  initContracted(g);
  tree *t = runCutLoop(g);
  std::printf("scans=%" PRId64 "\nrelabels=%" PRId64 "\npushes=%" PRId64 "\n",
              totalEdgeScans(g), g->relabels, g->pushes);
  std::vector<int64_t> weights;
  for (int32_t p = 1; p < g->n; p++) weights.push_back(t[p].weight);
  std::sort(weights.begin(), weights.end());
  std::printf("weights=%zu\n", weights.size());
  for (int64_t w : weights) std::printf("w %" PRId64 "\n", w);
  return 0;
}
