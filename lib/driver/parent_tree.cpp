#include "lib/driver/parent_tree.h"

#include "sunder/error.h"

namespace sunder::detail {

ParentTree rootForest(int32_t n, const std::vector<Edge> &edges) {
  // Each node's edges, by edge index, loops left out.
  std::vector<int32_t> first(static_cast<size_t>(n) + 1, 0), edgeAt;
  for (const Edge &e : edges)
    if (e.u != e.v) {
      first[static_cast<size_t>(e.u) + 1]++;
      first[static_cast<size_t>(e.v) + 1]++;
    }
  for (int32_t v = 0; v < n; v++) first[v + 1] += first[v];
  edgeAt.resize(static_cast<size_t>(first[n]));
  std::vector<int32_t> at(first.begin(), first.end() - 1);
  for (int32_t e = 0; e < static_cast<int32_t>(edges.size()); e++)
    if (edges[e].u != edges[e].v) {
      edgeAt[at[edges[e].u]++] = e;
      edgeAt[at[edges[e].v]++] = e;
    }
  ParentTree tree;
  tree.parent.assign(static_cast<size_t>(n), -1);
  tree.weight.assign(static_cast<size_t>(n), 0);
  std::vector<int32_t> viaEdge(static_cast<size_t>(n), -1), queue;
  std::vector<char> seen(static_cast<size_t>(n), 0);
  queue.reserve(static_cast<size_t>(n));
  for (int32_t s = 0; s < n; s++) {
    if (seen[s]) continue;
    if (s != 0) tree.parent[s] = 0;
    seen[s] = 1;
    queue.push_back(s);
    for (size_t next = queue.size() - 1; next < queue.size(); next++) {
      int32_t x = queue[next];
      for (int32_t a = first[x]; a < first[x + 1]; a++) {
        int32_t e = edgeAt[a];
        if (e == viaEdge[x]) continue;
        int32_t y = edges[e].u == x ? edges[e].v : edges[e].u;
        if (seen[y]) throw Error("the tree edges form a cycle");
        seen[y] = 1;
        viaEdge[y] = e;
        tree.parent[y] = x;
        tree.weight[y] = edges[e].capacity;
        queue.push_back(y);
      }
    }
  }
  return tree;
}

}  // namespace sunder::detail
