// Min-cut queries on a cut tree.
//
// Values: the tree's edges, merged from the heaviest down with a union-find
// (joinHeaviestFirst, tree_parts.h), form a merge tree of 2n - 1 nodes:
// each edge becomes a new node whose children are the merge-tree roots of
// its two ends' components. The lightest edge on the path between u and v
// is then the lowest common ancestor of the leaves u and v, found with
// heavy-path chains of the merge tree in O(log n) jumps.
//
// Sides: a walk up the tree path finds the edge itself (with the tie rule of
// cut_tree.h), and the subtree below it is one side.
#include "sunder/cut_tree.h"

#include <algorithm>
#include <numeric>
#include <string>

#include <stdexcept>

#include "lib/driver/memory.h"
#include "lib/tree/tree_parts.h"
#include "sunder/error.h"

namespace sunder {

struct CutTree::Index {
  // Merge tree: nodes 0 ... n - 1 are the leaves (the tree's nodes), the
  // others stand for edges, each with the weight of its edge.
  std::vector<Capacity> weight;
  // What a query reads of a merge-tree node, in one record: its chain's
  // head, the head's depth, the node above the head (-1 at the top), its
  // own depth.
  struct Hop {
    int32_t head, headDepth, above, depth;
  };
  std::vector<Hop> hops;

  explicit Index(const CutTree &t);
  int32_t lowestCommonAncestor(int32_t u, int32_t v) const;

 private:
  std::vector<int32_t> buildMergeTree(const CutTree &t);
  void buildChains(const std::vector<int32_t> &parent);
};

CutTree::Index::Index(const CutTree &t) { buildChains(buildMergeTree(t)); }

// The merge tree's parents (the root's -1); fills `weight`. Each join of
// joinHeaviestFirst makes the next merge node, above the merge-tree roots of
// the two groups it joins.
std::vector<int32_t> CutTree::Index::buildMergeTree(const CutTree &t) {
  int32_t n = t.nodeCount();
  int32_t edges = 0;
  for (int32_t p : t.parent_) edges += p >= 0;
  std::vector<int32_t> parent(n + edges, -1), top(n);  // top: by group, its merge-tree root
  weight.assign(n + edges, 0);
  std::iota(top.begin(), top.end(), 0);
  int32_t next = n;
  auto merge = [&](int32_t child, int32_t from, int32_t into, int64_t) {
    parent[top[from]] = parent[top[into]] = next;
    weight[next] = t.weight_[child];
    top[into] = next++;
  };
  detail::joinHeaviestFirst(t.parent_, t.weight_, merge);
  return parent;
}

// Heavy-path chains: every node's chain head, and depths, without recursion.
// Parents have higher numbers than their children in the merge tree.
void CutTree::Index::buildChains(const std::vector<int32_t> &parent) {
  int32_t size = static_cast<int32_t>(parent.size());
  std::vector<int32_t> weightBelow(size, 1), heavy(size, -1);
  for (int32_t x = 0; x < size; x++)
    if (parent[x] >= 0) weightBelow[parent[x]] += weightBelow[x];
  for (int32_t x = 0; x < size; x++) {
    int32_t p = parent[x];
    if (p >= 0 && (heavy[p] < 0 || weightBelow[x] > weightBelow[heavy[p]])) heavy[p] = x;
  }
  std::vector<int32_t> head(size, 0), depth(size, 0);
  for (int32_t x = size - 1; x >= 0; x--) {
    int32_t p = parent[x];
    depth[x] = p < 0 ? 0 : depth[p] + 1;
    head[x] = p >= 0 && heavy[p] == x ? head[p] : x;
  }
  hops.resize(size);
  for (int32_t x = 0; x < size; x++) hops[x] = {head[x], depth[head[x]], parent[head[x]], depth[x]};
}

int32_t CutTree::Index::lowestCommonAncestor(int32_t u, int32_t v) const {
  const Hop *hop = hops.data();
  while (hop[u].head != hop[v].head) {
    if (hop[u].headDepth < hop[v].headDepth) std::swap(u, v);
    u = hop[u].above;
  }
  return hop[u].depth < hop[v].depth ? u : v;
}

CutTree::CutTree(std::vector<NodeId> ids, std::vector<int32_t> parent,
                 std::vector<Capacity> weight, BuildStats stats)
    : ids_(std::move(ids)), parent_(std::move(parent)), weight_(std::move(weight)),
      stats_(stats) {
  if (ids_.size() > static_cast<size_t>(Graph::kMaxNodes))
    throw Error("a cut tree has at most " + std::to_string(Graph::kMaxNodes) + " nodes");
  int32_t n = nodeCount();
  if (static_cast<int32_t>(parent_.size()) != n || static_cast<int32_t>(weight_.size()) != n)
    throw Error("a cut tree needs a parent and a weight for every node");
  if (n > 0 && parent_[0] != -1) throw Error("the root of a cut tree is its node of index 0");
  detail::withMemory([&] { indexNodes(); }, [&] { return "a cut tree of " + std::to_string(n) + " nodes"; });
}

// Depths, walking up to the first node of known depth (a walk that meets
// itself is a cycle), and the map from ids to indices, which must be
// distinct.
void CutTree::indexNodes() {
  int32_t n = nodeCount();
  depth_.assign(n, -1);
  if (n > 0) depth_[0] = 0;
  std::vector<int32_t> path;
  for (int32_t k = 0; k < n; k++) {
    for (int32_t w = k; depth_[w] < 0; w = parent_[w]) {
      if (parent_[w] < 0 || parent_[w] >= n || depth_[w] == -2)
        throw Error("the parents of a cut tree do not form a tree rooted at index 0");
      depth_[w] = -2;
      path.push_back(w);
    }
    for (; !path.empty(); path.pop_back()) depth_[path.back()] = depth_[parent_[path.back()]] + 1;
  }
  bool identity = true;
  for (int32_t k = 0; k < n && identity; k++) identity = ids_[k] == k;
  if (identity) return;
  index_.reserve(static_cast<size_t>(n));
  for (int32_t k = 0; k < n; k++)
    if (!index_.emplace(ids_[k], k).second)
      throw Error("node " + std::to_string(ids_[k]) + " appears twice in a cut tree");
}

bool CutTree::contains(NodeId id) const {
  if (index_.empty()) return id >= 0 && id < nodeCount();
  return index_.count(id) > 0;
}

int32_t CutTree::indexOf(NodeId id) const {
  if (index_.empty()) {
    if (id >= 0 && id < nodeCount()) return static_cast<int32_t>(id);
  } else {
    auto it = index_.find(id);
    if (it != index_.end()) return it->second;
  }
  throw Error("node " + std::to_string(id) + " is not in the tree");
}

NodeId CutTree::root() const {
  if (ids_.empty()) throw Error("an empty tree has no root");
  return ids_[0];
}

NodeId CutTree::parent(NodeId id) const {
  int32_t k = indexOf(id);
  if (parent_[k] < 0) throw Error("node " + std::to_string(id) + " is the root");
  return ids_[parent_[k]];
}

Capacity CutTree::weight(NodeId id) const { return weight_[indexOf(id)]; }

const CutTree::Index &CutTree::queryIndex() const {
  // Built once; a copy of the tree shares it.
  std::shared_ptr<const Index> index = std::atomic_load(&query_);
  if (index == nullptr) {
    index = detail::withMemory([this] { return std::make_shared<const Index>(*this); },
                               [this] { return "the queries of a cut tree of " + std::to_string(nodeCount()) + " nodes"; });
    std::atomic_store(&query_, index);
  }
  return *index;
}

void CutTree::checkIndex(int32_t k) const {
  if (k < 0 || k >= nodeCount())
    throw std::out_of_range("node index " + std::to_string(k) + " is outside 0 ... " +
                            std::to_string(static_cast<int64_t>(nodeCount()) - 1));
}

Capacity CutTree::minCutValueAt(int32_t u, int32_t v) const {
  checkIndex(u);
  checkIndex(v);
  if (u == v) throw Error("a cut needs two different nodes");
  const Index &index = queryIndex();
  return index.weight[index.lowestCommonAncestor(u, v)];
}

Capacity CutTree::minCutValue(NodeId u, NodeId v) const {
  return minCutValueAt(indexOf(u), indexOf(v));
}

int32_t CutTree::lightestOnPath(int32_t u, int32_t v) const {
  int32_t best = -1;
  auto climb = [&](int32_t &x) {
    if (best < 0 || weight_[x] < weight_[best]) best = x;
    x = parent_[x];
  };
  while (u != v) {
    if (depth_[u] >= depth_[v]) climb(u);
    else climb(v);
  }
  return best;
}

Cut CutTree::cutBelow(int32_t child, Capacity value, bool childSide) const {
  int32_t n = nodeCount();
  // Parents come before their children in order of depth.
  std::vector<int32_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [this](int32_t a, int32_t b) { return depth_[a] < depth_[b]; });
  std::vector<uint8_t> below(n, 0);
  below[child] = 1;
  for (int32_t k : order)
    if (k != child && parent_[k] >= 0 && below[parent_[k]]) below[k] = 1;
  Cut cut;
  cut.value = value;
  for (int32_t k = 0; k < n; k++)
    (below[k] == static_cast<uint8_t>(childSide) ? cut.side : cut.otherSide).push_back(ids_[k]);
  return cut;
}

Cut CutTree::minCut(NodeId u, NodeId v) const {
  int32_t a = indexOf(u), b = indexOf(v);
  if (a == b) throw Error("a cut needs two different nodes");
  int32_t edge = lightestOnPath(a, b);
  // u lies below the edge exactly when the edge is on u's way up.
  bool uBelow = false;
  for (int32_t x = a; x >= 0 && depth_[x] >= depth_[edge]; x = parent_[x])
    if (x == edge) uBelow = true;
  return detail::withMemory([&] { return cutBelow(edge, weight_[edge], uBelow); },
                            [this] { return sidesName(); });
}

Cut CutTree::globalMinCut() const {
  int32_t n = nodeCount();
  if (n < 2) throw Error("a cut needs a graph of two nodes or more");
  int32_t best = -1;
  for (int32_t k = 1; k < n; k++)
    if (parent_[k] >= 0 && (best < 0 || weight_[k] < weight_[best])) best = k;
  Cut below = detail::withMemory([&] { return cutBelow(best, weight_[best], true); },
                                 [this] { return sidesName(); });
  if (below.side.size() > below.otherSide.size()) std::swap(below.side, below.otherSide);
  return below;
}

std::string CutTree::sidesName() const {
  return "the sides of a cut of " + std::to_string(nodeCount()) + " nodes";
}

std::vector<TreeEdge> CutTree::edges() const {
  std::vector<TreeEdge> all;
  detail::withMemory([&] { all.reserve(ids_.size()); },
                     [this] { return "the " + std::to_string(nodeCount()) + " edges of a cut tree"; });
  for (int32_t k = 0; k < nodeCount(); k++)
    if (parent_[k] >= 0) all.push_back({ids_[k], ids_[parent_[k]], weight_[k]});
  return all;
}

}  // namespace sunder
