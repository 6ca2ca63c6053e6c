// Minimum-cut clustering: the cut tree of the graph with one artificial node
// joined to every node, cut at that node.
#include <string>

#include "lib/driver/memory.h"
#include "lib/tree/tree_parts.h"
#include "sunder/build.h"
#include "sunder/error.h"

namespace sunder {

namespace {

// The graph by index (ids 0 ... n - 1) with node n joined to each node by
// capacity alpha.
Graph withArtificialNode(const Graph &graph, Capacity alpha) {
  int32_t n = graph.nodeCount();
  if ((kMaxTotalCapacity - graph.totalCapacity()) / (n > 0 ? n : 1) < alpha)
    throw Error("alpha " + std::to_string(alpha) + " on each of " + std::to_string(n) +
                " nodes takes the capacities past " + std::to_string(kMaxTotalCapacity));
  Graph joined(static_cast<int64_t>(n) + 1);
  joined.reserve(static_cast<int64_t>(n) + 1, graph.edgeCount() + n);
  for (const Edge &e : graph.edges()) joined.addEdge(e.u, e.v, e.capacity);
  for (int32_t k = 0; k < n; k++) joined.addEdge(k, n, alpha);
  return joined;
}

}  // namespace

std::vector<std::vector<NodeId>> cutClustering(const Graph &graph, Capacity alpha,
                                               const BuildOptions &options) {
  if (alpha <= 0) throw Error("alpha must be above 0, not " + std::to_string(alpha));
  CutTree tree = buildCutTree(withArtificialNode(graph, alpha), options);
  int32_t n = graph.nodeCount();
  return detail::withMemory([&] {
    // The tree's ids are the joined graph's indices; the artificial node is n.
    std::vector<int32_t> parent(n + 1), kept;
    for (int32_t x = 0; x <= n; x++)
      parent[static_cast<int32_t>(tree.ids()[x])] =
          tree.parents()[x] < 0 ? -1 : static_cast<int32_t>(tree.ids()[tree.parents()[x]]);
    for (int32_t x = 0; x < n; x++)
      if (parent[x] >= 0 && parent[x] != n) kept.push_back(x);
    int32_t parts = 0;
    std::vector<int32_t> part = detail::partOf(parent, kept, n, parts);
    return detail::partLists(part, parts, graph.ids());
  }, [&] { return "the clusters of " + detail::graphSize(n, graph.edgeCount()); });
}

}  // namespace sunder
