// Minimum s-t cuts by blocking flows along shortest augmenting paths, on the
// compact graph (compact_graph.h). Every arc starts with its capacity as
// residual; pushing f along one lowers its residual by f and raises its
// twin's by f.
// A phase labels nodes by their breadth-first distance from s in the
// residual graph, then saturates every shortest path with a depth-first
// walk that only steps from distance d to d + 1 and remembers, per node, the
// first arc that may still carry flow. When t is out of reach the flow is
// maximum, and the nodes reached from s form the source side of a minimum
// cut.
#ifndef SUNDER_ENGINES_PATHS_H
#define SUNDER_ENGINES_PATHS_H

#include <cstdint>
#include <vector>

#include "lib/engines/compact_graph.h"
#include "lib/driver/cut_engine.h"

namespace sunder::detail {

class AugmentingPaths {
 public:
  explicit AugmentingPaths(const CompactGraph &g);

  // Max flow from s to t; side[k] = 0 for nodes reached from s in the final
  // residual graph, 1 for the others. Gives up (returns -1, side untouched)
  // at the start of a phase once it has looked at more than scanLimit arcs.
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit = INT64_MAX);

  // Phases, augmentations and the arcs looked at.
  Counters counters() const { return {phases_, augmentations_, scans_}; }

 private:
  bool labelFrom(int32_t s, int32_t t);
  int64_t blockingFlow(int32_t s, int32_t t);

  int32_t n_;
  const std::vector<int32_t> &first_, &head_, &twin_;
  const std::vector<int64_t> &cap_;
  std::vector<int64_t> res_;      // by arc: residual capacity
  std::vector<int32_t> dist_;     // by node: phase distance from s, -1 unreached
  std::vector<int32_t> current_;  // by node: next arc the walk tries
  std::vector<int32_t> queue_;
  std::vector<int32_t> pathArcs_;
  int64_t phases_ = 0, augmentations_ = 0, scans_ = 0;
};

}  // namespace sunder::detail

#endif
