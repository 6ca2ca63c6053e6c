#include "lib/engines/paths.h"

#include <algorithm>

namespace sunder::detail {

AugmentingPaths::AugmentingPaths(const CompactGraph &g)
    : n_(g.n), first_(g.first), head_(g.head), twin_(g.twin), cap_(g.cap), res_(g.cap),
      dist_(g.n), current_(g.n), queue_(g.n) {}

// Breadth-first distances from s over residual arcs; stops after the level
// that reaches t. True when t was reached.
bool AugmentingPaths::labelFrom(int32_t s, int32_t t) {
  std::fill(dist_.begin(), dist_.end(), -1);
  dist_[s] = 0;
  size_t head = 0, tail = 0;
  queue_[tail++] = s;
  int32_t reachLevel = -1;
  while (head < tail) {
    int32_t v = queue_[head++];
    if (reachLevel >= 0 && dist_[v] >= reachLevel) break;
    scans_ += first_[v + 1] - first_[v];
    for (int32_t a = first_[v]; a < first_[v + 1]; a++) {
      int32_t w = head_[a];
      if (res_[a] > 0 && dist_[w] < 0) {
        dist_[w] = dist_[v] + 1;
        queue_[tail++] = w;
        if (w == t) reachLevel = dist_[w];
      }
    }
  }
  return dist_[t] >= 0;
}

// Saturates shortest paths until none is left at this labelling; each path
// is walked forward from s and its bottleneck pushed along it at once.
int64_t AugmentingPaths::blockingFlow(int32_t s, int32_t t) {
  for (int32_t v = 0; v < n_; v++) current_[v] = first_[v];
  int64_t total = 0;
  pathArcs_.clear();
  int32_t v = s;
  for (;;) {
    if (v == t) {
      int64_t bottleneck = INT64_MAX;
      for (int32_t a : pathArcs_) bottleneck = std::min(bottleneck, res_[a]);
      for (int32_t a : pathArcs_) {
        res_[a] -= bottleneck;
        res_[twin_[a]] += bottleneck;
      }
      total += bottleneck;
      augmentations_++;
      // Back to the tail of the first arc the push saturated.
      size_t keep = 0;
      while (res_[pathArcs_[keep]] > 0) keep++;
      pathArcs_.resize(keep);
      v = keep == 0 ? s : head_[pathArcs_.back()];
      continue;
    }
    int32_t &a = current_[v];
    int32_t from = a;
    while (a < first_[v + 1] && !(res_[a] > 0 && dist_[head_[a]] == dist_[v] + 1)) a++;
    scans_ += a - from + 1;
    if (a < first_[v + 1]) {
      pathArcs_.push_back(a);
      v = head_[a];
      continue;
    }
    // v is a dead end for this phase: retreat and leave it behind.
    dist_[v] = -1;
    if (pathArcs_.empty()) return total;
    int32_t back = pathArcs_.back();
    pathArcs_.pop_back();
    v = head_[twin_[back]];
    current_[v]++;
  }
}

int64_t AugmentingPaths::cut(int32_t s, int32_t t, std::vector<uint8_t> &side,
                             int64_t scanLimit) {
  res_ = cap_;
  int64_t flow = 0;
  int64_t startScans = scans_;
  while (labelFrom(s, t)) {
    if (scans_ - startScans > scanLimit) return -1;
    phases_++;
    flow += blockingFlow(s, t);
  }
  side.resize(n_);
  for (int32_t k = 0; k < n_; k++) side[k] = dist_[k] >= 0 ? 0 : 1;
  return flow;
}

}  // namespace sunder::detail
