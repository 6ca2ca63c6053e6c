// Time and counters of whole cut trees built under given s-t settings, for
// comparing the levers of cutSettings per family. Each tree takes the
// sources in the cut-tree loop's order (the unseeded library generator) and
// is built by Gusfield's step on minimumCutWith; every computation after the
// first tells it the lists are compacted, as the cut-tree loop knows.
//
//   cut_settings_bench FILE [--start-update] [--factor F]
//
// prints one line: the settings, seconds (steady clock around the tree
// computation), relabels, pushes, the total of the arc-scan counters, and
// the sum of the tree's weights (the same for every correct tree).
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "graph/graph.h"
#include "solver/gusfield.h"
#include "solver/solver.h"

namespace {

// The loop's draw: position i takes the node at a random position j >= i.
void drawSource(tree *t, int32_t i, int32_t n) {
  int32_t j = i + rand() % (n - i);
  std::swap(t[i].id, t[j].id);
  std::swap(t[i].parent, t[j].parent);
  std::swap(t[i].weight, t[j].weight);
  t[t[i].id].pos = i;
  t[t[j].id].pos = j;
}

int64_t buildTree(graph *g, cutSettings settings) {
  const int32_t n = g->n;
  tree *t = createTree(n);
  allocateStorage(g);
  for (int32_t i = 1; i < n; i++) {
    drawSource(t, i, n);
    int32_t s = t[i].id, sink = t[i].parent;
    int64_t cut = minimumCutWith(g, s, sink, &settings);
    settings.listsCompacted = true;  // the first computation compacted them
    const node *nodes = g->nodes;
    gusfieldStep(t, n, [nodes](int32_t k) { return nodes[k].side; }, s, sink, cut);
  }
  int64_t sum = 0;
  for (int32_t p = 1; p < n; p++) sum += t[p].weight;
  free(t);
  return sum;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s FILE [--start-update] [--factor F]\n", argv[0]);
    return 2;
  }
  cutSettings settings;
  for (int k = 2; k < argc; k++) {
    if (strcmp(argv[k], "--start-update") == 0) {
      settings.startWithGlobalUpdate = true;
    } else if (strcmp(argv[k], "--factor") == 0 && k + 1 < argc) {
      settings.updateFactor = atof(argv[++k]);
    } else {
      fprintf(stderr, "unknown option %s\n", argv[k]);
      return 2;
    }
  }
  FILE *input = fopen(argv[1], "r");
  if (input == nullptr) {
    perror(argv[1]);
    return 1;
  }
  graph *g = dimacsParse(input);
  fclose(input);
  copyArcs(g);
  initContracted(g);
  auto start = std::chrono::steady_clock::now();
  int64_t weights = buildTree(g, settings);
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  printf("start-update %d factor %g seconds %.3f relabels %" PRId64 " pushes %" PRId64
         " scans %" PRId64 " weights %" PRId64 "\n",
         settings.startWithGlobalUpdate ? 1 : 0, settings.updateFactor, seconds, g->relabels,
         g->pushes, totalEdgeScans(g), weights);
  return 0;
}
