#include "cut_tree_check.h"

#include <algorithm>
#include <limits>
#include <sstream>

namespace cuttest {

int Instance::lowest() const {
  int lo = std::numeric_limits<int>::max();
  for (const InstanceArc &a : arcs) lo = std::min({lo, a.tail, a.head});
  return lo;
}

int Instance::highest() const {
  int hi = std::numeric_limits<int>::min();
  for (const InstanceArc &a : arcs) hi = std::max({hi, a.tail, a.head});
  return hi;
}

int Instance::nodeCount() const {
  return arcs.empty() ? 0 : highest() - lowest() + 1;
}

std::string Instance::text() const {
  std::ostringstream out;
  if (!note.empty()) out << "c " << note << "\n";
  out << "p cut " << N << " " << arcs.size() << "\n";
  for (const InstanceArc &a : arcs)
    out << "a " << a.tail << " " << a.head << " " << a.cap << "\n";
  return out.str();
}

std::vector<IdEdge> idEdges(const Instance &inst) {
  const int lo = inst.lowest();
  std::vector<IdEdge> edges;
  edges.reserve(inst.arcs.size());
  for (const InstanceArc &a : inst.arcs)
    edges.push_back({a.tail - lo, a.head - lo, a.cap});
  return edges;
}

FlowTable allPairsByEnumeration(int n, const std::vector<IdEdge> &edges) {
  FlowTable best(n, std::vector<int64_t>(n, std::numeric_limits<int64_t>::max()));
  for (int u = 0; u < n; u++) best[u][u] = 0;
  // Every cut is counted once through the subset that holds node n - 1.
  const uint32_t limit = n >= 1 ? (1u << (n - 1)) : 1u;
  for (uint32_t mask = 0; mask < limit; mask++) {
    const uint32_t side = mask | (n >= 1 ? 1u << (n - 1) : 0u);
    int64_t value = 0;
    for (const IdEdge &e : edges)
      if (((side >> e.u) & 1u) != ((side >> e.v) & 1u)) value += e.cap;
    for (int u = 0; u < n; u++) {
      if (!((side >> u) & 1u)) continue;
      for (int v = 0; v < n; v++) {
        if ((side >> v) & 1u) continue;
        if (value < best[u][v]) best[u][v] = best[v][u] = value;
      }
    }
  }
  return best;
}

int64_t cutCapacity(const std::vector<IdEdge> &edges,
                    const std::vector<bool> &side) {
  int64_t total = 0;
  for (const IdEdge &e : edges)
    if (e.u != e.v && side[e.u] != side[e.v]) total += e.cap;
  return total;
}

// ---------------------------------------------------------------------------
// Checks

namespace {

// Tree adjacency: for each node id the (neighbour, weight, position) list.
struct TreeLink {
  int to;
  int64_t weight;
  int pos;
};

std::vector<std::vector<TreeLink>> treeLinks(const std::vector<tree> &rec,
                                             int n) {
  std::vector<std::vector<TreeLink>> links(n);
  for (int p = 1; p < n; p++) {
    links[rec[p].id].push_back({rec[p].parent, rec[p].weight, p});
    links[rec[p].parent].push_back({rec[p].id, rec[p].weight, p});
  }
  return links;
}

int findRoot(std::vector<int> &up, int x) {
  while (up[x] != x) x = up[x] = up[up[x]];
  return x;
}

}  // namespace

std::vector<std::string> checkShape(const std::vector<tree> &rec, int n) {
  std::vector<std::string> problems;
  auto complain = [&](const std::string &what) { problems.push_back(what); };
  if (static_cast<int>(rec.size()) != n) {
    complain("tree array has " + std::to_string(rec.size()) +
             " records for " + std::to_string(n) + " nodes");
    return problems;
  }
  if (n == 0) return problems;
  if (rec[0].id != 0)
    complain("position 0 (the root) holds node " + std::to_string(rec[0].id) +
             ", not node 0");
  std::vector<int> seenAt(n, -1);
  for (int p = 0; p < n; p++) {
    const int id = rec[p].id;
    if (id < 0 || id >= n) {
      complain("id at position " + std::to_string(p) + " is " +
               std::to_string(id) + ", outside 0.." + std::to_string(n - 1));
      continue;
    }
    if (seenAt[id] >= 0)
      complain("node " + std::to_string(id) + " stands at positions " +
               std::to_string(seenAt[id]) + " and " + std::to_string(p));
    else
      seenAt[id] = p;
  }
  if (!problems.empty()) return problems;
  for (int p = 0; p < n; p++)
    if (rec[rec[p].id].pos != p)
      complain("pos of node " + std::to_string(rec[p].id) + " is " +
               std::to_string(rec[rec[p].id].pos) + ", but the node stands at "
               "position " + std::to_string(p));
  std::vector<int> up(n);
  for (int k = 0; k < n; k++) up[k] = k;
  for (int p = 1; p < n; p++) {
    const int a = rec[p].id, b = rec[p].parent;
    if (b < 0 || b >= n) {
      complain("parent at position " + std::to_string(p) + " is " +
               std::to_string(b) + ", outside 0.." + std::to_string(n - 1));
      continue;
    }
    if (a == b) {
      complain("node " + std::to_string(a) + " is its own parent");
      continue;
    }
    if (rec[p].weight < 0)
      complain("tree edge (" + std::to_string(a) + "," + std::to_string(b) +
               ") has negative weight " + std::to_string(rec[p].weight));
    const int ra = findRoot(up, a), rb = findRoot(up, b);
    if (ra == rb)
      complain("tree edge (" + std::to_string(a) + "," + std::to_string(b) +
               ") at position " + std::to_string(p) + " closes a cycle");
    else
      up[ra] = rb;
  }
  return problems;
}

std::vector<std::string> checkEdgeWeights(
    const std::vector<tree> &rec, int n,
    const std::function<int64_t(int, int)> &maxFlow) {
  std::vector<std::string> problems;
  for (int p = 1; p < n; p++) {
    const int a = rec[p].id, b = rec[p].parent;
    const int64_t flow = maxFlow(a, b);
    if (rec[p].weight != flow)
      problems.push_back("tree edge (" + std::to_string(a) + "," +
                         std::to_string(b) + ") at position " +
                         std::to_string(p) + " weighs " +
                         std::to_string(rec[p].weight) + ", max flow is " +
                         std::to_string(flow));
  }
  return problems;
}

std::vector<std::string> checkAllPairs(const std::vector<tree> &rec, int n,
                                       const FlowTable &flows) {
  std::vector<std::string> problems;
  const auto links = treeLinks(rec, n);
  std::vector<int64_t> lightest(n);
  std::vector<bool> seen(n);
  std::vector<int> todo;
  for (int u = 0; u < n; u++) {
    std::fill(seen.begin(), seen.end(), false);
    lightest[u] = std::numeric_limits<int64_t>::max();
    seen[u] = true;
    todo.assign(1, u);
    while (!todo.empty()) {
      const int x = todo.back();
      todo.pop_back();
      for (const TreeLink &l : links[x]) {
        if (seen[l.to]) continue;
        seen[l.to] = true;
        lightest[l.to] = std::min(lightest[x], l.weight);
        todo.push_back(l.to);
      }
    }
    for (int v = u + 1; v < n; v++) {
      if (!seen[v]) {
        problems.push_back("nodes " + std::to_string(u) + " and " +
                           std::to_string(v) + " are not joined by the tree");
      } else if (lightest[v] != flows[u][v]) {
        problems.push_back("lightest tree edge between " + std::to_string(u) +
                           " and " + std::to_string(v) + " weighs " +
                           std::to_string(lightest[v]) + ", max flow is " +
                           std::to_string(flows[u][v]));
      }
    }
  }
  return problems;
}

std::vector<std::string> checkCertificates(const std::vector<tree> &rec,
                                           int n,
                                           const std::vector<IdEdge> &edges) {
  std::vector<std::string> problems;
  const auto links = treeLinks(rec, n);
  std::vector<bool> side(n);
  std::vector<int> todo;
  for (int p = 1; p < n; p++) {
    const int a = rec[p].id, b = rec[p].parent;
    std::fill(side.begin(), side.end(), false);
    side[a] = true;
    todo.assign(1, a);
    while (!todo.empty()) {
      const int x = todo.back();
      todo.pop_back();
      for (const TreeLink &l : links[x]) {
        if (l.pos == p || side[l.to]) continue;
        side[l.to] = true;
        todo.push_back(l.to);
      }
    }
    if (side[b]) {
      problems.push_back("removing tree edge (" + std::to_string(a) + "," +
                         std::to_string(b) + ") does not split the tree");
      continue;
    }
    const int64_t crossing = cutCapacity(edges, side);
    if (crossing != rec[p].weight) {
      std::string members;
      for (int k = 0; k < n; k++)
        if (side[k]) members += (members.empty() ? "" : " ") + std::to_string(k);
      problems.push_back("tree edge (" + std::to_string(a) + "," +
                         std::to_string(b) + ") weighs " +
                         std::to_string(rec[p].weight) +
                         ", but the split {" + members + "} is crossed by " +
                         std::to_string(crossing));
    }
  }
  return problems;
}

std::vector<std::string> checkCutTree(const std::vector<tree> &rec, int n,
                                      const std::vector<IdEdge> &edges,
                                      const FlowTable &flows) {
  std::vector<std::string> problems = checkShape(rec, n);
  if (!problems.empty()) return problems;
  for (auto &p : checkEdgeWeights(rec, n,
                                  [&](int a, int b) { return flows[a][b]; }))
    problems.push_back(std::move(p));
  for (auto &p : checkAllPairs(rec, n, flows)) problems.push_back(std::move(p));
  for (auto &p : checkCertificates(rec, n, edges))
    problems.push_back(std::move(p));
  return problems;
}

std::vector<tree> referenceTree(int n, const std::vector<IdEdge> &edges,
                                bool onlyUnprocessed) {
  BoostOracle oracle(n, edges);
  std::vector<tree> rec(n);
  std::vector<int> parent(n, 0);
  std::vector<int64_t> weight(n, 0);
  for (int s = 1; s < n; s++) {
    const int t = parent[s];
    const std::vector<bool> sSide = oracle.sourceSide(s, t);
    weight[s] = cutCapacity(edges, sSide);
    // Every node on the source's side that hangs from t moves to s, the
    // ones already processed included: that keeps the tree a cut tree and
    // not only flow equivalent.
    for (int k = onlyUnprocessed ? s + 1 : 1; k < n; k++)
      if (k != s && sSide[k] && parent[k] == t) parent[k] = s;
    if (sSide[parent[t]]) {
      parent[s] = parent[t];
      parent[t] = s;
      weight[s] = weight[t];
      weight[t] = cutCapacity(edges, sSide);
    }
  }
  for (int p = 0; p < n; p++) rec[p] = {p, p, parent[p], weight[p]};
  return rec;
}

std::string joinProblems(const std::vector<std::string> &problems,
                         size_t limit) {
  std::string out;
  for (size_t i = 0; i < problems.size() && i < limit; i++)
    out += "  " + problems[i] + "\n";
  if (problems.size() > limit)
    out += "  ... and " + std::to_string(problems.size() - limit) + " more\n";
  return out;
}

std::string describeTree(const std::vector<tree> &rec, int n) {
  std::ostringstream out;
  for (int p = 0; p < n && p < static_cast<int>(rec.size()); p++)
    out << "  pos " << p << ": id " << rec[p].id << " parent "
        << rec[p].parent << " weight " << rec[p].weight << " (pos[" << p
        << "] = " << rec[p].pos << ")\n";
  return out.str();
}

}  // namespace cuttest
