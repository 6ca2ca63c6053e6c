// The undirected graph of an instance in one adjacency array, for the
// engines that do not use the solver's records: parallel edges merged, self
// loops dropped. Each edge {u, w} of capacity c is a pair of arcs u->w and
// w->u, each the other's `twin`, both of capacity c.
#ifndef SUNDER_ENGINES_COMPACT_GRAPH_H
#define SUNDER_ENGINES_COMPACT_GRAPH_H

#include <cstdint>
#include <vector>

#include "sunder/graph.h"

namespace sunder::detail {

struct CompactGraph {
  CompactGraph(int32_t nodes, const std::vector<Edge> &edges);

  int32_t n;
  std::vector<int32_t> first;  // arcs of node v: first[v] ... first[v + 1] - 1
  std::vector<int32_t> head;   // by arc
  std::vector<int32_t> twin;   // by arc
  std::vector<int64_t> cap;    // by arc
};

}  // namespace sunder::detail

#endif
