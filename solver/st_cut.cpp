// One s-t computation: active nodes are processed highest label first until
// no awake node but the sink holds excess. A node that must be relabelled
// while alone at its label b opens a gap: everything at and above b can no
// longer reach the sink and leaves the awake set, as one dormant layer, or as
// a one-node layer when label b + 1 is empty (awake labels are unbroken, so
// then nothing lies above b).
#include "solver/hot_loops.h"
#include "solver/solver.h"

namespace {

// First awake node of an active list from `v` on; stale entries are skipped.
inline node *firstAwake(node *v) {
  while (v != nullptr && v->status != AWAKE) v = v->aNext;
  return v;
}

// Freezes every node with a label from b up to dMax as one dormant layer,
// bucket by bucket from b upwards, each list from its front.
void freezeFrom(graph *g, int32_t b) {
  stack *frozen = g->freezer;
  *frozen->top++ = nullptr;
  for (int32_t k = b; k <= g->dMax; k++) {
    bucket *bk = g->buckets + k;
    for (node *v = bk->firstAll; v != nullptr; v = v->bNext) {
      v->status = DORMANT;
      *frozen->top++ = v;
      g->awakeCount--;
    }
    bk->firstAll = nullptr;
    bk->firstActive = nullptr;
  }
}

// v, alone at label b, cannot push its excess anywhere.
void handleGap(graph *g, node *v, int32_t b) {
  bucket *bk = g->buckets + b;
  if (bk[1].firstAll == nullptr) {
    bk->firstActive = nullptr;
    bk->firstAll = nullptr;
    oneNodeLayer(g, v);
  } else {
    freezeFrom(g, b);
  }
  g->dMax = g->aMax = b - 1;
}

}  // namespace

void STCut(graph *g) {
  const cutSettings exact;
  STCutWith(g, &exact);
}

bool STCutWith(graph *g, const cutSettings *settings) {
  const double updateFactor = settings->updateFactor;
  // The update scans reach edgeScans[5] at once, the others through t.
  const int64_t updateScansBefore = g->edgeScans[5];
  const int64_t scanLimit = settings->scanLimit;
  const bool limited = scanLimit < INT64_MAX;  // else the loop is the plain one
  bool finished = true;
  if (settings->startWithGlobalUpdate && g->aMax >= g->dMin) globalUpdate(g);
  tally t;
  int32_t sinceUpdate = 0;  // relabels since the last global update
  bucket *const buckets = g->buckets;
  const int32_t dMin = g->dMin;
  while (g->aMax >= dMin) {
    if (limited && t.phaseScans + t.relabelScans + (g->edgeScans[5] - updateScansBefore) > scanLimit) {
      finished = false;
      break;
    }
    // Down to the highest bucket with an awake active node, emptying the
    // active lists passed on the way.
    int32_t b = g->aMax;
    bucket *bk = buckets + b;
    node *v = firstAwake(bk->firstActive);
    while (v == nullptr) {
      bk->firstActive = nullptr;
      if (--b < dMin) break;
      bk--;
      v = firstAwake(bk->firstActive);
    }
    g->aMax = b;
    if (v == nullptr) break;
    bk->firstActive = firstAwake(v->aNext);
    for (;;) {
      if (dischargeTallied(g, v, t) == 0) break;
      if (bk->firstAll->bNext == nullptr) {
        handleGap(g, v, b);
        break;
      }
      int32_t label = relabelUnfiled(g, v, t);
      sinceUpdate++;
      bool update = static_cast<double>(sinceUpdate) > updateFactor * static_cast<double>(g->awakeCount);
      if (label < b || update) {  // a one-node layer has label -1
        if (label >= 0) activate(g, v, label);
        if (update) {
          globalUpdate(g);
          sinceUpdate = 0;
        }
        break;
      }
      // No active node lies above b, so v, filed at the front of the
      // active list of its new label, would be selected by the next pass
      // straight away: take it on here, leaving the list and aMax as that
      // selection would (v's own aNext is not read while v is on no list).
      if (g->aMax < label) g->aMax = label;
      b = label;
      bk = buckets + b;
      bk->firstActive = firstAwake(bk->firstActive);
    }
  }
  g->relabelsSinceUpdate = sinceUpdate;
  addTally(g, t);
  return finished;
}
