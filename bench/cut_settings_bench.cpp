// Time and counters of whole cut trees built under given s-t settings, for
// comparing the levers of cutSettings per family. Each tree is built by the
// Gusfield driver (the cut-tree loop's order of sources) on the solver's
// engine under the settings; every computation after the first tells it the
// lists are compacted, as the cut-tree loop knows.
//
//   cut_settings_bench FILE [--start-update] [--factor F]
//
// prints one line: the settings, seconds (steady clock around the tree
// computation), relabels, pushes, the total of the arc-scan counters, and
// the sum of the tree's weights (the same for every correct tree).
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "graph/graph.h"
#include "lib/driver/gusfield.h"
#include "solver/solver.h"
#include "lib/engines/solver_engine.h"

namespace {

int64_t buildTree(graph *g, const cutSettings &settings) {
  allocateStorage(g);
  SolverEngine engine(g, settings);
  sunder::detail::GusfieldRun run = sunder::detail::startRun(g->n);
  sunder::detail::DriverOptions options;
  options.engine = &engine;
  sunder::detail::runGusfield(run, options);
  int64_t sum = 0;
  for (int32_t p = 1; p < g->n; p++) sum += run.records[p].weight;
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
