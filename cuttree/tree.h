// A finished Gomory-Hu cut tree in node ids, and the questions it answers.
//
// Every node but the root (id 0) has a parent and the weight of the edge to
// it; that weight is the minimum cut value between the two ends. The minimum
// cut between any two nodes is the lightest edge on their tree path, and
// removing that edge splits the nodes into the two sides of such a cut.
#ifndef CUTTREE_TREE_H
#define CUTTREE_TREE_H

#include <cstdint>
#include <vector>

#include "solver/outside.h"

namespace cuttree {

struct CutTree {
  int32_t n = 0;
  std::vector<int32_t> parent;  // by id; -1 for the root
  std::vector<int64_t> weight;  // by id: weight of the edge to the parent
  std::vector<int32_t> depth;   // by id: edges between the node and the root
};

// The tree of the solver's array of n records (position 0 the root).
CutTree fromRecords(const std::vector<tree> &records);

// The lightest edge on the path between u and v (u != v), named by its lower
// end; ties go to the edge met first as the walk climbs from the deeper
// end towards their common ancestor.
struct TreeEdge {
  int32_t child;
  int64_t weight;
};
TreeEdge lightestOnPath(const CutTree &t, int32_t u, int32_t v);

// The lightest edge of the whole tree (n >= 2); ties go to the lowest id.
TreeEdge lightestEdge(const CutTree &t);

// Whether each node lies below `child` (the child included): one side of
// the cut the edge from `child` to its parent stands for.
std::vector<bool> subtreeOf(const CutTree &t, int32_t child);

}  // namespace cuttree

#endif
