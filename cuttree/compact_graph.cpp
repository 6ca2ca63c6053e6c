#include "cuttree/compact_graph.h"

#include <algorithm>
#include <map>

namespace cuttree {

CompactGraph::CompactGraph(int32_t nodes, const std::vector<oracle::Edge> &edges)
    : n(nodes), first(nodes + 1, 0) {
  std::map<std::pair<int32_t, int32_t>, int64_t> merged;
  for (const oracle::Edge &e : edges)
    if (e.u != e.v) merged[{std::min(e.u, e.v), std::max(e.u, e.v)}] += e.cap;
  for (const auto &[ends, c] : merged) {
    first[ends.first + 1]++;
    first[ends.second + 1]++;
  }
  for (int32_t v = 0; v < n; v++) first[v + 1] += first[v];
  size_t arcs = static_cast<size_t>(first[n]);
  head.resize(arcs);
  twin.resize(arcs);
  cap.resize(arcs);
  std::vector<int32_t> fill(first.begin(), first.end() - 1);
  for (const auto &[ends, c] : merged) {
    int32_t a = fill[ends.first]++, b = fill[ends.second]++;
    head[a] = ends.second;
    head[b] = ends.first;
    twin[a] = b;
    twin[b] = a;
    cap[a] = cap[b] = c;
  }
}

}  // namespace cuttree
