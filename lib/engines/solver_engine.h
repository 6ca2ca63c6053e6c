// The solver's records run by the generic driver: its s-t computation as a
// cut engine of the Gusfield driver, and the solver's cut-tree loop over
// that engine. The solver itself knows nothing of the driver; this adapter
// sits above both, so the program sunder keeps the solver's records, its
// counters and its report byte for byte.
#ifndef SUNDER_ENGINES_SOLVER_ENGINE_H
#define SUNDER_ENGINES_SOLVER_ENGINE_H

#include "lib/driver/cut_engine.h"
#include "solver/solver.h"

// On a graph prepared for cut computations (arcs copied, spare pools
// linked, working storage allocated) that the caller owns.

class SolverEngine : public sunder::detail::CutEngine {
 public:
  explicit SolverEngine(graph *g, const cutSettings &settings = cutSettings());
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) override;
  // Relabels, pushes and the arc scans of the graph's counters.
  sunder::detail::Counters counters() const override;

 private:
  graph *g_;
  cutSettings settings_;
};

// The cut-tree loop: n - 1 s-t computations and Gusfield's tree update,
// printing nothing, through the Gusfield driver with this graph's solver as
// the engine; it allocates the working storage once (exhausted memory: a
// message on standard error naming the container, status 1). The times are
// sums of timer() readings. Returns the finished tree: for every position p
// in 1 ... n - 1, (id[p], parent[p]) is a tree edge of weight weight[p].
tree *runCutLoop(graph *g);

// runCutLoop, then the solver's seven summary lines (printSummary).
tree *computeCuts(graph *g);

#endif
