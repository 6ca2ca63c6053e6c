#include "verify/solver_tree.h"

#include <sstream>

namespace oracle {

namespace {

// The array's layout: n records, node 0 at position 0, ids a permutation
// with pos its inverse.
std::vector<std::string> layoutProblems(const std::vector<tree> &rec, int n) {
  if (static_cast<int>(rec.size()) != n)
    return {"tree array has " + std::to_string(rec.size()) + " records for " +
            std::to_string(n) + " nodes"};
  std::vector<std::string> problems;
  if (n == 0) return problems;
  if (rec[0].id != 0)
    problems.push_back("position 0 (the root) holds node " + std::to_string(rec[0].id) +
                       ", not node 0");
  std::vector<int> seenAt(n, -1);
  for (int p = 0; p < n; p++) {
    const int id = rec[p].id;
    if (id < 0 || id >= n)
      problems.push_back("id at position " + std::to_string(p) + " is " + std::to_string(id) +
                         ", outside 0.." + std::to_string(n - 1));
    else if (seenAt[id] >= 0)
      problems.push_back("node " + std::to_string(id) + " stands at positions " +
                         std::to_string(seenAt[id]) + " and " + std::to_string(p));
    else
      seenAt[id] = p;
  }
  if (!problems.empty()) return problems;
  for (int p = 0; p < n; p++)
    if (rec[rec[p].id].pos != p)
      problems.push_back("pos of node " + std::to_string(rec[p].id) + " is " +
                         std::to_string(rec[rec[p].id].pos) +
                         ", but the node stands at position " + std::to_string(p));
  return problems;
}

}  // namespace

RootedTree fromRecords(const std::vector<tree> &rec) {
  const size_t n = rec.size();
  RootedTree t{std::vector<int>(n, -1), std::vector<int64_t>(n, 0)};
  for (size_t p = 1; p < n; p++) {
    t.parent[rec[p].id] = rec[p].parent;
    t.weight[rec[p].id] = rec[p].weight;
  }
  return t;
}

std::vector<tree> toRecords(const RootedTree &t) {
  std::vector<tree> rec(t.parent.size());
  for (int p = 0; p < t.nodeCount(); p++)
    rec[p] = {p, p, p == 0 ? 0 : t.parent[p], p == 0 ? 0 : t.weight[p]};
  return rec;
}

std::vector<std::string> checkShape(const std::vector<tree> &rec, int n) {
  std::vector<std::string> problems = layoutProblems(rec, n);
  return problems.empty() ? shapeProblems(fromRecords(rec)) : problems;
}

std::vector<std::string> checkEdgeWeights(const std::vector<tree> &rec,
                                          const std::function<int64_t(int, int)> &maxFlow) {
  return checkEdgeWeights(fromRecords(rec), maxFlow);
}

std::vector<std::string> checkAllPairs(const std::vector<tree> &rec, const FlowTable &flows) {
  return checkAllPairs(fromRecords(rec), flows);
}

std::vector<std::string> checkPairs(const std::vector<tree> &rec,
                                    const std::vector<std::pair<int, int>> &pairs,
                                    const std::function<int64_t(int, int)> &maxFlow) {
  return checkPairs(fromRecords(rec), pairs, maxFlow);
}

std::vector<std::string> checkCertificates(const std::vector<tree> &rec,
                                           const std::vector<Edge> &edges) {
  return checkCertificates(fromRecords(rec), edges);
}

std::vector<std::string> checkCutTree(const std::vector<tree> &rec, int n,
                                      const std::vector<Edge> &edges, const FlowTable &flows) {
  std::vector<std::string> problems = layoutProblems(rec, n);
  return problems.empty() ? checkCutTree(fromRecords(rec), edges, flows) : problems;
}

std::string describeTree(const std::vector<tree> &rec) {
  std::ostringstream out;
  for (size_t p = 0; p < rec.size(); p++)
    out << "  pos " << p << ": id " << rec[p].id << " parent " << rec[p].parent << " weight "
        << rec[p].weight << " (pos[" << p << "] = " << rec[p].pos << ")\n";
  return out.str();
}

}  // namespace oracle
