// scan_count: the arc scans of sunder's cut-tree computation on one instance
// file. Runs the same reader and the same cut-tree loop as sunder (the loop
// draws its sources with the unseeded library generator, so the scans are
// those of a sunder run on the same file) and prints "scans=<total>", the
// sum of the graph's seven edge-scan counters, and "relabels=" and
// "pushes=" for a cross-check against sunder's report.
#include <cinttypes>
#include <cstdio>

#include "graph/graph.h"
#include "solver/solver.h"

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
  buildCutTree(g);
  std::printf("scans=%" PRId64 "\nrelabels=%" PRId64 "\npushes=%" PRId64 "\n",
              totalEdgeScans(g), g->relabels, g->pushes);
  return 0;
}
