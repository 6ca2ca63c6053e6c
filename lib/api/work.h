// The predicted work of a build's cuts, which BuildOptions::progressWork
// reports: how far a build has gone in time, not in cuts.
//
// Cuts cost very different amounts, and their cost changes over a run
// rooted at the hub, whose sources go by degree (hubOrder): a node proven
// alone (by the packed trees or its degree) costs no flow, a flow costs
// about a * (1 + a / 96) for a source of a arcs (a heavy node's cut to the
// hub pushes as many paths as it has arcs, each longer; on a weighted
// graph a is its summed capacity in arcs of the median capacity where that
// is more), times the source's distance to the hub on a graph whose hub
// is far (a mesh: the steered search runs along about a path to it), and
// a neighbour proof keeps the flow near the source (fitted on recorded
// builds of real networks, meshes and the families). Runs of other roots
// draw their order at random: their cuts count alike.
//
// Invariants: every cut of a flow run counts kWorkUnit at least, those of
// the dense solver's blocks (built first, at once) nothing; the work of the
// positions 1 ... i only grows with i; the prediction takes O(n + m) once
// per run, made only when progressWork is asked for.
#ifndef SUNDER_API_WORK_H
#define SUNDER_API_WORK_H

#include <cstdint>
#include <functional>
#include <vector>

#include "lib/engines/compact_graph.h"
#include "sunder/graph.h"

namespace sunder::detail {

// The work of a cut proven without a flow (packed trees, degree bound), and
// the least a run's cut counts.
constexpr int64_t kWorkUnit = 16;

// What a run rooted at the hub spares flows with; pointers may be null.
struct HubRun {
  const CompactGraph *graph = nullptr;
  const std::vector<uint8_t> *aloneToRoot = nullptr;  // proven by the packing
  int64_t provenDegree = -1;    // degrees at most this are proven alone; -1: none
  bool neighbourProofs = false;  // sinks the root included
  // A dense graph's run, heaviest first, whose flows end at the sink sets
  // (trees.h): a source's flow crosses the graph until some of the nodes
  // round it came before it (kUnboundFlow).
  bool denseSinkSets = false;
  // The root's distances when cuts to it are steered: their neighbour
  // proofs are tried from far sources only (kFarFromRoot).
  const std::vector<int32_t> *steerDistance = nullptr;
  // The hub's distances when it is far: a flow's work grows with its length.
  const std::vector<int32_t> *farDistance = nullptr;
  // What each cut costs beside its flow: its commit and tree update.
  int64_t commitWork = kWorkUnit;
};

// The commit work of a run on `threads` threads: the flows run beside the
// commits, which stay on one thread and cost more there (a cut proven
// without a flow took 0.12 µs at one thread and 0.3 µs at two on real
// networks, while the flows of 8 to 64 arcs took as long a cut).
int64_t commitWorkOn(int threads);

// Work of positions 1 ... i at index i (index 0: none) for the sources in
// order, the root first: `sources` holds n nodes. Null `run.graph`: every
// cut kWorkUnit.
std::vector<int64_t> workUpTo(const std::vector<int32_t> &sources, const HubRun &run);

// The work a block of `size` nodes is predicted to take before it is built:
// none for the dense solver's blocks, else every node but the heaviest a
// flow by its arcs.
int64_t blockWork(int32_t size, const std::vector<Edge> &edges, bool dense);

// `done` of `all` units as a part of `share`: share * done / all, at most
// share, all of it once done reaches all (or all is 0).
int64_t partOf(int64_t share, int64_t done, int64_t all);

// A large graph's build reported as its setup, then its cuts, on one total
// fixed once the hub's order is known: before the first cut the setup of
// such a graph takes about half its time (the decomposition, the compact
// graph, the hub's distances, the packing and Auto's probe: 1.8 of 3.8 s on
// price 10^6), which the cuts alone leave without a rate. Each report is a
// call of `progress` with no cut done, then of `progressWork` (either may
// be empty) with the setup's work so far; once the run starts, its own
// predicted work is scaled into the cuts' share. The setup's work per edge,
// in the cuts' units, was fitted on price networks of 10^5 and 10^6 nodes
// and email-Enron's large block on two threads: kWorkBeforeTotal for what
// comes before the total is known (counted done at the first report), then
// kPackingWork; Auto's probe, whose flows run from drawn sources without
// the steered paths (a tenth of a mesh's time), counts 1/kProbeShare of
// the cuts' work.
//
// Invariants: nothing is reported before fix; the total stays as fixed and
// the work reported only grows, reaching the total with the run's last cut.
class StagedWork {
 public:
  static constexpr int64_t kWorkBeforeTotal = 16;
  static constexpr int64_t kPackingWork = 22;
  static constexpr int64_t kProbeShare = 10;

  StagedWork(std::function<void(int64_t, int64_t)> progress,
             std::function<void(int64_t, int64_t)> progressWork, int32_t nodes, int64_t edges);
  // The total: the setup of `edges` (with the packing and probe where they
  // come) and `cutBound` for the cuts; reports the work before it.
  void fix(bool packs, bool probes, int64_t cutBound);
  bool fixed() const { return total_ > 0; }
  void packed(double share) { reportSetup(packingFrom_, packingWork_, share); }
  void probed(double share) { reportSetup(packingFrom_ + packingWork_, probeWork_, share); }
  // The run has `done` of its `all` predicted work.
  void cuts(int64_t done, int64_t all) const;

 private:
  void reportSetup(int64_t from, int64_t work, double share);
  void report(int64_t done) const;  // progress, then the work
  void reportWork(int64_t done) const;
  std::function<void(int64_t, int64_t)> progress_, progressWork_;
  int32_t nodes_;
  int64_t edges_;
  int64_t total_ = 0, packingFrom_ = 0, packingWork_ = 0, probeWork_ = 0, cutsFrom_ = 0;
  mutable int64_t reported_ = 0;
};

}  // namespace sunder::detail

#endif
