// Set-up of the solver: the copy of the arc structure, the node list and
// spare pools, and the start of each s-t computation.
#include "solver/buckets.h"
#include "solver/solver.h"

namespace {

// The arc of `origarcs` at the index of a (null stays null).
inline arc *counterpart(graph *g, arc *a) {
  return a == nullptr ? nullptr : g->origarcs + (a - g->arcs);
}

// Links the arcs from index `from` below `bound` into a pool whose last arc
// points at the bound; returns the bound.
arc *linkArcPool(arc *from, arc *bound) {
  for (arc *a = from; a < bound; a++) a->next = a + 1;
  return bound;
}

}  // namespace

void copyArcs(graph *g) {
  for (node *v = g->nodes; v != g->endNode; v++) {
    for (arc *a = v->first; a != nullptr; a = a->next) {
      arc *c = counterpart(g, a);
      c->cap = a->cap;
      c->resCap = a->resCap;
      c->head = a->head;
      c->rev = counterpart(g, a->rev);
      c->next = counterpart(g, a->next);
    }
  }
  for (node *v = g->nodes; v != g->endNode; v++) v->origFirst = counterpart(g, v->first);
}

void initContracted(graph *g) {
  node *lastReal = g->endNode - 1;
  for (node *v = g->nodes; v != lastReal; v++) v->next = v + 1;
  g->freeNodes = g->endNode;
  g->endNode = g->nodes + 10 * static_cast<int64_t>(g->n);
  g->lastFreeNode = g->endNode - 1;
  lastReal->next = g->endNode;
  for (node *v = g->freeNodes; v != g->lastFreeNode; v++) v->next = v + 1;
  g->lastFreeNode->next = nullptr;
  g->reservedNode = g->freeNodes;
  g->freeNodes = g->freeNodes->next;
  g->nodeList = g->nodes;

  // Index 2m belongs neither to the input nor to the pools.
  int64_t poolEnd = 2 * static_cast<int64_t>(g->m) + 8 * static_cast<int64_t>(g->n);
  g->freeArcs = g->realArcsEnd + 1;
  g->freeOrigArcs = counterpart(g, g->freeArcs);
  g->arcsEnd = linkArcPool(g->freeArcs, g->arcs + poolEnd);
  g->origArcsEnd = linkArcPool(g->freeOrigArcs, g->origarcs + poolEnd);
}

void initCutComp(graph *g, node *source, node *sink) {
  for (int32_t b = g->topLabel; b >= 0; b--) {
    g->buckets[b].firstAll = nullptr;
    g->buckets[b].firstActive = nullptr;
  }
  for (node *v = g->nodeList; v != g->endNode; v = v->next) {
    v->excess = 0;
    v->status = AWAKE;
    v->current = v->first;
  }
  g->source = source;
  g->sink = sink;
  source->status = SOURCE_SIDE;
  source->d = g->topLabel;
  sink->d = 0;
  g->dMin = 0;
  linkIntoBucket(g, sink);
  for (node *v = g->nodeList; v != g->endNode; v = v->next) {
    if (v == source || v == sink) continue;
    v->d = 1;
    linkIntoBucket(g, v);
  }
  g->dMax = 1;
  g->aMax = 0;
  saturateOutgoing(g, source);
}
