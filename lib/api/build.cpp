// buildCutTree: the options checked, the engine chosen (Auto probes the
// candidates), the Gusfield driver run, and its records turned into a
// CutTree in the caller's ids.
#include "sunder/build.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "lib/driver/gusfield.h"
#include "lib/engines/engines.h"
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

using detail::DriverOptions;
using detail::GusfieldRun;

DriverOptions driverOptions(Engine engine, const Graph &g, const BuildOptions &options,
                            int threads) {
  DriverOptions d;
  d.threads = threads;
  detail::EngineSettings settings;
  settings.updateFactor = options.updateFactor;
  d.makeEngine = [engine, &g, settings] { return detail::makeEngine(engine, g, settings); };
  d.progress = options.progress;
  d.cancel = options.cancel;
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
Probed probeEngines(const Graph &g, const BuildOptions &options) {
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
    DriverOptions probe = driverOptions(c.engine, g, options, 1);
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
  if (options.threads > 0) return options.threads;
  unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

CutTree treeOf(const Graph &g, const GusfieldRun &run, Engine engine) {
  int32_t n = g.nodeCount();
  std::vector<int32_t> parent(n, -1);
  std::vector<Capacity> weight(n, 0);
  for (int32_t p = 1; p < n; p++) {
    parent[run.records[p].id] = run.records[p].parent;
    weight[run.records[p].id] = run.records[p].weight;
  }
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
  return CutTree(g.ids(), std::move(parent), std::move(weight), stats);
}

double wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
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

CutTree buildCutTree(const Graph &graph, const BuildOptions &options) {
  checkOptions(options);
  double start = wallSeconds();
  Engine engine = options.engine;
  GusfieldRun run = detail::startRun(graph.nodeCount());
  if (graph.nodeCount() >= 2 && engine == Engine::Auto) {
    Probed probed = probeEngines(graph, options);
    engine = probed.engine;
    run = std::move(probed.run);
  }
  if (engine == Engine::Auto) engine = Engine::Exact;  // nothing to compute
  if (graph.nodeCount() >= 2)
    detail::runGusfield(run, driverOptions(engine, graph, options, threadCount(options)));
  double probing = wallSeconds() - start - run.seconds;
  run.seconds += probing;
  run.lastCutSeconds += probing;
  return treeOf(graph, run, engine);
}

}  // namespace sunder
