// Why a node proven alone to the hub is alone to its sink too, in a
// Gusfield run rooted at the hub. Let v have lambda(v, hub) = deg(v), and
// let p be v's parent, first the hub. Suppose lambda(v, p) >= deg(v) (true
// for p = hub). The driver changes v's parent in two ways:
//  - to a source s whose cut (S, rest) to p has v in S: that cut separates
//    v from p, so lambda(s, p) >= lambda(v, p) >= deg(v), and lambda(v, s) >=
//    min(lambda(v, p), lambda(p, s)) >= deg(v);
//  - when v is the sink of source s's cut and v's parent p lies on s's
//    side, to s: that cut separates v from p, so lambda(v, s) = the cut >=
//    lambda(v, p) >= deg(v).
// Either way the new parent keeps lambda(v, parent) >= deg(v), and no cut of
// v weighs less than deg(v) anyway.
#include "lib/engines/tree_packing.h"

#include <algorithm>

namespace sunder::detail {

namespace {

// Arc looks the packing may spend, per arc of the graph.
constexpr int64_t kScansPerArc = 32;
// Arc looks per arc a packing's progress counts on (see shareDone).
constexpr int64_t kExpectedScansPerArc = 3;

// The reached nodes a tree has yet to expand, the one with the most arcs
// first, the last reached among equals: a stack of nodes per arc count, in
// O(1) a node but for the walk down to the next stack that holds one (a
// heap cost a third of the packing's time on real networks).
class ByArcs {
 public:
  explicit ByArcs(int32_t mostArcs) : stacks_(static_cast<size_t>(mostArcs) + 1) {}
  bool empty() const { return size_ == 0; }
  void push(int32_t arcs, int32_t v) {
    stacks_[arcs].push_back(v);
    top_ = std::max(top_, arcs);
    size_++;
  }
  int32_t pop() {
    while (stacks_[top_].empty()) top_--;
    size_--;
    int32_t v = stacks_[top_].back();
    stacks_[top_].pop_back();
    return v;
  }

 private:
  std::vector<std::vector<int32_t>> stacks_;
  int32_t top_ = 0;
  int64_t size_ = 0;
};

// Residual: the residuals' type, int32_t where the graph's residuals fit it
// (CompactGraph::narrowResiduals()): half the room of 64 bits, 24 MB on
// price 10^6.
template <typename Residual>
class Packer {
 public:
  Packer(const CompactGraph &g, int32_t hub);
  TreePacking run(const PackingProgress &progress);

 private:
  int32_t arcCount(int32_t v) const { return g_.first[v + 1] - g_.first[v]; }
  void sortArcs();
  int32_t hubArc();
  int32_t growTree(int64_t &amount);
  void reach(int32_t a, int64_t &amount);
  void takeAmount(int64_t amount);
  double shareDone() const;  // see PackingProgress
  void reportShare();

  const CompactGraph &g_;
  int32_t hub_;
  std::vector<int32_t> arcs_;   // each node's arcs (the hub's sorted, see sortArcs)
  std::vector<int32_t> end_;    // by node: its live arcs are arcs_[first[v] .. end_[v])
  std::vector<Residual> res_;   // by arc: capacity the trees so far left
  std::vector<int32_t> seen_;   // by node: the last tree that reached it
  std::vector<int64_t> carried_;  // by node: the amounts of the trees that reached it
  std::vector<int32_t> treeArcs_;  // the arcs of the tree being grown
  ByArcs queue_;  // reached, to expand
  int32_t hubCursor_;  // see hubArc
  int32_t tree_ = 0;
  int64_t scans_ = 0;
  // The progress callback, or null; the arc looks expected, and at which the
  // next report is due.
  const PackingProgress *progress_ = nullptr;
  int64_t expected_;
  int64_t nextReport_ = 0;
};

int32_t mostArcs(const CompactGraph &g) {
  int32_t most = 0;
  for (int32_t v = 0; v < g.n; v++) most = std::max(most, g.first[v + 1] - g.first[v]);
  return most;
}

template <typename Residual>
Packer<Residual>::Packer(const CompactGraph &g, int32_t hub)
    : g_(g), hub_(hub), arcs_(g.head.size()), end_(g.first.begin() + 1, g.first.end()),
      seen_(g.n, 0), carried_(g.n, 0), queue_(mostArcs(g)), hubCursor_(g.first[hub]),
      expected_(kExpectedScansPerArc * static_cast<int64_t>(g.head.size()) + g.n) {
  g.cap.copyTo(res_);
  sortArcs();
}

// The hub's arcs go to the neighbours with the most arcs first: a tree
// starts at the dense core.
template <typename Residual>
void Packer<Residual>::sortArcs() {
  for (int32_t a = 0; a < static_cast<int32_t>(arcs_.size()); a++) arcs_[a] = a;
  int32_t from = g_.first[hub_], to = g_.first[hub_ + 1];
  std::sort(arcs_.begin() + from, arcs_.begin() + to, [this](int32_t a, int32_t b) {
    int32_t x = g_.head[a], y = g_.head[b];
    return arcCount(x) != arcCount(y) ? arcCount(x) > arcCount(y) : x < y;
  });
  scans_ += to - from;
}

// The hub's next arc with capacity left, or -1. The arcs before the cursor
// have none.
template <typename Residual>
int32_t Packer<Residual>::hubArc() {
  for (; hubCursor_ < g_.first[hub_ + 1]; hubCursor_++) {
    int32_t a = arcs_[hubCursor_];
    scans_++;
    if (res_[a] > 0) return a;
  }
  return -1;
}

// Grows one tree from the hub over arcs with capacity left: the hub gives
// it one arc, then the reached node with the most arcs (the
// last reached among equals) takes an arc to every neighbour not reached
// yet, and so on; returns the nodes it reached (the hub included), with the
// smallest residual capacity of its arcs in `amount`. Arcs found with
// nothing left are dropped from their node's list for good.
template <typename Residual>
int32_t Packer<Residual>::growTree(int64_t &amount) {
  tree_++;
  treeArcs_.clear();
  int32_t first = hubArc();
  if (first < 0) return 1;
  seen_[hub_] = tree_;
  reach(first, amount = res_[first]);
  int32_t reached = 2;
  while (!queue_.empty()) {
    if (progress_ != nullptr && scans_ >= nextReport_) reportShare();
    int32_t v = queue_.pop();
    int32_t kept = g_.first[v];
    for (int32_t k = g_.first[v]; k < end_[v]; k++) {
      int32_t a = arcs_[k];
      scans_++;
      if (res_[a] == 0) continue;  // dead for good: dropped
      arcs_[kept++] = a;
      if (seen_[g_.head[a]] == tree_) continue;
      reach(a, amount);
      reached++;
    }
    end_[v] = kept;
  }
  return reached;
}

// Adds the head of arc a to the tree, by a.
template <typename Residual>
void Packer<Residual>::reach(int32_t a, int64_t &amount) {
  int32_t x = g_.head[a];
  seen_[x] = tree_;
  treeArcs_.push_back(a);
  amount = std::min<int64_t>(amount, res_[a]);
  queue_.push(arcCount(x), x);
}

// Takes `amount` off the tree's edges and credits it to its nodes.
template <typename Residual>
void Packer<Residual>::takeAmount(int64_t amount) {
  for (int32_t a : treeArcs_) {
    res_[a] = static_cast<Residual>(res_[a] - amount);
    res_[g_.twin[a]] = static_cast<Residual>(res_[g_.twin[a]] - amount);
    int32_t x = g_.head[a];
    carried_[x] = carried_[x] > INT64_MAX - amount ? INT64_MAX : carried_[x] + amount;
  }
}

// The packing's arc looks against kExpectedScansPerArc per arc: the first
// trees, over a graph of full capacities, reach most of it, the later ones
// find less and less left (on price 10^6 the first tree took half the
// packing's time), and packings that end when the hub has no arc left made
// 2 to 10 arc looks per arc (2.6 on price networks, 2.0 on a mesh).
template <typename Residual>
double Packer<Residual>::shareDone() const {
  return std::min(1.0, static_cast<double>(scans_) / static_cast<double>(expected_));
}

template <typename Residual>
void Packer<Residual>::reportShare() {
  (*progress_)(shareDone());
  nextReport_ = scans_ + expected_ / 64 + 1;
}

template <typename Residual>
TreePacking Packer<Residual>::run(const PackingProgress &progress) {
  TreePacking out;
  int64_t budget = kScansPerArc * static_cast<int64_t>(arcs_.size()) + g_.n;
  if (progress) progress_ = &progress;
  while (scans_ < budget) {
    int64_t amount = 0;
    if (growTree(amount) < 2) break;  // the hub has no arc left
    takeAmount(amount);
    out.trees++;
  }
  out.aloneToHub.assign(g_.n, 0);
  for (int32_t v = 0; v < g_.n; v++)
    if (v != hub_ && carried_[v] >= g_.degree[v]) {
      out.aloneToHub[v] = 1;
      out.proven++;
    }
  out.scans = scans_;
  return out;
}

// Whether a sixteenth of the arcs or more weigh 1. Where more than fifteen
// sixteenths weigh more (weighted networks) the trees carried little each,
// and the packing cost more time than it spared (cond-mat weighted: 0.37 s
// against 0.32 s without it).
bool enoughUnitArcs(const CompactGraph &g) {
  if (g.cap.empty()) return true;
  std::vector<int64_t> caps;
  g.cap.copyTo(caps);
  auto at = caps.begin() + static_cast<std::ptrdiff_t>(caps.size() / 16);
  std::nth_element(caps.begin(), at, caps.end());
  return *at <= 1;
}

}  // namespace

TreePacking packTrees(const CompactGraph &g, int32_t hub, const PackingProgress &progress) {
  if (!enoughUnitArcs(g)) {
    TreePacking none;
    none.aloneToHub.assign(g.n, 0);
    none.scans = static_cast<int64_t>(g.cap.size());
    return none;
  }
  if (g.narrowResiduals()) return Packer<int32_t>(g, hub).run(progress);
  return Packer<int64_t>(g, hub).run(progress);
}

}  // namespace sunder::detail
