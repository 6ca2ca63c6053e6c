// The inner steps of one s-t computation, written to keep their counts in
// locals while they loop. The graph's counters live in memory that every
// store to a residual capacity or excess may alias, so counting through `g`
// makes the compiler load and store them again at each arc; here each step
// counts in registers and a `tally` collects the counts until the caller
// adds them to the graph. The sums are the same; only the moment they reach
// the graph differs.
#ifndef SOLVER_HOT_LOOPS_H
#define SOLVER_HOT_LOOPS_H

#include "solver/buckets.h"
#include "solver/solver.h"

// The arc after a in its list. Every list runs over an increasing stretch
// of the arc array, and apart from the arcs compaction unlinked the next arc
// is the following record. Testing for that and going on with `a + 1` lets
// the processor start the next iteration on a predicted branch instead of
// waiting for the `next` load; the empty asm hides from the compiler that
// the result equals the loaded pointer, which it would use instead.
inline arc *nextArc(const arc *a) {
  arc *next = a->next;
  arc *following = const_cast<arc *>(a) + 1;
  if (__builtin_expect(next == following, 1)) {
    asm("" : "+r"(following));
    return following;
  }
  return next;
}

// Counts of a stretch of work not yet added to the graph.
struct tally {
  int64_t pushes = 0;
  int64_t relabels = 0;
  int64_t phaseScans = 0;    // arc scans charged to edgeScans[scanPhase]
  int64_t relabelScans = 0;  // arc scans charged to edgeScans[4]
};

inline void addTally(graph *g, const tally &t) {
  g->pushes += t.pushes;
  g->relabels += t.relabels;
  g->edgeScans[g->scanPhase] += t.phaseScans;
  g->edgeScans[4] += t.relabelScans;
}

// discharge, counting into t. No list holds a self loop when it runs, so
// the head is never v and v's excess can stay in a register.
inline int dischargeTallied(graph *g, node *v, tally &t) {
  arc *a = v->current;
  if (a == nullptr) return 1;
  const int32_t target = v->d - 1;
  node *const sink = g->sink;
  int64_t excess = v->excess;
  int64_t scans = 0, pushes = 0;
  int result = 1;
  do {
    scans++;
    node *w = a->head;
    int64_t r = a->resCap;
    if ((r > 0) & (w->d == target) & (w->status == AWAKE)) {
      pushes++;
      int64_t delta = excess > r ? r : excess;
      a->resCap = r - delta;
      a->rev->resCap += delta;
      if (w != sink && w->excess == 0) activate(g, w, target);
      w->excess += delta;
      excess -= delta;
      if (excess == 0) {
        v->current = a;
        result = 0;
        break;
      }
    }
    a = nextArc(a);
  } while (a != nullptr);
  v->excess = excess;
  t.phaseScans += scans;
  t.pushes += pushes;
  return result;
}

// The lowest label among v's residual arcs into awake nodes (topLabel when
// there is none), the first arc giving it in `best`; counts the arcs.
inline int32_t lowestNeighbourLabel(graph *g, node *v, arc *&best, tally &t) {
  int32_t lowest = g->topLabel;
  int64_t scans = 0;
  best = nullptr;
  for (arc *a = v->first; a != nullptr; a = nextArc(a)) {
    scans++;
    // Evaluated without branches: which arcs qualify follows no pattern
    // a predictor could learn, and every head in a list is a real node.
    const node *w = a->head;
    const int32_t d = w->d;
    const bool lower = (a->resCap > 0) & (d < lowest) & (w->status == AWAKE);
    lowest = lower ? d : lowest;
    best = lower ? a : best;
  }
  t.relabelScans += scans;
  return lowest;
}

// relabel, counting into t (oneNodeLayer still counts into the graph), up
// to but not including putting v on the active list of its new label.
// Returns the new label, or -1 when v became a one-node layer.
inline int32_t relabelUnfiled(graph *g, node *v, tally &t) {
  t.relabels++;
  unlinkFromBucket(g, v);
  arc *best;
  int32_t label = lowestNeighbourLabel(g, v, best, t) + 1;
  if (label >= g->topLabel) {
    oneNodeLayer(g, v);
    return -1;
  }
  v->d = label;
  v->current = best;
  linkIntoBucket(g, v);
  return label;
}

// relabel, counting into t.
inline void relabelTallied(graph *g, node *v, tally &t) {
  int32_t label = relabelUnfiled(g, v, t);
  if (label >= 0) activate(g, v, label);
}

#endif
