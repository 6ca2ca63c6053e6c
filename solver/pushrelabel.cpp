// The elementary operations of one s-t computation: discharge, relabel,
// saturation of the source's arcs, and one-node layers.
#include "solver/solver.h"

#include "solver/buckets.h"

void relabel(graph *g, node *v) {
  g->relabels++;
  unlinkFromBucket(g, v);
  int32_t lowest = g->topLabel;
  arc *best = nullptr;
  for (arc *a = v->first; a != nullptr; a = a->next) {
    g->edgeScans[4]++;
    node *w = a->head;
    if (a->resCap > 0 && w->status == AWAKE && w->d < lowest) {
      lowest = w->d;
      best = a;
    }
  }
  int32_t label = lowest + 1;
  if (label >= g->topLabel) {
    oneNodeLayer(g, v);
    return;
  }
  v->d = label;
  v->current = best;
  linkIntoBucket(g, v);
  activate(g, v, label);
}

int discharge(graph *g, node *v) {
  arc *a = v->current;
  if (a == nullptr) return 1;
  do {
    g->edgeScans[g->scanPhase]++;
    node *w = a->head;
    if (a->resCap > 0 && w->status == AWAKE && w->d == v->d - 1) {
      g->pushes++;
      int64_t delta = v->excess > a->resCap ? a->resCap : v->excess;
      a->resCap -= delta;
      a->rev->resCap += delta;
      if (w != g->sink && w->excess == 0) activate(g, w, v->d - 1);
      w->excess += delta;
      v->excess -= delta;
      if (v->excess == 0) {
        v->current = a;
        return 0;
      }
    }
    a = a->next;
  } while (a != nullptr);
  return 1;
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
  for (arc *a = v->first; a != nullptr; a = a->next) {
    g->edgeScans[g->scanPhase]++;
    node *w = a->head;
    if (w->status != DORMANT) continue;
    int64_t c = a->resCap;
    a->resCap = 0;
    a->rev->resCap += c;
    w->excess += c;
  }
}
