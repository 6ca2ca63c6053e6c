// buildCutTree: the options checked, the engine chosen (Auto probes the
// candidates), the Gusfield driver run, and its records turned into a
// CutTree in the caller's ids.
#include "sunder/build.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "lib/decompose/decompose.h"
#include "lib/engines/dense.h"
#include "lib/driver/gusfield.h"
#include "lib/engines/engines.h"
#include "lib/driver/memory.h"
#include "sunder/error.h"

namespace sunder {

namespace {

struct EngineName {
  Engine engine;
  const char *name;
};

const EngineName kEngineNames[] = {{Engine::Exact, "exact"},
                                   {Engine::Relabel, "relabel"},
                                   {Engine::Paths, "paths"},
                                   {Engine::Trees, "trees"},
                                   {Engine::Auto, "auto"}};

// Computations each candidate of Auto makes before the choice.
constexpr int32_t kProbeComputations = 16;

// A build runs at most one thread per core, or this many on machines with
// fewer cores (so several threads are exercised everywhere).
constexpr int kThreadsWithoutCores = 8;

// Graphs above this many nodes leave push-relabel out of Auto's probe.
constexpr int32_t kLargeGraphNodes = 100000;

using detail::DriverOptions;
using detail::GusfieldRun;

// The graph a build, or one block of it, runs on. Its compact copy is made
// once, at the first engine that reads it, and shared by the probe's
// candidates, the run and every worker.
struct Target {
  const Graph &graph;
  bool oneBlock;  // the caller knows the graph is one block (see provenCuts)
  std::shared_ptr<const detail::CompactGraph> compact;
  std::vector<int32_t> sources;  // the sources' order; empty: the drawn one
};

DriverOptions driverOptions(Engine engine, Target &target, const BuildOptions &options,
                            int threads) {
  const Graph &g = target.graph;
  if ((engine == Engine::Paths || engine == Engine::Trees) && target.compact == nullptr)
    target.compact = detail::makeCompactGraph(g);
  DriverOptions d;
  d.threads = threads;
  detail::EngineSettings settings;
  settings.updateFactor = options.updateFactor;
  settings.degreeBound = options.degreeBound;
  settings.localReset = options.localReset;
  settings.provenDegreeCuts = target.oneBlock && options.provenCuts && g.nodeCount() >= 3;
  settings.neighbourProofs = options.provenCuts;
  settings.compactGraph = target.compact;
  d.makeEngine = detail::engineFactory(engine, g, settings);
  d.progress = options.progress;
  d.cancel = options.cancel;
  if (!target.sources.empty()) d.sources = &target.sources;
  return d;
}

struct Probed {
  Engine engine = Engine::Exact;
  GusfieldRun run;
};

// The engine whose first computations look at the fewest arcs, weighed by
// what an arc look costs it, with its run of those computations. Each
// candidate builds the start of the tree on its own and is stopped as soon
// as it falls well behind the best so far, so a poor candidate costs little.
// Arc counts, not times, decide: the choice is the same on every run and for
// every thread count.
Probed probeEngines(Target &target, const BuildOptions &options) {
  const Graph &g = target.graph;
  struct Candidate {
    Engine engine;
    double costPerScan;  // time per arc look, relative, measured on the six families
  };
  const Candidate candidates[] = {
      {Engine::Relabel, 1.0}, {Engine::Paths, 1.0}, {Engine::Trees, 2.0}};
  Probed best;
  bool haveBest = false;
  double bestCost = 0;
  std::vector<double> pace;
  for (const Candidate &c : candidates) {
    // The solver's records take about 1.5 kB a node, ten times what the
    // compact graph takes: on large graphs push-relabel is not a candidate.
    if (c.engine == Engine::Relabel && g.nodeCount() > kLargeGraphNodes) continue;
    DriverOptions probe = driverOptions(c.engine, target, options, 1);
    probe.progress = nullptr;
    probe.stopAfter = kProbeComputations;
    probe.costPerScan = c.costPerScan;
    if (haveBest) probe.pace = &pace;
    GusfieldRun run = detail::startRun(g.nodeCount());
    detail::runGusfield(run, probe);
    double cost = static_cast<double>(run.counters.scans) * c.costPerScan;
    bool complete = run.computations == std::min(kProbeComputations, run.n - 1);
    if (!haveBest || (complete && cost < bestCost)) {
      best = {c.engine, std::move(run)};
      haveBest = true;
      bestCost = cost;
      pace.clear();
      for (int64_t scans : best.run.scansAfter)
        pace.push_back(static_cast<double>(scans) * c.costPerScan);
    }
  }
  return best;
}

void checkOptions(const BuildOptions &options) {
  if (options.threads < 0)
    throw Error("threads must be 0 (one per core) or more, not " + std::to_string(options.threads));
  if (!(options.updateFactor > 0))
    throw Error("the update factor must be greater than 0");
  bool known = false;
  for (const EngineName &e : kEngineNames) known = known || e.engine == options.engine;
  if (!known) throw Error("unknown engine");
}

int threadCount(const BuildOptions &options) {
  unsigned found = std::thread::hardware_concurrency();
  int cores = found == 0 ? 1 : static_cast<int>(std::min(found, 1u << 16));
  if (options.threads == 0) return cores;
  // More threads than cores only add memory (a few MB each) and contention.
  return std::min(options.threads, std::max(cores, kThreadsWithoutCores));
}

BuildStats statsOf(const GusfieldRun &run, Engine engine) {
  BuildStats stats;
  stats.engine = engine;
  stats.counter1 = run.counters.first;
  stats.counter2 = run.counters.second;
  stats.scans = run.counters.scans;
  stats.computations = run.computations;
  stats.recomputed = run.recomputed;
  stats.cutsRecorded = run.cutsRecorded;
  stats.seconds = run.seconds;
  stats.lastCutSeconds = run.lastCutSeconds;
  stats.calcSeconds = run.calcSeconds;
  stats.manipSeconds = run.manipSeconds;
  return stats;
}

}  // namespace

Engine engineFromName(const std::string &name) {
  for (const EngineName &e : kEngineNames)
    if (name == e.name) return e.engine;
  std::string known;
  for (const EngineName &e : kEngineNames) known += std::string(known.empty() ? "" : ", ") + e.name;
  throw Error("unknown engine '" + name + "' (engines: " + known + ")");
}

const char *engineName(Engine engine) {
  for (const EngineName &e : kEngineNames)
    if (e.engine == engine) return e.name;
  return "unknown";
}

const std::vector<Engine> &allEngines() {
  static const std::vector<Engine> all{Engine::Auto, Engine::Exact, Engine::Relabel,
                                       Engine::Paths, Engine::Trees};
  return all;
}

namespace {

// The Gusfield run of one graph (no decomposition), with its engine.
struct Built {
  Engine engine = Engine::Exact;
  GusfieldRun run;
};

// Each node's summed capacity, at most INT64_MAX; self loops count nothing.
std::vector<int64_t> weightedDegrees(int32_t n, const std::vector<Edge> &edges) {
  std::vector<int64_t> degree(n, 0);
  for (const Edge &e : edges) {
    if (e.u == e.v) continue;
    for (int32_t v : {e.u, e.v})
      degree[v] = degree[v] > INT64_MAX - e.capacity ? INT64_MAX : degree[v] + e.capacity;
  }
  return degree;
}

// Nodes 1 ... n - 1 by weighted degree, heaviest first (the smaller index
// first among equals). Cuts of heavy nodes come first, so that a lighter
// node finds heavier neighbours whose cuts are known already (see
// KnownCuts).
std::vector<int32_t> heaviestFirst(const std::vector<int64_t> &degree) {
  std::vector<int32_t> order;
  for (int32_t k = 1; k < static_cast<int32_t>(degree.size()); k++) order.push_back(k);
  std::stable_sort(order.begin(), order.end(),
                   [&](int32_t a, int32_t b) { return degree[a] > degree[b]; });
  return order;
}

// A block of a graph that split comes with its sources' order and takes
// Trees for Auto: on real networks, which split into a large block and many
// small ones, the search trees were the quickest engine on every block
// size, and probing each block cost more than it saved.
Built buildWhole(const Graph &graph, const BuildOptions &options, int threads, bool oneBlock,
                 std::vector<int32_t> blockSources = {}) {
  double start = detail::steadySeconds();
  Target target{graph, oneBlock, nullptr, std::move(blockSources)};
  Built b;
  b.engine = options.engine;
  b.run = detail::startRun(graph.nodeCount());
  if (b.engine == Engine::Auto && !target.sources.empty()) b.engine = Engine::Trees;
  if (graph.nodeCount() >= 2 && b.engine == Engine::Auto) {
    Probed probed = probeEngines(target, options);
    b.engine = probed.engine;
    b.run = std::move(probed.run);
    // The probe works silently; its kept cuts count as done.
    if (options.progress) options.progress(b.run.computations, graph.nodeCount() - 1);
  }
  if (b.engine == Engine::Auto) b.engine = Engine::Exact;  // nothing to compute
  if (graph.nodeCount() >= 2)
    detail::runGusfield(b.run, driverOptions(b.engine, target, options, threads));
  // The probe's other candidates took time too.
  double probing = detail::steadySeconds() - start - b.run.seconds;
  b.run.seconds += probing;
  b.run.lastCutSeconds += probing;
  return b;
}

detail::ParentTree parentTreeOf(const GusfieldRun &run) {
  detail::ParentTree t;
  t.parent.assign(run.n, -1);
  t.weight.assign(run.n, 0);
  for (int32_t p = 1; p < run.n; p++) {
    t.parent[run.records[p].id] = run.records[p].parent;
    t.weight[run.records[p].id] = run.records[p].weight;
  }
  return t;
}

CutTree treeOf(const Graph &g, const GusfieldRun &run, Engine engine, int threads) {
  detail::ParentTree t = parentTreeOf(run);
  BuildStats stats = statsOf(run, engine);
  stats.threads = threads;
  return CutTree(g.ids(), std::move(t.parent), std::move(t.weight), stats);
}

// Adds what one block's build did to the whole build's account.
void addUp(GusfieldRun &total, const GusfieldRun &part) {
  total.counters.first += part.counters.first;
  total.counters.second += part.counters.second;
  total.counters.scans += part.counters.scans;
  total.computations += part.computations;
  total.recomputed += part.recomputed;
  total.cutsRecorded += part.cutsRecorded;
  total.calcSeconds += part.calcSeconds;
  total.manipSeconds += part.manipSeconds;
}

// Blocks below this many nodes are built on one thread: starting workers
// costs more than their few cuts.
constexpr int32_t kThreadedBlock = 64;

// The tree of a block of a few nodes, its work added to `sum`.
detail::ParentTree denseTree(int32_t size, const std::vector<Edge> &edges, GusfieldRun &sum) {
  detail::DenseTree d = detail::denseCutTree(size, edges);
  sum.counters.scans += d.scans;
  sum.computations += size - 1;
  for (int32_t k = 1; k < size; k++) sum.cutsRecorded += d.weight[k] < INT64_MAX;
  return {std::move(d.parent), std::move(d.weight)};
}

bool solvedDensely(const detail::Block &block, const BuildOptions &options) {
  return options.engine == Engine::Auto &&
         static_cast<int32_t>(block.nodes.size()) <= detail::kDenseNodes;
}

// One block's cut tree in its local numbering, with what its build did
// added to `sum`; `engine` becomes the engine of the first block built by
// one. The block's heaviest node (the first of several) is the root of its
// Gusfield run, numbered 0 meanwhile: the first sink of every cut, and a
// hub's cuts are quickest to find. Under Auto blocks of a few nodes go to
// the dense solver, the others take their sources heaviest first.
detail::ParentTree blockTree(const detail::Block &block, const BuildOptions &options,
                             int threads, GusfieldRun &sum, Engine &engine, bool &built) {
  int32_t size = static_cast<int32_t>(block.nodes.size());
  std::vector<int64_t> degree = weightedDegrees(size, block.edges);
  int32_t hub = static_cast<int32_t>(std::max_element(degree.begin(), degree.end()) - degree.begin());
  std::swap(degree[0], degree[hub]);  // by local number from here on
  auto label = [hub](int32_t k) { return k == hub ? 0 : k == 0 ? hub : k; };
  std::vector<Edge> edges = block.edges;
  for (Edge &e : edges) e = {label(e.u), label(e.v), e.capacity};
  detail::ParentTree t;
  if (solvedDensely(block, options)) {
    if (options.cancel && options.cancel()) throw Cancelled();
    t = denseTree(size, edges, sum);
  } else {
    Graph local(size);
    local.reserve(0, static_cast<int64_t>(edges.size()));
    for (const Edge &e : edges) local.addEdge(e.u, e.v, e.capacity);
    std::vector<int32_t> sources;
    if (options.engine == Engine::Auto) sources = heaviestFirst(degree);
    Built b = buildWhole(local, options, size < kThreadedBlock ? 1 : threads, true, std::move(sources));
    if (!built) engine = b.engine;
    built = true;
    addUp(sum, b.run);
    t = parentTreeOf(b.run);
  }
  std::swap(t.parent[0], t.parent[hub]);
  std::swap(t.weight[0], t.weight[hub]);
  for (int32_t &p : t.parent)
    if (p >= 0) p = label(p);
  return t;
}

// The tree glued from the blocks' trees. Progress counts the cuts of all
// blocks against their total; the engine reported is the first (largest)
// block's that an engine built, Trees under Auto when none did.
CutTree buildByBlocks(const Graph &graph, const detail::BlockPlan &plan,
                      const BuildOptions &options, int threads, double start) {
  int64_t total = 0, before = 0;
  for (const detail::Block &block : plan.blocks) total += static_cast<int64_t>(block.nodes.size()) - 1;
  BuildOptions inner = options;
  if (options.progress)
    inner.progress = [&](int64_t done, int64_t) { options.progress(before + done, total); };
  GusfieldRun sum = detail::startRun(0);
  Engine engine = options.engine == Engine::Auto ? Engine::Trees : options.engine;
  bool built = false;
  std::vector<detail::ParentTree> trees;
  for (const detail::Block &block : plan.blocks) {
    trees.push_back(blockTree(block, inner, threads, sum, engine, built));
    before += static_cast<int64_t>(block.nodes.size()) - 1;
    // An engine's run reports its own cuts; the dense solver's come at once.
    if (options.progress && solvedDensely(block, options)) options.progress(before, total);
  }
  detail::ParentTree whole = detail::assembleTree(plan, trees);
  sum.seconds = sum.lastCutSeconds = detail::steadySeconds() - start;
  BuildStats stats = statsOf(sum, engine);
  stats.threads = threads;
  return CutTree(graph.ids(), std::move(whole.parent), std::move(whole.weight), stats);
}

std::string graphName(const Graph &graph) {
  return detail::graphSize(graph.nodeCount(), graph.edgeCount());
}

bool isOneBlock(const detail::BlockPlan &plan, int32_t n) {
  return plan.bridges.empty() && plan.blocks.size() == 1 &&
         static_cast<int32_t>(plan.blocks[0].nodes.size()) == n;
}

}  // namespace

namespace {

CutTree buildChecked(const Graph &graph, const BuildOptions &options) {
  double start = detail::steadySeconds();
  int threads = threadCount(options);
  detail::BlockPlan plan;
  if (options.decompose && graph.nodeCount() >= 2)
    plan = detail::withMemory(
        [&] { return detail::decompose(graph.nodeCount(), graph.edges()); },
        [&] { return "splitting " + graphName(graph) + " into blocks"; });
  if (options.decompose && graph.nodeCount() >= 2 && !isOneBlock(plan, graph.nodeCount()))
    return buildByBlocks(graph, plan, options, threads, start);
  bool oneBlock = options.decompose && graph.nodeCount() >= 2;
  Built b = buildWhole(graph, options, threads, oneBlock);
  return treeOf(graph, b.run, b.engine, threads);
}

}  // namespace

CutTree buildCutTree(const Graph &graph, const BuildOptions &options) {
  checkOptions(options);
  try {
    return detail::withMemory([&] { return buildChecked(graph, options); },
                              [&] { return "the cut tree of " + graphName(graph); });
  } catch (const std::system_error &e) {
    // A thread that could not be started.
    throw Error("cannot start the build's threads: " + std::string(e.what()));
  }
}

}  // namespace sunder
