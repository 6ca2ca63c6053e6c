#include "lib/engines/dense.h"

#include <algorithm>

#include "sunder/error.h"

namespace sunder::detail {

namespace {

int64_t saturatingAdd(int64_t a, int64_t b) { return a > INT64_MAX - b ? INT64_MAX : a + b; }

// One s-t computation after another on the same matrix.
class DenseFlows {
 public:
  DenseFlows(int32_t n, const std::vector<Edge> &edges) : n_(n), cap_(size_t(n) * n, 0) {
    for (const Edge &e : edges) {
      if (e.u == e.v) continue;
      at(cap_, e.u, e.v) = saturatingAdd(at(cap_, e.u, e.v), e.capacity);
      at(cap_, e.v, e.u) = at(cap_, e.u, e.v);
    }
  }
  // Max flow from s to t; reached() is then the source side.
  int64_t maxFlow(int32_t s, int32_t t) {
    res_ = cap_;
    int64_t flow = 0;
    while (search(s, t)) {
      int64_t bottleneck = INT64_MAX;
      for (int32_t v = t; v != s; v = from_[v]) bottleneck = std::min(bottleneck, at(res_, from_[v], v));
      for (int32_t v = t; v != s; v = from_[v]) {
        at(res_, from_[v], v) -= bottleneck;
        at(res_, v, from_[v]) = saturatingAdd(at(res_, v, from_[v]), bottleneck);
      }
      flow = saturatingAdd(flow, bottleneck);
      if (flow == INT64_MAX) {  // no heavier cut can be told apart: s alone
        std::fill(from_, from_ + n_, kUnreached);
        from_[s] = s;
        break;
      }
    }
    return flow;
  }
  bool reached(int32_t v) const { return from_[v] != kUnreached; }
  int64_t scans() const { return scans_; }

 private:
  static constexpr int32_t kUnreached = -1;
  int64_t &at(std::vector<int64_t> &m, int32_t u, int32_t v) { return m[size_t(u) * n_ + v]; }

  // Breadth-first search from s over residual entries; from_ holds each
  // reached node's predecessor (s its own). True when t was reached.
  bool search(int32_t s, int32_t t) {
    std::fill(from_, from_ + n_, kUnreached);
    from_[s] = s;
    int32_t queue[kDenseNodes], head = 0, tail = 0;
    queue[tail++] = s;
    while (head < tail) {
      int32_t v = queue[head++];
      scans_ += n_;
      for (int32_t w = 0; w < n_; w++) {
        if (from_[w] != kUnreached || at(res_, v, w) == 0) continue;
        from_[w] = v;
        if (w == t) return true;
        queue[tail++] = w;
      }
    }
    return false;
  }

  int32_t n_;
  std::vector<int64_t> cap_, res_;
  int32_t from_[kDenseNodes];
  int64_t scans_ = 0;
};

}  // namespace

ParentTree denseCutTree(int32_t n, const std::vector<Edge> &edges, int64_t &scans) {
  if (n < 2 || n > kDenseNodes)
    throw Error("a dense cut tree takes 2 to " + std::to_string(kDenseNodes) + " nodes, not " +
                std::to_string(n));
  DenseFlows flows(n, edges);
  ParentTree tree{std::vector<int32_t>(n, 0), std::vector<Capacity>(n, 0)};
  tree.parent[0] = -1;
  auto reached = [&flows](int32_t k) { return flows.reached(k); };
  auto everyNode = [n](const auto &visit) {
    for (int32_t k = 0; k < n; k++) visit(k);
  };
  for (int32_t s = 1; s < n; s++)
    gusfieldUpdate(tree, s, flows.maxFlow(s, tree.parent[s]), reached, everyNode);
  scans += flows.scans();
  return tree;
}

}  // namespace sunder::detail
