// Arc compaction: brings every live node's list into simple-graph form.
//
// The pair of lists of two adjacent nodes is handled at whichever comes
// first in the node list: parallel arcs are merged into the first of them
// (the representative) and the reverses of the absorbed arcs get a null
// head; when the later node is scanned those reverses are unlinked, and its
// remaining arc to the earlier node is the representative's reverse, which
// already carries the summed values. The neighbours' `current` members serve
// as the mark table: w->current is v's representative arc to w.
#include "graph/graph.h"

namespace {

// Clears the marks of v's neighbours. Not counted as a scan.
void clearNeighbourMarks(node *v) {
  for (arc *a = v->first; a != nullptr; a = a->next)
    if (a->head != nullptr) a->head->current = nullptr;
}

// Adds a's residual capacity into the representative r, in both directions.
void mergeInto(arc *r, arc *a) {
  r->resCap += a->resCap;
  r->cap = r->resCap;
  r->rev->resCap += a->rev->resCap;
  r->rev->cap = r->rev->resCap;
  a->rev->head = nullptr;
}

void compactList(graph *g, node *v) {
  clearNeighbourMarks(v);
  arc *kept = nullptr;  // the previous kept arc
  for (arc *a = v->first; a != nullptr; a = a->next) {
    g->edgeScans[g->scanPhase]++;
    node *w = a->head;
    if (w != v && w != nullptr && w->current == nullptr) {
      w->current = a;  // first arc to w: the representative
      kept = a;
      continue;
    }
    if (w != v && w != nullptr) mergeInto(w->current, a);
    // Unlink a; its own `next` stays, so the walk goes on from it.
    if (kept != nullptr) kept->next = a->next;
    else v->first = a->next;
  }
}

}  // namespace

void compact(graph *g) {
  for (node *v = g->nodeList; v != g->endNode; v = v->next) compactList(g, v);
}
