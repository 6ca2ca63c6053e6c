// The pieces of tree answers and queries that several of them share: a
// union-find, the tree's edges heaviest first and the one walk that joins
// them in that order (the path minima of all pairs at once), and the parts a
// tree falls into when some of its edges are removed. Internal to the
// library.
//
// A tree is given by index as a ParentTree's arrays are
// (lib/driver/parent_tree.h): parent[k] is node k's parent (-1 at the root)
// and weight[k] the weight of the edge from k to it.
#ifndef SUNDER_LIB_TREE_TREE_PARTS_H
#define SUNDER_LIB_TREE_TREE_PARTS_H

#include <cstdint>
#include <utility>
#include <vector>

#include "sunder/graph.h"

namespace sunder::detail {

// The root of x's group, halving the path on the way.
inline int32_t findRoot(std::vector<int32_t> &leader, int32_t x) {
  while (leader[x] != x) {
    leader[x] = leader[leader[x]];
    x = leader[x];
  }
  return x;
}

// The nodes that have a parent, by the weight of their edge to it, heaviest
// first; equal weights in index order.
std::vector<int32_t> heaviestFirst(const std::vector<int32_t> &parent,
                                   const std::vector<Capacity> &weight);

// Joins the tree's edges into groups of nodes with a union-find, heaviest
// first in the order of heaviestFirst, calling join(child, from, into,
// pairs) for each edge {child, parent[child]}: `from` and `into` are the
// groups of its two ends before the join (from the smaller, into the larger
// or either when they are equal), named by their leaders, and `into` leads
// the joined group afterwards. The edge is the lightest on the tree path of
// exactly the `pairs` = |from| |into| pairs with one end in each group, so
// the walk meets every pair's path minimum once: the minimum cut values of a
// cut tree. O(n log n).
template <class Join>
void joinHeaviestFirst(const std::vector<int32_t> &parent, const std::vector<Capacity> &weight,
                       const Join &join) {
  const int32_t n = static_cast<int32_t>(parent.size());
  std::vector<int32_t> leader(n), size(n, 1);
  for (int32_t k = 0; k < n; k++) leader[k] = k;
  for (int32_t child : heaviestFirst(parent, weight)) {
    int32_t from = findRoot(leader, child), into = findRoot(leader, parent[child]);
    if (size[from] > size[into]) std::swap(from, into);
    join(child, from, into, static_cast<int64_t>(size[from]) * size[into]);
    leader[from] = into;
    size[into] += size[from];
  }
}

// Which part each of the nodes 0 ... count - 1 is in once only the edges
// from the children `kept` (each to its parent, which must be below
// `count` too) are left: parts numbered 0, 1, ... in the order of their
// first node. `parts` is set to the number of parts.
std::vector<int32_t> partOf(const std::vector<int32_t> &parent, const std::vector<int32_t> &kept,
                            int32_t count, int32_t &parts);

// The ids of each part's nodes, in index order.
std::vector<std::vector<NodeId>> partLists(const std::vector<int32_t> &part, int32_t parts,
                                           const std::vector<NodeId> &ids);

}  // namespace sunder::detail

#endif
