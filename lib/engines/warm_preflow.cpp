#include "lib/engines/warm_preflow.h"

#include <algorithm>
#include <cstdint>

#include "lib/driver/draws.h"

namespace sunder::detail {

namespace {
constexpr int32_t kNone = -1;
// awake_: not yet reached by the update's search, awake, or asleep.
constexpr uint8_t kUnseen = 0, kAwake = 1, kAsleep = 2;
// Forward cuts made before their mean cost is judged.
constexpr int32_t kCutsToJudge = 32;
// ... or after a quarter of them, when they cost this many times more than
// a backward cut is taken to (kColdArcs), or than backward cuts did once
// measured (a retry after a stay: ringforge 16,000 2.89 G -> 2.70 G arc
// looks).
constexpr double kFarDearer = 4;
constexpr double kFarDearerMeasured = 2;
// What a backward cut is taken to cost, in arc looks per arc, before one is
// made: a restart, an update and a sweep of the graph.
constexpr double kColdArcs = 8;
// Backward cuts made before the first retry forward.
constexpr int32_t kFirstStay = 8;

// 0 ... count - 1 in an order drawn from a fixed seed, the same on every
// platform: splitmix64's numbers (draws.h), each taken to 0 ... k - 1 by
// the high half of its product with k (a division per edge cost more than
// the rest of making an engine). Each node's arcs take their edges' order
// in it; see the constructor.
std::vector<uint32_t> drawnOrder(size_t count) {
  std::vector<uint32_t> order(count);
  for (size_t i = 0; i < count; i++) order[i] = static_cast<uint32_t>(i);
  uint64_t state = 0x5eed;
  for (size_t k = count; k > 1; k--, state += kSplitmixStep) {
    uint64_t x = splitmix64(state);
    size_t at = static_cast<size_t>((static_cast<unsigned __int128>(x) * k) >> 64);
    std::swap(order[k - 1], order[at]);
  }
  return order;
}
}  // namespace

WarmPreflow::WarmPreflow(int32_t n, const std::vector<Edge> &edges, double updateFactor,
                         CutDirections directions)
    : n_(n), first_(n + 1, 0), excess_(n, 0), label_(n, 0), current_(n, 0), awake_(n, 0),
      allFirst_(n + 1, kNone), next_(n, kNone), prev_(n, kNone), activeFirst_(n + 1, kNone),
      activeNext_(n, kNone), listed_(n, 0), updateFactor_(updateFactor), directions_(directions) {
  for (const Edge &e : edges)
    if (e.u != e.v) first_[e.u + 1]++, first_[e.v + 1]++;
  for (int32_t v = 0; v < n; v++) first_[v + 1] += first_[v];
  size_t arcs = static_cast<size_t>(first_[n]);
  head_.resize(arcs);
  rev_.resize(arcs);
  capacity_.resize(arcs);
  std::vector<int32_t> at(first_.begin(), first_.end() - 1);
  for (uint32_t i : drawnOrder(edges.size())) {
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
  stay_ = kFirstStay;
}

void WarmPreflow::restart(int32_t s) {
  residual_ = capacity_;
  excess_.assign(n_, 0);
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

// Labels afresh: the sink at 0, and then, a level at a time as the flow
// needs them (expandLevel), the nodes one arc farther, breadth first over
// residual arcs into the nodes woken before. It goes as far as the first
// level that wakes a node with excess.
void WarmPreflow::globalUpdate() {
  clearLabels();
  woken_.push_back(sink_);
  awake_[sink_] = kAwake;
  file(sink_, 0);
  current_[sink_] = first_[sink_];
  expanded_ = 0;
  frontier_ = 0;
  updateWork_ = 0;
  workSinceUpdate_ = 0;
  while (maxActive_ < 0 && !searched()) expandLevel();
}

// Levels until the search has looked at twice the arcs it had (or is
// over): the excess of each new level is pushed through the levels before
// it once more, so the levels come in a few large steps, not one by one
// (on a wheel one by one pushed ten times as often).
void WarmPreflow::expandLevels() {
  int64_t before = updateWork_;
  do expandLevel();
  while (!searched() && updateWork_ < 2 * before);
}

// Looks at the arcs of the nodes the last level woke (those at label
// frontier_ when woken, whatever their labels now) and wakes every node
// not seen yet that reaches one of them over a residual arc, at frontier_
// + 1. A node never woken has no residual arc to a node woken below the
// frontier (it would have been woken then, and only pushes, between awake
// nodes, make residual arcs), so frontier_ + 1 is a valid label for it
// whenever it wakes, and no label above frontier_ + 1 is given while some
// node may still wake (see relabel).
void WarmPreflow::expandLevel() {
  size_t end = woken_.size();
  int32_t level = frontier_ + 1;
  for (; expanded_ < end; expanded_++) {
    int32_t u = woken_[expanded_];
    for (int32_t a = first_[u]; a < first_[u + 1]; a++) {
      int32_t w = head_[a];
      if (awake_[w] != kUnseen || w == source_ || residual_[rev_[a]] == 0) continue;
      awake_[w] = kAwake;
      woken_.push_back(w);
      file(w, level);
      current_[w] = first_[w];
      if (excess_[w] > 0) activate(w);
    }
    counters_.scans += first_[u + 1] - first_[u];
    updateWork_ += first_[u + 1] - first_[u] + 1;
  }
  if (woken_.size() > end) frontier_ = level;
}

void WarmPreflow::sleepFrom(int32_t label) {
  for (int32_t k = label; k <= maxLabel_; k++) {
    for (int32_t v = allFirst_[k]; v != kNone; v = next_[v]) awake_[v] = kAsleep;
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
// neighbour over a residual arc, or asleep when it has none. While the
// update's search has nodes left to wake, a label above frontier_ + 1 (or
// none) waits for the next level first: a node not woken yet may be the
// lower neighbour.
void WarmPreflow::relabel(int32_t v) {
  int32_t lowest;
  for (;;) {
    lowest = INT32_MAX;
    for (int32_t a = first_[v]; a < first_[v + 1]; a++)
      if (residual_[a] > 0 && awake_[head_[a]] == kAwake) lowest = std::min(lowest, label_[head_[a]]);
    counters_.scans += first_[v + 1] - first_[v];
    workSinceUpdate_ += first_[v + 1] - first_[v] + 1;
    if (searched() || lowest <= frontier_) break;
    expandLevels();
  }
  counters_.relabels++;
  unfile(v);
  if (lowest == INT32_MAX) {
    awake_[v] = kAsleep;
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
      if (residual_[a] > 0 && awake_[w] == kAwake && label_[w] == label_[v] - 1) {
        push(a, v, std::min(excess_[v], residual_[a]));
        if (excess_[v] == 0) break;
      }
    }
    counters_.scans += a - current_[v] + (a < end ? 1 : 0);
    workSinceUpdate_ += a - current_[v] + 1;
    current_[v] = std::min(a, end);
    if (excess_[v] == 0) return;
    int32_t at = label_[v];
    // A gap: nothing above it reaches the sink, nor does a node not woken
    // yet, whose label would be above the frontier; the search is over.
    // (Labels stay unbroken from 0 upwards, so they stay below n.)
    if (allFirst_[at] == v && next_[v] == kNone && (at <= frontier_ || searched())) {
      sleepFrom(at);
      expanded_ = woken_.size();
      return;
    }
    relabel(v);
    if (awake_[v] != kAwake) return;
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
  spread(side, false);
}

// Marks every node that the nodes of queue_ (marked already) reach over
// residual arcs (alongArcs), or that reaches one of them (else).
void WarmPreflow::spread(std::vector<uint8_t> &side, bool alongArcs) {
  for (size_t q = 0; q < queue_.size(); q++) {
    int32_t u = queue_[q];
    for (int32_t a = first_[u]; a < first_[u + 1]; a++) {
      int32_t w = head_[a];
      if (!side[w] && (alongArcs ? residual_[a] : residual_[rev_[a]]) > 0) {
        side[w] = 1;
        queue_.push_back(w);
      }
    }
    counters_.scans += first_[u + 1] - first_[u];
  }
}

// Pushes until no node with excess but the sink reaches the sink: until
// no awake node but the sink holds excess and the update's search has
// woken every node it can.
void WarmPreflow::flow() {
  globalUpdate();
  for (;;) {
    while (maxActive_ >= 0) {
      int32_t v = activeFirst_[maxActive_];
      if (v == kNone) {
        maxActive_--;
        continue;
      }
      activeFirst_[maxActive_] = activeNext_[v];
      listed_[v] = 0;
      if (awake_[v] == kAwake && label_[v] == maxActive_ && excess_[v] > 0) discharge(v);
    }
    if (searched()) return;
    expandLevels();
  }
}

// After a flow from t to s: the nodes that t or a node holding excess
// reaches over residual arcs. Every node with excess lies on t's side of
// every minimum cut (the excess s received is the cut's value, so none is
// left on s's side), and no flow enters the set from outside, so it is the
// smallest t side of a minimum cut: the side a flow from s to t finds.
void WarmPreflow::sourceSide(std::vector<uint8_t> &side) {
  side.assign(n_, 0);
  queue_.clear();
  for (int32_t v = 0; v < n_; v++)
    if (v == source_ || (v != sink_ && excess_[v] > 0)) {
      side[v] = 1;
      queue_.push_back(v);
    }
  counters_.scans += n_;
  spread(side, true);
}

// Forward while the warm cuts cost no more than a backward one; past that,
// backward for a stay, then forward again, as the sinks may have moved on
// to where the excess waits. A stay whose backward cuts proved cheaper than
// the forward ones before it makes the next twice as long; one that did not,
// the shortest.
bool WarmPreflow::chooseBackward() {
  if (directions_ != CutDirections::Either) return directions_ == CutDirections::Backward;
  if (backward_) {
    if (--stayLeft_ > 0) return true;
    stay_ = backwardCost_ / backwardCuts_ < forwardMean_ ? 2 * stay_ : kFirstStay;
    backward_ = false;
    forwardCuts_ = 0;
    forwardCost_ = 0;
    return false;
  }
  double bar = backwardCuts_ > 0 ? backwardCost_ / backwardCuts_
                                 : kColdArcs * static_cast<double>(first_[n_]);
  double far = backwardCuts_ > 0 ? kFarDearerMeasured : kFarDearer;
  bool dear = forwardCuts_ >= kCutsToJudge ? forwardCost_ > bar * forwardCuts_
              : forwardCuts_ >= kCutsToJudge / 4 && forwardCost_ > far * bar * forwardCuts_;
  if (!dear) return false;
  forwardMean_ = forwardCost_ / forwardCuts_;
  backward_ = true;
  stayLeft_ = stay_;
  return true;
}

void WarmPreflow::record(bool backward, int64_t scans) {
  (backward ? backwardCost_ : forwardCost_) += static_cast<double>(scans);
  (backward ? backwardCuts_ : forwardCuts_)++;
}

std::vector<double> WarmPreflow::lessons() const {
  if (directions_ != CutDirections::Either || backwardCuts_ == 0) return {};
  double arcs = first_[n_];
  return {backward_ ? 1.0 : 0.0, backwardCost_ / backwardCuts_ / arcs, forwardMean_ / arcs,
          static_cast<double>(stay_)};
}

void WarmPreflow::learn(const std::vector<double> &lessons) {
  if (directions_ != CutDirections::Either || lessons.size() != 4) return;
  double arcs = first_[n_];
  backward_ = lessons[0] != 0;
  backwardCuts_ = 1;
  backwardCost_ = lessons[1] * arcs;
  forwardMean_ = lessons[2] * arcs;
  stay_ = stayLeft_ = static_cast<int32_t>(lessons[3]);
}

int64_t WarmPreflow::cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) {
  (void)scanLimit;
  int64_t before = counters_.scans;
  bool backward = chooseBackward();
  int64_t value;
  if (backward) {
    // On a preflow of its own, so that the forward one stays warm.
    std::swap(residual_, backResidual_);
    std::swap(excess_, backExcess_);
    int32_t source = source_;
    restart(t);
    sink_ = s;
    flow();
    sourceSide(side);
    value = excess_[s];
    std::swap(residual_, backResidual_);
    std::swap(excess_, backExcess_);
    source_ = source;
  } else {
    bool cold = s != source_;
    if (cold) restart(s);
    sink_ = t;
    flow();
    sinkSide(side);
    value = excess_[t];
    // A run's first cut pushes its source's whole excess out, as a
    // backward one does: only warm cuts say what forward costs.
    if (cold) return value;
  }
  record(backward, counters_.scans - before);
  return value;
}

}  // namespace sunder::detail
