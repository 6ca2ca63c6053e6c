// The library's tree by parent arrays, and Gusfield's tree update, written
// once for every tree the library builds.
//
// A ParentTree holds a tree over the nodes 0 ... n - 1:
//   - parent[k] is the index of k's parent, -1 at the root; exactly one node
//     is the root, and following parents from any node reaches it;
//   - weight[k] is the weight of the edge {k, parent[k]}, 0 at the root;
//   - both arrays have n entries.
// Which node is the root is the builder's to say: the trees of Gusfield's
// method here are rooted at their first sink, the glued tree of a graph's
// blocks at node 0.
//
// gusfieldUpdate works on any tree that offers, for nodes k and p,
//   int32_t  parentOf(k)      k's parent; at the root -1 or the root itself
//   void     setParent(k, p)
//   Capacity weightOf(k)      the weight of the edge to k's parent
//   void     setWeight(k, w)
// ParentTree offers them over its arrays; the driver's tree records offer
// them over lists of children (lib/driver/gusfield.cpp), so that an update
// looks at the nodes it may move and not at every node.
#ifndef SUNDER_DRIVER_PARENT_TREE_H
#define SUNDER_DRIVER_PARENT_TREE_H

#include <cstdint>
#include <vector>

#include "sunder/graph.h"

namespace sunder::detail {

struct ParentTree {
  // The tree that gusfieldUpdate asks for, over the arrays.
  int32_t parentOf(int32_t k) const { return parent[k]; }
  void setParent(int32_t k, int32_t p) { parent[k] = p; }
  Capacity weightOf(int32_t k) const { return weight[k]; }
  void setWeight(int32_t k, Capacity w) { weight[k] = w; }

  std::vector<int32_t> parent;
  std::vector<Capacity> weight;
};

// The forest of these edges (at most n - 1, no cycle) oriented away from
// node 0, every other component hung from node 0 by its smallest node with
// weight 0; breadth-first from each root, edges in their order. Error on a
// cycle. O(n + m).
ParentTree rootForest(int32_t n, const std::vector<Edge> &edges);

// Gusfield's tree update after a minimum cut of value `cut` between the
// source s and its parent t = tree.parentOf(s): s takes the cut as its
// weight; every child of t on s's side but s moves under s; and when t's own
// parent lies on s's side, s takes t's place: s hangs from that parent by
// t's old weight and t hangs from s by the cut. The tree stays a cut tree
// of the cuts committed so far (Gusfield 1990).
//
// onSourceSide(k) tells whether node k is on s's side of the cut (false for
// t). forCandidates(visit) calls visit(k) for a set of nodes that holds
// every child of t on s's side (all nodes will do; the driver passes the
// side it lists or t's children); nodes visited that are not such children
// stay where they are.
template <class Tree, class OnSourceSide, class ForCandidates>
void gusfieldUpdate(Tree &tree, int32_t s, Capacity cut, const OnSourceSide &onSourceSide,
                    const ForCandidates &forCandidates) {
  const int32_t t = tree.parentOf(s);
  tree.setWeight(s, cut);
  forCandidates([&](int32_t k) {
    if (k != s && onSourceSide(k) && tree.parentOf(k) == t) tree.setParent(k, s);
  });
  const int32_t above = tree.parentOf(t);
  if (above < 0 || above == t || !onSourceSide(above)) return;
  tree.setParent(s, above);
  tree.setParent(t, s);
  tree.setWeight(s, tree.weightOf(t));
  tree.setWeight(t, cut);
}

}  // namespace sunder::detail

#endif
