// Gusfield's method over a CutEngine: n - 1 minimum s-t cuts, one for every
// position 1 ... n - 1 of the sources' order (draws.h), each source's sink
// being its tree parent at that moment, and Gusfield's tree update
// (parent_tree.h) after each, on the records through lists of children.
//
// In sequence the cuts are computed one after another. With several threads
// the order is drawn before any cut is known and each computation depends on
// the graph, the source and the sink alone, so worker threads (and the
// calling thread, while the cut it is to commit next is not ready) compute
// the cuts of later positions ahead of time with the sink that is the
// source's parent at that moment; the cuts are committed in order, and a
// cut whose source's parent changed meanwhile is computed again with the
// right sink. The tree, the cut values and the counters of the committed
// computations are those of the sequential loop, for every thread count:
// what a computation does depends on the graph, its source and sink and the
// cuts committed more than its lag positions before it, never on which
// engine ran it or what that engine computed before (cut_engine.h).
//
// Progress and cancellation run on the calling thread, between commits. An
// exception from an engine or a callback stops the workers and reaches the
// caller; cancellation throws sunder::Cancelled.
#ifndef SUNDER_DRIVER_GUSFIELD_H
#define SUNDER_DRIVER_GUSFIELD_H

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "lib/driver/cut_engine.h"
#include "outside/outside.h"

namespace sunder::detail {

// A build in progress or finished: the tree records and what it took.
struct GusfieldRun {
  int32_t n = 0;
  int32_t root = 0;                 // the node at position 0, every node's first parent
  std::vector<tree> records;        // n records, position 0 the root
  Counters counters;                // over the committed computations
  // counters.scans after each position (0: none) of its runs that stop
  // early (DriverOptions::stopAfter, a probe), which set the pace of the
  // probe's other candidates
  std::vector<int64_t> scansAfter;
  int32_t computations = 0;         // committed so far
  int32_t recomputed = 0;           // committed only after a second computation
  int32_t cutsRecorded = 0;         // committed with a value below INT64_MAX
  double seconds = 0;               // the whole build, by the clock
  double lastCutSeconds = 0;        // until the last recorded cut was committed
  double calcSeconds = 0;           // the committed computations' own time
  double manipSeconds = 0;          // the rest: draws, tree updates, waiting
};

// Seconds of the steady wall clock, the driver's clock unless told otherwise.
double steadySeconds();

// A new run on n nodes rooted at `root`: every record its own id at its own
// position, but for the root and node 0, which trade places.
GusfieldRun startRun(int32_t n, int32_t root = 0);

struct DriverOptions {
  int threads = 1;  // 1 computes in sequence
  // Engines for the worker threads and for recomputations; the sequential
  // loop uses `engine` when given, else one from the factory.
  std::function<std::unique_ptr<CutEngine>()> makeEngine;
  CutEngine *engine = nullptr;
  // Seconds of some clock; a steady wall clock when empty.
  std::function<double()> clock;
  std::function<void(int64_t done, int64_t total)> progress;
  std::function<bool()> cancel;
  // The computation at position k may use the cut values committed more
  // than lag(k) = min(knownLag, max(16, k / 8)) positions before its own
  // (see KnownCuts), and no computation starts more than its lag ahead of
  // the commits (position k only once 1 ... k - lag(k) are committed), so
  // those values are committed and the same for every thread count. The
  // lag grows from 16 to knownLag over the first positions, so that the
  // first sources' cuts serve as sink sets early (the mesh of 10^5 points
  // 48.0 -> 33.8 M arc looks, tanglenet at 16,000 nodes 228 -> 206 M),
  // and the window of the threads widens with it. 1 or more (less counts
  // as 1).
  int32_t knownLag = 128;
  // The sources in order (position 1 first; every node but the root once),
  // instead of the drawn order; position 0 stays the root.
  const std::vector<int32_t> *sources = nullptr;
  // Sequential only: stop after this position (> 0), or as soon as the
  // arcs looked at, times costPerScan, exceed kPaceSlack times pace[i]
  // during computation i (the probe of an engine against a pace).
  int32_t stopAfter = 0;
  const std::vector<double> *pace = nullptr;
  double costPerScan = 1.0;
};

constexpr double kPaceSlack = 1.5;

// The first `count` sources (at most n - 1) of the drawn order of a run on n
// nodes rooted at `root`.
std::vector<int32_t> drawnSources(int32_t n, int32_t root, int32_t count);

// Goes on with `run` from position run.computations + 1 to the end (or the
// stop) and returns with the run updated.
void runGusfield(GusfieldRun &run, const DriverOptions &options);

}  // namespace sunder::detail

#endif
