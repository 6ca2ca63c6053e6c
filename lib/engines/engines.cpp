#include "lib/engines/engines.h"

#include <vector>

#include "lib/engines/compact_graph.h"
#include "lib/engines/paths.h"
#include "lib/engines/trees.h"
#include "solver/solver.h"
#include "solver/solver_engine.h"
#include "sunder/error.h"

namespace sunder::detail {

namespace {

[[noreturn]] void outOfMemory(const Graph &g) {
  throw Error("not enough memory for the cut computations of a graph with " +
              std::to_string(g.nodeCount()) + " nodes and " + std::to_string(g.edgeCount()) +
              " edges");
}

// The solver's graph of `g`, as the instance reader would lay it out,
// prepared for cut computations.
graph *solverGraph(const Graph &g) {
  const std::vector<Edge> &edges = g.edges();
  size_t m = edges.size();
  std::vector<int32_t> tails(m), heads(m);
  std::vector<int64_t> caps(m);
  for (size_t i = 0; i < m; i++) {
    tails[i] = edges[i].u;
    heads[i] = edges[i].v;
    caps[i] = edges[i].capacity;
  }
  graph *s = graphFromEdges(g.nodeCount(), static_cast<int32_t>(m), tails.data(), heads.data(),
                            caps.data());
  if (s == nullptr) outOfMemory(g);
  copyArcs(s);
  initContracted(s);
  if (!allocateStorageOrFail(s)) {
    freeGraph(s);
    outOfMemory(g);
  }
  return s;
}

// The solver's computation on a graph of its own.
class ExactEngine : public CutEngine {
 public:
  ExactEngine(const Graph &g, const cutSettings &settings)
      : g_(solverGraph(g)), solver_(g_, settings) {}
  ~ExactEngine() override {
    releaseStorage(g_);
    freeGraph(g_);
  }
  ExactEngine(const ExactEngine &) = delete;
  ExactEngine &operator=(const ExactEngine &) = delete;

  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t limit) override {
    return solver_.cut(s, t, side, limit);
  }
  Counters counters() const override { return solver_.counters(); }

 private:
  graph *g_;
  SolverEngine solver_;
};

cutSettings relabelSettings(const EngineSettings &settings) {
  cutSettings c;
  c.startWithGlobalUpdate = true;
  c.updateFactor = settings.updateFactor;
  return c;
}

// An engine on the compact graph: `Method` finds the cut (paths.h, trees.h).
template <class Method>
class CompactEngine : public CutEngine {
 public:
  explicit CompactEngine(const Graph &g) : graph_(g.nodeCount(), g.edges()), method_(graph_) {}
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) override {
    return method_.cut(s, t, side, scanLimit);
  }
  Counters counters() const override { return method_.counters(); }

 private:
  CompactGraph graph_;
  Method method_;
};

}  // namespace

std::unique_ptr<CutEngine> makeEngine(Engine engine, const Graph &graph,
                                      const EngineSettings &settings) {
  switch (engine) {
    case Engine::Relabel: return std::make_unique<ExactEngine>(graph, relabelSettings(settings));
    case Engine::Paths: return std::make_unique<CompactEngine<AugmentingPaths>>(graph);
    case Engine::Trees: return std::make_unique<CompactEngine<SearchTrees>>(graph);
    case Engine::Exact: return std::make_unique<ExactEngine>(graph, cutSettings());
    case Engine::Auto: break;
  }
  throw Error("no engine is named auto: the probe picks one");
}

}  // namespace sunder::detail
