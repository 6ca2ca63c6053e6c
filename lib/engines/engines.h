// The engines that find one minimum s-t cut for the Gusfield driver, each
// on its own copy of a graph (so every worker thread owns one):
//   Exact    the solver's push-relabel computation, with its counters;
//   Relabel  the same with a global update at the start of each cut;
//   Paths    blocking flows along shortest augmenting paths (paths.h);
//   Trees    two search trees kept between augmentations (trees.h).
#ifndef SUNDER_ENGINES_ENGINES_H
#define SUNDER_ENGINES_ENGINES_H

#include <memory>

#include "lib/driver/cut_engine.h"
#include "sunder/cut_tree.h"
#include "sunder/graph.h"

namespace sunder::detail {

struct EngineSettings {
  // Relabel: a global update follows the relabel that makes the relabels
  // since the last one exceed this many times the awake nodes.
  double updateFactor = 2.0;
};

// A new engine of the given kind (not Auto) on its own copy of the graph.
// Error when memory runs out.
std::unique_ptr<CutEngine> makeEngine(Engine engine, const Graph &graph,
                                      const EngineSettings &settings = EngineSettings());

}  // namespace sunder::detail

#endif
