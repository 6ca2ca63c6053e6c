#include "lib/engines/warm_preflow.h"

#include <algorithm>
#include <random>

namespace sunder::detail {

namespace {
constexpr int32_t kNone = -1;

// 0 ... count - 1 in an order drawn from a fixed seed (the same on every
// platform: mt19937_64's numbers are fixed by the standard, the shuffle is
// this one). Each node's arcs take their edges' order in it; see the
// constructor.
std::vector<size_t> drawnOrder(size_t count) {
  std::vector<size_t> order(count);
  for (size_t i = 0; i < count; i++) order[i] = i;
  std::mt19937_64 draw(0x5eed);
  for (size_t k = count; k > 1; k--) std::swap(order[k - 1], order[draw() % k]);
  return order;
}
}  // namespace

WarmPreflow::WarmPreflow(int32_t n, const std::vector<Edge> &edges, double updateFactor)
    : n_(n), first_(n + 1, 0), excess_(n, 0), label_(n, 0), current_(n, 0), awake_(n, 0),
      allFirst_(n + 1, kNone), next_(n, kNone), prev_(n, kNone), activeFirst_(n + 1, kNone),
      activeNext_(n, kNone), listed_(n, 0), updateFactor_(updateFactor) {
  for (const Edge &e : edges)
    if (e.u != e.v) first_[e.u + 1]++, first_[e.v + 1]++;
  for (int32_t v = 0; v < n; v++) first_[v + 1] += first_[v];
  size_t arcs = static_cast<size_t>(first_[n]);
  head_.resize(arcs);
  rev_.resize(arcs);
  capacity_.resize(arcs);
  std::vector<int32_t> at(first_.begin(), first_.end() - 1);
  for (size_t i : drawnOrder(edges.size())) {
    const Edge &e = edges[i];
    if (e.u == e.v) continue;
    int32_t a = at[e.u]++, b = at[e.v]++;
    head_[a] = e.v, head_[b] = e.u;
    rev_[a] = b, rev_[b] = a;
    capacity_[a] = capacity_[b] = e.capacity;
  }
  residual_ = capacity_;
  queue_.reserve(n);
  woken_.reserve(n);
}

void WarmPreflow::restart(int32_t s) {
  residual_ = capacity_;
  std::fill(excess_.begin(), excess_.end(), 0);
  source_ = s;
  for (int32_t a = first_[s]; a < first_[s + 1]; a++) {
    int64_t amount = residual_[a];
    residual_[a] = 0;
    residual_[rev_[a]] += amount;
    excess_[head_[a]] += amount;
  }
  counters_.scans += first_[n_];
}

void WarmPreflow::file(int32_t v, int32_t label) {
  label_[v] = label;
  prev_[v] = kNone;
  next_[v] = allFirst_[label];
  if (next_[v] != kNone) prev_[next_[v]] = v;
  allFirst_[label] = v;
  maxLabel_ = std::max(maxLabel_, label);
  highestFiled_ = std::max(highestFiled_, label);
}

void WarmPreflow::unfile(int32_t v) {
  if (prev_[v] != kNone) next_[prev_[v]] = next_[v];
  else allFirst_[label_[v]] = next_[v];
  if (next_[v] != kNone) prev_[next_[v]] = prev_[v];
}

void WarmPreflow::activate(int32_t v) {
  if (listed_[v]) return;
  listed_[v] = 1;
  activeNext_[v] = activeFirst_[label_[v]];
  activeFirst_[label_[v]] = v;
  maxActive_ = std::max(maxActive_, label_[v]);
}

// Forgets the labels and lists of the last update: only the nodes it woke
// (no node wakes between updates) and the labels filed since, so that an
// update costs what its region does, not a pass over all nodes.
void WarmPreflow::clearLabels() {
  for (int32_t v : woken_) awake_[v] = listed_[v] = 0;
  for (int32_t k = 0; k <= highestFiled_; k++) allFirst_[k] = activeFirst_[k] = kNone;
  woken_.clear();
  highestFiled_ = maxLabel_ = maxActive_ = kNone;
}

void WarmPreflow::globalUpdate() {
  clearLabels();
  queue_.assign(1, sink_);
  awake_[sink_] = 1;
  label_[sink_] = 0;
  for (size_t q = 0; q < queue_.size(); q++) {
    int32_t u = queue_[q];
    for (int32_t a = first_[u]; a < first_[u + 1]; a++) {
      int32_t w = head_[a];
      if (awake_[w] || w == source_ || residual_[rev_[a]] == 0) continue;
      awake_[w] = 1;
      label_[w] = label_[u] + 1;
      queue_.push_back(w);
    }
    counters_.scans += first_[u + 1] - first_[u];
  }
  awakeCount_ = static_cast<int32_t>(queue_.size());
  woken_.swap(queue_);
  updateWork_ = 0;
  for (int32_t v : woken_) updateWork_ += first_[v + 1] - first_[v] + 1;
  workSinceUpdate_ = 0;
  for (int32_t v : woken_) {
    file(v, label_[v]);
    current_[v] = first_[v];
    if (v != sink_ && excess_[v] > 0) activate(v);
  }
}

void WarmPreflow::sleepFrom(int32_t label) {
  for (int32_t k = label; k <= maxLabel_; k++) {
    for (int32_t v = allFirst_[k]; v != kNone; v = next_[v]) {
      awake_[v] = 0;
      awakeCount_--;
    }
    allFirst_[k] = activeFirst_[k] = kNone;
  }
  maxLabel_ = label - 1;
  maxActive_ = std::min(maxActive_, label - 1);
}

void WarmPreflow::push(int32_t a, int32_t v, int64_t amount) {
  int32_t w = head_[a];
  residual_[a] -= amount;
  residual_[rev_[a]] += amount;
  excess_[v] -= amount;
  excess_[w] += amount;
  counters_.pushes++;
  if (w != sink_) activate(w);
}

// v has no admissible arc left: a new label one above its lowest awake
// neighbour over a residual arc, or asleep when it has none.
void WarmPreflow::relabel(int32_t v) {
  int32_t lowest = INT32_MAX;
  for (int32_t a = first_[v]; a < first_[v + 1]; a++)
    if (residual_[a] > 0 && awake_[head_[a]]) lowest = std::min(lowest, label_[head_[a]]);
  counters_.scans += first_[v + 1] - first_[v];
  workSinceUpdate_ += first_[v + 1] - first_[v] + 1;
  counters_.relabels++;
  unfile(v);
  if (lowest == INT32_MAX) {
    awake_[v] = 0;
    awakeCount_--;
    return;
  }
  file(v, lowest + 1);
  current_[v] = first_[v];
}

void WarmPreflow::discharge(int32_t v) {
  while (excess_[v] > 0) {
    int32_t a = current_[v], end = first_[v + 1];
    for (; a < end; a++) {
      int32_t w = head_[a];
      if (residual_[a] > 0 && awake_[w] && label_[w] == label_[v] - 1) {
        push(a, v, std::min(excess_[v], residual_[a]));
        if (excess_[v] == 0) break;
      }
    }
    counters_.scans += a - current_[v] + (a < end ? 1 : 0);
    workSinceUpdate_ += a - current_[v] + 1;
    current_[v] = std::min(a, end);
    if (excess_[v] == 0) return;
    int32_t at = label_[v];
    if (allFirst_[at] == v && next_[v] == kNone) {  // a gap: nothing above reaches the sink
      sleepFrom(at);
      return;
    }
    relabel(v);
    if (!awake_[v]) return;
    if (static_cast<double>(workSinceUpdate_) > updateFactor_ * static_cast<double>(updateWork_)) {
      globalUpdate();
      return;
    }
  }
}

void WarmPreflow::sinkSide(std::vector<uint8_t> &side) {
  side.assign(n_, 0);
  queue_.assign(1, sink_);
  side[sink_] = 1;
  for (size_t q = 0; q < queue_.size(); q++) {
    int32_t u = queue_[q];
    for (int32_t a = first_[u]; a < first_[u + 1]; a++) {
      int32_t w = head_[a];
      if (!side[w] && residual_[rev_[a]] > 0) {
        side[w] = 1;
        queue_.push_back(w);
      }
    }
    counters_.scans += first_[u + 1] - first_[u];
  }
}

int64_t WarmPreflow::cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) {
  (void)scanLimit;
  if (s != source_) restart(s);
  sink_ = t;
  globalUpdate();
  while (maxActive_ >= 0) {
    int32_t v = activeFirst_[maxActive_];
    if (v == kNone) {
      maxActive_--;
      continue;
    }
    activeFirst_[maxActive_] = activeNext_[v];
    listed_[v] = 0;
    if (awake_[v] && label_[v] == maxActive_ && excess_[v] > 0) discharge(v);
  }
  sinkSide(side);
  return excess_[t];
}

}  // namespace sunder::detail
