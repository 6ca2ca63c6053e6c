#include "cuttree/tree.h"

namespace cuttree {

namespace {

// Depth of every node, each walk stopping at the first node already known.
std::vector<int32_t> depths(const std::vector<int32_t> &parent) {
  int32_t n = static_cast<int32_t>(parent.size());
  std::vector<int32_t> depth(n, -1), path;
  if (n > 0) depth[0] = 0;
  for (int32_t v = 0; v < n; v++) {
    int32_t w = v;
    while (depth[w] < 0) {
      path.push_back(w);
      w = parent[w];
    }
    for (int32_t d = depth[w]; !path.empty(); path.pop_back()) depth[path.back()] = ++d;
  }
  return depth;
}

}  // namespace

CutTree fromRecords(const std::vector<tree> &records) {
  CutTree t;
  t.n = static_cast<int32_t>(records.size());
  t.parent.assign(t.n, -1);
  t.weight.assign(t.n, 0);
  for (int32_t p = 1; p < t.n; p++) {
    t.parent[records[p].id] = records[p].parent;
    t.weight[records[p].id] = records[p].weight;
  }
  t.depth = depths(t.parent);
  return t;
}

TreeEdge lightestOnPath(const CutTree &t, int32_t u, int32_t v) {
  TreeEdge best{-1, INT64_MAX};
  auto climb = [&](int32_t &x) {
    if (t.weight[x] < best.weight) best = {x, t.weight[x]};
    x = t.parent[x];
  };
  while (u != v) {
    if (t.depth[u] >= t.depth[v]) climb(u);
    else climb(v);
  }
  return best;
}

TreeEdge lightestEdge(const CutTree &t) {
  TreeEdge best{-1, INT64_MAX};
  for (int32_t v = 1; v < t.n; v++)
    if (t.parent[v] >= 0 && t.weight[v] < best.weight) best = {v, t.weight[v]};
  return best;
}

std::vector<bool> subtreeOf(const CutTree &t, int32_t child) {
  std::vector<bool> below(t.n, false);
  below[child] = true;
  // A node lies below `child` when its walk to the root meets it; nodes are
  // settled deepest last, so every parent is settled before its children.
  std::vector<int32_t> order(t.n);
  std::vector<int32_t> count(t.n + 1, 0);
  for (int32_t v = 0; v < t.n; v++) count[t.depth[v] + 1]++;
  for (int32_t d = 1; d <= t.n; d++) count[d] += count[d - 1];
  for (int32_t v = 0; v < t.n; v++) order[count[t.depth[v]]++] = v;
  for (int32_t v : order)
    if (v != child && t.parent[v] >= 0 && below[t.parent[v]]) below[v] = true;
  return below;
}

}  // namespace cuttree
