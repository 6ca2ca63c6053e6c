// An independent judge of minimum cuts: max flows by Boost Graph's
// push-relabel on the undirected edges of an instance. It shares no code with
// the solver, so cut values it confirms are confirmed independently.
//
// Each undirected edge of capacity c becomes two directed arcs of capacity c,
// each with its own zero-capacity reverse; self loops are left out; parallel
// edges stay separate. Node ids run from 0 to n - 1.
//
// The positive capacities (self loops left out) may add up to kMaxTotalCapacity at
// most, so that no flow, excess or residual capacity can wrap: past it the
// constructor throws std::overflow_error rather than judge with values
// that may have wrapped.
#ifndef VERIFY_ORACLE_H
#define VERIFY_ORACLE_H

#include <cstdint>
#include <memory>
#include <vector>

namespace oracle {

// An undirected edge between node ids.
struct Edge {
  int u;
  int v;
  int64_t cap;
};

constexpr int64_t kMaxTotalCapacity = INT64_MAX / 2;

class MaxFlow {
 public:
  MaxFlow(int n, const std::vector<Edge> &edges);
  ~MaxFlow();
  MaxFlow(const MaxFlow &) = delete;
  MaxFlow &operator=(const MaxFlow &) = delete;

  int64_t maxFlow(int s, int t);
  // Node ids reachable from s in the residual graph of a maximum s-t flow:
  // the source side of a minimum s-t cut.
  std::vector<bool> sourceSide(int s, int t);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace oracle

#endif
