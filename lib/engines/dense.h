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

#include "lib/driver/parent_tree.h"
#include "sunder/graph.h"

namespace sunder::detail {

constexpr int32_t kDenseNodes = 32;

// The cut tree of the graph on nodes 0 ... n - 1 (2 <= n <= kDenseNodes)
// with these edges (endpoints in range, capacities not negative), rooted at
// node 0, each weight the cut value to the parent. The matrix entries
// looked at are added to `scans`.
ParentTree denseCutTree(int32_t n, const std::vector<Edge> &edges, int64_t &scans);

}  // namespace sunder::detail

#endif
