// Minimum s-t cuts by two search trees that are kept between augmentations
// (a search-tree max flow in the manner used for image segmentation), on the
// compact graph (compact_graph.h).
//
// A source tree grows from s over residual arcs, a sink tree from t over
// arcs residual towards t. Every tree node knows the arc to its parent and
// its distance from its root. Growing takes the next active node and adopts
// its free neighbours; when it meets the other tree the path between the
// roots is augmented by its bottleneck. Arcs the push saturates cut their
// child nodes off as orphans, which then look for a new parent in their own
// tree (the first neighbour whose path to the root is still whole) or
// become free. The flow is maximum as soon as no node of the source tree is
// active: the source tree then holds every node reached from s in the
// residual graph, the source side of a minimum cut, however large the rest
// of the graph the sink tree has not grown over.
//
// Two things spare the scanning of a hub's adjacency. Before any tree grows,
// flow goes along the s-t arc, along every path s-x-t through a common
// neighbour x and then along paths s-x-y-t, looked for from the terminal
// with fewer arcs with a mark on each neighbour of the other one: a hub's
// marks are the graph's own, made once and shared (compact_graph.h), those
// of another node are made for the computation. A computation steered
// towards the run's root (steerTowards) then pushes along paths from s
// that step away from the root a few times at most, found depth first, a
// dead end entered again only by a path with more steps away to spare: a
// unit push saturates every arc of its path, and each node on it would be
// an orphan of the trees. Then each tree has a queue
// of its own, and the tree whose growing has looked at fewer arcs in this
// computation grows next, so a small tree reaches a hub's neighbourhood
// before the hub's tree floods it. A marked sink does not even grow at
// first: a free neighbour of it that the source tree reaches joins the sink
// tree at once, and t grows only once the source tree has looked at as many
// arcs as t has. A flow to another sink is steered the same way where the
// root is on that sink's chain (see Sink sets): a path into the root then
// ends in the sink set. With the degree bound the computation ends as soon
// as the flow equals the weighted degree of s or t: that terminal alone is
// then a side.
//
// Sink sets. Given the cuts committed earlier (KnownCuts), with B = deg(s)
// <= deg(t): t's chain (t, the sink of t's known cut, that node's sink, ...,
// for as long as each known cut weighs B or more, kSinkChain cuts at most),
// and every node whose known cut to a node of the chain weighs B or more,
// count as sinks as well: the flow may end at any of them, and near the end
// of a run most of a source's neighbours are such nodes. No cut between a
// node x of them and t is lighter than B: it separates two consecutive
// nodes of the path of known cuts from x to t, each of which weighs B or
// more. With X those nodes and t, every pair of X has no cut lighter than
// B (a cut between x and y separates one of them from t). So an s-t cut
// lighter than B separates s from all of X,
// and the maximum flow from s into X, capped at B, is the s-t flow value:
// at B, s alone is a minimum cut; below B, the source tree is the set of
// nodes reached from s, which is a minimum s-t cut that holds no node of X
// and no smaller one exists (the smallest minimum s-t cut holds no node of
// X either, so it is a cut between s and X, and the source tree lies within
// it). The sides are those of the plain s-t computation unless the sink
// tree closes first (below).
//
// The sink tree may close first: once no node of it is active, every node
// that reaches a sink in the residual graph may be in it, and then the flow
// is maximum as well. A computation whose sink tree has no active node, and
// whose source tree has looked at more than twice as many arcs, looks for
// those nodes from the sinks backwards over residual arcs (from t and from
// every node of the sink set that flow may have reached), for at most half
// the arcs the source tree has looked at. Where it meets no node of the
// source tree, no path from s reaches a sink, and the nodes R it found are
// t's side of a minimum cut: no residual arc enters R, so the arcs into R
// carry the whole flow F (every node outside R but s conserves flow), a
// cut of F between s and t; with a sink set, F is below B and no s-t cut is
// lighter than the maximum flow into the set (see Sink sets). R is listed
// as t's side (without a sink set, the largest minimum s-t cut's sink
// side). A failed look waits until the source tree has looked at twice as
// many arcs, so the looks cost at most about the source tree's own. A light
// t whose side is a few nodes (a pendant pair hung from the graph) is then
// cut without the source tree flooding the rest of the graph: on
// cond-mat-2003 weighted 33 such cuts took 9.4 M of 34.3 M arc looks,
// and 27.8 M in all with the closing. Not while t waits to grow (its tree
// is then not grown at all).
//
// A computation keeps nothing for a later one, so what it does, and the
// counters with it, depends on the graph, s and t alone, whatever the
// engine computed before (the Gusfield driver relies on it for the same
// counters on every thread count).
//
// Invariants between computations: res_[a] == cap[a] for every arc a that
// is not in touchedArcs_ (nor the twin of one), unless the list is full
// (TouchedArcs), when any may differ; every node
// not in touchedNodes_ is FREE, without parent and inactive; no stamp_
// equals a pass number still to come, so distances need no clearing either;
// localMarks_[x] is the arc from x to marked_ for every neighbour x of
// marked_ (a node that is not a hub, or kNone), kNone for every other node;
// inClosure_[v] is 1 exactly for the nodes of closure_.
#ifndef SUNDER_ENGINES_TREES_H
#define SUNDER_ENGINES_TREES_H

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "lib/engines/compact_graph.h"
#include "lib/driver/cut_engine.h"

namespace sunder::detail {

// The active nodes of one search tree, first in first out; or, steered by
// each node's distance to the sink, nearest first (the last queued first
// among equals), so that the source tree runs towards the sink along about
// one path instead of growing as a ball.
class ActiveQueue {
 public:
  // Steered by `distance` (by node) until the next clear; null: in order.
  void steer(const std::vector<int32_t> *distance);
  void push(int32_t v);
  bool empty() const { return size_ == 0; }
  size_t size() const { return size_; }
  int32_t take();             // removes the next node and returns it
  void putBack(int32_t v);    // makes v, just taken, the next again
  void clear();
  // Keeps the nodes for which keep(v) holds, in order (unsteered only).
  template <class Keep>
  void keepIf(Keep keep) {
    size_t kept = 0;
    for (int32_t v : fifo_)
      if (keep(v)) fifo_[kept++] = v;
    fifo_.resize(kept);
    size_ = kept;
  }
  template <class Visit>
  void forEach(Visit visit) const {
    for (int32_t v : fifo_) visit(v);
  }

 private:
  std::deque<int32_t> fifo_;
  const std::vector<int32_t> *distance_ = nullptr;
  std::vector<std::vector<int32_t>> buckets_;  // steered: by distance
  size_t lowest_ = 0;                          // no bucket below is filled
  size_t size_ = 0;
};

// Residual: the type of the residual capacities, int16_t or int32_t on a
// graph whose every residual fits it (CompactGraph::residualBits()),
// int64_t on any.
template <typename Residual>
class SearchTrees {
 public:
  explicit SearchTrees(const CompactGraph &g, const CompactSettings &settings = {});

  // Computations whose sink is `root` steer the source tree by `distance`,
  // every node's distance in arcs to root (see ActiveQueue).
  void steerTowards(int32_t root, std::shared_ptr<const std::vector<int32_t>> distance);

  // Max flow from s to t; side[k] = 0 for the source tree's nodes at the
  // end, which are the nodes reached from s in the residual graph (or one
  // terminal alone when the degree bound ends the computation). Gives up
  // (returns -1, side untouched) after an augmentation once it has looked at
  // more than scanLimit arcs.
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit = INT64_MAX);
  // The same, with the closed tree's nodes (or the lone terminal) listed as
  // their side of the cut.
  int64_t cutSides(int32_t s, int32_t t, CutSides &out, int64_t scanLimit = INT64_MAX,
                   const KnownCuts *known = nullptr);

  // Augmentations, adoptions and the arcs and tree links looked at.
  Counters counters() const {
    Counters c;
    c.augmentations = augmentations_;
    c.adoptions = adoptions_;
    c.scans = scans_;
    return c;
  }

 private:
  enum : uint8_t { FREE = 0, SOURCE = 1, SINK = 2 };
  // entered_ by steeredPaths: on the path; released by a push (its cursor
  // kept where it stands); a dead end for paths with kDeadEnd + k steps
  // away left or fewer
  enum : uint8_t { kNotEntered = 0, kOnPath = 1, kReleased = 2, kDeadEnd = 3 };
  static constexpr int32_t kNone = -1;  // no parent arc
  static constexpr int32_t kRoot = -2;  // the terminal itself

  void restore();
  void reset(int32_t s, int32_t t);
  void startSink(int32_t t);
  bool joinsMarkedSink(int32_t q);
  void useSinkSet(int32_t s, int32_t t, const KnownCuts *known);
  // Whether v is a sink of the sink set other than t itself: on t's chain,
  // or its known cut to a node of the chain weighs setBound_ or more.
  bool absorbs(int32_t v) const {
    if (known_ == nullptr || v == sinkOfSet_) return false;
    if (inSinkChain_[v]) return true;
    if (!known_->has(v) || (*known_->value)[v] < setBound_) return false;
    int32_t w = (*known_->sink)[v];
    return w >= 0 && inSinkChain_[w];
  }
  bool joinsSinkSet(int32_t q);
  int64_t pushIntoSinkSet(int32_t s, int64_t bound);
  bool conservedOutsideSinks(int32_t s, int32_t t) const;  // for a Debug check
  bool closureCarries(int64_t flow) const;  // for a Debug check: no arc into it is residual
  bool requeueSourceNodes();
  void nextPass();
  void join(int32_t v, uint8_t tree);
  void moveAlong(int32_t a, int64_t amount);
  int32_t arcCount(int32_t v) const { return first_[v + 1] - first_[v]; }
  const int32_t *markNeighbours(int32_t v);
  void clearMarks();
  int64_t shortPaths(int32_t s, int32_t t, int64_t bound);
  int64_t steeredPaths(int32_t s, int32_t t, int64_t bound);
  void enter(int32_t v, uint8_t state);
  int64_t pushPath();
  int64_t push(int32_t a1, int32_t a2, int32_t a3);
  void listSide(int32_t s, int32_t t, bool alone, CutSides &out) const;
  int32_t grow();  // an arc from the source tree into the sink tree, or kNone
  bool sinkTreeMayClose() const;
  bool steersTowardsRoot(int32_t t) const;
  bool sinkSideClosed();  // finds t's side into closure_ (see above)
  int64_t augment(int32_t bridge);
  void adoptOrphans();
  void adopt(int32_t v);
  bool rootedAt(int32_t v);
  void activate(int32_t v);
  // Residual capacity of the tree link of a node of `tree` whose arc to its
  // parent is a, in the direction flow takes along it (towards the sink).
  int64_t linkResidual(int32_t a, uint8_t tree) const {
    return tree == SOURCE ? res_[twin_[a]] : res_[a];
  }

  const CompactGraph &g_;
  CompactSettings settings_;
  const std::vector<int32_t> &first_, &head_, &twin_;
  std::vector<Residual> res_;     // by arc: residual capacity
  std::vector<uint8_t> tree_;     // by node: FREE, SOURCE or SINK
  std::vector<int32_t> parent_;   // by node: arc from the node to its parent, kNone or kRoot
  std::vector<uint8_t> active_;   // by node: in the active queue
  std::vector<int32_t> scan_;     // by node: next arc its growing looks at
  std::vector<int32_t> stamp_;    // by node: pass in which `dist_` was last confirmed
  std::vector<int32_t> dist_;     // by node: distance to the root at that pass
  ActiveQueue queues_[2];              // active nodes: [0] those queued in the source tree, [1] the sink tree
  int32_t steerRoot_ = kNone;
  std::shared_ptr<const std::vector<int32_t>> steerDistance_;
  int64_t grown_[2] = {0, 0};          // arcs each queue's growing looked at in this computation
  std::vector<int32_t> orphans_;
  TouchedArcs touchedArcs_;            // arcs pushed along since the last restore
  std::vector<int32_t> touchedNodes_;  // nodes that joined a tree since then
  std::vector<int32_t> localMarks_;  // by node: arc to marked_, or kNone
  std::vector<uint8_t> entered_;     // by node: kNotEntered ... (cleared after steeredPaths)
  std::vector<int32_t> enteredList_;  // those nodes
  std::vector<int32_t> pathArcs_;     // steeredPaths' path from s so far
  int32_t marked_ = kNone;           // the node whose neighbours carry localMarks_
  const int32_t *toSink_ = nullptr;  // t's marks while sink_ is t
  int32_t sink_ = kNone;               // t while it does not grow, else kNone
  int32_t pass_ = 0;
  // The sink set's cuts, set by each computation for itself (read during
  // it only: the caller's record); null: t alone.
  const KnownCuts *known_ = nullptr;
  int32_t sinkOfSet_ = kNone;
  int64_t setBound_ = 0;
  std::vector<int32_t> sinkChain_;     // t's chain (see Sink sets above)
  std::vector<uint8_t> inSinkChain_;   // by node: 1 on sinkChain_
  // t's side when the sink tree closed first (sinkClosed_), and its marks
  // (cleared at the next restore).
  std::vector<int32_t> closure_;
  std::vector<int32_t> fedSinks_;  // sinks of the sink set that flow may have reached
  std::vector<uint8_t> inClosure_;
  bool sinkClosed_ = false;
  int64_t closureDue_ = 0;  // the source tree's arc looks before the next look
  int64_t augmentations_ = 0, adoptions_ = 0, scans_ = 0;
};

}  // namespace sunder::detail

#endif
