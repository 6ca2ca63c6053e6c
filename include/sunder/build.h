// Building the Gomory-Hu cut tree of a graph by Gusfield's method: n - 1
// minimum s-t cuts, each source's sink being its current tree parent, the
// sources in an order drawn by a generator that the build owns (the same
// order on every run). With several threads, later cuts are computed ahead
// with the sink their source has at that moment and committed in order,
// recomputed when the sink changed: the tree is the same for every thread
// count.
//
// A build shares nothing with other builds: two trees may be built at once
// on two threads of one process.
#ifndef SUNDER_BUILD_H
#define SUNDER_BUILD_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sunder/cut_tree.h"
#include "sunder/export.h"
#include "sunder/graph.h"

namespace sunder {

// The engine of a name (cut_tree.h lists them; the former names "exact",
// "relabel", "paths" and "trees" are read too); Error naming the known ones
// for any other. engineName gives the current name.
SUNDER_API Engine engineFromName(const std::string &name);
SUNDER_API const char *engineName(Engine engine);
SUNDER_API const std::vector<Engine> &allEngines();  // Auto first

struct BuildOptions {
  Engine engine = Engine::Auto;
  int threads = 1;                // worker threads; 0: one per core
  double updateFactor = 2.0;      // PushRelabelGlobal: a global update when the
                                  // relabels since the last exceed this
                                  // many times the awake nodes (> 0)
  double runUpdateFactor = 1.0;   // GomoryHu's source runs: a global update
                                  // when the arcs pushes and relabels looked
                                  // at since the last exceed this many
                                  // times the arcs it looked at (> 0)
  // Called on the calling thread after each committed cut, with the cuts
  // committed so far and the total; on a graph of 100,000 edges or more
  // that does not split, also now and then while the build prepares its
  // first cut (the packing, the probe), with no cut done.
  std::function<void(int64_t done, int64_t total)> progress;
  // Called right after each call of `progress` (at the same moments when
  // `progress` is empty), with the build's predicted work done so far and
  // in all, in units of its own: the total stays the same over the build
  // and `done` only grows, reaching it with the last cut. Cuts cost very
  // different amounts (a node proven alone costs no flow; a heavy node's
  // flow costs more; runs from the hub take their nodes by degree), and
  // the work weighs each by its predicted cost, so that it advances about
  // evenly in time where the cuts do not: sunder::TimeLeft fed with it
  // estimates the time left better than with the cuts. On a large graph
  // the work of preparing the first cut (about half of price 10^6's time)
  // counts too. Predicting it takes a pass over the graph's arcs once per
  // run, only when this is set.
  std::function<void(int64_t done, int64_t total)> progressWork;
  // Asked on the calling thread between cuts; true stops the build, which
  // then throws sunder::Cancelled.
  std::function<bool()> cancel;

  // Ways to spare flow computations; each keeps the tree a valid cut tree,
  // and each can be switched off to compare. "Both search engines" are
  // ShortestPaths and SearchTrees.
  //   decompose  split the graph at bridges, articulation nodes and into
  //              components first: a bridge or a component costs no flow,
  //              each block is built alone and the blocks' trees are glued.
  //              A graph that is one block is built as it is.
  //   degreeBound  both search engines: a cut ends as soon as its flow
  //              reaches the smaller weighted degree of its two ends, with
  //              that node alone as its side.
  //   localReset  both search engines: each cut restores only what the one
  //              before it changed, so it costs what it touches, not a pass
  //              over the graph.
  //   provenCuts  both search engines: a node alone is a minimum cut, found
  //              without a flow to its sink, when (with decompose, in a
  //              block, where every cut crosses two edges at least) its
  //              weighted degree is at most the two lightest edges
  //              together, or when a neighbour's cut to the same sink is
  //              known to weigh its degree or more and a flow to that
  //              neighbour reaches its degree.
  //   treePacking  both search engines: trees packed from the heaviest node
  //              (a block's, with decompose) prove nodes whose cut to it is
  //              the node alone, which then cost no flow whatever their
  //              sink; the run is rooted at that node. Auto takes
  //              SearchTrees, the sources heaviest first and no probe, on a
  //              graph where the packing proves half the nodes or more.
  //   steering   SearchTrees: a cut whose sink is the run's root first
  //              pushes along paths that step away from the root twice at
  //              most (once from a source far from it), then
  //              grows its source tree from the nodes nearest the root first
  //              (distances in arcs, found once), so it runs towards the
  //              root along about a path rather than as a ball.
  //   contraction  Auto: on a graph below 100,000 edges whose build would
  //              be long and whose parts shrink by several nodes a cut, or
  //              whose source runs (sourceRuns) look at a quarter of the
  //              arcs a cut that Gusfield's engines do, the tree is built
  //              by Gomory and Hu's method with contraction
  //              (Engine::GomoryHu, its cuts by PushRelabelGlobal) instead
  //              of Gusfield's: every cut then runs on the graph of one part
  //              with the rest merged, smaller and smaller as parts split.
  //   spreadPairs  GomoryHu: each part is cut between its heaviest node and
  //              the node farthest from it in arcs; off, between two of its
  //              nodes drawn at random (from a seed of the build's own).
  bool decompose = true;
  bool treePacking = true;
  bool steering = true;
  bool provenCuts = true;
  bool degreeBound = true;
  bool localReset = true;
  bool contraction = true;
  bool spreadPairs = true;
  //   sourceRuns  GomoryHu with PushRelabelGlobal flows: a part is cut from
  //              its node of most edges to one node after another on the same
  //              graph, each cut's flow starting from the one before it
  //              (the halves that leave hidden until half the graph is),
  //              instead of two cuts at a time, each from no flow.
  bool sourceRuns = true;
  //   backwardCuts  source runs: where a run's warm cuts cost more arc
  //              looks than cuts from the sink would, its cuts go from the
  //              sink to the source on a preflow of their own for a while
  //              (the same sides: the smallest sink side), and the run's
  //              warm preflow waits for its return; off, every cut goes
  //              from the source.
  bool backwardCuts = true;
  //   sinkSets   SearchTrees: a cut from s to t may end its flow at any node
  //              whose cut to t, committed earlier, weighs s's degree or
  //              more (the same value and sides); on a graph of 24 arcs a
  //              node or more the run's sources then go heaviest first, so
  //              that later sources find such nodes all round them.
  bool sinkSets = true;
  // GomoryHu: the engine that finds the cuts in the contracted graphs
  // (PushRelabel, PushRelabelGlobal, ShortestPaths or SearchTrees).
  Engine gomoryHuFlows = Engine::PushRelabelGlobal;
};

// The cut tree of `graph`. Error on bad options (threads < 0, a factor not
// > 0); Cancelled when the cancel check asked for it. An exception thrown by
// a callback stops the build and reaches the caller.
SUNDER_API CutTree buildCutTree(const Graph &graph, const BuildOptions &options = BuildOptions());
// The same tree, from a graph the build takes over: it frees the graph's
// edges as soon as it holds them in arrays of its own (the compact graph of
// the paths and trees engines, the blocks of a graph that splits), which
// spares their memory for the rest of the build. `graph` is left empty.
SUNDER_API CutTree buildCutTree(Graph &&graph, const BuildOptions &options = BuildOptions());

// Minimum-cut clustering (Flake, Tarjan and Tsioutsiouliklis): the cut tree
// of `graph` plus one artificial node joined to every node by an edge of
// capacity `alpha` (> 0), built with `options`; the clusters are that
// tree's components once the artificial node is removed. A larger alpha
// gives more, smaller clusters. Clusters are lists of the graph's ids in
// index order, ordered by their first node's index. Error when alpha <= 0
// or when the n added edges would take the graph's capacities past
// kMaxTotalCapacity; the build's own errors and Cancelled as buildCutTree.
SUNDER_API std::vector<std::vector<NodeId>> cutClustering(const Graph &graph, Capacity alpha,
                                               const BuildOptions &options = BuildOptions());

}  // namespace sunder

#endif
