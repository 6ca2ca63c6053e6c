// The undirected graph of an instance in one adjacency array, for the
// engines that do not use the solver's records: parallel edges merged, self
// loops dropped. Each edge {u, w} of capacity c is a pair of arcs u->w and
// w->u, each the other's `twin`, both of capacity c.
#ifndef CUTTREE_COMPACT_GRAPH_H
#define CUTTREE_COMPACT_GRAPH_H

#include <cstdint>
#include <vector>

#include "cuttree/oracle.h"

namespace cuttree {

struct CompactGraph {
  CompactGraph(int32_t nodes, const std::vector<oracle::Edge> &edges);

  int32_t n;
  std::vector<int32_t> first;  // arcs of node v: first[v] ... first[v + 1] - 1
  std::vector<int32_t> head;   // by arc
  std::vector<int32_t> twin;   // by arc
  std::vector<int64_t> cap;    // by arc
};

}  // namespace cuttree

#endif
