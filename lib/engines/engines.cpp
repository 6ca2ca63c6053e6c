#include "lib/engines/engines.h"

#include <mutex>
#include <new>
#include <type_traits>
#include <vector>

#include "lib/engines/compact_graph.h"
#include "lib/engines/paths.h"
#include "lib/engines/trees.h"
#include "lib/driver/memory.h"
#include "solver/solver.h"
#include "lib/engines/solver_engine.h"
#include "sunder/error.h"

namespace sunder::detail {

namespace {

[[noreturn]] void outOfMemory(int64_t nodes, int64_t edges) {
  throw Error("not enough memory for the cut computations of " + graphSize(nodes, edges));
}

[[noreturn]] void outOfMemory(const Graph &g) { outOfMemory(g.nodeCount(), g.edgeCount()); }

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

// The lists of solver graph `s` compacted, as the first computation on it
// would compact them: every computation then starts from the same lists,
// and its counters are the same whatever the engine computed before.
void compactLists(graph *s) {
  for (node *v = s->nodeList; v != s->endNode; v = v->next)
    for (arc *a = v->first; a != nullptr; a = a->next) a->resCap = a->cap;
  compact(s);
}

cutSettings onCompactedLists(cutSettings settings) {
  settings.listsCompacted = true;
  return settings;
}

// The solver's computation on a graph of its own, its lists compacted
// before the first.
class ExactEngine : public CutEngine {
 public:
  ExactEngine(const Graph &g, const cutSettings &settings)
      : g_(solverGraph(g)), solver_(g_, onCompactedLists(settings)) {
    compactLists(g_);
  }
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

CompactSettings compactSettings(const EngineSettings &settings) {
  CompactSettings c;
  c.degreeBound = settings.degreeBound;
  c.localReset = settings.localReset;
  c.provenDegreeCuts = settings.provenDegreeCuts;
  c.neighbourProofs = settings.neighbourProofs;
  c.steeredPaths = settings.steeredPaths;
  c.sinkSets = settings.sinkSets;
  return c;
}

// An engine on a compact graph it may share: `Method` finds the cut
// (paths.h, trees.h) and owns the arrays a computation changes.
template <class Method>
class CompactEngine : public CutEngine {
 public:
  CompactEngine(std::shared_ptr<const CompactGraph> g, const CompactSettings &settings,
                std::shared_ptr<const std::vector<uint8_t>> aloneToRoot)
      : graph_(std::move(g)), settings_(settings), method_(*graph_, settings),
        aloneToRoot_(std::move(aloneToRoot)),
        proven_(settings.provenDegreeCuts ? graph_->twoLightest : -1) {}
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) override {
    int32_t lone = provenAlone(s, t);
    if (lone < 0) return method_.cut(s, t, side, scanLimit);
    side.assign(static_cast<size_t>(graph_->n), lone == s ? 1 : 0);
    side[lone] = lone == s ? 0 : 1;
    return graph_->degree[lone];
  }
  int64_t cutSides(int32_t s, int32_t t, CutSides &out, int64_t scanLimit,
                   const KnownCuts *known) override {
    int32_t lone = provenAlone(s, t);
    if (lone < 0 && provenByNeighbour(s, t, known, scanLimit)) lone = s;
    if (lone >= 0) {
      out.byNode = false;
      out.nodes.assign(1, lone);
      out.listed = lone == s ? 0 : 1;
      return graph_->degree[lone];
    }
    return sidesOf(s, t, out, scanLimit, known);
  }
  // Steered computations (sink `root`) look for neighbour proofs only from
  // sources far from it (kFarFromRoot).
  void steerTowards(int32_t root, std::shared_ptr<const std::vector<int32_t>> distance) {
    steerRoot_ = root;
    steerDistance_ = distance;
    method_.steerTowards(root, std::move(distance));
  }
  Counters counters() const override {
    Counters c = method_.counters();
    c.scans += extraScans_;
    return c;
  }

 private:
  // The terminal that is alone a minimum cut because no cut of the graph is
  // lighter than its degree (s on a tie), or because the packing proved s
  // alone to the root; -1 when that is not proven.
  int32_t provenAlone(int32_t s, int32_t t) const {
    if (aloneToRoot_ != nullptr && (*aloneToRoot_)[s]) return s;
    const std::vector<int64_t> &degree = graph_->degree;
    int32_t lighter = degree[t] < degree[s] ? t : s;
    return degree[lighter] <= proven_ ? lighter : -1;
  }

  int64_t sidesOf(int32_t s, int32_t t, CutSides &out, int64_t scanLimit,
                  const KnownCuts *known = nullptr) {
    if constexpr (!std::is_same_v<Method, AugmentingPaths>)
      return method_.cutSides(s, t, out, scanLimit, known);
    return CutEngine::cutSides(s, t, out, scanLimit);
  }

  // Whether the method's flows end at the sink sets (trees.h), of which
  // every neighbour a neighbour proof could take is a node: the flow into
  // them spares what the proof's flow to one of them would. Without this,
  // tanglenet's heaviest-first runs at 3,000-4,500 nodes took 1.5-3 times
  // the arc looks (the proofs' flows to a neighbour, unsteered, mostly
  // failed), and the collection's networks the same.
  bool endsAtSinkSets() const {
    return settings_.sinkSets && !std::is_same_v<Method, AugmentingPaths>;
  }

  // Whether s alone is a minimum s-t cut by way of a neighbour x whose cut
  // to t is known to weigh deg(s) or more: every s-t cut separates s from
  // x or x from t, so once the flow from s to x reaches deg(s) no s-t cut
  // is lighter than s's degree, and that flow stays near s where the one
  // to t may not. Only when deg(s) <= deg(t), so that the degree bound
  // would also give s alone: the answer is the same with or without the
  // neighbour. x is the heaviest neighbour that qualifies (the first of
  // several); one try at most.
  bool provenByNeighbour(int32_t s, int32_t t, const KnownCuts *known, int64_t scanLimit) {
    const CompactGraph &g = *graph_;
    if (known == nullptr || !settings_.neighbourProofs || !settings_.degreeBound ||
        g.degree[s] > g.degree[t])
      return false;
    if (t == steerRoot_ && !triesNeighbourProof(steerDistance_.get(), s)) return false;
    if (endsAtSinkSets()) return false;
    int32_t x = -1;
    for (int32_t a = g.first[s]; a < g.first[s + 1]; a++) {
      int32_t y = g.head[a];
      if (y != t && known->has(y) && (*known->sink)[y] == t &&
          (*known->value)[y] >= g.degree[s] && g.degree[y] >= g.degree[s] &&
          (x < 0 || g.degree[y] > g.degree[x]))
        x = y;
    }
    extraScans_ += g.first[s + 1] - g.first[s];
    if (x < 0) return false;
    CutSides near;
    return sidesOf(s, x, near, scanLimit) >= g.degree[s];
  }

  std::shared_ptr<const CompactGraph> graph_;
  CompactSettings settings_;
  Method method_;
  std::shared_ptr<const std::vector<uint8_t>> aloneToRoot_;
  int32_t steerRoot_ = -1;  // see steerTowards
  std::shared_ptr<const std::vector<int32_t>> steerDistance_;
  int64_t extraScans_ = 0;  // arcs looked at outside the method
  int64_t proven_;  // twoLightest when degree cuts may be proven; else -1
};

bool usesCompactGraph(Engine engine) { return engine == Engine::ShortestPaths || engine == Engine::SearchTrees; }

}  // namespace

std::shared_ptr<CompactGraph> makeCompactGraph(const Graph &graph) {
  try {
    return std::make_shared<CompactGraph>(graph.nodeCount(), graph.edges());
  } catch (const std::bad_alloc &) {
    outOfMemory(graph);
  }
}

namespace {

// The search trees with residuals of type Residual, steered as the settings
// say.
template <typename Residual>
std::unique_ptr<CutEngine> searchTrees(std::shared_ptr<const CompactGraph> compact,
                                       const EngineSettings &settings) {
  auto trees = std::make_unique<CompactEngine<SearchTrees<Residual>>>(
      std::move(compact), compactSettings(settings), settings.aloneToRoot);
  if (settings.rootDistance != nullptr)
    trees->steerTowards(settings.steerRoot, settings.rootDistance);
  return trees;
}

std::unique_ptr<CutEngine> newEngine(Engine engine, const Graph &graph,
                                     const EngineSettings &settings) {
  std::shared_ptr<const CompactGraph> compact = settings.compactGraph;
  if (usesCompactGraph(engine) && compact == nullptr) compact = makeCompactGraph(graph);
  switch (engine) {
    case Engine::PushRelabelGlobal: return std::make_unique<ExactEngine>(graph, relabelSettings(settings));
    case Engine::ShortestPaths:
      return std::make_unique<CompactEngine<AugmentingPaths>>(compact, compactSettings(settings),
                                                              settings.aloneToRoot);
    case Engine::SearchTrees:
      if (compact->residualBits() == 16) return searchTrees<int16_t>(compact, settings);
      if (compact->residualBits() == 32) return searchTrees<int32_t>(compact, settings);
      return searchTrees<int64_t>(compact, settings);
    case Engine::PushRelabel: return std::make_unique<ExactEngine>(graph, cutSettings());
    case Engine::Auto:
    case Engine::GomoryHu: break;
  }
  throw Error(std::string("no cut engine is named ") + (engine == Engine::Auto ? "auto: the probe picks one" : "gomory-hu: it builds whole trees"));
}

}  // namespace

std::unique_ptr<CutEngine> makeEngine(Engine engine, const Graph &graph,
                                      const EngineSettings &settings) {
  try {
    return newEngine(engine, graph, settings);
  } catch (const std::bad_alloc &) {
    outOfMemory(graph);
  }
}

std::function<std::unique_ptr<CutEngine>()> engineFactory(Engine engine, const Graph &graph,
                                                          const EngineSettings &settings,
                                                          int64_t edges) {
  struct Shared {
    std::mutex mu;
    EngineSettings settings;
  };
  auto shared = std::make_shared<Shared>();
  shared->settings = settings;
  int64_t nodes = graph.nodeCount();
  if (edges < 0) edges = graph.edgeCount();
  return [engine, &graph, shared, nodes, edges] {
    EngineSettings s;
    {
      std::lock_guard<std::mutex> lock(shared->mu);
      if (usesCompactGraph(engine) && shared->settings.compactGraph == nullptr)
        shared->settings.compactGraph = makeCompactGraph(graph);
      s = shared->settings;
    }
    try {
      return newEngine(engine, graph, s);
    } catch (const std::bad_alloc &) {
      outOfMemory(nodes, edges);
    }
  };
}

}  // namespace sunder::detail
