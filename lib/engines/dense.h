// Cut trees of graphs of a few nodes (at most kDenseNodes), such as the
// many small blocks of a real network, where the set-up of a Gusfield run
// over a general engine costs more than its cuts: Gusfield's method with
// every s-t cut found by breadth-first augmenting paths over a matrix of
// residual capacities, all in one allocation.
//
// Node 0 is the root and the sources come in the order 1 ... n - 1; each
// cut's source side is the set reached from s in its final residual
// matrix. Parallel edges add up and capacities, flows and cut values
// saturate at INT64_MAX.
#ifndef SUNDER_ENGINES_DENSE_H
#define SUNDER_ENGINES_DENSE_H

#include <cstdint>
#include <vector>

#include "sunder/graph.h"

namespace sunder::detail {

constexpr int32_t kDenseNodes = 32;

struct DenseTree {
  std::vector<int32_t> parent;   // by node; -1 at the root, node 0
  std::vector<Capacity> weight;  // by node: cut value to its parent
  int64_t scans = 0;             // matrix entries looked at
};

// The cut tree of the graph on nodes 0 ... n - 1 (2 <= n <= kDenseNodes)
// with these edges (endpoints in range, capacities not negative).
DenseTree denseCutTree(int32_t n, const std::vector<Edge> &edges);

}  // namespace sunder::detail

#endif
