#include "lib/engines/compact_graph.h"

#include <algorithm>
#include <tuple>

namespace sunder::detail {

namespace {

// The edges without self loops, each as (smaller end, larger end,
// capacity), parallel ones merged into one with the summed capacity, in
// increasing order of their ends.
std::vector<Edge> mergedEdges(const std::vector<Edge> &edges) {
  std::vector<Edge> merged;
  merged.reserve(edges.size());
  for (const Edge &e : edges)
    if (e.u != e.v) merged.push_back({std::min(e.u, e.v), std::max(e.u, e.v), e.capacity});
  std::sort(merged.begin(), merged.end(), [](const Edge &a, const Edge &b) {
    return std::tie(a.u, a.v) < std::tie(b.u, b.v);
  });
  size_t kept = 0;
  for (size_t k = 0; k < merged.size(); k++) {
    if (kept > 0 && merged[kept - 1].u == merged[k].u && merged[kept - 1].v == merged[k].v)
      merged[kept - 1].capacity += merged[k].capacity;
    else
      merged[kept++] = merged[k];
  }
  merged.resize(kept);
  return merged;
}

}  // namespace

void ArcCapacities::assign(size_t arcs, int bits, bool uniform, int64_t value) {
  bits_ = bits;
  uniform_ = uniform;
  value_ = uniform ? value : 0;
  size_ = arcs;
  narrow16_.assign(bits == 16 && !uniform ? arcs : 0, 0);
  narrow32_.assign(bits == 32 && !uniform ? arcs : 0, 0);
  wide_.assign(bits == 64 && !uniform ? arcs : 0, 0);
}

CompactGraph::CompactGraph(int32_t nodes, const std::vector<Edge> &edges)
    : n(nodes), first(nodes + 1, 0), degree(nodes, 0) {
  std::vector<Edge> merged = mergedEdges(edges);
  int64_t heaviest = 0;  // see residualBits()
  bool uniform = !merged.empty();
  for (const Edge &e : merged) {
    first[e.u + 1]++;
    first[e.v + 1]++;
    heaviest = std::max(heaviest, e.capacity);
    uniform = uniform && e.capacity == merged[0].capacity;
  }
  int bits = heaviest <= INT16_MAX / 2 ? 16 : heaviest <= INT32_MAX / 2 ? 32 : 64;
  for (int32_t v = 0; v < n; v++) first[v + 1] += first[v];
  size_t arcs = static_cast<size_t>(first[n]);
  head.resize(arcs);
  twin.resize(arcs);
  cap.assign(arcs, bits, uniform, uniform ? merged[0].capacity : 0);
  std::vector<int32_t> fill(first.begin(), first.end() - 1);
  for (const Edge &e : merged) {
    int32_t a = fill[e.u]++, b = fill[e.v]++;
    head[a] = e.v;
    head[b] = e.u;
    twin[a] = b;
    twin[b] = a;
    cap.set(a, e.capacity);
    cap.set(b, e.capacity);
    for (int32_t end : {e.u, e.v})
      degree[end] = e.capacity > INT64_MAX - degree[end] ? INT64_MAX : degree[end] + e.capacity;
  }
  int64_t lightest = INT64_MAX, second = INT64_MAX;
  for (const Edge &e : merged) {
    if (e.capacity < lightest) {
      second = lightest;
      lightest = e.capacity;
    } else if (e.capacity < second) {
      second = e.capacity;
    }
  }
  if (second < INT64_MAX) twoLightest = lightest > INT64_MAX - second ? INT64_MAX : lightest + second;
}

void CompactGraph::makeHubMarks() const {
  std::call_once(hubsMade_, [this] { findHubs(); });
}

void CompactGraph::findHubs() const {
  std::vector<int32_t> order;
  for (int32_t v = 0; v < n; v++)
    if (first[v + 1] - first[v] >= kHubArcs) order.push_back(v);
  auto arcsOf = [this](int32_t v) { return first[v + 1] - first[v]; };
  std::stable_sort(order.begin(), order.end(),
                   [&](int32_t a, int32_t b) { return arcsOf(a) > arcsOf(b); });
  if (order.size() > static_cast<size_t>(kHubs)) order.resize(kHubs);
  std::vector<int32_t> hubOf(n, -1), marks(order.size() * n, -1);
  for (size_t k = 0; k < order.size(); k++) {
    int32_t v = order[k];
    hubOf[v] = static_cast<int32_t>(k);
    int32_t *to = marks.data() + k * n;
    for (int32_t a = first[v]; a < first[v + 1]; a++) to[head[a]] = twin[a];
  }
  hubOf_ = std::move(hubOf);
  hubMarks_ = std::move(marks);
}

void orderArcsByDistance(CompactGraph &g, const std::vector<int32_t> &distance) {
  SUNDER_DCHECK(!g.hubMarksMade());
  struct Arc {
    int32_t head, twin;
    int64_t cap;
  };
  std::vector<Arc> arcs;
  auto nearer = [&](const Arc &x, const Arc &y) { return distance[x.head] < distance[y.head]; };
  for (int32_t v = 0; v < g.n; v++) {
    int32_t from = g.first[v], to = g.first[v + 1];
    arcs.clear();
    for (int32_t a = from; a < to; a++) arcs.push_back({g.head[a], g.twin[a], g.cap[a]});
    if (std::is_sorted(arcs.begin(), arcs.end(), nearer)) continue;
    std::stable_sort(arcs.begin(), arcs.end(), nearer);
    // The twins stand in other nodes' arcs, not moved now: each learns its
    // arc's new place.
    for (int32_t k = 0; k < to - from; k++) {
      int32_t a = from + k;
      g.head[a] = arcs[k].head;
      g.twin[a] = arcs[k].twin;
      g.cap.set(a, arcs[k].cap);
      g.twin[arcs[k].twin] = a;
    }
  }
}

std::vector<int32_t> distancesFrom(const CompactGraph &g, int32_t root) {
  std::vector<int32_t> distance(g.n, -1), queue;
  queue.reserve(g.n);
  distance[root] = 0;
  queue.push_back(root);
  for (size_t k = 0; k < queue.size(); k++) {
    int32_t v = queue[k];
    for (int32_t a = g.first[v]; a < g.first[v + 1]; a++)
      if (distance[g.head[a]] < 0) {
        distance[g.head[a]] = distance[v] + 1;
        queue.push_back(g.head[a]);
      }
  }
  int32_t beyond = distance[queue.back()] + 1;
  for (int32_t &d : distance)
    if (d < 0) d = beyond;
  return distance;
}

}  // namespace sunder::detail
