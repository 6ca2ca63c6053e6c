// Builds the Gomory-Hu cut tree of an instance by Gusfield's method, in
// sequence or speculatively on several threads, with the same result.
//
// The sources' order is drawn from the C library's `rand`, restarted as an
// unseeded one starts (the same draws as `sunder`), before any cut is known, and each s-t computation depends
// on the graph, the source and the sink alone. So worker threads, each with a
// graph of its own, compute the cuts of later positions ahead of time with
// the sink that is the source's parent at that moment; the cuts are committed
// in order, and a cut whose source's parent changed meanwhile is computed
// again with the right sink. The tree, the cut values and the counters of the
// committed computations are those of the sequential loop.
#ifndef CUTTREE_BUILDER_H
#define CUTTREE_BUILDER_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cuttree/engine.h"
#include "cuttree/instance.h"
#include "solver/outside.h"

namespace cuttree {

struct BuildOptions {
  int threads = 1;         // worker threads; 1 computes in sequence
  std::string engine = "exact";  // how each s-t cut is found (engine.h), or
                                 // "auto": the one that does least on a probe
  EngineSettings settings;
  int32_t stopAfter = 0;           // > 0: only the first positions
  // A probe's pace: it stops as soon as its arcs looked at, times
  // costPerScan, pass kPaceSlack times pace[i] during computation i.
  const std::vector<double> *pace = nullptr;
  double costPerScan = 1.0;
  // Go on from a build of the first positions with the same engine.
  const struct BuildResult *resume = nullptr;
  // Called now and then with the committed and the total computations.
  std::function<void(int32_t done, int32_t total)> progress;
};

// Computations each candidate of "auto" makes before the choice, and how
// far behind the best so far a candidate may fall before it is stopped.
constexpr int32_t kProbeComputations = 16;
constexpr double kPaceSlack = 1.5;

struct BuildResult {
  std::string engine;         // the engine that built the tree
  std::vector<tree> records;  // n records, position 0 the root
  Counters counters;          // the engine's, over the committed computations
  std::vector<int64_t> scansAfter;  // counters.scans after each position (0: none)
  int32_t computations = 0;   // committed: n - 1 unless stopped early
  int32_t recomputed = 0;     // committed only after a second computation
  int32_t cutsRecorded = 0;
  double seconds = 0;         // wall time of the whole build
  double lastCutSeconds = 0;  // wall time until the last cut was committed
  double calcSeconds = 0;     // sum of the s-t computations' wall times
  double manipSeconds = 0;    // the rest: draws, tree updates, waiting
  int32_t n = 0, m = 0;       // the graph's node count and the problem line's M
};

BuildResult buildTree(Instance &inst, const BuildOptions &options);

}  // namespace cuttree

#endif
