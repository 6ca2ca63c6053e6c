// All-pairs max flows by the independent oracle.
#include "cut_tree_check.h"

namespace cuttest {

FlowTable allPairsBoost(int n, const std::vector<IdEdge> &edges) {
  BoostOracle oracle(n, edges);
  FlowTable flows(n, std::vector<int64_t>(n, 0));
  for (int u = 0; u < n; u++)
    for (int v = u + 1; v < n; v++)
      flows[u][v] = flows[v][u] = oracle.maxFlow(u, v);
  return flows;
}

}  // namespace cuttest
