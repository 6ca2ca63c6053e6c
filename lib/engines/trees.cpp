#include "lib/engines/trees.h"

#include <algorithm>

#include "outside/dcheck.h"

namespace sunder::detail {

void ActiveQueue::steer(const std::vector<int32_t> *distance) { distance_ = distance; }

void ActiveQueue::push(int32_t v) {
  size_++;
  if (distance_ == nullptr) {
    fifo_.push_back(v);
    return;
  }
  size_t d = static_cast<size_t>((*distance_)[v]);
  if (d >= buckets_.size()) buckets_.resize(d + 1);
  buckets_[d].push_back(v);
  lowest_ = std::min(lowest_, d);
}

int32_t ActiveQueue::take() {
  size_--;
  if (distance_ == nullptr) {
    int32_t v = fifo_.front();
    fifo_.pop_front();
    return v;
  }
  while (buckets_[lowest_].empty()) lowest_++;
  int32_t v = buckets_[lowest_].back();
  buckets_[lowest_].pop_back();
  return v;
}

void ActiveQueue::putBack(int32_t v) {
  if (distance_ == nullptr) {
    size_++;
    fifo_.push_front(v);
  } else {
    push(v);
  }
}

void ActiveQueue::clear() {
  fifo_.clear();
  for (size_t d = lowest_; d < buckets_.size() && size_ > 0; d++) {
    size_ -= buckets_[d].size();
    buckets_[d].clear();
  }
  size_ = 0;
  lowest_ = 0;
  distance_ = nullptr;
}

template <typename Residual>
SearchTrees<Residual>::SearchTrees(const CompactGraph &g, const CompactSettings &settings)
    : g_(g), settings_(settings), first_(g.first), head_(g.head), twin_(g.twin),
      tree_(g.n, FREE), parent_(g.n, kNone), active_(g.n, 0), scan_(g.n), stamp_(g.n, 0),
      dist_(g.n), touchedArcs_(g.head.size()), localMarks_(g.n, kNone),
      entered_(g.n, kNotEntered), inSinkChain_(g.n, 0), inClosure_(g.n, 0) {
  g.cap.copyTo(res_);
  g.makeHubMarks();
}

// Residuals and node states back to the start: those the last computation
// changed, or all of them without local resets.
template <typename Residual>
void SearchTrees<Residual>::restore() {
  if (!settings_.localReset) {
    g_.cap.copyTo(res_);
    touchedArcs_.clear();
    std::fill(tree_.begin(), tree_.end(), FREE);
    std::fill(parent_.begin(), parent_.end(), kNone);
    std::fill(active_.begin(), active_.end(), 0);
    std::fill(stamp_.begin(), stamp_.end(), 0);
    pass_ = 0;
  } else {
    touchedArcs_.restore(g_, res_);
    for (int32_t v : touchedNodes_) {
      tree_[v] = FREE;
      parent_[v] = kNone;
      active_[v] = 0;
    }
  }
  touchedNodes_.clear();
  for (int32_t v : closure_) inClosure_[v] = 0;
  closure_.clear();
  fedSinks_.clear();
  sinkClosed_ = false;
  closureDue_ = 0;
  clearMarks();
  for (ActiveQueue &q : queues_) q.clear();
  grown_[0] = grown_[1] = 0;
  orphans_.clear();
}

// A pass number no stamp carries yet.
template <typename Residual>
void SearchTrees<Residual>::nextPass() {
  if (pass_ == INT32_MAX) {
    std::fill(stamp_.begin(), stamp_.end(), 0);
    pass_ = 0;
  }
  pass_++;
}

template <typename Residual>
void SearchTrees<Residual>::join(int32_t v, uint8_t tree) {
  tree_[v] = tree;
  touchedNodes_.push_back(v);
}

// The trees back to their roots; s and t are queued to grow by the caller
// (see cutSides and startSink).
template <typename Residual>
void SearchTrees<Residual>::reset(int32_t s, int32_t t) {
  restore();
  nextPass();
  sink_ = kNone;
  for (int32_t root : {s, t}) {
    join(root, root == s ? SOURCE : SINK);
    parent_[root] = kRoot;
    dist_[root] = 0;
    stamp_[root] = pass_;
  }
}

template <typename Residual>
void SearchTrees<Residual>::steerTowards(int32_t root, std::shared_ptr<const std::vector<int32_t>> distance) {
  steerRoot_ = root;
  steerDistance_ = std::move(distance);
}

// When t's neighbours carry marks (t is a hub, or the marks were made for
// t in this computation), t does not grow at first: each of them joins the
// sink tree when the source tree reaches it (see grow), so a hub sink costs
// little for a source near it. Otherwise t grows at once like any node.
template <typename Residual>
void SearchTrees<Residual>::startSink(int32_t t) {
  toSink_ = t == marked_ ? localMarks_.data() : g_.hubMarks(t);
  sink_ = toSink_ != nullptr ? t : kNone;
  if (sink_ == kNone) activate(t);
}

// The marks of v's neighbours with their arcs to v: the graph's own for a
// hub, else made in localMarks_ for this computation alone, which counts
// their making and their clearing at the next restore.
template <typename Residual>
const int32_t *SearchTrees<Residual>::markNeighbours(int32_t v) {
  if (const int32_t *hub = g_.hubMarks(v)) return hub;
  for (int32_t a = first_[v]; a < first_[v + 1]; a++) localMarks_[head_[a]] = twin_[a];
  scans_ += 2 * static_cast<int64_t>(arcCount(v));
  marked_ = v;
  return localMarks_.data();
}

// localMarks_ back to kNone everywhere.
template <typename Residual>
void SearchTrees<Residual>::clearMarks() {
  if (marked_ == kNone) return;
  for (int32_t a = first_[marked_]; a < first_[marked_ + 1]; a++) localMarks_[head_[a]] = kNone;
  marked_ = kNone;
}

// Pushes what the s-t arc, the paths s-x-t and then the paths s-x-y-t
// carry, looking from the terminal with fewer arcs, until the flow reaches
// `bound`; returns the flow.
template <typename Residual>
int64_t SearchTrees<Residual>::shortPaths(int32_t s, int32_t t, int64_t bound) {
  bool fromS = arcCount(s) <= arcCount(t);  // as in cutSides
  int32_t near = fromS ? s : t, far = fromS ? t : s;
  const int32_t *toMarked = markNeighbours(far);
  int64_t flow = 0;
  scans_ += arcCount(near);
  for (int32_t a = first_[near]; a < first_[near + 1] && flow < bound; a++) {
    int32_t x = head_[a];
    int32_t b = x == far ? a : toMarked[x];  // x -> far, or the s-t arc
    if (b == kNone) continue;
    if (x == far) {
      flow += push(fromS ? a : twin_[a], kNone, kNone);
    } else {
      flow += fromS ? push(a, b, kNone) : push(twin_[b], twin_[a], kNone);
    }
  }
  for (int32_t a = first_[near]; a < first_[near + 1] && flow < bound; a++) {
    int32_t x = head_[a];
    if (x == far) continue;
    scans_ += arcCount(x);
    for (int32_t b = first_[x]; b < first_[x + 1] && flow < bound; b++) {
      if (res_[fromS ? a : twin_[a]] == 0) break;
      int32_t y = head_[b], c = toMarked[y];  // y -> far
      if (c == kNone || y == near) continue;
      flow += fromS ? push(a, b, c) : push(twin_[c], twin_[b], twin_[a]);
    }
  }
  return flow;
}

// Pushes the bottleneck of the path of arcs a1, a2, a3 (a kNone ends it);
// returns the amount.
template <typename Residual>
int64_t SearchTrees<Residual>::push(int32_t a1, int32_t a2, int32_t a3) {
  int64_t amount = res_[a1];
  if (a2 != kNone) amount = std::min<int64_t>(amount, res_[a2]);
  if (a3 != kNone) amount = std::min<int64_t>(amount, res_[a3]);
  if (amount == 0) return 0;
  moveAlong(a1, amount);
  if (a2 != kNone) moveAlong(a2, amount);
  if (a3 != kNone) moveAlong(a3, amount);
  return amount;
}

// Arc looks steeredPaths may spend, per arc of s and per step of its
// distance to the root. Weighted networks need many: a path there carries
// only its lightest arc, and a source's flow takes many paths per arc
// (astro-ph weighted 0.61 -> 0.31 s at -j1 at 128 instead of 32). Dense
// graphs need more, once a look ends at the first arc that steps away too
// often: tanglenet at 16,000 nodes 428 M arc looks at 128, 272 M at 512,
// 228 M at 2,048 and at 8,192 (4.5 -> 3.5 s at -j1), at 8,000 nodes 74 ->
// 48 M; the networks, the mesh and the other families look at the same
// arcs at 128 and 2,048. A search looks at a node's arcs from the first a
// few times at most, so the budget only bounds what one search may cost.
constexpr int64_t kSteeredScansPerArc = 2048;

// Steps away from the root a steered path may take, from a source near it
// and from one kFarFromRoot or more away. A source next to the root has its
// short paths pushed already (shortPaths), and what is left of its flow
// goes out through neighbours farther away: without a step away that flow
// was left to the trees, and three quarters of email-Enron's arc looks were
// theirs. One step away: email-Enron 0.57 -> 0.15 s and as-22july06 0.12
// -> 0.05 s at -j1; two, once arcs were taken nearest the root first
// (orderArcsByDistance): as-22july06 0.031 -> 0.019 s, email-Enron 0.090
// -> 0.079 s, pgp-strong-2009 0.16 -> 0.136 s; three or four were no
// quicker, nor more than one on the mesh, whose sources are far.
constexpr int32_t kStepsAwayNear = 2;
constexpr int32_t kStepsAwayFar = 1;

// Pushes flow from s along paths to the root t that step away from it
// (by the steering distances) a few times at most (kStepsAwayNear,
// kStepsAwayFar), and sideways only near it (a source kFarFromRoot or more
// away takes a sideways step as a step away: on a mesh it would wander
// along a wide layer), until the flow reaches `bound`, no such path is
// left or its arc looks run out; returns the flow. A depth-first search
// with a cursor per node that only moves forward: a path found is pushed
// and the search goes on from the tail of its first saturated arc (on a
// weighted network a path saturates one arc and keeps the rest: 5 to 10 %
// fewer arc looks than starting again at s), the nodes after that arc free
// to be entered again from where their cursors stand; a dead end is entered
// again, from its first arc, only by a path with more steps away left than
// the one that found it dead (its way on may have been a step away, or
// through a node that path held), so a node's arcs are looked at from the
// first kStepsAwayNear + 1 times at most. A node's arcs go nearest the
// root first (orderArcsByDistance, where the library steers), so the first
// arc that would take a step too many ends the node's look: tanglenet at
// 16,000 nodes 5.3 -> 4.4 s at -j1, hep-th weighted 5.47 -> 4.80 M arc
// looks, price 10^5 16.2 -> 13.8 M (on arcs in another order it ends paths
// that a later arc might have found, which the trees then find). On
// networks whose nodes are all a few arcs from the hub most sources' flows
// are paths of this kind, found without growing trees or adopting the
// orphans that a unit push leaves all along its path; the search trees
// then start from the residual graph it leaves.
template <typename Residual>
int64_t SearchTrees<Residual>::steeredPaths(int32_t s, int32_t t, int64_t bound) {
  const std::vector<int32_t> &dist = *steerDistance_;
  const int32_t *toSink = g_.hubMarks(t);
  int64_t budget = kSteeredScansPerArc * arcCount(s) * (int64_t{dist[s]} + 1), looked = 0;
  int64_t flow = 0;
  int32_t keep = dist[s] < kFarFromRoot ? 0 : 1;  // dist[w] <= dist[v] - keep: a step closer
  auto away = [&](int32_t v, int32_t w) { return dist[w] > dist[v] - keep; };
  int32_t stepsAway = 0;  // on the path so far
  int32_t allowed = keep == 0 ? kStepsAwayNear : kStepsAwayFar;
  pathArcs_.clear();
  enter(s, kOnPath);
  int32_t v = s;
  while (flow < bound && looked < budget) {
    int32_t &a = scan_[v];
    if (a == first_[v + 1]) {  // a dead end: back to the node before it
      if (v == s) break;
      entered_[v] = static_cast<uint8_t>(kDeadEnd + allowed - stepsAway);
      int32_t back = pathArcs_.back();
      v = head_[twin_[back]];
      stepsAway -= away(v, head_[back]);
      pathArcs_.pop_back();
      scan_[v]++;
      continue;
    }
    looked++;
    if (res_[a] == 0) {  // before w's distance, a look into another node's record
      a++;
      continue;
    }
    int32_t w = head_[a];
    bool stepAway = away(v, w);
    int32_t left = allowed - stepsAway - stepAway;  // once at w
    if (left < 0) {  // so do v's later arcs, which go no nearer the root
      a = first_[v + 1];
      continue;
    }
    if (entered_[w] == kOnPath || (entered_[w] >= kDeadEnd && entered_[w] - kDeadEnd >= left)) {
      a++;
      continue;
    }
    pathArcs_.push_back(a);
    stepsAway += stepAway;
    bool ends = w == t || absorbs(w);
    int32_t last = ends ? kNone : toSink != nullptr ? toSink[w] : kNone;
    if (!ends && (last == kNone || res_[last] == 0)) {
      enter(w, kOnPath);
      v = w;
      continue;
    }
    if (last != kNone) pathArcs_.push_back(last);
    if (w != t && ends) fedSinks_.push_back(w);
    flow += pushPath();
    // The search goes on from the tail of the path's first saturated arc,
    // the nodes before it still on the path; those after it may carry more
    // along arcs it left, from where their cursors stand.
    size_t kept = 0;
    while (res_[pathArcs_[kept]] > 0) kept++;
    v = head_[twin_[pathArcs_[kept]]];
    for (size_t j = kept; j < pathArcs_.size(); j++)
      if (head_[pathArcs_[j]] != t) enter(head_[pathArcs_[j]], kReleased);
    pathArcs_.resize(kept);
    if (entered_[v] != kOnPath) enter(v, kOnPath);  // the node before t's marked arc
    stepsAway = 0;
    for (int32_t b : pathArcs_) stepsAway += away(head_[twin_[b]], head_[b]);
  }
  for (int32_t x : enteredList_) entered_[x] = kNotEntered;
  enteredList_.clear();
  scan_[s] = first_[s];
  scans_ += looked;
  return flow;
}

// Marks v entered by steeredPaths in `state`; the first time in this
// computation it lists v, and then and when v was a dead end it starts v's
// cursor at its first arc.
template <typename Residual>
void SearchTrees<Residual>::enter(int32_t v, uint8_t state) {
  if (entered_[v] == kNotEntered) enteredList_.push_back(v);
  if (entered_[v] == kNotEntered || entered_[v] >= kDeadEnd) scan_[v] = first_[v];
  entered_[v] = state;
}

// Pushes the bottleneck of pathArcs_ and returns the amount.
template <typename Residual>
int64_t SearchTrees<Residual>::pushPath() {
  int64_t amount = INT64_MAX;
  for (int32_t a : pathArcs_) amount = std::min<int64_t>(amount, res_[a]);
  for (int32_t a : pathArcs_) moveAlong(a, amount);
  return amount;
}

// Queues v, or makes it look at all its arcs again if it is queued already.
template <typename Residual>
void SearchTrees<Residual>::activate(int32_t v) {
  if (v == sink_) return;
  scan_[v] = first_[v];
  if (active_[v]) return;
  active_[v] = 1;
  queues_[tree_[v] == SINK].push(v);
}

// Grows the trees from their active nodes, oldest first, until an arc joins
// the source tree to the sink tree (returned, pointing from the source
// tree) or no node is active any more. A node resumes where it found the
// last joining arc: the arcs before it cannot have become useful since, for
// a push changes only arcs between tree nodes, and a neighbour that leaves
// its tree makes the node look at all its arcs again.
template <typename Residual>
int32_t SearchTrees<Residual>::grow() {
  for (;;) {
    // Once the source tree has looked at as many arcs as t has, t grows
    // after all, and the trees grow in balance again.
    if (sink_ != kNone && grown_[0] >= arcCount(sink_)) {
      int32_t t = sink_;
      sink_ = kNone;
      activate(t);
    }
    // With no active node left in it the source tree is closed: it holds
    // every node reached from s, and the flow is maximum.
    if (queues_[0].empty() && !requeueSourceNodes()) return kNone;
    if (queues_[1].empty() && sinkTreeMayClose() && sinkSideClosed()) return kNone;
    // The tree that has looked at fewer arcs in this computation grows.
    int side = grown_[1] < grown_[0] ? 1 : 0;
    if (queues_[side].empty()) side ^= 1;
    ActiveQueue &queue = queues_[side];
    int32_t p = queue.take();
    uint8_t tree = tree_[p];
    if (tree != FREE) {
      int64_t looked = first_[p + 1] - scan_[p];
      scans_ += looked;
      grown_[side] += looked;
      for (int32_t &a = scan_[p]; a < first_[p + 1]; a++) {
        int32_t q = head_[a];
        // Flow leaves a source-tree node along a, enters a sink-tree node
        // along the twin.
        if ((tree == SOURCE ? res_[a] : res_[twin_[a]]) == 0) continue;
        if (tree_[q] == FREE && tree == SOURCE && (joinsMarkedSink(q) || joinsSinkSet(q))) {
          queue.putBack(p);
          return a;
        }
        if (tree_[q] == FREE) {
          join(q, tree);
          parent_[q] = twin_[a];
          dist_[q] = dist_[p] + 1;
          stamp_[q] = stamp_[p];
          activate(q);
        } else if (tree_[q] != tree) {
          queue.putBack(p);
          return tree == SOURCE ? a : twin_[a];
        }
      }
    }
    active_[p] = 0;
  }
}

// The sink tree's closing is looked for once the source tree has looked at
// more than kClosureShare times the sink tree's arcs, for at most
// 1 / kClosureShare of the source tree's (1, 2 and 4 gave arc looks within
// 2 % of each other on the networks and tanglenet; 2 spares most looks
// that fail).
constexpr int64_t kClosureShare = 2;

// Whether the flow to t may run towards the run's root: t is the root, or
// the root is on t's chain, a sink of the sink set (useSinkSet first). In
// a heaviest-first run the later sinks are often heavy nodes whose own cut
// to the root weighs more than the source's degree; their flows had no
// steering and were the trees' (hep-th weighted, heaviest first: 2.70 ->
// 1.67 M arc looks with it).
template <typename Residual>
bool SearchTrees<Residual>::steersTowardsRoot(int32_t t) const {
  if (steerDistance_ == nullptr || steerRoot_ < 0) return false;
  return t == steerRoot_ || (known_ != nullptr && inSinkChain_[steerRoot_]);
}

template <typename Residual>
bool SearchTrees<Residual>::sinkTreeMayClose() const {
  return sink_ == kNone && grown_[0] > kClosureShare * grown_[1] && grown_[0] >= closureDue_;
}

// Finds the nodes that reach t in the residual graph, backwards from t,
// into closure_; true when that ends without meeting the source tree and
// within the source tree's arc looks so far (see the header).
template <typename Residual>
bool SearchTrees<Residual>::sinkSideClosed() {
  int64_t budget = grown_[0] / kClosureShare, looked = 0;
  bool closed = true;
  closure_.assign(1, sinkOfSet_);
  inClosure_[sinkOfSet_] = 1;
  for (int32_t x : fedSinks_)
    if (!inClosure_[x]) {
      inClosure_[x] = 1;
      closure_.push_back(x);
    }
  for (size_t i = 0; i < closure_.size() && closed; i++) {
    int32_t p = closure_[i];
    looked += arcCount(p);
    if (looked > budget) closed = false;
    for (int32_t a = first_[p]; a < first_[p + 1] && closed; a++) {
      int32_t q = head_[a];
      if (res_[twin_[a]] == 0 || inClosure_[q]) continue;  // no flow can go q -> p
      if (tree_[q] == SOURCE) closed = false;  // a path from s to t is left
      inClosure_[q] = 1;
      closure_.push_back(q);
    }
  }
  scans_ += looked;
  if (closed) return sinkClosed_ = true;
  for (int32_t v : closure_) inClosure_[v] = 0;
  closure_.clear();
  closureDue_ = 2 * grown_[0];
  return false;
}

// Whether free node q has a residual arc to the unexpanded sink; it then
// joins the sink tree as that sink's child.
template <typename Residual>
bool SearchTrees<Residual>::joinsMarkedSink(int32_t q) {
  if (sink_ == kNone || toSink_[q] == kNone || res_[toSink_[q]] == 0) return false;
  join(q, SINK);
  parent_[q] = toSink_[q];
  dist_[q] = 1;
  stamp_[q] = stamp_[sink_];
  activate(q);
  return true;
}

// Whether free node q is a sink of the sink set; it then joins the sink
// tree as a root of its own, and does not grow.
template <typename Residual>
bool SearchTrees<Residual>::joinsSinkSet(int32_t q) {
  if (!absorbs(q)) return false;
  fedSinks_.push_back(q);
  join(q, SINK);
  parent_[q] = kRoot;
  dist_[q] = 0;
  stamp_[q] = pass_;
  return true;
}

// The sink set of this computation (see the header): only where deg(s) <=
// deg(t), so that no flow into it passes B = deg(s), which the degree
// bound ends the computation at. t's chain is marked here; the marks of
// the last computation's chain are cleared first. With it, on tanglenet at
// 8,000 nodes the late sources whose sink is not the hub (a heavy node
// whose own cut to the hub weighs more than they do) end their flows at
// the hub's side too: 220 M arc looks -> 95 M, with the same tree.
constexpr int32_t kSinkChain = 4;
template <typename Residual>
void SearchTrees<Residual>::useSinkSet(int32_t s, int32_t t, const KnownCuts *known) {
  bool used = known != nullptr && settings_.sinkSets && settings_.degreeBound &&
              g_.degree[s] <= g_.degree[t];
  known_ = used ? known : nullptr;
  sinkOfSet_ = t;
  setBound_ = g_.degree[s];
  for (int32_t v : sinkChain_) inSinkChain_[v] = 0;
  sinkChain_.assign(1, t);
  inSinkChain_[t] = 1;
  if (!used) return;
  for (int32_t y = t; static_cast<int32_t>(sinkChain_.size()) <= kSinkChain;) {
    if (!known->has(y) || (*known->value)[y] < setBound_ || (*known->sink)[y] < 0) break;
    y = (*known->sink)[y];
    if (inSinkChain_[y]) break;
    sinkChain_.push_back(y);
    inSinkChain_[y] = 1;
  }
}

template <typename Residual>
bool SearchTrees<Residual>::conservedOutsideSinks(int32_t s, int32_t t) const {
  return flowConserved(g_, res_, s, t, [this](int32_t v) { return absorbs(v); });
}

template <typename Residual>
bool SearchTrees<Residual>::closureCarries(int64_t flow) const {
  int64_t in = 0;
  for (int32_t p : closure_) {
    in -= netFlowOut(g_, res_, p);
    for (int32_t a = first_[p]; a < first_[p + 1]; a++)
      if (!inClosure_[head_[a]] && res_[twin_[a]] != 0) return false;
  }
  return in == flow;
}

// Pushes what s's arcs into the sink set carry, until the flow reaches
// `bound`; returns the flow.
template <typename Residual>
int64_t SearchTrees<Residual>::pushIntoSinkSet(int32_t s, int64_t bound) {
  if (known_ == nullptr) return 0;
  int64_t flow = 0;
  scans_ += arcCount(s);
  for (int32_t a = first_[s]; a < first_[s + 1] && flow < bound; a++)
    if (absorbs(head_[a])) {
      flow += push(a, kNone, kNone);
      fedSinks_.push_back(head_[a]);
    }
  return flow;
}

// A node queued while in the sink tree may have joined the source tree
// since; such nodes move to the source queue. True when any did.
template <typename Residual>
bool SearchTrees<Residual>::requeueSourceNodes() {
  ActiveQueue &sinkQueue = queues_[1];
  scans_ += static_cast<int64_t>(sinkQueue.size());
  sinkQueue.forEach([&](int32_t v) {
    if (tree_[v] == SOURCE) queues_[0].push(v);
  });
  sinkQueue.keepIf([&](int32_t v) { return tree_[v] != SOURCE; });
  return !queues_[0].empty();
}

// Pushes the bottleneck along root s ... u -> w ... root t, with u -> w the
// bridge; the nodes whose tree links the push saturates become orphans.
template <typename Residual>
int64_t SearchTrees<Residual>::augment(int32_t bridge) {
  int32_t u = head_[twin_[bridge]], w = head_[bridge];
  int64_t bottleneck = res_[bridge];
  for (int32_t v = u; parent_[v] != kRoot; v = head_[parent_[v]])
    bottleneck = std::min(bottleneck, linkResidual(parent_[v], SOURCE));
  for (int32_t v = w; parent_[v] != kRoot; v = head_[parent_[v]])
    bottleneck = std::min(bottleneck, linkResidual(parent_[v], SINK));
  moveAlong(bridge, bottleneck);
  for (int32_t v = u; parent_[v] != kRoot;) {
    int32_t a = parent_[v], next = head_[a];
    moveAlong(twin_[a], bottleneck);
    if (res_[twin_[a]] == 0) {
      parent_[v] = kNone;
      orphans_.push_back(v);
    }
    v = next;
  }
  for (int32_t v = w; parent_[v] != kRoot;) {
    int32_t a = parent_[v], next = head_[a];
    moveAlong(a, bottleneck);
    if (res_[a] == 0) {
      parent_[v] = kNone;
      orphans_.push_back(v);
    }
    v = next;
  }
  augmentations_++;
  return bottleneck;
}

// Pushes `amount` along arc a.
template <typename Residual>
void SearchTrees<Residual>::moveAlong(int32_t a, int64_t amount) {
  res_[a] -= amount;
  res_[twin_[a]] += amount;
  touchedArcs_.add(a);
}

// Whether v's chain of parents still reaches its tree's root; on the way up
// it confirms the distances of the chain for this pass.
template <typename Residual>
bool SearchTrees<Residual>::rootedAt(int32_t v) {
  int32_t d = 0, u = v;
  for (;;) {
    if (stamp_[u] == pass_) {
      d += dist_[u];
      break;
    }
    int32_t a = parent_[u];
    if (a == kRoot) {
      stamp_[u] = pass_;
      dist_[u] = 0;
      break;
    }
    if (a == kNone) return false;
    u = head_[a];
    d++;
    scans_++;
  }
  for (u = v; stamp_[u] != pass_; u = head_[parent_[u]]) {
    stamp_[u] = pass_;
    dist_[u] = d--;
  }
  return true;
}

// Gives orphan v the first neighbour of its tree that still reaches the
// root as parent (the first, not the nearest: looking no further spares
// the rest of a hub's arcs), or frees it and orphans its own children.
template <typename Residual>
void SearchTrees<Residual>::adopt(int32_t v) {
  uint8_t tree = tree_[v];
  adoptions_++;
  if (tree == SINK && absorbs(v)) {  // a sink of its own
    fedSinks_.push_back(v);
    parent_[v] = kRoot;
    dist_[v] = 0;
    stamp_[v] = pass_;
    return;
  }
  for (int32_t a = first_[v]; a < first_[v + 1]; a++) {
    int32_t q = head_[a];
    if (tree_[q] != tree || linkResidual(a, tree) == 0 || !rootedAt(q)) continue;
    scans_ += a - first_[v] + 1;
    parent_[v] = a;
    dist_[v] = dist_[q] + 1;
    stamp_[v] = pass_;
    return;
  }
  scans_ += first_[v + 1] - first_[v];
  tree_[v] = FREE;
  scans_ += first_[v + 1] - first_[v];
  for (int32_t a = first_[v]; a < first_[v + 1]; a++) {
    int32_t q = head_[a];
    if (tree_[q] != tree) continue;
    // q may grow into v again, across the arc that now joins them.
    if ((tree == SOURCE ? res_[twin_[a]] : res_[a]) > 0) activate(q);
    int32_t pa = parent_[q];
    if (pa >= 0 && head_[pa] == v) {
      parent_[q] = kNone;
      orphans_.push_back(q);
    }
  }
}

template <typename Residual>
void SearchTrees<Residual>::adoptOrphans() {
  nextPass();
  while (!orphans_.empty()) {
    int32_t v = orphans_.back();
    orphans_.pop_back();
    adopt(v);
  }
}

// The side of the cut as a list: the lone terminal when the degree bound
// ended the computation, else the source tree.
template <typename Residual>
void SearchTrees<Residual>::listSide(int32_t s, int32_t t, bool alone, CutSides &out) const {
  out.byNode = false;
  out.nodes.clear();
  if (alone) {
    bool sourceAlone = g_.degree[s] <= g_.degree[t];
    out.listed = sourceAlone ? 0 : 1;
    out.nodes.push_back(sourceAlone ? s : t);
    return;
  }
  if (sinkClosed_) {
    out.listed = 1;
    out.nodes = closure_;
    return;
  }
  out.listed = 0;
  // Counted first: the list waits in the driver's window with the others
  // until its commit, at its size, not at that of the next doubling.
  size_t count = 0;
  for (int32_t v : touchedNodes_) count += tree_[v] == SOURCE;
  out.nodes.reserve(count);
  for (int32_t v : touchedNodes_)
    if (tree_[v] == SOURCE) out.nodes.push_back(v);
}

template <typename Residual>
int64_t SearchTrees<Residual>::cutSides(int32_t s, int32_t t, CutSides &out, int64_t scanLimit,
                                        const KnownCuts *known) {
  reset(s, t);
  useSinkSet(s, t, known);
  bool steered = steersTowardsRoot(t);
  if (steered) queues_[0].steer(steerDistance_.get());
  activate(s);
  int64_t bound = settings_.degreeBound ? std::min(g_.degree[s], g_.degree[t]) : INT64_MAX;
  int64_t startScans = scans_;
  int64_t flow = pushIntoSinkSet(s, bound);
  if (flow < bound) flow += shortPaths(s, t, bound - flow);
  if (flow < bound && settings_.steeredPaths && steered)
    flow += steeredPaths(s, t, bound - flow);
  startSink(t);
  for (int32_t bridge; flow < bound && (bridge = grow()) != kNone;) {
    flow += augment(bridge);
    if (flow >= bound) break;  // orphans are left to the next restore
    adoptOrphans();
    if (scans_ - startScans > scanLimit) return -1;
  }
  SUNDER_DCHECK(residualsPaired(g_, res_));
  SUNDER_DCHECK(conservedOutsideSinks(s, t));
  SUNDER_DCHECK(netFlowOut(g_, res_, s) == flow);
  SUNDER_DCHECK(!sinkClosed_ || closureCarries(flow));
  // The flow saturates the lighter terminal's arcs.
  listSide(s, t, flow >= bound && bound < INT64_MAX, out);
  return flow;
}

template <typename Residual>
int64_t SearchTrees<Residual>::cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) {
  CutSides out;
  int64_t flow = cutSides(s, t, out, scanLimit);
  if (flow < 0) return flow;
  side.assign(g_.n, out.listed == 0 ? 1 : 0);
  for (int32_t v : out.nodes) side[v] = out.listed;
  return flow;
}

template class SearchTrees<int16_t>;
template class SearchTrees<int32_t>;
template class SearchTrees<int64_t>;

}  // namespace sunder::detail
