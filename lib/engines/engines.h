// The engines that find one minimum s-t cut for the Gusfield driver:
//   PushRelabel        the solver's push-relabel computation, with its
//                      counters;
//   PushRelabelGlobal  the same with a global update at the start of each
//                      cut;
//   ShortestPaths      blocking flows along shortest augmenting paths
//                      (paths.h);
//   SearchTrees        two search trees kept between augmentations (trees.h).
// The push-relabel engines each own a copy of the graph in the solver's
// records; the two search engines (ShortestPaths, SearchTrees) own only
// their mutable arrays and read a compact graph (compact_graph.h) that the
// engines of one build may share, so every worker thread owns one engine
// and nothing mutable is shared.
#ifndef SUNDER_ENGINES_ENGINES_H
#define SUNDER_ENGINES_ENGINES_H

#include <functional>
#include <memory>

#include "lib/driver/cut_engine.h"
#include "lib/engines/compact_graph.h"
#include "sunder/cut_tree.h"
#include "sunder/graph.h"

namespace sunder::detail {

struct EngineSettings {
  // PushRelabelGlobal: a global update follows the relabel that makes the
  // relabels since the last one exceed this many times the awake nodes.
  double updateFactor = 2.0;
  // Both search engines: a computation ends as soon as its flow equals the
  // smaller weighted degree of s and t, with that terminal alone as its side.
  bool degreeBound = true;
  // Both search engines: each computation restores only the residuals and node
  // states the one before it changed, so its cost follows the arcs it
  // touches rather than the size of the graph.
  bool localReset = true;
  // Both search engines: the caller knows the graph is one block of three nodes
  // or more, where every cut crosses two edges at least; a terminal whose
  // weighted degree is at most the two lightest edges together is then alone a
  // minimum cut, found without a flow.
  bool provenDegreeCuts = false;
  // Both search engines: a source whose degree is at most its sink's is alone a
  // minimum cut when a flow to a neighbour reaches its degree and that
  // neighbour's cut to the same sink is known to weigh as much or more.
  bool neighbourProofs = true;
  // Both search engines: by node, 1 where the node alone is proven a minimum
  // cut to the root of the Gusfield run (tree_packing.h), which then holds for
  // every sink the run gives it: such a source costs no flow. Null: none.
  std::shared_ptr<const std::vector<uint8_t>> aloneToRoot;
  // SearchTrees: computations whose sink is steerRoot grow the source tree
  // nearest to it first, by rootDistance (distancesFrom). Null: none. They
  // look for neighbour proofs only from sources far from the root
  // (kFarFromRoot).
  int32_t steerRoot = -1;
  std::shared_ptr<const std::vector<int32_t>> rootDistance;
  // SearchTrees: those computations push along paths that approach the
  // root before they grow trees (steeredPaths in trees.h).
  bool steeredPaths = true;
  // SearchTrees: nodes whose known cut to the sink weighs the source's degree
  // or more are sinks as well (trees.h).
  bool sinkSets = true;
  // Both search engines: the compact graph of the graph given to makeEngine,
  // shared read-only with other engines; when empty the engine makes its own.
  std::shared_ptr<const CompactGraph> compactGraph;
};

// The compact graph of `graph`, to share between engines once its arcs are
// in the order they keep (orderArcsByDistance). Error when memory runs out.
std::shared_ptr<CompactGraph> makeCompactGraph(const Graph &graph);

// A new engine of the given kind (not Auto) on `graph`. Error when memory
// runs out.
std::unique_ptr<CutEngine> makeEngine(Engine engine, const Graph &graph,
                                      const EngineSettings &settings = EngineSettings());

// A maker of engines of the given kind on `graph` (which must outlive it)
// that all read one compact graph, made at the first call. Its calls may
// come from any thread. `edges` is the graph's edge count for the message
// of a failed allocation, when the graph's own edges were freed already
// (settings.compactGraph made; -1: the graph's count).
std::function<std::unique_ptr<CutEngine>()> engineFactory(
    Engine engine, const Graph &graph, const EngineSettings &settings = EngineSettings(),
    int64_t edges = -1);

}  // namespace sunder::detail

#endif
