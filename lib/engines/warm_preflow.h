// Push-relabel that keeps its preflow from one computation to the next
// while the source stays the same: a run of cuts from one source s to
// sinks t1, t2, ... starts each from the flow of the one before, so a sink
// next to the last one draws the excess already there instead of pushing
// it across the graph again.
//
// Why a warm start gives a minimum cut. The state between computations is
// a preflow from s: capacities respected, every node but s holding an
// excess >= 0, s's arcs saturated. Every unit of excess then came from s,
// so the excess at t is the value of an s-t flow: at most the minimum cut.
// A computation pushes until no node with excess other than t can reach t
// in the residual graph; the set X of nodes that can reach t then has every
// arc into it saturated and no flow out of it, so X is an s-t cut of
// capacity excess(t). The two bounds meet: X is a minimum s-t cut, the
// smallest t side there is, and excess(t) its value. A former sink keeps
// its excess as any node does.
//
// Backward cuts. Where the excess a run leaves in the graph makes its warm
// cuts dear (on a ring with light chords, each cut a short arc, every cut
// moved excess over the whole graph), a cut may go from t to s instead, on
// a second preflow that starts from nothing each time: t's excess beyond
// the cut then stays in t's small side. Its side is the set C that t and
// the nodes still holding excess reach over residual arcs. For a minimum
// cut (A, B) with t in A, the excess s received is the cut's value, so no
// node of B but s holds excess, and no residual arc leaves A: C lies in A.
// No residual arc leaves C and no flow enters it, so C is a minimum cut
// itself: the smallest t side, the one a forward cut finds.
//
// Invariants.
//   - Between computations: residual[a] + residual[rev[a]] is the summed
//     capacity of the arc pair; excess[v] >= 0 for v != source_; every arc
//     out of source_ has residual 0.
//   - During one: awake nodes are the sink and nodes that may still reach
//     it, with labels valid (label[u] <= label[w] + 1 on residual arcs
//     between awake nodes) and unbroken from 0 upwards; each awake node lies
//     in the list of its label; a node that falls asleep (no residual arc to
//     an awake node, or above a gap) stays asleep until the next
//     computation, holding its excess.
//   - A global update wakes nodes breadth first from the sink a level at a
//     time, as far as the flow needs (up to the first node with excess, for
//     a relabel that finds no lower neighbour, once no awake node holds
//     excess), so that a cut next to the excess costs what its region
//     does, not a search of the whole graph. A node not woken yet counts
//     as labelled one above the last level: no awake label goes higher
//     while nodes may still wake, and a gap ends the search.
//   - The side returned is the smallest t side of a minimum cut, so it
//     depends on the graph, s and t alone, whichever way the cut went; the
//     way, the work and the counters depend on the computations since the
//     engine was made and on the lessons it learned (see learn).
#ifndef SUNDER_ENGINES_WARM_PREFLOW_H
#define SUNDER_ENGINES_WARM_PREFLOW_H

#include <cstdint>
#include <vector>

#include "lib/driver/cut_engine.h"
#include "sunder/graph.h"

namespace sunder::detail {

// Which way a run's cuts go: from the source on the warm preflow
// (Forward), from the sink on a preflow of their own, each from nothing
// (Backward), or either, by what the run's cuts have cost (Either; see
// chooseBackward).
enum class CutDirections { Forward, Backward, Either };

class WarmPreflow : public CutEngine {
 public:
  // The graph of n nodes and these edges (self loops ignored), each node's
  // arcs in an order drawn once from a fixed seed. In the edges' order they
  // followed the file's numbering, which follows the graph's structure, as
  // the runs' sinks do (taken by number); on the wheels that made each cut
  // to a sink on the far hub's side cost millions of arc looks. Drawn:
  // spokerim 8,000 3.9 G -> 0.18 G arc looks, twinloop 4,000 87 M -> 17 M,
  // ringforge and hubspin within 5 %. updateFactor:
  // a global update once the arcs that discharges and relabels looked at
  // since the last exceed that many times the arcs it looked at (a hub's
  // relabel costs its arcs, so counting relabels alone let the excess of a
  // graph with hubs wander for long between updates).
  WarmPreflow(int32_t n, const std::vector<Edge> &edges, double updateFactor = 2.0,
              CutDirections directions = CutDirections::Either);

  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side,
              int64_t scanLimit = INT64_MAX) override;
  Counters counters() const override { return counters_; }
  // The way cuts go now and what each way cost per arc, so that the run on
  // a part cut from this graph starts the same way.
  std::vector<double> lessons() const override;
  void learn(const std::vector<double> &lessons) override;

 private:
  void restart(int32_t s);       // zero flow, then s's arcs saturated
  void globalUpdate();           // labels to the sink afresh, searched a level at a time
  void expandLevel();
  void expandLevels();
  bool searched() const { return expanded_ == woken_.size(); }
  void clearLabels();
  void discharge(int32_t v);
  void relabel(int32_t v);
  void push(int32_t a, int32_t v, int64_t amount);
  void file(int32_t v, int32_t label);  // into the lists of `label`
  void unfile(int32_t v);
  void activate(int32_t v);
  void sleepFrom(int32_t label);  // every awake node at `label` and above
  void sinkSide(std::vector<uint8_t> &side);
  void flow();
  void sourceSide(std::vector<uint8_t> &side);
  void spread(std::vector<uint8_t> &side, bool alongArcs);
  bool chooseBackward();
  void record(bool backward, int64_t scans);

  int32_t n_;
  std::vector<int32_t> first_, head_, rev_;
  std::vector<int64_t> capacity_, residual_;  // by arc
  std::vector<int64_t> excess_;
  // The backward cuts' preflow (see cut), made at the first.
  std::vector<int64_t> backResidual_, backExcess_;
  std::vector<int32_t> label_, current_;
  std::vector<uint8_t> awake_;
  // By label: the awake nodes (doubly linked) and the active ones (a
  // stack, entries checked when taken).
  std::vector<int32_t> allFirst_, next_, prev_, activeFirst_, activeNext_;
  std::vector<uint8_t> listed_;  // on an active stack
  std::vector<int32_t> queue_;
  // The nodes the last update woke, in the order its search woke them:
  // those before expanded_ have had their arcs looked at; the last level
  // woke its nodes at label frontier_.
  std::vector<int32_t> woken_;
  size_t expanded_ = 0;
  int32_t frontier_ = 0;
  int32_t highestFiled_ = -1;   // the highest label filed since
  int32_t source_ = -1, sink_ = -1;
  int32_t maxLabel_ = -1, maxActive_ = -1;
  // Arcs the last global update looked at, and those discharges and
  // relabels looked at since.
  int64_t updateWork_ = 0, workSinceUpdate_ = 0;
  double updateFactor_;
  CutDirections directions_;
  // Directions (see cut): the forward cuts and their arc looks since forward
  // was last taken up, the backward ones in all, and the length of the next
  // backward stay and what is left of this one.
  bool backward_ = false;
  double forwardCost_ = 0, backwardCost_ = 0;
  double forwardMean_ = 0;  // of the forward cuts before the stay
  int32_t forwardCuts_ = 0, backwardCuts_ = 0;
  int32_t stay_ = 0, stayLeft_ = 0;
  Counters counters_;
};

}  // namespace sunder::detail

#endif
