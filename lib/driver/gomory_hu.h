// Gomory and Hu's method with contraction, over any CutEngine.
//
// The method keeps a partition of the nodes into parts, joined by the tree
// edges found so far into a tree of parts. A part of two nodes or more is
// split by a minimum cut between two of its nodes s and t, computed in the
// part's contracted graph: the part's own nodes plus one contracted node for
// each component the tree of parts falls into when the part is taken out
// (all of that component's nodes merged). The cut gives the tree edge
// {s, t} of its value; every component goes with the half its contracted
// node fell on, and its tree edge then ends in that half. Each half's
// contracted graph is its parent's with the other half merged into one node,
// so later cuts run on smaller and smaller graphs, and the two halves are
// independent from then on: worker threads take different parts.
//
// Why the tree is a cut tree (Gomory and Hu): for two nodes of one half
// there is a minimum cut between them that leaves the other half whole, so
// merging it changes no minimum cut between them; and the cut {s, t} stays
// the fundamental cut of its tree edge however the halves split later.
//
// Invariants.
//   - Every node of the graph is a real node of exactly one live part; a
//     part whose only real node is left is done.
//   - A contracted node stands for one tree edge, and that edge's end on
//     the part's side is a real node of the part.
//   - A part's graph, pair and cut depend on the graph and the part alone
//     (pairs are drawn from a seed that the part inherits from its parent),
//     never on which thread ran it or when: the tree, its weights and the
//     summed counters are the same for every thread count.
//   - A half of one node (the terminal alone) keeps its parent's graph and
//     engine, that node becoming the contracted node of the new edge: a cut
//     that splits off one node costs no new graph.
//   - A part cuts two pairs at a time, both on its graph as the batch
//     starts (the second on another thread when there is one). The half
//     the first cut takes off stays in that graph, hidden behind its
//     terminal, and the second cut is uncrossed with it (Gomory and Hu's
//     lemma: each hidden node takes its terminal's side), which gives a
//     minimum cut of the graph with the half merged, of the same value; a
//     second pair the first cut split is dropped. At the batch's end the
//     part's graph is rebuilt with every hidden half merged. The batch is
//     part of the method, so it is the same for every thread count.
//   - Source runs (makeRunEngine) cut in steps the same way: each run
//     makes up to a few cuts on the graph as the step starts (the second
//     run's on another thread), skipping the sinks its own earlier cuts of
//     the step took off, and the cuts are applied in turn at the step's
//     end, a cut whose sink an earlier one took off dropped.
//   - A large part's one-run cut that takes off the sink's side as the
//     larger half hands that half its first cut, from the part's second
//     source (the node of most arcs after its source) to the same sink,
//     made on the part's graph and uncrossed with the part's groups and
//     side; the half takes that node as its source. The cut is made
//     beside the part's own on another thread when there is one, and only
//     when handed down on one thread; a thread that made it for nothing
//     drops it with its engine.
//
// Progress and cancellation run on the calling thread, between cuts; an
// exception from an engine or a callback stops the workers and reaches the
// caller; cancellation throws sunder::Cancelled.
#ifndef SUNDER_DRIVER_GOMORY_HU_H
#define SUNDER_DRIVER_GOMORY_HU_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "lib/driver/cut_engine.h"
#include "lib/driver/gusfield.h"
#include "sunder/graph.h"

namespace sunder::detail {

// How a part's two terminals are chosen.
//   Random   two of its nodes at random;
//   Spread   the heaviest of its nodes (by weighted degree in the graph)
//            and the node farthest from it in arcs within the part's graph,
//            so that the cut tends to split the part rather than shave off
//            one node.
enum class PairChoice { Random, Spread };

struct GomoryHuOptions {
  int threads = 1;
  // An engine on the contracted graph of `nodes` nodes with these edges.
  std::function<std::unique_ptr<CutEngine>(int32_t nodes, const std::vector<Edge> &edges)>
      makeEngine;
  // When set, a part is cut in runs from one source instead of in batches:
  // from its node s of most arcs to one node after another (by number, or
  // depth first along the heaviest edges where the numbering does not
  // follow the edges, or in an order drawn at random with
  // PairChoice::Random), all on the part's graph, each half that leaves hidden
  // behind its terminal and every cut uncrossed with the groups hidden
  // before (the lemma above). The engine, made by this, keeps its preflow
  // from cut to cut while s stays its source (warm_preflow.h), so that a
  // cut next to the one before draws the excess already there. The graph
  // is rebuilt with its groups merged once half of its nodes are hidden.
  std::function<std::unique_ptr<CutEngine>(int32_t nodes, const std::vector<Edge> &edges)>
      makeRunEngine;
  PairChoice pairs = PairChoice::Spread;
  // Seconds of some clock; a steady wall clock when empty.
  std::function<double()> clock;
  std::function<void(int64_t done, int64_t total)> progress;
  // Called right after progress, with the predicted work done and in all
  // (the total the same over the build, done only growing).
  std::function<void(int64_t done, int64_t total)> progressWork;
  std::function<bool()> cancel;
  // Probes only (probeGomoryHu, GomoryHuBuild::probe): the cuts made (> 0),
  // and, when above 0, the arcs it may look at as a multiple of those its
  // first cut looked at: past them it ends early, with fewer cuts made;
  // and, when above 0, the GomoryHuProbe::shaved at which it ends early
  // too (the nodes shaved can only grow, so a caller that asks whether they
  // reach it has its answer); and, when above 0, the arcs it may look at
  // in all, its earlier probes' included: past them it ends early too.
  int32_t stopAfter = 0;
  double scansPerFirstCut = 0;
  int64_t shavedEnough = 0;
  int64_t scanBudget = 0;
  // Probes only: when set, the probe ends at the first cut after it is.
  const std::atomic<bool> *pause = nullptr;
};

// The cut tree of the graph of n nodes and these edges (capacities 0 or
// more, self loops allowed) as a finished run rooted at node 0: for every
// position p in 1 ... n - 1, records[p] is a node, its parent and the
// weight of the edge between them. Computations count the cuts.
GusfieldRun runGomoryHu(int32_t n, const std::vector<Edge> &edges, const GomoryHuOptions &options);

// What the first cuts of a build say.
struct GomoryHuProbe {
  // Over the second half of the cuts, the nodes each cut's smaller side
  // holds but one, summed: the nodes that merging that side takes off its
  // graph. Where every cut takes off one node (which the graph keeps as a
  // contracted node) it is 0; where they take off several, several times
  // the cuts / 2.
  int64_t shaved = 0;
  int32_t cuts = 0;    // made
  int64_t scans = 0;   // arcs their engines looked at
};

// The first options.stopAfter cuts of the same build, on the calling thread
// and silently.
GomoryHuProbe probeGomoryHu(int32_t n, const std::vector<Edge> &edges,
                            const GomoryHuOptions &options);

// A build that probes first and then, when asked, goes on from where its
// probe ended: the same cuts, engines and counters as a build that never
// stopped, so the tree is the one runGomoryHu gives, without computing the
// probe's cuts twice.
class GomoryHuBuild {
 public:
  GomoryHuBuild(int32_t n, const std::vector<Edge> &edges, GomoryHuOptions options);
  ~GomoryHuBuild();
  GomoryHuBuild(const GomoryHuBuild &) = delete;
  GomoryHuBuild &operator=(const GomoryHuBuild &) = delete;

  // As probeGomoryHu with the options' limits, on the calling thread and
  // silently; once only, before finish.
  GomoryHuProbe probe();
  // The probe goes on from where it ended, to stopAfter cuts in all or
  // scanBudget arc looks in all (the earlier probe's included), whichever
  // comes first, and says what all its cuts say; before finish.
  GomoryHuProbe probeFurther(int32_t stopAfter, int64_t scanBudget);
  // After the probes, the build goes on silently on the calling thread
  // alone (another thread may be busy meanwhile) until `pause` is set,
  // which it reads after each cut, or until it is done; finish() then goes
  // on from there, with the tree and counters of a build that never
  // stopped.
  void goOnUntil(const std::atomic<bool> &pause);
  // The rest of the build, on options.threads threads with its progress,
  // and the whole run (its counters those of every cut, the probe's too).
  GusfieldRun finish();

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace sunder::detail

#endif
