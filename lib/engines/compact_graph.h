// The undirected graph of an instance in one adjacency array, for the
// engines that do not use the solver's records: parallel edges merged, self
// loops dropped. Each edge {u, w} of capacity c is a pair of arcs u->w and
// w->u, each the other's `twin`, both of capacity c. Each node's arcs go in
// the order of their heads, or of their heads' distance to a root once
// orderArcsByDistance has put them so, before any engine reads the graph.
// From then on the graph is read-only (its hubs' marks are made once, by
// whichever engine asks first), so the engines of all worker threads of a
// build share one.
#ifndef SUNDER_ENGINES_COMPACT_GRAPH_H
#define SUNDER_ENGINES_COMPACT_GRAPH_H

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

#include "outside/dcheck.h"
#include "sunder/graph.h"

namespace sunder::detail {

// The capacities of a compact graph's arcs: one value for all of them when
// they are all equal (a graph of unit capacities, the usual case for real
// networks, then keeps no array at all), else in the narrowest of 16, 32 and
// 64 bits that the graph's residuals fit (its `bits`).
class ArcCapacities {
 public:
  // Room for `arcs` capacities of `bits` (16, 32 or 64); with `uniform`,
  // every one is `value`, and set must give that value.
  void assign(size_t arcs, int bits, bool uniform = false, int64_t value = 0);
  void set(size_t a, int64_t capacity) {
    SUNDER_DCHECK(!uniform_ || capacity == value_);
    if (uniform_) return;
    if (bits_ == 16) narrow16_[a] = static_cast<int16_t>(capacity);
    else if (bits_ == 32) narrow32_[a] = static_cast<int32_t>(capacity);
    else wide_[a] = capacity;
  }
  int64_t operator[](size_t a) const {
    return uniform_ ? value_ : bits_ == 16 ? narrow16_[a] : bits_ == 32 ? narrow32_[a] : wide_[a];
  }
  // The width, in bits, that every residual of the graph fits.
  int bits() const { return bits_; }
  // Whether every capacity is the same (a graph of unit capacities).
  bool uniform() const { return uniform_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Every capacity into `out`, resized to hold them.
  template <typename T>
  void copyTo(std::vector<T> &out) const {
    if (uniform_) out.assign(size_, static_cast<T>(value_));
    else if (bits_ == 16) out.assign(narrow16_.begin(), narrow16_.end());
    else if (bits_ == 32) out.assign(narrow32_.begin(), narrow32_.end());
    else out.assign(wide_.begin(), wide_.end());
  }

 private:
  int bits_ = 64;
  bool uniform_ = false;
  int64_t value_ = 0;
  size_t size_ = 0;
  std::vector<int16_t> narrow16_;
  std::vector<int32_t> narrow32_;
  std::vector<int64_t> wide_;
};

struct CompactGraph {
  CompactGraph(int32_t nodes, const std::vector<Edge> &edges);

  int32_t n;
  std::vector<int32_t> first;   // arcs of node v: first[v] ... first[v + 1] - 1
  std::vector<int32_t> head;    // by arc
  std::vector<int32_t> twin;    // by arc
  ArcCapacities cap;            // by arc, in residualBits()
  std::vector<int64_t> degree;  // by node: summed capacity of its arcs, at most INT64_MAX
  // The capacities of the two lightest (merged) edges added up, at most
  // INT64_MAX; 0 with fewer than two edges. In a graph that is one block of
  // three nodes or more every cut crosses two edges at least, so no cut is
  // lighter than this.
  int64_t twoLightest = 0;
  // The narrowest of 16, 32 and 64 bits that every arc's residual capacity
  // fits: no residual passes the capacities of an arc and its twin added
  // up, so it is enough that twice the heaviest (merged) edge's capacity
  // fits. The arc capacities are kept in that width too.
  int residualBits() const { return cap.bits(); }
  bool narrowResiduals() const { return cap.bits() <= 32; }

  // The hubs are the nodes with the most arcs (the smaller index first
  // among equals), kHubs at most, each with kHubArcs arcs or more. Their
  // marks are made at the first call of makeHubMarks, on any thread; every
  // later call returns once they are made. Two: runs rooted at the heaviest
  // node have it as the sink of nearly every cut, and eight hubs' marks
  // (32 bytes a node) spared under 1 % of the arc looks on real networks.
  static constexpr int32_t kHubs = 2;
  static constexpr int32_t kHubArcs = 32;
  void makeHubMarks() const;
  bool hubMarksMade() const { return !hubOf_.empty(); }
  // After makeHubMarks on this thread, the marks of hub v's neighbours:
  // marks[x] is the arc from x to v for every neighbour x of v, -1 for
  // every other node; null when v is not a hub.
  const int32_t *hubMarks(int32_t v) const {
    int32_t hub = hubOf_[v];
    return hub < 0 ? nullptr : hubMarks_.data() + static_cast<size_t>(hub) * n;
  }

 private:
  void findHubs() const;
  mutable std::once_flag hubsMade_;
  mutable std::vector<int32_t> hubOf_;     // by node: its hub number, or -1
  mutable std::vector<int32_t> hubMarks_;  // n marks for each hub in turn
};

// The arcs whose residuals a computation changed, listed so that only those
// are restored after it. The list holds at most a fraction of the arcs: a
// computation that pushes along more (an arc once per push; a long one on a
// large graph pushes along many times the arcs) has every residual restored
// at once, which then costs less than the list would, and the list's memory
// stays bounded however long a computation runs.
class TouchedArcs {
 public:
  explicit TouchedArcs(size_t arcs) : room_(std::max<size_t>(1024, arcs / 8)) {
    list_.reserve(room_);
  }
  void add(int32_t a) {
    if (list_.size() < room_) list_.push_back(a);
  }
  // The list is full: later arcs went unlisted and restoring takes every arc.
  bool full() const { return list_.size() == room_; }
  // Every residual back to its capacity: the listed arcs' and their twins',
  // or all of them when the list is full; the list then starts empty.
  template <typename Residual>
  void restore(const CompactGraph &g, std::vector<Residual> &res) {
    if (full()) {
      g.cap.copyTo(res);
    } else {
      for (int32_t a : list_) {
        res[a] = static_cast<Residual>(g.cap[a]);
        res[g.twin[a]] = static_cast<Residual>(g.cap[g.twin[a]]);
      }
    }
    list_.clear();
  }
  void clear() { list_.clear(); }

 private:
  size_t room_;
  std::vector<int32_t> list_;
};

// The flow that residuals `res` of the arcs of `g` hold, for the Debug
// checks after an s-t computation (outside/dcheck.h); O(n + m) each. The
// flow on arc a is cap[a] - res[a].
// Every arc and its twin keep the sum of their capacities.
template <typename Residual>
bool residualsPaired(const CompactGraph &g, const std::vector<Residual> &res) {
  for (size_t a = 0; a < res.size(); a++)
    if (int64_t{res[a]} + res[g.twin[a]] != g.cap[a] + g.cap[g.twin[a]]) return false;
  return true;
}

// The net flow out of v.
template <typename Residual>
int64_t netFlowOut(const CompactGraph &g, const std::vector<Residual> &res, int32_t v) {
  int64_t out = 0;
  for (int32_t a = g.first[v]; a < g.first[v + 1]; a++) out += g.cap[a] - int64_t{res[a]};
  return out;
}

// No node but s and t (and those for which sinks(v) holds) keeps or lacks
// flow.
template <typename Residual, typename Sinks>
bool flowConserved(const CompactGraph &g, const std::vector<Residual> &res, int32_t s, int32_t t,
                   Sinks sinks) {
  for (int32_t v = 0; v < g.n; v++)
    if (v != s && v != t && !sinks(v) && netFlowOut(g, res, v) != 0) return false;
  return true;
}

template <typename Residual>
bool flowConserved(const CompactGraph &g, const std::vector<Residual> &res, int32_t s, int32_t t) {
  return flowConserved(g, res, s, t, [](int32_t) { return false; });
}

// Every node's distance in arcs from `root`; nodes out of its reach take
// one more than the largest distance found.
std::vector<int32_t> distancesFrom(const CompactGraph &g, int32_t root);

// Puts each node's arcs in the order of their heads' `distance` (the
// earlier first among equals), so that every search that takes a node's
// arcs in turn tries those towards the root first: the paths to it are
// found after fewer arc looks. The flows' values and their cuts' sides
// (reached from the source in the residual graph) are the same in any arc
// order. Before any engine reads the graph; O(m log) and no more than one
// node's arcs of room.
void orderArcsByDistance(CompactGraph &g, const std::vector<int32_t> &distance);

// A node this many arcs from a run's root or more is far from it. A
// computation steered to the root from a far source steps only nearer to
// it (on a mesh, where such sources are, a step sideways wanders along a
// wide layer of nodes at one distance) and looks for a neighbour proof
// first (the flow to a neighbour stays near the source, where the one to
// the root crosses the mesh); from a near source the steered flow to the
// root is as short as the proof's flow to a neighbour, which then only
// adds to it.
constexpr int32_t kFarFromRoot = 8;

// Whether a computation from s steered by `distance` (to its root; null:
// not steered) looks for a neighbour proof: the engines' rule, and their
// predicted work's.
inline bool triesNeighbourProof(const std::vector<int32_t> *distance, int32_t s) {
  return distance == nullptr || (*distance)[s] >= kFarFromRoot;
}

// How the engines on the compact graph run a computation.
struct CompactSettings {
  // Stop as soon as the flow reaches the smaller weighted degree of s and t;
  // that terminal alone is then its side of the cut.
  bool degreeBound = true;
  // Restore only the residuals and node states the previous computation
  // changed, instead of all of them.
  bool localReset = true;
  // The caller knows the graph is one block of three nodes or more: a
  // terminal whose weighted degree is at most twoLightest is alone a
  // minimum cut, without any flow.
  bool provenDegreeCuts = false;
  // Degree cuts may be proven through a neighbour (KnownCuts).
  bool neighbourProofs = true;
  // SearchTrees: a computation steered towards its sink pushes along
  // steered paths first (SearchTrees::steeredPaths).
  bool steeredPaths = true;
  // SearchTrees: nodes whose known cut to the sink is heavy enough count as
  // sinks too (SearchTrees::absorbs).
  bool sinkSets = true;
};

}  // namespace sunder::detail

#endif
