// The predicted work of a build's cuts, which BuildOptions::progressWork
// reports: how far a build has gone in time, not in cuts.
//
// Cuts cost very different amounts, and their cost changes over a run
// rooted at the hub, whose sources go by degree (hubOrder): a node proven
// alone (by the packed trees or its degree) costs no flow, a flow costs
// about a * (1 + a / 96) for a source of a arcs (a heavy node's cut to the
// hub pushes as many paths as it has arcs, each longer; on a weighted
// graph a is its summed capacity in arcs of the mean capacity where that
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
  // The root's distances when cuts to it are steered: their neighbour
  // proofs are tried from far sources only (kFarFromRoot).
  const std::vector<int32_t> *steerDistance = nullptr;
  // The hub's distances when it is far: a flow's work grows with its length.
  const std::vector<int32_t> *farDistance = nullptr;
};

// Work of positions 1 ... i at index i (index 0: none) for the sources in
// order, the root first: `sources` holds n nodes. Null `run.graph`: every
// cut kWorkUnit.
std::vector<int64_t> workUpTo(const std::vector<int32_t> &sources, const HubRun &run);

// The work a block of `size` nodes is predicted to take before it is built:
// none for the dense solver's blocks, else every node but the heaviest a
// flow by its arcs.
int64_t blockWork(int32_t size, const std::vector<Edge> &edges, bool dense);

}  // namespace sunder::detail

#endif
