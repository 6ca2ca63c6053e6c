// Answers read off a cut tree: k-edge-connected components, the
// distribution of minimum cut values, all pairs, an approximate minimum
// k-cut. Each joins the tree's edges with a union-find: the minimum cut
// between two nodes is the lightest edge on their tree path, so joining
// the edges from the heaviest down joins two groups at an edge of weight w
// exactly when every pair across them has minimum cut w.
#include <algorithm>
#include <numeric>
#include <string>

#include "lib/driver/memory.h"
#include "lib/tree/tree_parts.h"
#include "sunder/cut_tree.h"
#include "sunder/error.h"

namespace sunder {

namespace detail {

std::vector<int32_t> heaviestFirst(const std::vector<int32_t> &parent,
                                   const std::vector<Capacity> &weight) {
  std::vector<int32_t> order;
  for (int32_t k = 0; k < static_cast<int32_t>(parent.size()); k++)
    if (parent[k] >= 0) order.push_back(k);
  std::stable_sort(order.begin(), order.end(),
                   [&weight](int32_t a, int32_t b) { return weight[a] > weight[b]; });
  return order;
}

std::vector<int32_t> partOf(const std::vector<int32_t> &parent, const std::vector<int32_t> &kept,
                            int32_t count, int32_t &parts) {
  std::vector<int32_t> leader(count);
  std::iota(leader.begin(), leader.end(), 0);
  for (int32_t child : kept) leader[findRoot(leader, child)] = findRoot(leader, parent[child]);
  std::vector<int32_t> numberOf(count, -1), part(count);
  parts = 0;
  for (int32_t k = 0; k < count; k++) {
    int32_t root = findRoot(leader, k);
    if (numberOf[root] < 0) numberOf[root] = parts++;
    part[k] = numberOf[root];
  }
  return part;
}

std::vector<std::vector<NodeId>> partLists(const std::vector<int32_t> &part, int32_t parts,
                                           const std::vector<NodeId> &ids) {
  std::vector<std::vector<NodeId>> lists(parts);
  for (size_t k = 0; k < part.size(); k++) lists[part[k]].push_back(ids[k]);
  return lists;
}

}  // namespace detail

namespace {

std::string treeName(const CutTree &tree) {
  return "the answers of a cut tree of " + std::to_string(tree.nodeCount()) + " nodes";
}

// The parts of the tree without the edges of the children `removed`.
std::vector<int32_t> partsWithout(const CutTree &tree, const std::vector<int32_t> &removed,
                                  int32_t &parts) {
  std::vector<uint8_t> gone(tree.nodeCount(), 0);
  for (int32_t child : removed) gone[child] = 1;
  std::vector<int32_t> kept;
  for (int32_t k = 0; k < tree.nodeCount(); k++)
    if (tree.parents()[k] >= 0 && !gone[k]) kept.push_back(k);
  return detail::partOf(tree.parents(), kept, tree.nodeCount(), parts);
}

}  // namespace

std::vector<std::vector<NodeId>> kEdgeComponents(const CutTree &tree, Capacity k) {
  if (k < 1) throw Error("k must be 1 or more, not " + std::to_string(k));
  return detail::withMemory([&] {
    std::vector<int32_t> lighter;
    for (int32_t x = 0; x < tree.nodeCount(); x++)
      if (tree.parents()[x] >= 0 && tree.weights()[x] < k) lighter.push_back(x);
    int32_t parts = 0;
    std::vector<int32_t> part = partsWithout(tree, lighter, parts);
    return detail::partLists(part, parts, tree.ids());
  }, [&] { return treeName(tree); });
}

std::vector<ConnectivityCount> connectivityDistribution(const CutTree &tree) {
  return detail::withMemory([&] {
    std::vector<ConnectivityCount> counts;  // decreasing values while built
    auto count = [&](int32_t child, int32_t, int32_t, int64_t pairs) {
      Capacity w = tree.weights()[child];
      if (counts.empty() || counts.back().value != w) counts.push_back({w, 0});
      counts.back().pairs += pairs;
    };
    detail::joinHeaviestFirst(tree.parents(), tree.weights(), count);
    std::reverse(counts.begin(), counts.end());
    return counts;
  }, [&] { return treeName(tree); });
}

void allPairsInto(const CutTree &tree, Capacity *matrix) {
  detail::withMemory([&] {
    size_t n = static_cast<size_t>(tree.nodeCount());
    std::vector<std::vector<int32_t>> members(n);  // by group leader
    for (size_t x = 0; x < n; x++) {
      members[x] = {static_cast<int32_t>(x)};
      matrix[x * n + x] = 0;
    }
    // Groups are joined smaller into larger, so each member moves
    // O(log n) times.
    auto fill = [&](int32_t child, int32_t from, int32_t into, int64_t) {
      Capacity w = tree.weights()[child];
      for (int32_t x : members[from])
        for (int32_t y : members[into]) matrix[x * n + y] = matrix[y * n + x] = w;
      members[into].insert(members[into].end(), members[from].begin(), members[from].end());
      std::vector<int32_t>().swap(members[from]);
    };
    detail::joinHeaviestFirst(tree.parents(), tree.weights(), fill);
  }, [&] { return treeName(tree); });
}

namespace {

// The tree's index of each graph node: the graph must have the tree's nodes.
std::vector<int32_t> treeIndices(const CutTree &tree, const Graph &graph) {
  if (graph.nodeCount() != tree.nodeCount())
    throw Error("the graph has " + std::to_string(graph.nodeCount()) + " nodes, the tree " +
                std::to_string(tree.nodeCount()) + ": not the graph of the tree");
  std::vector<int32_t> index(graph.nodeCount());
  for (int32_t k = 0; k < graph.nodeCount(); k++) {
    if (!tree.contains(graph.idOf(k)))
      throw Error("node " + std::to_string(graph.idOf(k)) + " of the graph is not in the tree");
    index[k] = tree.indexOf(graph.idOf(k));
  }
  return index;
}

}  // namespace

KCut minKCut(const CutTree &tree, const Graph &graph, int64_t k) {
  int32_t n = tree.nodeCount();
  if (k < 1 || k > n)
    throw Error("k must be 1 ... " + std::to_string(n) + " (the node count), not " + std::to_string(k));
  return detail::withMemory([&] {
    std::vector<int32_t> order = detail::heaviestFirst(tree.parents(), tree.weights());
    // The lightest k - 1: the last of the heaviest-first order, taken so
    // that among equal weights the smaller child index goes first.
    std::stable_sort(order.begin(), order.end(), [&tree](int32_t a, int32_t b) {
      return tree.weights()[a] < tree.weights()[b];
    });
    std::vector<int32_t> removed(order.begin(), order.begin() + (k - 1));
    KCut cut;
    for (int32_t child : removed) cut.treeBound += tree.weights()[child];
    int32_t parts = 0;
    std::vector<int32_t> part = partsWithout(tree, removed, parts);
    std::vector<int32_t> index = treeIndices(tree, graph);
    for (const Edge &e : graph.edges())
      if (part[index[e.u]] != part[index[e.v]]) cut.value += e.capacity;
    cut.parts = detail::partLists(part, parts, tree.ids());
    return cut;
  }, [&] { return treeName(tree); });
}

}  // namespace sunder
