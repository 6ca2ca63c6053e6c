// The pieces of tree answers that several of them share: a union-find, the
// tree's edges heaviest first, and the parts a tree falls into when some of
// its edges are removed. Internal to the library.
//
// A tree is given by index: parent[k] is node k's parent (-1 at the root)
// and weight[k] the weight of the edge from k to it.
#ifndef SUNDER_LIB_TREE_TREE_PARTS_H
#define SUNDER_LIB_TREE_TREE_PARTS_H

#include <cstdint>
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
