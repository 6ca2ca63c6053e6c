// The solver's s-t computation as a cut engine of the Gusfield driver, on a
// graph prepared for cut computations (arcs copied, spare pools linked,
// working storage allocated) that the caller owns.
#ifndef SOLVER_SOLVER_ENGINE_H
#define SOLVER_SOLVER_ENGINE_H

#include "lib/driver/cut_engine.h"
#include "solver/solver.h"

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

#endif
