#include "verify/reference.h"

#include <limits>
#include <utility>

namespace oracle {

FlowTable allPairsMaxFlow(int n, const std::vector<Edge> &edges) {
  MaxFlow oracle(n, edges);
  FlowTable flows(n, std::vector<int64_t>(n, 0));
  for (int u = 0; u < n; u++)
    for (int v = u + 1; v < n; v++) flows[u][v] = flows[v][u] = oracle.maxFlow(u, v);
  return flows;
}

FlowTable allPairsByEnumeration(int n, const std::vector<Edge> &edges) {
  FlowTable best(n, std::vector<int64_t>(n, std::numeric_limits<int64_t>::max()));
  for (int u = 0; u < n; u++) best[u][u] = 0;
  // Every cut is counted once, through the subset that holds node n - 1.
  const uint32_t limit = n >= 1 ? (1u << (n - 1)) : 1u;
  std::vector<bool> inSide(n);
  for (uint32_t mask = 0; mask < limit; mask++) {
    const uint32_t side = mask | (n >= 1 ? 1u << (n - 1) : 0u);
    for (int u = 0; u < n; u++) inSide[u] = (side >> u) & 1u;
    const int64_t value = cutCapacity(edges, inSide);
    for (int u = 0; u < n; u++) {
      if (!inSide[u]) continue;
      for (int v = 0; v < n; v++)
        if (!inSide[v] && value < best[u][v]) best[u][v] = best[v][u] = value;
    }
  }
  return best;
}

// Gusfield's tree update is written here again on purpose rather than
// taken from the library's (gusfieldUpdate, lib/driver/parent_tree.h): the
// reference judges the library's trees, so it shares none of its code.
RootedTree gusfieldTree(int n, const std::vector<Edge> &edges, bool onlyUnprocessed) {
  MaxFlow oracle(n, edges);
  RootedTree tree{std::vector<int>(n, 0), std::vector<int64_t>(n, 0)};
  if (n == 0) return tree;
  std::vector<int> &parent = tree.parent;
  std::vector<int64_t> &weight = tree.weight;
  parent[0] = -1;
  for (int s = 1; s < n; s++) {
    const int t = parent[s];
    const std::vector<bool> sSide = oracle.sourceSide(s, t);
    weight[s] = cutCapacity(edges, sSide);
    // Every node on the source's side that hangs from t moves to s, the
    // ones already processed included: that keeps the tree a cut tree and
    // not only flow equivalent.
    for (int k = onlyUnprocessed ? s + 1 : 1; k < n; k++)
      if (k != s && sSide[k] && parent[k] == t) parent[k] = s;
    const int above = parent[t];
    if (above >= 0 && sSide[above]) {
      parent[s] = above;
      parent[t] = s;
      std::swap(weight[s], weight[t]);
    }
  }
  return tree;
}

}  // namespace oracle
