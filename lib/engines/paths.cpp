#include "lib/engines/paths.h"

#include <algorithm>

#include "outside/dcheck.h"

namespace sunder::detail {

AugmentingPaths::AugmentingPaths(const CompactGraph &g, const CompactSettings &settings)
    : g_(g), settings_(settings), touchedArcs_(g.head.size()), level_(g.n, 0), current_(g.n), queue_(g.n) {
  g.cap.copyTo(res_);
}

// Every residual back to its capacity: those the last computation pushed
// along (all of them once it pushed along more than the list holds), or
// all of them without local resets.
void AugmentingPaths::restoreResiduals() {
  if (!settings_.localReset) {
    g_.cap.copyTo(res_);
    touchedArcs_.clear();
  } else {
    touchedArcs_.restore(g_, res_);
  }
}

// A new phase, in which no node is labelled yet: distances stay below n.
void AugmentingPaths::startPhase() { base_ += g_.n + 1; }

void AugmentingPaths::label(int32_t v, int64_t d) {
  level_[v] = base_ + d;
  current_[v] = g_.first[v];
}

// Breadth-first distances from s over residual arcs; stops after the level
// that reaches t. True when t was reached.
bool AugmentingPaths::labelFrom(int32_t s, int32_t t) {
  startPhase();
  label(s, 0);
  size_t head = 0, tail = 0;
  queue_[tail++] = s;
  int64_t reachLevel = -1;
  while (head < tail) {
    int32_t v = queue_[head++];
    if (reachLevel >= 0 && distance(v) >= reachLevel) break;
    scans_ += g_.first[v + 1] - g_.first[v];
    for (int32_t a = g_.first[v]; a < g_.first[v + 1]; a++) {
      int32_t w = g_.head[a];
      if (res_[a] > 0 && !labelled(w)) {
        label(w, distance(v) + 1);
        queue_[tail++] = w;
        if (w == t) reachLevel = distance(w);
      }
    }
  }
  reached_ = tail;
  return labelled(t);
}

// Pushes `amount` along the path in pathArcs_.
void AugmentingPaths::push(int64_t amount) {
  for (int32_t a : pathArcs_) {
    res_[a] -= amount;
    res_[g_.twin[a]] += amount;
    touchedArcs_.add(a);
  }
  augmentations_++;
}

// Saturates shortest paths until none is left at this labelling or the flow
// found reaches `wanted`; each path is walked forward from s and its
// bottleneck pushed along it at once.
int64_t AugmentingPaths::blockingFlow(int32_t s, int32_t t, int64_t wanted) {
  int64_t total = 0;
  pathArcs_.clear();
  int32_t v = s;
  for (;;) {
    if (v == t) {
      int64_t bottleneck = INT64_MAX;
      for (int32_t a : pathArcs_) bottleneck = std::min(bottleneck, res_[a]);
      push(bottleneck);
      total += bottleneck;
      if (total >= wanted) return total;
      // Back to the tail of the first arc the push saturated.
      size_t keep = 0;
      while (res_[pathArcs_[keep]] > 0) keep++;
      pathArcs_.resize(keep);
      v = keep == 0 ? s : g_.head[pathArcs_.back()];
      continue;
    }
    int32_t &a = current_[v];
    int32_t from = a, end = g_.first[v + 1];
    // Levels of one phase differ by the distance, and older ones are
    // lower than any of this phase: a level one above v's is a labelled
    // node one farther from s.
    const int64_t next = level_[v] + 1;
    while (a < end && !(res_[a] > 0 && level_[g_.head[a]] == next)) a++;
    scans_ += a - from + 1;
    if (a < end) {
      pathArcs_.push_back(a);
      v = g_.head[a];
      continue;
    }
    // v is a dead end for this phase: retreat and leave it behind.
    level_[v] = base_ - 1;
    if (pathArcs_.empty()) return total;
    int32_t back = pathArcs_.back();
    pathArcs_.pop_back();
    v = g_.head[g_.twin[back]];
    current_[v]++;
  }
}

// side: 0 for the nodes the last search reached, 1 for the others.
void AugmentingPaths::reachedSide(std::vector<uint8_t> &side) const {
  side.assign(g_.n, 1);
  for (size_t k = 0; k < reached_; k++) side[queue_[k]] = 0;
}

int64_t AugmentingPaths::cut(int32_t s, int32_t t, std::vector<uint8_t> &side,
                             int64_t scanLimit) {
  restoreResiduals();
  int64_t bound = settings_.degreeBound ? std::min(g_.degree[s], g_.degree[t]) : INT64_MAX;
  int64_t flow = 0, startScans = scans_;
  while (flow < bound && labelFrom(s, t)) {
    if (scans_ - startScans > scanLimit) return -1;
    phases_++;
    flow += blockingFlow(s, t, bound - flow);
  }
  SUNDER_DCHECK(residualsPaired(g_, res_));
  SUNDER_DCHECK(flowConserved(g_, res_, s, t));
  SUNDER_DCHECK(netFlowOut(g_, res_, s) == flow);
  if (flow < bound || bound == INT64_MAX) {
    reachedSide(side);
  } else {  // the flow saturates the lighter terminal's arcs
    bool sourceAlone = g_.degree[s] <= g_.degree[t];
    side.assign(g_.n, sourceAlone ? 1 : 0);
    side[sourceAlone ? s : t] = sourceAlone ? 0 : 1;
  }
  return flow;
}

}  // namespace sunder::detail
