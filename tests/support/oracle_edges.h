// A library graph's edges as the max-flow oracle takes them.
#ifndef TESTS_SUPPORT_ORACLE_EDGES_H
#define TESTS_SUPPORT_ORACLE_EDGES_H

#include <vector>

#include "sunder/graph.h"
#include "verify/oracle.h"

inline std::vector<oracle::Edge> oracleEdges(const sunder::Graph &g) {
  std::vector<oracle::Edge> edges;
  for (const sunder::Edge &e : g.edges()) edges.push_back({e.u, e.v, e.capacity});
  return edges;
}

#endif
