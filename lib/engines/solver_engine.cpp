// The solver's cut-tree loop: Gusfield's method over n - 1 s-t computations,
// each on the whole graph from scratch, in the order of sources the driver
// draws as the unseeded library generator draws them, with the solver as
// the driver's engine.
#include "lib/engines/solver_engine.h"

#include <algorithm>
#include <vector>

#include "lib/driver/gusfield.h"

tree *runCutLoop(graph *g) {
  tree *t = createTree(g->n);
  allocateStorage(g);
  SolverEngine engine(g);
  sunder::detail::GusfieldRun run = sunder::detail::startRun(g->n);
  sunder::detail::DriverOptions options;
  options.engine = &engine;
  options.clock = [] { return static_cast<double>(timer()); };
  sunder::detail::runGusfield(run, options);
  std::copy(run.records.begin(), run.records.end(), t);
  g->calcTime = static_cast<float>(run.calcSeconds);
  g->manipTime = static_cast<float>(run.manipSeconds);
  return t;
}

tree *computeCuts(graph *g) {
  tree *t = runCutLoop(g);
  printSummary(g);
  return t;
}

SolverEngine::SolverEngine(graph *g, const cutSettings &settings) : g_(g), settings_(settings) {}

int64_t SolverEngine::cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) {
  settings_.scanLimit = scanLimit;
  int64_t value = minimumCutWith(g_, s, t, &settings_);
  // The first computation compacted the lists; later ones need not.
  settings_.listsCompacted = true;
  if (value < 0) return -1;  // past the scan limit
  side.resize(static_cast<size_t>(g_->n));
  for (int32_t k = 0; k < g_->n; k++) side[k] = static_cast<uint8_t>(g_->nodes[k].side);
  return value;
}

sunder::detail::Counters SolverEngine::counters() const {
  sunder::detail::Counters c;
  c.relabels = g_->relabels;
  c.pushes = g_->pushes;
  c.scans = totalEdgeScans(g_);
  return c;
}
