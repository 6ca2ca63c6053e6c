// A library graph, its cut sides and its trees as the verification
// library (verify/) takes them.
#ifndef TESTS_SUPPORT_ORACLE_EDGES_H
#define TESTS_SUPPORT_ORACLE_EDGES_H

#include <cstdint>
#include <vector>

#include "sunder/graph.h"
#include "sunder/cut_tree.h"
#include "verify/certificate.h"
#include "verify/oracle.h"

inline std::vector<oracle::Edge> oracleEdges(const sunder::Graph &g) {
  std::vector<oracle::Edge> edges;
  for (const sunder::Edge &e : g.edges()) edges.push_back({e.u, e.v, e.capacity});
  return edges;
}

// An engine's side (0 or 1 per node) as a set of nodes.
inline std::vector<bool> sideSet(const std::vector<uint8_t> &side) {
  return std::vector<bool>(side.begin(), side.end());
}

// A tree by parent and weight arrays (a library's tree by index).
inline oracle::RootedTree rootedTree(const std::vector<int32_t> &parent,
                                     const std::vector<sunder::Capacity> &weight) {
  return {std::vector<int>(parent.begin(), parent.end()), weight};
}

// A built tree by index: its graph's node indices.
inline oracle::RootedTree rootedTree(const sunder::CutTree &t) {
  return rootedTree(t.parents(), t.weights());
}

#endif
