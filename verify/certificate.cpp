#include "verify/certificate.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

namespace oracle {

namespace {

std::string edgeName(int child, int parent) {
  return "tree edge (" + std::to_string(child) + "," + std::to_string(parent) + ")";
}

// Lists in compressed rows: the items of row r are items[start[r] ...
// start[r + 1]).
struct Rows {
  std::vector<int> start;
  std::vector<int> items;
};

template <typename RowOf>
Rows rowsOf(int rows, size_t count, const RowOf &rowOf) {
  Rows r{std::vector<int>(static_cast<size_t>(rows) + 1, 0), std::vector<int>(count)};
  for (size_t i = 0; i < count; i++) r.start[static_cast<size_t>(rowOf(i)) + 1]++;
  for (int k = 0; k < rows; k++) r.start[k + 1] += r.start[k];
  std::vector<int> next(r.start.begin(), r.start.end() - 1);
  for (size_t i = 0; i < count; i++) r.items[next[rowOf(i)]++] = static_cast<int>(i);
  return r;
}

int findSet(std::vector<int> &up, int x) {
  while (up[x] != x) x = up[x] = up[up[x]];
  return x;
}

// Every node's sum of `acc` over its subtree, by a depth-first walk from
// the root (Tarjan's offline lowest common ancestors): the nodes left so
// far form sets, each headed by its deepest ancestor still on the walk. On
// leaving node x, each edge whose other end has been left already has its
// ends' lowest common ancestor at the head of that end's set, where twice
// its capacity is taken off before the head's sum is complete.
std::vector<uint64_t> subtreeSums(const RootedTree &t, const std::vector<Edge> &edges,
                                  std::vector<uint64_t> acc) {
  const int n = t.nodeCount();
  const Rows children = rowsOf(n, static_cast<size_t>(n - 1),
                               [&](size_t i) { return t.parent[i + 1]; });
  const Rows incident = rowsOf(n, 2 * edges.size(), [&](size_t i) {
    const Edge &e = edges[i / 2];
    return i % 2 ? e.v : e.u;
  });
  std::vector<int> up(n), top(n), next(n, 0);
  std::vector<bool> left(n, false);
  for (int k = 0; k < n; k++) up[k] = top[k] = k;
  std::vector<int> walk{0};
  while (!walk.empty()) {
    const int x = walk.back();
    if (next[x] < children.start[x + 1] - children.start[x]) {
      walk.push_back(children.items[children.start[x] + next[x]++] + 1);
      continue;
    }
    walk.pop_back();
    left[x] = true;
    for (int i = incident.start[x]; i < incident.start[x + 1]; i++) {
      const int item = incident.items[i];
      const Edge &e = edges[static_cast<size_t>(item / 2)];
      const int other = item % 2 ? e.u : e.v;
      if (e.u == e.v || !left[other]) continue;
      acc[top[findSet(up, other)]] -= 2 * static_cast<uint64_t>(e.cap);
    }
    if (walk.empty()) break;
    const int p = walk.back();
    acc[p] += acc[x];
    const int a = findSet(up, p), b = findSet(up, x);
    up[b] = a;
    top[a] = p;
  }
  return acc;
}

}  // namespace

int64_t cutCapacity(const std::vector<Edge> &edges, const std::vector<bool> &side) {
  return sumAcross<int64_t>(edges, side, [&edges](size_t i) { return edges[i].cap; });
}

std::vector<bool> subtreeSide(const RootedTree &t, int k) {
  std::vector<bool> below(t.nodeCount(), false);
  for (int x = 0; x < t.nodeCount(); x++)
    for (int y = x; y != -1 && !below[x]; y = t.parent[y]) below[x] = y == k;
  return below;
}

std::vector<std::string> shapeProblems(const RootedTree &t) {
  const int n = t.nodeCount();
  if (t.weight.size() != t.parent.size())
    return {"tree has " + std::to_string(t.parent.size()) + " parents and " +
            std::to_string(t.weight.size()) + " weights"};
  std::vector<std::string> problems;
  if (n == 0) return problems;
  if (t.parent[0] != -1)
    problems.push_back("node 0, the root, has parent " + std::to_string(t.parent[0]));
  for (int k = 1; k < n; k++) {
    const int p = t.parent[k];
    if (p < 0 || p >= n)
      problems.push_back("parent of node " + std::to_string(k) + " is " + std::to_string(p) +
                         ", outside 0.." + std::to_string(n - 1));
    else if (p == k)
      problems.push_back("node " + std::to_string(k) + " is its own parent");
    else if (t.weight[k] < 0)
      problems.push_back(edgeName(k, p) + " has negative weight " + std::to_string(t.weight[k]));
  }
  if (!problems.empty()) return problems;
  // Walks up from each node until a node known to reach the root.
  enum : char { Unknown, OnWalk, Rooted };
  std::vector<char> state(n, Unknown);
  state[0] = Rooted;
  std::vector<int> walk;
  for (int k = 1; k < n; k++) {
    int x = k;
    for (; state[x] == Unknown; x = t.parent[x]) {
      state[x] = OnWalk;
      walk.push_back(x);
    }
    if (state[x] == OnWalk) problems.push_back("the parents of node " + std::to_string(x) +
                                               " lead back to it: a cycle");
    for (int y : walk) state[y] = Rooted;
    walk.clear();
  }
  return problems;
}

std::vector<int64_t> crossingCapacities(const RootedTree &t, const std::vector<Edge> &edges) {
  const int n = t.nodeCount();
  std::vector<uint64_t> acc(n, 0);
  uint64_t magnitude = 0;
  for (const Edge &e : edges) {
    if (e.u == e.v) continue;
    const uint64_t c = static_cast<uint64_t>(e.cap);
    magnitude += e.cap < 0 ? 0 - c : c;
    if (magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
      throw std::overflow_error("certificate check: the capacities add up to more than " +
                                std::to_string(std::numeric_limits<int64_t>::max()));
    acc[e.u] += c;
    acc[e.v] += c;
  }
  std::vector<int64_t> crossing(n, 0);
  if (n == 0) return crossing;
  const std::vector<uint64_t> sums = subtreeSums(t, edges, std::move(acc));
  for (int k = 1; k < n; k++) crossing[k] = static_cast<int64_t>(sums[k]);
  return crossing;
}

std::vector<CertificateFault> certificateFaults(const RootedTree &t,
                                                const std::vector<Edge> &edges) {
  const std::vector<int64_t> crossing = crossingCapacities(t, edges);
  std::vector<CertificateFault> faults;
  for (int k = 1; k < t.nodeCount(); k++)
    if (crossing[k] != t.weight[k]) faults.push_back({k, t.parent[k], t.weight[k], crossing[k]});
  return faults;
}

std::vector<std::string> checkCertificates(const RootedTree &t, const std::vector<Edge> &edges) {
  std::vector<std::string> problems;
  for (const CertificateFault &f : certificateFaults(t, edges))
    problems.push_back(edgeName(f.child, f.parent) + " weighs " + std::to_string(f.weight) +
                       ", but the split of node " + std::to_string(f.child) +
                       "'s subtree is crossed by " + std::to_string(f.crossing));
  return problems;
}

std::vector<std::string> checkEdgeWeights(const RootedTree &t,
                                          const std::function<int64_t(int, int)> &maxFlow) {
  std::vector<std::string> problems;
  for (int k = 1; k < t.nodeCount(); k++) {
    const int64_t flow = maxFlow(k, t.parent[k]);
    if (t.weight[k] != flow)
      problems.push_back(edgeName(k, t.parent[k]) + " weighs " + std::to_string(t.weight[k]) +
                         ", max flow is " + std::to_string(flow));
  }
  return problems;
}

std::vector<int64_t> lightestFrom(const RootedTree &t, int u) {
  const int n = t.nodeCount();
  std::vector<std::vector<std::pair<int, int64_t>>> links(n);
  for (int k = 1; k < n; k++) {
    links[k].push_back({t.parent[k], t.weight[k]});
    links[t.parent[k]].push_back({k, t.weight[k]});
  }
  std::vector<int64_t> lightest(n, 0);
  std::vector<bool> seen(n, false);
  seen[u] = true;
  lightest[u] = std::numeric_limits<int64_t>::max();
  std::vector<int> todo{u};
  while (!todo.empty()) {
    const int x = todo.back();
    todo.pop_back();
    for (auto [y, w] : links[x])
      if (!seen[y]) {
        seen[y] = true;
        lightest[y] = std::min(lightest[x], w);
        todo.push_back(y);
      }
  }
  lightest[u] = 0;
  return lightest;
}

FlowTable lightestOnPaths(const RootedTree &t) {
  FlowTable lightest;
  for (int u = 0; u < t.nodeCount(); u++) lightest.push_back(lightestFrom(t, u));
  return lightest;
}

namespace {

std::string pairProblem(int u, int v, int64_t lightest, int64_t flow) {
  return "lightest tree edge between " + std::to_string(u) + " and " + std::to_string(v) +
         " weighs " + std::to_string(lightest) + ", max flow is " + std::to_string(flow);
}

}  // namespace

std::vector<std::string> checkPairs(const RootedTree &t,
                                    const std::vector<std::pair<int, int>> &pairs,
                                    const std::function<int64_t(int, int)> &maxFlow) {
  std::vector<std::string> problems;
  for (auto [u, v] : pairs) {
    const int64_t lightest = lightestFrom(t, u)[v], flow = maxFlow(u, v);
    if (lightest != flow) problems.push_back(pairProblem(u, v, lightest, flow));
  }
  return problems;
}

std::vector<std::string> checkAllPairs(const RootedTree &t, const FlowTable &flows) {
  std::vector<std::string> problems;
  for (int u = 0; u < t.nodeCount(); u++) {
    const std::vector<int64_t> lightest = lightestFrom(t, u);
    for (int v = u + 1; v < t.nodeCount(); v++)
      if (lightest[v] != flows[u][v]) problems.push_back(pairProblem(u, v, lightest[v], flows[u][v]));
  }
  return problems;
}

std::vector<std::string> checkCutTree(const RootedTree &t, const std::vector<Edge> &edges,
                                      const FlowTable &flows) {
  std::vector<std::string> problems = shapeProblems(t);
  if (!problems.empty()) return problems;
  auto add = [&](std::vector<std::string> more) {
    for (std::string &p : more) problems.push_back(std::move(p));
  };
  add(checkEdgeWeights(t, [&](int a, int b) { return flows[a][b]; }));
  add(checkAllPairs(t, flows));
  add(checkCertificates(t, edges));
  return problems;
}

std::string joinProblems(const std::vector<std::string> &problems, size_t limit) {
  std::string out;
  for (size_t i = 0; i < problems.size() && i < limit; i++) out += "  " + problems[i] + "\n";
  if (problems.size() > limit)
    out += "  ... and " + std::to_string(problems.size() - limit) + " more\n";
  return out;
}

}  // namespace oracle
