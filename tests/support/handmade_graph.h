// Builds a graph directly, without the reader, so that a test can fix the
// order of every adjacency list. Edge i occupies arcs 2i (u -> w) and
// 2i + 1 (w -> u); the test then links each node's list in the order it
// wants and prepares the graph as the solver's driver does.
#ifndef TESTS_SUPPORT_HANDMADE_GRAPH_H
#define TESTS_SUPPORT_HANDMADE_GRAPH_H

#include <vector>

#include "graph/graph.h"

struct HandmadeGraph {
  graph *g;
  int edges = 0;

  HandmadeGraph(int n, int m) : g(makeGraph(n, m)) {}

  node *at(int id) const { return g->nodes + id; }

  // Adds the edge u - w of capacity c; returns the arc u -> w.
  arc *addEdge(int u, int w, int64_t c) {
    arc *forward = g->arcs + 2 * edges, *backward = forward + 1;
    forward->head = at(w);
    backward->head = at(u);
    forward->cap = forward->resCap = backward->cap = backward->resCap = c;
    forward->rev = backward;
    backward->rev = forward;
    edges++;
    return forward;
  }

  // Links v's adjacency list through the given arcs, in this order.
  void setList(int v, const std::vector<arc *> &order) {
    at(v)->first = order.empty() ? nullptr : order.front();
    for (size_t i = 0; i < order.size(); i++)
      order[i]->next = i + 1 < order.size() ? order[i + 1] : nullptr;
  }
};

#endif
