// Minimum s-t cuts by blocking flows along shortest augmenting paths, on the
// compact graph (compact_graph.h). Every arc starts with its capacity as
// residual; pushing f along one lowers its residual by f and raises its
// twin's by f.
// A phase labels nodes by their breadth-first distance from s in the
// residual graph, then saturates every shortest path with a depth-first
// walk that only steps from distance d to d + 1 and remembers, per node, the
// first arc that may still carry flow. When t is out of reach the flow is
// maximum, and the nodes reached from s form the source side of a minimum
// cut. With the degree bound the computation also ends as soon as the flow
// equals the weighted degree of s or t: that terminal alone is then a side.
//
// Invariants between computations: res_[a] == cap[a] for every arc a that
// is not in touchedArcs_ (nor the twin of one), unless the list is full
// (TouchedArcs). A node's level_ is base_ plus its distance from s when the
// current phase labelled it, and below base_ otherwise (each phase raises base_ past every level before it), so
// no per-node array needs clearing; its current_ counts only while it is
// labelled.
#ifndef SUNDER_ENGINES_PATHS_H
#define SUNDER_ENGINES_PATHS_H

#include <cstdint>
#include <vector>

#include "lib/driver/cut_engine.h"
#include "lib/engines/compact_graph.h"

namespace sunder::detail {

class AugmentingPaths {
 public:
  explicit AugmentingPaths(const CompactGraph &g, const CompactSettings &settings = {});

  // Max flow from s to t; side[k] = 0 for nodes reached from s in the final
  // residual graph, 1 for the others (or one terminal alone when the degree
  // bound ends the computation). Gives up (returns -1, side untouched) at
  // the start of a phase once it has looked at more than scanLimit arcs.
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit = INT64_MAX);

  // Phases, augmentations and the arcs looked at.
  Counters counters() const {
    Counters c;
    c.phases = phases_;
    c.augmentations = augmentations_;
    c.scans = scans_;
    return c;
  }

 private:
  void restoreResiduals();
  void startPhase();
  bool labelled(int32_t v) const { return level_[v] >= base_; }
  int64_t distance(int32_t v) const { return level_[v] - base_; }
  void label(int32_t v, int64_t d);
  bool labelFrom(int32_t s, int32_t t);
  int64_t blockingFlow(int32_t s, int32_t t, int64_t wanted);
  void push(int64_t amount);
  void reachedSide(std::vector<uint8_t> &side) const;

  const CompactGraph &g_;
  CompactSettings settings_;
  std::vector<int64_t> res_;      // by arc: residual capacity
  TouchedArcs touchedArcs_;       // arcs pushed along since the last restore
  std::vector<int64_t> level_;    // by node: base_ + distance when labelled
  std::vector<int32_t> current_;  // by node: next arc the walk tries in that phase
  std::vector<int32_t> queue_;
  size_t reached_ = 0;            // queue_[0 .. reached_) labelled by the last search
  std::vector<int32_t> pathArcs_;
  int64_t base_ = 1;              // level of s in the current phase
  int64_t phases_ = 0, augmentations_ = 0, scans_ = 0;
};

}  // namespace sunder::detail

#endif
