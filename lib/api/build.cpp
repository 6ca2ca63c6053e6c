// buildCutTree: the options checked, the engine chosen (Auto probes the
// candidates), the Gusfield driver run, and its records turned into a
// CutTree in the caller's ids.
#include "sunder/build.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <future>
#include <optional>
#include <system_error>
#include <thread>

#include "graph/graph.h"
#include "lib/api/work.h"
#include "lib/decompose/decompose.h"
#include "lib/engines/dense.h"
#include "lib/driver/gomory_hu.h"
#include "lib/driver/gusfield.h"
#include "lib/engines/engines.h"
#include "lib/engines/warm_preflow.h"
#include "lib/engines/tree_packing.h"
#include "lib/driver/memory.h"
#include "sunder/error.h"

namespace sunder {

namespace {

struct EngineName {
  Engine engine;
  const char *name;
};

// The current names first: engineName gives the first entry of an engine.
const EngineName kEngineNames[] = {{Engine::PushRelabel, "push-relabel"},
                                   {Engine::PushRelabelGlobal, "push-relabel-global"},
                                   {Engine::ShortestPaths, "shortest-paths"},
                                   {Engine::SearchTrees, "search-trees"},
                                   {Engine::GomoryHu, "gomory-hu"},
                                   {Engine::Auto, "auto"}};

// The former names, still read.
const EngineName kFormerEngineNames[] = {{Engine::PushRelabel, "exact"},
                                         {Engine::PushRelabelGlobal, "relabel"},
                                         {Engine::ShortestPaths, "paths"},
                                         {Engine::SearchTrees, "trees"}};

// Computations each candidate of Auto makes before the choice.
constexpr int32_t kProbeComputations = 16;

// A build runs at most one thread per core, or this many on machines with
// fewer cores (so several threads are exercised everywhere).
constexpr int kThreadsWithoutCores = 8;

// Graphs of this many edges or more leave push-relabel out of Auto's
// probe: its records take about five times the compact graph's memory,
// which on small graphs is little in all but on large ones would be most of
// the build's.
constexpr int64_t kLargeGraphEdges = 100000;
// Nor does Auto's probe take push-relabel where its records would pass
// this many bytes: a node block of ten records a node, which a sparse graph
// of many nodes pays for more than for its edges (a ring of 90,000 nodes:
// 144 MB on each thread, 199 MB at the build's peak, where the source runs
// alone take 38 MB).
constexpr int64_t kProbeRecordBytes = int64_t{64} << 20;

using detail::DriverOptions;
using detail::GusfieldRun;

// The graph a build, or one block of it, runs on. Its compact copy is made
// once, at the first engine that reads it, and shared by the probe's
// candidates, the run and every worker.
struct Target {
  Target(const Graph &g, bool block, bool part, std::vector<int32_t> order)
      : graph(g), edges(g.edgeCount()), oneBlock(block), split(part), sources(std::move(order)) {}
  const Graph &graph;  // its edges may be freed once `compact` is made
  int64_t edges;       // the graph's edge count
  bool oneBlock;  // the caller knows the graph is one block (see provenCuts)
  bool split;     // the graph is a block of one that split (a real network's shape)
  // in its arcs' final order once the hub is prepared (prepareHub)
  std::shared_ptr<detail::CompactGraph> compact;
  // the sources' order where the run is not rooted at the hub (a block's,
  // heaviest first); empty: the drawn one
  std::vector<int32_t> sources;
  // Whether the runs are rooted at the hub, where they pack trees from it
  // and steer towards it (see rootAt), else at node 0.
  bool atHub = false;
  int32_t root() const { return atHub ? hub : 0; }
  // Made for the hub at the first run rooted there: the nodes the trees
  // packed from it prove alone, every node's distance to it in arcs, and
  // the packing's arc looks.
  int32_t hub = -1;
  bool hubPrepared = false;  // prepareHub was called
  std::shared_ptr<const std::vector<uint8_t>> aloneToHub;
  std::shared_ptr<const std::vector<int32_t>> hubDistance;
  bool hubIsFar = false;  // the mean distance to the hub is kFarHub or more
  int32_t provenAtHub = 0;  // nodes the packing proved
  std::vector<int32_t> hubSources;  // the order of runs rooted at the hub (hubOrder)
  bool lightestRun = false;         // hubSources go lightest first
  int64_t packingScans = 0;
  // A large graph's setup reported as work (StagedWork), else null; `probes`:
  // Auto's probe comes after the hub is prepared.
  detail::StagedWork *staged = nullptr;
  bool probes = false;
  int threads = 1;  // of the run
  // hubOrder's orders, heaviest first ([0]) and lightest first ([1]), each
  // made once, at the first run or staged work's bound that takes it: each
  // candidate of the probe roots its run, and sorting a million nodes took
  // 0.04 to 0.1 s.
  std::vector<int32_t> hubOrders[2];
  bool stagedLightest = false;  // the order of the staged work's bound
};

// The compact graph of a build's target with its hub and the hub's
// distances (see makeHubGraph); `hub` -1 while none is made.
struct HubGraph {
  std::shared_ptr<detail::CompactGraph> compact;
  int32_t hub = -1;
  std::shared_ptr<const std::vector<int32_t>> hubDistance;
  bool hubIsFar = false;
};

// A hub this many arcs from the average node, or more, is far (its flows'
// work grows with their length, work.h): a mesh's centre is tens of arcs
// from most nodes, a real network's hub two to four.
constexpr double kFarHub = 8.0;

double meanDistance(const std::vector<int32_t> &distance) {
  double sum = 0;
  for (int32_t d : distance) sum += d;
  return distance.empty() ? 0 : sum / static_cast<double>(distance.size());
}

// Every node but `root` by weighted degree, heaviest first or lightest
// first (the smaller index first among equals).
std::vector<int32_t> byDegree(const std::vector<int64_t> &degree, int32_t root, bool lightestFirst) {
  std::vector<int32_t> order;
  for (int32_t k = 0; k < static_cast<int32_t>(degree.size()); k++)
    if (k != root) order.push_back(k);
  std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
    return lightestFirst ? degree[a] < degree[b] : degree[a] > degree[b];
  });
  return order;
}

std::vector<int32_t> heaviestFirst(const std::vector<int64_t> &degree) {
  return byDegree(degree, 0, false);
}

// The sources of a run rooted at the hub: the first `drawn` computations
// those of the drawn order, as every candidate of Auto's probe makes them
// (so the probe compares like with like), then the rest by degree.
//
// Heaviest first, a lighter node finds heavier neighbours whose cuts are
// known already (see KnownCuts). But a heavy node's cut that takes a large
// side gives every node on it that node for its sink, and cuts to it are
// not steered: where the steering knows the hub to be near, the lightest go
// first, whose cuts are mostly the node alone to the hub and steered. That
// took cond-mat-2003 weighted from 1.45 to 0.36 s and cond-mat weighted
// from 0.31 to 0.14 s at -j1, the unit networks 5 to 10 % quicker; on a
// mesh, whose hub is far, it made the build 2.5 times slower.
std::vector<int32_t> hubOrder(const std::vector<int64_t> &degree, int32_t hub, int32_t drawn,
                              bool lightestFirst) {
  int32_t n = static_cast<int32_t>(degree.size());
  std::vector<int32_t> order = detail::drawnSources(n, hub, drawn);
  std::vector<uint8_t> taken(n, 0);
  for (int32_t v : order) taken[v] = 1;
  for (int32_t v : byDegree(degree, hub, lightestFirst))
    if (!taken[v]) order.push_back(v);
  return order;
}

int32_t heaviestNode(const std::vector<int64_t> &degree) {
  return static_cast<int32_t>(std::max_element(degree.begin(), degree.end()) - degree.begin());
}

// ShortestPaths is rooted at the hub only where the packing proves at least one
// node in this many: rooted there without that, it took more arc looks than
// from node 0 in the drawn order (on rings and ladders, where no node is a
// hub). SearchTrees is rooted there for the steering as well.
constexpr int32_t kPackedShare = 64;

// What a run rooted at the hub spares flows with (work.h), the packing
// aside; `steered`: its cuts are steered towards the hub.
detail::HubRun hubRun(const Target &target, bool provenDegreeCuts, bool neighbourProofs,
                      bool steered, int threads) {
  detail::HubRun run;
  run.graph = target.compact.get();
  if (provenDegreeCuts) run.provenDegree = run.graph->twoLightest;
  run.neighbourProofs = neighbourProofs;
  if (steered) run.steerDistance = target.hubDistance.get();
  if (target.hubIsFar) run.farDistance = target.hubDistance.get();
  run.commitWork = detail::commitWorkOn(threads);
  return run;
}

// A graph of this many arcs a node or more is dense. Its hub run, heaviest
// first with the sink sets (see lightestFirst), ends each later flow at the
// heavier nodes all round its source, and its first flows, from sources
// with few neighbours before them, cost many times a later one's (the
// predicted work's HubRun::denseSinkSets); Auto's probe runs its search
// trees with their steered paths (driverOptions). Heaviest first paid on
// such graphs first (tanglenet at -j1: 16,000 nodes, 80 arcs a node, 41.7
// -> 5.8 s); from 12 arcs a node (was 24) the steered probe took the
// search trees where they win: tanglenet at 4,000 nodes (20) 2.10 -> 1.08
// s, at 3,000 (13) 0.98 -> 0.52 s, astro-ph weighted (16 in its large
// block) 0.146 -> 0.080 s; the other networks (10 arcs a node or fewer,
// but polblogs, dense already) as before.
constexpr double kDenseArcsPerNode = 12.0;

bool isDense(const detail::CompactGraph &g) {
  return static_cast<double>(g.head.size()) >= kDenseArcsPerNode * g.n;
}

// Whether a hub run, its sources lightest first or not, ends its flows at
// the sink sets of a dense graph taken heaviest first with the hub near (the
// predicted work's HubRun::denseSinkSets).
bool denseSinkSets(const Target &target, bool sinkSets, bool degreeBound, bool lightest) {
  return sinkSets && degreeBound && !lightest && !target.hubIsFar && isDense(*target.compact);
}

// The work a run of the search trees from the hub is predicted to take
// before the packing: its order as hubOrder makes it, with no node proven
// by the packing (on price 10^6 and real networks 2 to 15 % above the run's
// own prediction).
int64_t cutWorkBound(const Target &target, const BuildOptions &options) {
  const detail::CompactGraph &g = *target.compact;
  detail::HubRun run =
      hubRun(target, target.oneBlock && options.provenCuts && g.n >= 3,
             options.provenCuts && options.degreeBound, options.steering, target.threads);
  run.denseSinkSets = denseSinkSets(target, options.sinkSets, options.degreeBound, target.stagedLightest);
  const std::vector<int32_t> &order = target.hubOrders[target.stagedLightest];
  std::vector<int32_t> sources(1, target.hub);
  sources.insert(sources.end(), order.begin(), order.end());
  return detail::workUpTo(sources, run).back();
}

// The sources of a run rooted at the hub: hubOrder's, made once for the
// target (see Target::hubOrders).
const std::vector<int32_t> &hubSourcesOf(Target &target, bool lightestFirst) {
  std::vector<int32_t> &order = target.hubOrders[lightestFirst ? 1 : 0];
  if (order.empty())
    order = hubOrder(target.compact->degree, target.hub, target.split ? 0 : kProbeComputations,
                     lightestFirst);
  return order;
}

// Whether the run rooted at the hub takes its sources lightest first (see
// hubOrder): where the steering knows the hub to be near, unless the sink
// sets are on (with the degree bound), when it takes them heaviest first.
// On the unit networks and the dense graphs heaviest first with the sink
// sets (and the chain of the sink's known cuts, trees.h) looked at fewer
// arcs on every one (hep-th 1.02 -> 0.81 M, price 10^5 17.3 -> 16.2 M);
// on the weighted networks it went both ways until the flows to a sink
// whose chain holds the hub were steered towards it too: then, against
// lightest first, hep-th weighted 4.74 -> 1.67 M arc looks (0.043 ->
// 0.017 s at -j1), cond-mat weighted 9.69 -> 6.41 M, cond-mat-2003
// weighted 26.8 -> 23.3 M, tanglenet at 1,000 nodes 3.08 -> 1.61 M,
// motley at 4,000 0.80 -> 0.41 M (tanglenet at 2,000 12.3 -> 12.8 M,
// within 2 % in time).
bool lightestFirst(const Target &target, const BuildOptions &options) {
  bool heaviest = options.sinkSets && options.degreeBound;
  return options.steering && !target.hubIsFar && !heaviest;
}

// Fixes the total of a staged build once the hub's order is known. Not
// where the hub is far: a mesh's first cut comes at an eighth of its time,
// after a probe whose far flows cost what no share of its edges says (its
// rate made the first estimate 3 times the truth).
void fixStagedWork(Target &target, const BuildOptions &options) {
  if (target.staged == nullptr || target.staged->fixed() || target.hubIsFar) return;
  target.stagedLightest = lightestFirst(target, options);
  hubSourcesOf(target, target.stagedLightest);
  target.staged->fix(options.treePacking, target.probes, cutWorkBound(target, options));
}

// The compact graph with the hub and its distances, its arcs in their
// final order: what the hub's preparation makes before it reports anything
// (or packs), and so what may be made on another thread (HubGraph).
HubGraph makeHubGraph(const Graph &graph, const BuildOptions &options,
                      std::shared_ptr<detail::CompactGraph> compact) {
  HubGraph made;
  made.compact = compact != nullptr ? std::move(compact) : detail::makeCompactGraph(graph);
  detail::CompactGraph &g = *made.compact;
  made.hub = heaviestNode(g.degree);
  if (options.steering) {
    made.hubDistance = std::make_shared<const std::vector<int32_t>>(detail::distancesFrom(g, made.hub));
    made.hubIsFar = meanDistance(*made.hubDistance) >= kFarHub;
    // No engine has read the graph yet (each candidate of the probe is rooted
    // before its engine is made): email-Enron 0.135 -> 0.105 s, cond-mat-2005
    // 0.146 -> 0.096 s, astro-ph weighted 0.33 -> 0.15 s, the mesh 7.0 -> 6.1 s
    // at -j1, with the same trees.
    detail::orderArcsByDistance(g, *made.hubDistance);
  }
  return made;
}

void adoptHubGraph(Target &target, HubGraph &&made) {
  target.compact = std::move(made.compact);
  target.hub = made.hub;
  target.hubDistance = std::move(made.hubDistance);
  target.hubIsFar = made.hubIsFar;
}

// Makes the hub's packing and distances, once for the target.
void prepareHub(Target &target, const BuildOptions &options) {
  if (target.hubPrepared) return;
  target.hubPrepared = true;
  if (target.hub < 0) adoptHubGraph(target, makeHubGraph(target.graph, options, target.compact));
  detail::CompactGraph &g = *target.compact;
  fixStagedWork(target, options);
  if (options.treePacking) {
    detail::PackingProgress progress;
    if (target.staged != nullptr) progress = [&target](double share) { target.staged->packed(share); };
    detail::TreePacking packing = detail::packTrees(g, target.hub, progress);
    target.aloneToHub = std::make_shared<const std::vector<uint8_t>>(std::move(packing.aloneToHub));
    target.packingScans = packing.scans;
    target.provenAtHub = packing.proven;
  }
}

// Roots the target's runs of `engine` at node 0 or at the hub, the heaviest
// node (a block's node 0, see blockTree). A run rooted at the hub settles the
// nodes that trees packed from it prove alone (tree packing), steers the search
// trees towards it (steering) and takes its sources by degree (hubOrder).
void rootAt(Target &target, Engine engine, const BuildOptions &options) {
  target.atHub = false;
  target.lightestRun = false;
  const Graph &g = target.graph;
  bool compact = engine == Engine::ShortestPaths || engine == Engine::SearchTrees;
  if (!compact || g.nodeCount() < 3) return;
  bool steers = engine == Engine::SearchTrees && options.steering;
  if (!steers && !options.treePacking) return;
  prepareHub(target, options);
  target.atHub = steers || target.provenAtHub * int64_t{kPackedShare} >= g.nodeCount();
  target.lightestRun = steers && lightestFirst(target, options);
  // A block of a graph that split is not probed (hubSourcesOf draws none).
  if (target.atHub) target.hubSources = hubSourcesOf(target, target.lightestRun);
}

detail::EngineSettings engineSettings(Engine engine, const Target &target,
                                      const BuildOptions &options) {
  const Graph &g = target.graph;
  detail::EngineSettings settings;
  settings.updateFactor = options.updateFactor;
  settings.degreeBound = options.degreeBound;
  settings.localReset = options.localReset;
  settings.provenDegreeCuts = target.oneBlock && options.provenCuts && g.nodeCount() >= 3;
  settings.neighbourProofs = options.provenCuts;
  // Lightest first, no earlier cut weighs a source's degree but on a tie:
  // the sink sets would cost a look at the source's arcs a cut (2 % more
  // arc looks on the collection's networks) and spare nothing.
  settings.sinkSets = options.sinkSets && !(target.atHub && target.lightestRun);
  settings.compactGraph = target.compact;
  if (target.atHub) {
    settings.aloneToRoot = target.aloneToHub;
    if (engine == Engine::SearchTrees) {
      settings.steerRoot = target.root();
      settings.rootDistance = target.hubDistance;
    }
  }
  return settings;
}

// The work of positions 1 ... i of a run at index i (work.h) for
// progressWork; null when it is not asked for.
std::shared_ptr<const std::vector<int64_t>> predictedWork(const Target &target,
                                                          const detail::EngineSettings &settings,
                                                          const DriverOptions &d,
                                                          const BuildOptions &options) {
  if (!options.progressWork) return nullptr;
  int32_t n = target.graph.nodeCount();
  detail::HubRun run;
  std::vector<int32_t> sources(n, 0);
  if (target.atHub && d.sources != nullptr && target.compact != nullptr) {
    sources.assign(1, target.root());
    sources.insert(sources.end(), d.sources->begin(), d.sources->end());
    run = hubRun(target, settings.provenDegreeCuts, settings.neighbourProofs && settings.degreeBound,
                 settings.steerRoot >= 0, d.threads);
    run.denseSinkSets =
        denseSinkSets(target, settings.sinkSets, settings.degreeBound, target.lightestRun);
    run.aloneToRoot = settings.aloneToRoot.get();
  }
  return std::make_shared<const std::vector<int64_t>>(detail::workUpTo(sources, run));
}

// A run's progress callback: the cuts done, then their predicted work,
// into the cuts' share of `staged` where its total is fixed.
std::function<void(int64_t, int64_t)> progressOf(
    const BuildOptions &options, std::shared_ptr<const std::vector<int64_t>> work,
    const detail::StagedWork *staged) {
  if (work == nullptr) return options.progress;
  if (staged != nullptr && !staged->fixed()) staged = nullptr;
  return [progress = options.progress, progressWork = options.progressWork, work,
          staged](int64_t done, int64_t total) {
    if (progress) progress(done, total);
    int64_t at = (*work)[static_cast<size_t>(done)];
    if (staged != nullptr) staged->cuts(at, work->back());
    else progressWork(at, work->back());
  };
}

// A probe's candidate (probing) leaves the steered paths out: see
// probeEngines.
DriverOptions driverOptions(Engine engine, Target &target, const BuildOptions &options,
                            int threads, bool probing = false) {
  const Graph &g = target.graph;
  if ((engine == Engine::ShortestPaths || engine == Engine::SearchTrees) && target.compact == nullptr)
    target.compact = detail::makeCompactGraph(g);
  DriverOptions d;
  d.threads = threads;
  detail::EngineSettings settings = engineSettings(engine, target, options);
  settings.steeredPaths =
      !probing || (engine == Engine::SearchTrees && target.atHub &&
                   denseSinkSets(target, options.sinkSets, options.degreeBound, target.lightestRun));
  d.makeEngine = detail::engineFactory(engine, g, settings, target.edges);
  d.cancel = options.cancel;
  if (target.atHub) d.sources = &target.hubSources;
  else if (!target.sources.empty()) d.sources = &target.sources;
  return d;
}

// Whether Auto's probe takes push-relabel (and Gomory and Hu's method with
// its probes before the engines'): below kLargeGraphEdges edges and
// kProbeRecordBytes of push-relabel's records.
bool probesRelabel(const Target &target) {
  return target.edges < kLargeGraphEdges &&
         graphBlockBytes(target.graph.nodeCount(), static_cast<int32_t>(target.edges)) <=
             kProbeRecordBytes;
}

// Whether the build of `engine` needs only the compact graph, never the
// graph's own edges: the paths and the trees, and Auto where its probe
// leaves push-relabel out.
bool compactOnly(Engine engine, const Target &target) {
  return engine == Engine::ShortestPaths || engine == Engine::SearchTrees ||
         (engine == Engine::Auto && !probesRelabel(target));
}

// The first kProbeComputations computations of `engine`, on one thread,
// run as the engine named would run them (see buildWhole) but for the
// steered paths (see probeEngines), held to `pace` when given (arc looks
// weighed by costPerScan, as GusfieldRun::scansAfter).
GusfieldRun probeRun(Target &target, Engine engine, const BuildOptions &options,
                     const std::vector<double> *pace, double costPerScan,
                     std::function<void(int64_t, int64_t)> progress) {
  rootAt(target, engine, options);
  DriverOptions probe = driverOptions(engine, target, options, 1, true);
  probe.progress = std::move(progress);
  probe.stopAfter = kProbeComputations;
  probe.costPerScan = costPerScan;
  probe.pace = pace;
  GusfieldRun run = detail::startRun(target.graph.nodeCount(), target.root());
  detail::runGusfield(run, probe);
  return run;
}

struct Probed {
  Engine engine = Engine::PushRelabel;
  GusfieldRun run;
  bool behind = false;  // every candidate fell behind the pace given
};

// The engine whose first computations look at the fewest arcs, weighed by
// what an arc look costs it, with its run of those computations. Each
// candidate builds the start of the tree on its own and is stopped as soon
// as it falls well behind the best so far, so a poor candidate costs little.
// Arc counts, not times, decide: the choice is the same on every run and for
// every thread count. The search trees' steered paths are left out where
// the run takes its sources lightest first: every cut of the probe goes to
// the root, as few of the run's later cuts do on a graph that does not
// split (27 of 4,718 on tanglenet at 4,000 nodes, lightest first, where the
// first cuts give most nodes other parents), and the paths would make the
// run look cheaper than it is (search trees at 3.1 s chosen over
// push-relabel-global at 1.6 s there). A dense run that takes its sources
// heaviest first keeps them: nearly all its cuts go to the root, most by
// the steered paths alone, and without them the probe took the search
// trees for dearer than push-relabel-global on tanglenet at 3,000 to 8,000
// nodes (4,000: 2.10 s by push-relabel-global, 1.07 s by the trees).
//
// `pace`, when given, is that of another method (Gomory and Hu's, by its
// probe) that every candidate is held to from the start; Probed::behind
// tells that none kept up with it.
Probed probeEngines(Target &target, const BuildOptions &options,
                    const std::vector<double> *pace0 = nullptr) {
  struct Candidate {
    Engine engine;
    // Time per arc look, relative, measured on the six families; the
    // steered search trees' queue by distance costs a tenth more than a
    // plain one.
    double costPerScan;
  };
  // Where push-relabel is left out, the search trees go first: the paths,
  // then held to their pace, stop early where they lose (on a Delaunay
  // mesh of 10^5 points the paths' 16 computations had taken 0.63 s before
  // the trees' 0.012 s, half the build; on price 10^6 0.12 s).
  const Candidate withRelabel[] = {
      {Engine::PushRelabelGlobal, 1.0}, {Engine::ShortestPaths, 1.0}, {Engine::SearchTrees, 2.2}};
  const Candidate withoutRelabel[] = {{Engine::SearchTrees, 2.2}, {Engine::ShortestPaths, 1.0}};
  std::vector<Candidate> candidates(std::begin(withRelabel), std::end(withRelabel));
  if (!probesRelabel(target)) candidates.assign(std::begin(withoutRelabel), std::end(withoutRelabel));
  Probed best;
  bool haveBest = false, completeBest = false;
  double bestCost = 0;
  std::vector<double> pace;
  if (pace0 != nullptr) pace = *pace0;
  int tried = 0, count = static_cast<int>(candidates.size());
  for (const Candidate &c : candidates) {
    std::function<void(int64_t, int64_t)> progress;
    if (target.staged != nullptr)
      progress = [&target, tried, count](int64_t done, int64_t) {
        target.staged->probed((tried + static_cast<double>(done) / kProbeComputations) / count);
      };
    tried++;
    GusfieldRun run = probeRun(target, c.engine, options,
                               haveBest || pace0 != nullptr ? &pace : nullptr, c.costPerScan,
                               std::move(progress));
    double cost = static_cast<double>(run.counters.scans) * c.costPerScan;
    bool complete = run.computations == std::min(kProbeComputations, run.n - 1);
    if (!haveBest || (complete && (!completeBest || cost < bestCost))) {
      best = {c.engine, std::move(run)};
      haveBest = true;
      completeBest = complete;
      bestCost = cost;
      if (complete) {
        pace.clear();
        for (int64_t scans : best.run.scansAfter)
          pace.push_back(static_cast<double>(scans) * c.costPerScan);
      }
    }
  }
  best.behind = !completeBest;
  rootAt(target, best.engine, options);  // the run goes on as the best began it
  if (target.staged != nullptr) target.staged->probed(1);
  return best;
}

// probeEngines held to `pace` on another thread, while the source runs'
// build, whose probe set that pace, goes on on this one until the engines'
// probe is done: where the runs win (no engine kept their pace), their
// build has gone on meanwhile (spokerim at 16,000 nodes: the engines'
// probe took 0.25 s of a 2.1 s build on two threads); where an engine
// wins, the runs' cuts are dropped. The choice and the tree are those of
// one thread. Progress and cancellation stay on the calling thread, with
// the runs: the engines' probe calls neither, and stops when the runs
// fail or are cancelled.
Probed probeEnginesBesideRuns(Target &target, const BuildOptions &options,
                              const std::vector<double> &pace, detail::GomoryHuBuild &runs) {
  std::atomic<bool> done{false}, abandoned{false};
  BuildOptions quiet = options;
  quiet.progress = nullptr;
  quiet.progressWork = nullptr;
  quiet.cancel = [&abandoned] { return abandoned.load(); };
  Probed probed;
  std::exception_ptr error;
  std::thread engines([&] {
    try {
      probed = probeEngines(target, quiet, &pace);
    } catch (...) {
      error = std::current_exception();
    }
    done = true;
  });
  try {
    runs.goOnUntil(done);
  } catch (...) {
    abandoned = true;
    engines.join();
    throw;
  }
  engines.join();
  if (error) std::rethrow_exception(error);
  return probed;
}

// Builds the search trees are predicted to finish in this many arc looks
// or fewer take them without the rest of the probe: a few hundredths of a
// second, of which the other candidates and Gomory and Hu's probe took a
// fifth (tanglenet at 1,000 nodes, 3.2e6 predicted: 5 of 26 ms; motley
// at 1,000, 2e5: 2.3 of 5 ms). The families whose trees Gomory and Hu's
// method builds are predicted at 1.9e7 (twinloop, 1,000 nodes) and more.
constexpr double kQuickBuildScans = 5e6;

// The search trees' first computations, where the whole build by them is
// predicted at kQuickBuildScans arc looks or fewer. They are held to that
// rate from the first (with the driver's slack), so a build that is not
// quick loses little to the try: the wheels' first flows give up within a
// few thousand arc looks. On a graph of kProbeComputations + 1 nodes or
// fewer the probe is the whole build, and the candidates' own counts decide.
std::optional<GusfieldRun> quickTreesRun(Target &target, const BuildOptions &options) {
  int32_t n = target.graph.nodeCount();
  if (n - 1 <= kProbeComputations) return std::nullopt;
  double perComputation = kQuickBuildScans / (n - 1);
  std::vector<double> pace;  // as GusfieldRun::scansAfter
  for (int32_t k = 0; k <= kProbeComputations; k++) pace.push_back(perComputation * k);
  GusfieldRun run = probeRun(target, Engine::SearchTrees, options, &pace, 1.0, nullptr);
  if (run.computations < kProbeComputations ||
      static_cast<double>(run.counters.scans) > pace.back())
    return std::nullopt;
  return run;
}

void checkOptions(const BuildOptions &options) {
  if (options.threads < 0)
    throw Error("threads must be 0 (one per core) or more, not " + std::to_string(options.threads));
  if (!(options.updateFactor > 0))
    throw Error("the update factor must be greater than 0");
  if (!(options.runUpdateFactor > 0))
    throw Error("the run update factor must be greater than 0");
  bool known = false;
  for (const EngineName &e : kEngineNames) known = known || e.engine == options.engine;
  if (!known) throw Error("unknown engine");
  Engine flows = options.gomoryHuFlows;
  if (flows == Engine::Auto || flows == Engine::GomoryHu)
    throw Error(
        "the cuts of gomory-hu are found by push-relabel, push-relabel-global, shortest-paths "
        "or search-trees, not " + std::string(engineName(flows)));
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
  stats.relabels = run.counters.relabels;
  stats.pushes = run.counters.pushes;
  stats.phases = run.counters.phases;
  stats.augmentations = run.counters.augmentations;
  stats.adoptions = run.counters.adoptions;
  stats.scans = run.counters.scans;
  stats.computations = run.computations;
  stats.recomputed = run.recomputed;
  stats.cutsRecorded = run.cutsRecorded;
  stats.seconds = run.seconds;
  stats.lastCutSeconds = run.lastCutSeconds;
  stats.calcSeconds = run.calcSeconds;
  stats.manipSeconds = run.manipSeconds;
  stats.peakBytes = detail::peakResidentBytes();
  return stats;
}

}  // namespace

Engine engineFromName(const std::string &name) {
  for (const EngineName &e : kEngineNames)
    if (name == e.name) return e.engine;
  for (const EngineName &e : kFormerEngineNames)
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
  static const std::vector<Engine> all{Engine::Auto, Engine::PushRelabel, Engine::PushRelabelGlobal,
                                       Engine::ShortestPaths, Engine::SearchTrees, Engine::GomoryHu};
  return all;
}

namespace {

// The Gusfield run of one graph (no decomposition), with its engine.
struct Built {
  Engine engine = Engine::PushRelabel;
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

// The tree by Gomory and Hu's method with contraction, its cuts found by the
// engine options.gomoryHuFlows. No degree of a contracted graph proves a cut
// (its merged edges may each weigh more than a cut of the graph), so provenCuts
// stays out; the degree bound and the local reset hold in any graph.
detail::GomoryHuOptions gomoryHuOptions(const BuildOptions &options, int threads) {
  detail::EngineSettings settings;
  settings.updateFactor = options.updateFactor;
  settings.degreeBound = options.degreeBound;
  settings.localReset = options.localReset;
  settings.neighbourProofs = false;
  Engine flows = options.gomoryHuFlows;
  detail::GomoryHuOptions o;
  o.threads = threads;
  o.progress = options.progress;
  o.progressWork = options.progressWork;
  o.cancel = options.cancel;
  o.pairs = options.spreadPairs ? detail::PairChoice::Spread : detail::PairChoice::Random;
  o.makeEngine = [flows, settings](int32_t n, const std::vector<Edge> &edges) {
    Graph g(n);
    g.reserve(0, static_cast<int64_t>(edges.size()));
    for (const Edge &e : edges) g.addEdge(e.u, e.v, e.capacity);
    return detail::makeEngine(flows, g, settings);
  };
  if (options.sourceRuns && flows == Engine::PushRelabelGlobal)
    o.makeRunEngine = [factor = options.runUpdateFactor, backward = options.backwardCuts](
                          int32_t n, const std::vector<Edge> &edges) {
      auto ways = backward ? detail::CutDirections::Either : detail::CutDirections::Forward;
      return std::make_unique<detail::WarmPreflow>(n, edges, factor, ways);
    };
  return o;
}

GusfieldRun gomoryHuRun(const Graph &graph, const BuildOptions &options, int threads) {
  return detail::runGomoryHu(graph.nodeCount(), graph.edges(), gomoryHuOptions(options, threads));
}

// Cuts of Gomory and Hu's method that Auto makes to see whether it pays, and
// the nodes the second half of them must take off each on average from the
// graph of the part they cut: where its cuts take off several nodes at a time
// (the wheels and rings of the families, 5 to 10 over cuts 16 to 32), the
// graphs its later cuts run on shrink and it beats Gusfield's method by 5 to 10
// times; where they take off one node each (motley, tanglenet, and twinloop
// after its first cut halves it: 0 to 0.3), its graphs stay large and its
// bookkeeping makes it up to 14 times slower.
constexpr int32_t kContractionProbe = 32;
constexpr int32_t kContractionShrink = 2;

// Builds whose probe predicts fewer arc looks than this are over in a
// tenth of a second or so, and the contraction probe, 32 flows from nothing,
// would add a third to a half (tanglenet at 2,000 nodes, 3.5e7 predicted:
// 34 ms of 115; motley at 8,000, 2.9e7: 32 of 75).
constexpr double kLongBuildScans = 1e8;

// Whether the run the probe began, at its pace, will look at kLongBuildScans
// arcs or more.
bool longBuild(const GusfieldRun &probed, int32_t n) {
  if (probed.computations == 0) return false;
  return static_cast<double>(probed.counters.scans) * (n - 1) / probed.computations >=
         kLongBuildScans;
}

// Gomory and Hu's method as Auto runs it, on `threads` threads, its
// first kContractionProbe cuts a probe (GomoryHuOptions::stopAfter).
detail::GomoryHuOptions contractionOptions(const BuildOptions &options, int threads,
                                           double scansPerFirstCut, int64_t shavedEnough) {
  BuildOptions probe = options;
  probe.gomoryHuFlows = Engine::PushRelabelGlobal;
  detail::GomoryHuOptions o = gomoryHuOptions(probe, threads);
  o.stopAfter = kContractionProbe;
  o.scansPerFirstCut = scansPerFirstCut;
  o.shavedEnough = shavedEnough;
  return o;
}

// The first kContractionProbe cuts of Gomory and Hu's method as Auto would
// run it.
detail::GomoryHuProbe probeContraction(int32_t n, const std::vector<Edge> &edges,
                                       const BuildOptions &options, double scansPerFirstCut = 0,
                                       int64_t shavedEnough = 0) {
  return detail::probeGomoryHu(n, edges, contractionOptions(options, 1, scansPerFirstCut, shavedEnough));
}

// On a graph whose probe leaves push-relabel out (probesRelabel), Gomory and
// Hu's method is left out of Auto's probe, its records like push-relabel's
// costing several times the graph, but for builds whose Gusfield cuts each cost a flow
// over the whole graph or more (arc looks per computation of the engines'
// probe at least the graph's arcs), where its flows on shrinking graphs,
// each from the last, win by far: ringforge at 32,000 nodes (160,000
// edges) looked at 28 times its arcs a cut and took 187 s by Gusfield's
// method, 32 s by source runs (62.6 MB peak); the collection's networks,
// price 10^5, the Delaunay mesh and tanglenet at 8,000 and 16,000 nodes
// look at 0.005 to 0.06 times their arcs a cut.
bool wholeGraphCuts(const GusfieldRun &probed, const Target &target) {
  return probed.computations > 0 &&
         static_cast<double>(probed.counters.scans) / probed.computations >=
             2 * static_cast<double>(target.edges);
}

// The pace the engines' probe is held to on a graph whose probe leaves
// push-relabel out, where Gomory and Hu's source runs may follow: this many times the
// graph's arcs a computation. Their computations look at far fewer on the
// networks and meshes (0.005 to 0.06 times) and at 28 times on ringforge at
// 32,000 nodes; on a wheel of 50,000 spokes (100,017 edges) each computation
// by the paths looked at tens of thousands of times them, and the probe's
// 16 took 150 s, where the source runs build the whole tree in 31 s.
constexpr double kWholeGraphPace = 64;

// A pace of `perCut` arc looks a computation, after 0 ... kProbeComputations
// computations (as GusfieldRun::scansAfter).
std::vector<double> paceAt(double perCut) {
  std::vector<double> pace;
  for (int32_t k = 0; k <= kProbeComputations; k++) pace.push_back(perCut * k);
  return pace;
}

std::vector<double> wholeGraphPace(const Target &target) {
  return paceAt(kWholeGraphPace * 2 * static_cast<double>(target.edges));
}

// The arc looks a computation of the engines' probe took: where every
// candidate fell behind `pace`, at least the pace's (slack included).
double enginesPerCut(const Probed &probed, const std::vector<double> &pace) {
  if (probed.behind) return pace[1] * detail::kPaceSlack;
  return static_cast<double>(probed.run.counters.scans) / probed.run.computations;
}

// The graph's edges, from its compact copy when the graph's own are freed
// (parallel edges merged, self loops dropped: the same cuts).
std::vector<Edge> edgesOf(const Target &target) {
  if (target.compact == nullptr) return target.graph.edges();
  const detail::CompactGraph &g = *target.compact;
  std::vector<Edge> edges;
  edges.reserve(g.head.size() / 2);
  for (int32_t u = 0; u < g.n; u++)
    for (int32_t a = g.first[u]; a < g.first[u + 1]; a++)
      if (u < g.head[a]) edges.push_back({u, g.head[a], g.cap[a]});
  return edges;
}

// The nodes the second half of the probe's cuts must take off.
constexpr int64_t kShavedEnough = kContractionShrink * (kContractionProbe - kContractionProbe / 2);

// Whether the probe's cuts take off several nodes each.
bool contractionShrinks(const detail::GomoryHuProbe &probe) {
  return probe.shaved >= kShavedEnough;
}

// Whether Gomory and Hu's method, its flows from nothing, two pairs at a
// time, takes off several nodes a cut: its pairs, of the heaviest node and
// the farthest, split a part more evenly than a source run's do, which is
// what decides on a long build.
bool contractionPays(int32_t n, const std::vector<Edge> &edges, const BuildOptions &options) {
  BuildOptions batches = options;
  batches.sourceRuns = false;
  return contractionShrinks(probeContraction(n, edges, batches, 0, kShavedEnough));
}

// Gomory and Hu's probe as a pace for Gusfield's: its arc looks per cut
// over kPaceShare, after 0 ... kProbeComputations computations of the
// engines' probe (GusfieldRun::scansAfter). Its first cuts run on the
// whole graph and its later ones on the same graph or smaller ones, each
// from the flow the last one left; held to a quarter of Gusfield's per
// cut, the runs win by a margin however little their cuts shrink the part
// (twinloop, whose cuts take off one node each: 4,000 nodes by shortest
// paths 1.30 s, by the runs 0.14 s).
constexpr double kPaceShare = 0.25;
// The first cut of source runs is a flow from nothing on the whole graph,
// about what one of Gusfield's costs; runs whose probe looks at more than
// this many times its arcs cannot set a pace a quarter of Gusfield's, and
// the probe ends there (on twinloop and tanglenet at 4,000 nodes, whose
// runs lose, it had cost 0.4 and 1 s).
constexpr double kPaceBudget = kContractionProbe * kPaceShare;

std::vector<double> paceOf(const detail::GomoryHuProbe &probe, double share = kPaceShare) {
  return paceAt(static_cast<double>(probe.scans) / std::max(probe.cuts, 1) / share);
}

// The share of the engines' arc looks per computation that the source runs'
// probe must keep to on a graph whose probe leaves push-relabel out, where it runs
// only once each of the engines' computations looks at twice the graph's
// arcs (wholeGraphCuts): there every probe cut runs on the whole graph and
// the later ones on parts that contraction shrinks, while Gusfield's cuts
// stay on the whole graph. A ladder of 200,000 nodes (300,000 edges) kept
// 0.32 of the shortest paths' pace and took 0.48 s by the runs, 50 s by
// the paths (45 million arc looks against 44.5 billion).
constexpr double kLargePaceShare = 0.5;

// On a graph whose probe leaves push-relabel out, the source runs' build, its probe
// made, where it wins over the engines' `probed` (held to `pace`,
// wholeGraphPace), else null. Its first kContractionProbe cuts run with no
// budget of arc looks (each of the engines' computations costs several
// flows over the graph already), and the runs win where they keep
// kLargePaceShare of the engines' pace per cut. Where every engine fell
// behind wholeGraphPace, their pace is not known: they are probed again,
// held to the runs' (the runs' first cuts, flows over the whole graph from
// nothing, cost more than their later ones: on the wheel of 50,000 spokes
// 420 times the arcs each, where the whole build averages 0.6), and the
// runs win where the engines fall behind it again; `probed` is then the new
// probe. The batches' probe (contractionPays) is left out: its push-relabel
// records would add about three times the graph to the build's peak.
std::unique_ptr<detail::GomoryHuBuild> largeGraphRuns(Target &target, const BuildOptions &options,
                                                      int threads, Probed &probed,
                                                      const std::vector<double> &pace) {
  if (!probed.behind && !wholeGraphCuts(probed.run, target)) return nullptr;
  double perCut = enginesPerCut(probed, pace);
  detail::GomoryHuOptions o = contractionOptions(options, threads, 0, 0);
  if (target.staged != nullptr && target.staged->fixed())  // the work after the setup's
    o.progressWork = [staged = target.staged](int64_t done, int64_t all) { staged->cuts(done, all); };
  auto runs = std::make_unique<detail::GomoryHuBuild>(target.graph.nodeCount(), edgesOf(target),
                                                      std::move(o));
  detail::GomoryHuProbe first = runs->probe();
  if (first.cuts != kContractionProbe) return nullptr;
  if (static_cast<double>(first.scans) / first.cuts <= kLargePaceShare * perCut) return runs;
  if (!probed.behind) return nullptr;
  std::vector<double> runsPace = paceOf(first, kLargePaceShare);
  probed = probeEngines(target, options, &runsPace);
  return probed.behind ? std::move(runs) : nullptr;
}

// Where the source runs' probe ended by its budget of arc looks before its
// kContractionProbe cuts (its first cut set that budget, and its next cuts,
// each a flow over most of the graph, cost more before the flows begin to
// follow each other and the parts to shrink), the engines are held to
// twice its arc looks per cut so far, and the runs' probe then goes on,
// held to theirs: the runs win where all their cuts look at no more arcs
// each than the engines' computations did. Else the build had gone on to
// the batches' probe (contractionPays), 32 more flows from nothing, or to
// push-relabel: spokerim at 3,000 nodes with -r1 and -r10 took 39 and 40 s
// by push-relabel, 1.4 and 1.8 s so; ringforge at 4,000 and 16,000 nodes
// spent 0.13 and 0.72 s of builds of 0.8 and 11 s in the batches' probe
// before taking Gomory and Hu's method anyway; hubspin at 1,000 with -r1
// took 0.90 s by push-relabel, 0.10 s so (at half the engines' pace, its
// runs' 24th cut passed it). Where the runs lose (tanglenet, motley) their
// probe's cuts looked at 3.9 times the engines' arcs a computation or more.
constexpr double kKeepUpShare = 1.0;

bool runsKeepUp(detail::GomoryHuBuild &runs, double enginesPerCut) {
  auto budget = static_cast<int64_t>(kContractionProbe * kKeepUpShare * enginesPerCut);
  detail::GomoryHuProbe more = runs.probeFurther(kContractionProbe, budget);
  return more.cuts == kContractionProbe && more.scans <= budget;
}

// Whether the build of `target` reports its setup (StagedWork): a whole
// graph of kLargeGraphEdges or more, whose probe leaves push-relabel and
// contraction out, with a progress callback.
bool stagesWork(const Target &target, const BuildOptions &options) {
  return !target.split && target.edges >= kLargeGraphEdges && target.graph.nodeCount() >= 3 &&
         (options.progress || options.progressWork);
}

// A block of a graph that split comes with its sources' order and takes
// SearchTrees for Auto: on real networks, which split into a large block and
// many small ones, the search trees were the quickest engine on every block
// size, and probing each block cost more than it saved.
//
// `owned` is the graph itself when the build owns it: its edges are freed
// once an engine of the compact graph has them in its arrays.
//
// `ahead` is the target's hub graph when it was made ahead (HubGraph).
Built buildWhole(const Graph &graph, const BuildOptions &options, int threads, bool oneBlock,
                 bool split, std::vector<int32_t> blockSources = {}, Graph *owned = nullptr,
                 HubGraph *ahead = nullptr) {
  if (options.engine == Engine::GomoryHu)
    return {Engine::GomoryHu, gomoryHuRun(graph, options, threads)};
  double start = detail::steadySeconds();
  Target target(graph, oneBlock, split, std::move(blockSources));
  target.threads = threads;
  if (ahead != nullptr && ahead->hub >= 0) adoptHubGraph(target, std::move(*ahead));
  Built b;
  b.engine = options.engine;
  if (b.engine == Engine::Auto && !target.sources.empty()) b.engine = Engine::SearchTrees;
  std::optional<detail::StagedWork> staged;
  if (stagesWork(target, options)) {
    staged.emplace(options.progress, options.progressWork, graph.nodeCount(), target.edges);
    target.staged = &*staged;
    target.probes = b.engine == Engine::Auto;
  }
  if (owned != nullptr && graph.nodeCount() >= 2 && compactOnly(b.engine, target)) {
    if (target.compact == nullptr) target.compact = detail::makeCompactGraph(graph);
    detail::releaseEdges(*owned);
  }
  // An engine named (or SearchTrees for a block) runs from the hub where it
  // may.
  if (b.engine != Engine::Auto) rootAt(target, b.engine, options);
  if (b.engine != Engine::Auto || graph.nodeCount() < 2)
    b.run = detail::startRun(graph.nodeCount(), target.root());
  bool probe = graph.nodeCount() >= 2 && b.engine == Engine::Auto;
  if (probe && !target.split) {
    if (std::optional<GusfieldRun> quick = quickTreesRun(target, options)) {
      b.engine = Engine::SearchTrees;
      b.run = std::move(*quick);
    }
  }
  if (probe && b.engine == Engine::Auto) {
    // Where the first cuts of Gomory and Hu's method take off several nodes
    // each, contraction shrinks the graphs its later cuts run on: it then
    // beats Gusfield's method with whichever engine on a long build, which
    // the engines' probe judges by its first cuts alone, and it wins at
    // once where its cuts, from one flow to the next, cost less than their
    // first computations. Its flows by push-relabel, left out with it on
    // large graphs.
    // The source runs' probe is the start of their build, kept to go on
    // from when they are chosen.
    std::vector<double> pace;
    std::unique_ptr<detail::GomoryHuBuild> runs;
    bool partialRuns = false;  // the runs' probe ended by its budget
    bool runsProbed = options.contraction && options.sourceRuns;
    bool largeRuns = runsProbed && !probesRelabel(target);
    if (runsProbed && !largeRuns) {
      runs = std::make_unique<detail::GomoryHuBuild>(
          graph.nodeCount(), graph.edges(), contractionOptions(options, threads, kPaceBudget, 0));
      detail::GomoryHuProbe first = runs->probe();
      // A probe ended by its budget sets a pace of twice its arc looks per
      // cut so far, and goes on later (runsKeepUp).
      partialRuns = first.cuts < kContractionProbe;
      pace = paceOf(first, partialRuns ? kLargePaceShare : kPaceShare);
    }
    if (largeRuns) pace = wholeGraphPace(target);
    Probed probed = runs != nullptr && !partialRuns && threads > 1
                        ? probeEnginesBesideRuns(target, options, pace, *runs)
                        : probeEngines(target, options, pace.empty() ? nullptr : &pace);
    if (largeRuns) {
      if (std::unique_ptr<detail::GomoryHuBuild> won = largeGraphRuns(target, options, threads, probed, pace)) {
        b = {Engine::GomoryHu, won->finish()};
        b.run.seconds = b.run.lastCutSeconds = detail::steadySeconds() - start;
        return b;
      }
    }
    bool runsWin = runs != nullptr && !partialRuns && probed.behind;
    if (partialRuns) {
      runsWin = runsKeepUp(*runs, enginesPerCut(probed, pace));
      // Held to the pace of the runs' first cuts, every engine fell
      // behind, and the runs do not keep up either: the engines are
      // probed again, each at its own pace, to find the best of them.
      if (!runsWin && probed.behind) probed = probeEngines(target, options);
    }
    b.engine = probed.engine;
    b.run = std::move(probed.run);
    if (runsWin ||
        (options.contraction && probesRelabel(target) && longBuild(b.run, graph.nodeCount()) &&
         contractionPays(graph.nodeCount(), graph.edges(), options))) {
      BuildOptions contracted = options;
      contracted.gomoryHuFlows = Engine::PushRelabelGlobal;
      b = {Engine::GomoryHu, runs != nullptr ? runs->finish() : gomoryHuRun(graph, contracted, threads)};
      double took = detail::steadySeconds() - start;
      b.run.seconds = b.run.lastCutSeconds = took;
      return b;
    }
  }
  if (b.engine == Engine::Auto) b.engine = Engine::PushRelabel;  // nothing to compute
  if (graph.nodeCount() >= 2) {
    DriverOptions driver = driverOptions(b.engine, target, options, threads);
    driver.progress = progressOf(
        options, predictedWork(target, engineSettings(b.engine, target, options), driver, options),
        target.staged);
    // The probe works silently; its kept cuts count as done.
    if (probe && driver.progress) driver.progress(b.run.computations, graph.nodeCount() - 1);
    if (owned != nullptr && compactOnly(b.engine, target)) detail::releaseEdges(*owned);
    detail::runGusfield(b.run, driver);
  }
  b.run.counters.scans += target.packingScans;
  // The packing and the probe's other candidates took time too.
  double before = detail::steadySeconds() - start - b.run.seconds;
  b.run.seconds += before;
  b.run.lastCutSeconds += before;
  return b;
}

// Turns the tree around so that node 0 is its root: the edges on the path
// from node 0 to the old root point the other way, keeping their weights.
void rootAtZero(detail::ParentTree &t) {
  int32_t below = -1;
  int64_t belowWeight = 0;
  for (int32_t v = 0; v >= 0;) {
    int32_t up = t.parent[v];
    int64_t weight = t.weight[v];
    t.parent[v] = below;
    t.weight[v] = belowWeight;
    below = v;
    belowWeight = weight;
    v = up;
  }
}

detail::ParentTree parentTreeOf(const GusfieldRun &run) {
  detail::ParentTree t;
  t.parent.assign(run.n, -1);
  t.weight.assign(run.n, 0);
  for (int32_t p = 1; p < run.n; p++) {
    t.parent[run.records[p].id] = run.records[p].parent;
    t.weight[run.records[p].id] = run.records[p].weight;
  }
  if (run.n > 0 && run.root != 0) rootAtZero(t);
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
  total.counters += part.counters;
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
  detail::ParentTree d = detail::denseCutTree(size, edges, sum.counters.scans);
  sum.computations += size - 1;
  for (int32_t k = 1; k < size; k++) sum.cutsRecorded += d.weight[k] < INT64_MAX;
  return d;
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
// the dense solver, the others take their sources by degree (heaviest
// first, or as hubOrder puts them where the run is rooted at the hub).
detail::ParentTree blockTree(detail::Block &block, const BuildOptions &options,
                             int threads, GusfieldRun &sum, Engine &engine, bool &built) {
  int32_t size = static_cast<int32_t>(block.nodes.size());
  std::vector<int64_t> degree = weightedDegrees(size, block.edges);
  int32_t hub = heaviestNode(degree);
  std::swap(degree[0], degree[hub]);  // by local number from here on
  auto label = [hub](int32_t k) { return k == hub ? 0 : k == 0 ? hub : k; };
  detail::ParentTree t;
  if (solvedDensely(block, options)) {
    if (options.cancel && options.cancel()) throw Cancelled();
    std::vector<Edge> edges = block.edges;
    for (Edge &e : edges) e = {label(e.u), label(e.v), e.capacity};
    t = denseTree(size, edges, sum);
  } else {
    // The block's graph in local numbers, owned by its build, which frees
    // its edges once it has them in its own arrays; the plan's copy goes
    // at once.
    Graph local(size);
    local.reserve(0, static_cast<int64_t>(block.edges.size()));
    for (const Edge &e : block.edges) local.addEdge(label(e.u), label(e.v), e.capacity);
    std::vector<Edge>().swap(block.edges);
    std::vector<int32_t> sources;
    if (options.engine == Engine::Auto) sources = heaviestFirst(degree);
    std::vector<int64_t>().swap(degree);  // not needed during the build
    Built b = buildWhole(local, options, size < kThreadedBlock ? 1 : threads, true, true,
                         std::move(sources), &local);
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

// The blocks' indices, those the dense solver takes first (they cost next
// to nothing), the others in the plan's order: the cuts left are then those
// of flows, and the rate of the progress calls tells the time left.
std::vector<size_t> denseFirst(const detail::BlockPlan &plan, const BuildOptions &options) {
  std::vector<size_t> order;
  for (int pass = 0; pass < 2; pass++)
    for (size_t b = 0; b < plan.blocks.size(); b++)
      if (solvedDensely(plan.blocks[b], options) == (pass == 0)) order.push_back(b);
  return order;
}

// The predicted work of a graph that split, for progressWork: each block's
// share fixed before any is built (blockWork), so the total stays the same
// over the build; a block's run spreads its share over its positions as its
// own prediction does. The blocks go in the order of denseFirst.
class BlockWork {
 public:
  BlockWork(const detail::BlockPlan &plan, const BuildOptions &options)
      : report_(options.progressWork) {
    if (!report_) return;
    for (size_t b : denseFirst(plan, options)) {
      const detail::Block &block = plan.blocks[b];
      share_.push_back(detail::blockWork(static_cast<int32_t>(block.nodes.size()), block.edges,
                                         solvedDensely(block, options)));
      total_ += share_.back();
    }
  }
  // The current block's run has `done` of its `all`.
  void report(int64_t done, int64_t all) const {
    if (!report_) return;
    int64_t share = block_ < share_.size() ? share_[block_] : 0;
    report_(before_ + detail::partOf(share, done, all), total_);
  }
  // The current block is built: its share counts as done.
  void next() {
    if (block_ < share_.size()) before_ += share_[block_++];
  }
  // The blocks built so far.
  void reportBuilt() const {
    if (report_) report_(before_, total_);
  }

 private:
  std::function<void(int64_t, int64_t)> report_;
  std::vector<int64_t> share_;  // by block, in build order
  int64_t total_ = 0, before_ = 0;
  size_t block_ = 0;
};

// The tree glued from the blocks' trees. Progress counts the cuts of all
// blocks against their total; the engine reported is the first (largest)
// block's that an engine built, SearchTrees under Auto when none did.
CutTree treeOfBlocks(const Graph &graph, detail::BlockPlan &plan,
                      const BuildOptions &options, int threads, double start) {
  int64_t total = 0, before = 0;
  for (const detail::Block &block : plan.blocks) total += static_cast<int64_t>(block.nodes.size()) - 1;
  BuildOptions inner = options;
  if (options.progress)
    inner.progress = [&](int64_t done, int64_t) { options.progress(before + done, total); };
  BlockWork work(plan, options);
  if (options.progressWork)
    inner.progressWork = [&](int64_t done, int64_t all) { work.report(done, all); };
  GusfieldRun sum = detail::startRun(0);
  Engine engine = options.engine == Engine::Auto ? Engine::SearchTrees : options.engine;
  bool built = false;
  std::vector<detail::ParentTree> trees(plan.blocks.size());
  for (size_t b : denseFirst(plan, options)) {
    detail::Block &block = plan.blocks[b];
    trees[b] = blockTree(block, inner, threads, sum, engine, built);
    before += static_cast<int64_t>(block.nodes.size()) - 1;
    work.next();
    // An engine's run reports its own cuts; the dense solver's come at once.
    if (solvedDensely(block, options)) {
      if (options.progress) options.progress(before, total);
      work.reportBuilt();
    }
  }
  detail::ParentTree whole = detail::assembleTree(plan, trees);
  sum.seconds = sum.lastCutSeconds = detail::steadySeconds() - start;
  BuildStats stats = statsOf(sum, engine);
  stats.threads = threads;
  return CutTree(graph.ids(), std::move(whole.parent), std::move(whole.weight), stats);
}

// Whether the hub's graph is made on another thread while the calling one
// searches for blocks: on two threads or more, for a large graph of many
// nodes that may well be one block (no node of fewer than two edges: a real
// network's pendant nodes split it) and an engine that roots its runs at
// the hub. The search costs a few cache misses a node: on price 10^6 it
// takes 0.45 s, the compact graph, the hub's distances and the arcs' order
// 0.6 s. On tanglenet's 640,000 edges between 16,000 nodes it is over at
// once, and the compact graph made beside it only raised the peak from 38
// to 48 MB. The packing waits for the plan, for memory's sake (its records
// beside the search's would raise the peak).
constexpr int32_t kAheadNodes = 1 << 16;

bool hubGraphAhead(const Graph &graph, const BuildOptions &options, int threads) {
  bool rooted = options.engine == Engine::Auto || options.engine == Engine::SearchTrees ||
                options.engine == Engine::ShortestPaths;
  if (threads < 2 || graph.edgeCount() < kLargeGraphEdges || graph.nodeCount() < kAheadNodes ||
      !rooted || !(options.steering || options.treePacking))
    return false;
  std::vector<int32_t> edgesAt(static_cast<size_t>(graph.nodeCount()), 0);
  for (const Edge &e : graph.edges())
    if (e.u != e.v && e.capacity > 0) edgesAt[e.u]++, edgesAt[e.v]++;
  return std::all_of(edgesAt.begin(), edgesAt.end(), [](int32_t k) { return k >= 2; });
}

std::string graphName(const Graph &graph) {
  return detail::graphSize(graph.nodeCount(), graph.edgeCount());
}

}  // namespace

namespace {

// `owned` as for buildWhole: a graph that splits frees its edges once its
// blocks have theirs.
CutTree buildChecked(const Graph &graph, const BuildOptions &options, Graph *owned) {
  double start = detail::steadySeconds();
  int threads = threadCount(options);
  detail::BlockPlan plan;
  std::future<HubGraph> ahead;
  if (options.decompose && graph.nodeCount() >= 2) {
    if (hubGraphAhead(graph, options, threads))
      ahead = std::async(std::launch::async, [&] { return makeHubGraph(graph, options, nullptr); });
    plan = detail::withMemory(
        [&] { return detail::decompose(graph.nodeCount(), graph.edges(), false); },
        [&] { return "splitting " + graphName(graph) + " into blocks"; });
  }
  if (options.decompose && graph.nodeCount() >= 2 && !detail::isWholeBlock(plan)) {
    ahead = {};  // waits for the hub graph, and drops it
    if (owned != nullptr) detail::releaseEdges(*owned);
    return treeOfBlocks(graph, plan, options, threads, start);
  }
  plan = detail::BlockPlan();  // a graph of one block is built as it is
  bool oneBlock = options.decompose && graph.nodeCount() >= 2;
  HubGraph made;
  if (ahead.valid()) made = ahead.get();
  // The search that found one block is part of the build's time: on price
  // 10^6 it takes a tenth of it.
  double searched = detail::steadySeconds() - start;
  Built b = buildWhole(graph, options, threads, oneBlock, false, {}, owned, &made);
  b.run.seconds += searched;
  b.run.lastCutSeconds += searched;
  return treeOf(graph, b.run, b.engine, threads);
}

CutTree buildGuarded(const Graph &graph, const BuildOptions &options, Graph *owned) {
  checkOptions(options);
  // The size as it is before the build may free the edges.
  int64_t nodes = graph.nodeCount(), edges = graph.edgeCount();
  try {
    return detail::withMemory([&] { return buildChecked(graph, options, owned); },
                              [&] { return "the cut tree of " + detail::graphSize(nodes, edges); });
  } catch (const std::system_error &e) {
    // A thread that could not be started.
    throw Error("cannot start the build's threads: " + std::string(e.what()));
  }
}

}  // namespace

CutTree buildCutTree(const Graph &graph, const BuildOptions &options) {
  return buildGuarded(graph, options, nullptr);
}

CutTree buildCutTree(Graph &&graph, const BuildOptions &options) {
  Graph owned = std::move(graph);
  graph = Graph();
  return buildGuarded(owned, options, &owned);
}

}  // namespace sunder
