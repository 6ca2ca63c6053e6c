// The elementary operations of one s-t computation: discharge, relabel,
// saturation of the source's arcs, and one-node layers.
#include "solver/solver.h"

#include "solver/hot_loops.h"

void relabel(graph *g, node *v) {
  tally t;
  relabelTallied(g, v, t);
  addTally(g, t);
}

int discharge(graph *g, node *v) {
  tally t;
  int result = dischargeTallied(g, v, t);
  addTally(g, t);
  return result;
}

void saturateOutgoing(graph *g, node *v) {
  for (arc *a = v->first; a != nullptr; a = a->next) {
    g->edgeScans[g->scanPhase]++;
    node *w = a->head;
    if (w == nullptr || a->resCap <= 0 || w->status == SOURCE_SIDE) continue;
    int64_t c = a->resCap;
    a->resCap = 0;
    a->rev->resCap += c;
    if (w->status == AWAKE && w != g->sink && w->excess == 0) activate(g, w, w->d);
    w->excess += c;
    v->excess -= c;
  }
}

void oneNodeLayer(graph *g, node *v) {
  v->status = SOURCE_SIDE;
  v->d = g->topLabel;
  g->awakeCount--;
  int64_t scans = 0;
  for (arc *a = v->first; a != nullptr; a = nextArc(a)) {
    scans++;
    node *w = a->head;
    if (w->status != DORMANT) continue;
    int64_t c = a->resCap;
    a->resCap = 0;
    a->rev->resCap += c;
    w->excess += c;
  }
  g->edgeScans[g->scanPhase] += scans;
}
