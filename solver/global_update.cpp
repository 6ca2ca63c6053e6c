// Global relabelling: exact residual distances to the sink for the awake
// nodes, by a breadth-first search backwards from the sink that stays inside
// the awake set.
//
// Adding bucketTop to every awake label marks all of them unvisited at once
// (awake labels stay below topLabel < bucketTop), and the same shift tells the
// unreached nodes apart afterwards: they become a dormant layer, or a
// one-node layer when there is exactly one.
#include "outside/dcheck.h"
#include "solver/hot_loops.h"
#include "solver/solver.h"

namespace {

// Shifts every awake label by bucketTop, collects the nodes on regNodes and
// empties their buckets.
void shiftLabels(graph *g) {
  for (int32_t b = g->dMin; b <= g->dMax; b++) {
    bucket *bk = g->buckets + b;
    for (node *v = bk->firstAll; v != nullptr; v = v->bNext) {
      v->d += g->bucketTop;
      *g->regNodes->top++ = v;
    }
    bk->firstActive = nullptr;
    bk->firstAll = nullptr;
  }
}

inline void enqueue(queue *q, node *v) {
  *q->tail = v;
  q->tail = q->tail == q->last ? q->storage : q->tail + 1;
}

inline node *dequeue(queue *q) {
  node *v = *q->head;
  q->head = q->head == q->last ? q->storage : q->head + 1;
  return v;
}

// Breadth-first search from the sink over reverse residual arcs; files every
// reached node in the bucket of its new label.
void searchFromSink(graph *g) {
  queue *q = g->BFSqueue;
  node *const sink = g->sink;
  const int32_t unvisited = g->bucketTop;  // labels at or above it: not reached
  int64_t scans = 0;
  sink->d = g->dMin;
  enqueue(q, sink);
  do {
    node *u = dequeue(q);
    linkIntoBucket(g, u);
    if (u->excess > 0 && u != sink) activate(g, u, u->d);
    const int32_t next = u->d + 1;
    for (arc *a = u->first; a != nullptr; a = nextArc(a)) {
      scans++;
      node *w = a->head;
      // The label test first: most heads are reached already, and then the
      // reverse arc, which lies in another node's list, need not be read.
      if (w->d >= unvisited && w->status == AWAKE && a->rev->resCap > 0) {
        w->d = next;
        w->current = w->first;
        enqueue(q, w);
      }
    }
  } while (q->head != q->tail);
  g->edgeScans[5] += scans;
}

// Moves the unreached nodes of regNodes onto the freezer as dormant nodes,
// with their old labels back; returns how many there were.
int32_t freezeUnreached(graph *g) {
  int32_t count = 0;
  stack *reg = g->regNodes, *frozen = g->freezer;
  while (reg->top != reg->storage) {
    node *v = *--reg->top;
    if (v->d < g->bucketTop) continue;
    v->d -= g->bucketTop;
    v->status = DORMANT;
    g->awakeCount--;
    *frozen->top++ = v;
    count++;
  }
  return count;
}

// The labelling is valid among the awake nodes: the sink at dMin, and
// d(u) <= d(w) + 1 for every residual arc u->w between awake nodes; for
// the Debug check after each update, O(n + m) like the update itself.
bool labelsValid(const graph *g) {
  if (g->sink->d != g->dMin) return false;
  for (int32_t b = g->dMin; b <= g->dMax; b++)
    for (const node *u = g->buckets[b].firstAll; u != nullptr; u = u->bNext)
      for (const arc *a = u->first; a != nullptr; a = nextArc(a))
        if (a->resCap > 0 && a->head->status == AWAKE && u->d > a->head->d + 1) return false;
  return true;
}

}  // namespace

void globalUpdate(graph *g) {
  g->relabelsSinceUpdate = 0;
  shiftLabels(g);
  g->dMax = g->aMax = g->dMin;
  searchFromSink(g);
  stack *frozen = g->freezer;
  *frozen->top++ = nullptr;  // marker of the new layer
  int32_t unreached = freezeUnreached(g);
  if (unreached == 1) {
    node *v = *--frozen->top;
    v->status = AWAKE;
    g->awakeCount++;
    oneNodeLayer(g, v);
  }
  if (unreached <= 1) frozen->top--;  // drop the marker again
  SUNDER_DCHECK(labelsValid(g));
}
