// A Gomory-Hu cut tree and the questions it answers.
//
// Ids and indices: a node is named by its id (the graph's NodeId) in every
// call that takes or returns one node, and by its index (0 ... n - 1, the
// graph's order) in the calls whose names end in "At" and in the arrays
// ids(), parents() and weights(), which are by index (parents() holds
// indices too). Lists of nodes (sides, components, parts) are of ids.
//
// Every node but the root (index 0) has a parent and the weight of the edge
// to it; that weight is the minimum cut value between the two ends. The
// minimum cut between any two nodes is the lightest edge on their tree
// path, and removing that edge splits the nodes into the two sides of such a
// cut. Nodes are named by the ids of the graph the tree was built from.
//
// Tie rules
//   - minCut(u, v) removes, among the lightest edges of the path, the one
//     met first as the walk climbs from the deeper end (from u when both
//     ends are equally deep) towards their common ancestor;
//   - globalMinCut() removes the lightest edge of the whole tree whose lower
//     end has the smallest index.
#ifndef SUNDER_CUT_TREE_H
#define SUNDER_CUT_TREE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sunder/export.h"
#include "sunder/graph.h"

namespace sunder {

// How each s-t cut of a build is found (BuildOptions::engine; the names
// engineName gives and engineFromName reads, build.h, are in quotes):
//   PushRelabel        "push-relabel": highest-label selection, exact global
//                      relabelling and dormant layers, as the program sunder
//                      runs it;
//   PushRelabelGlobal  "push-relabel-global": the same with a global
//                      relabelling at the start of each cut;
//   ShortestPaths      "shortest-paths": blocking flows along shortest
//                      augmenting paths;
//   SearchTrees        "search-trees": a search tree from each end, both
//                      kept between augmentations;
//   GomoryHu           "gomory-hu": Gomory and Hu's method with contraction
//                      instead of Gusfield's: each cut splits one part of a
//                      partition of the nodes, in the graph with every other
//                      part's side merged into one node, its flow found by
//                      BuildOptions::gomoryHuFlows;
//   Auto               "auto": the engine that looks at the fewest arcs,
//                      weighed by what an arc look costs it, on the first
//                      cuts of this graph: of PushRelabelGlobal,
//                      ShortestPaths and SearchTrees, or of the last two on
//                      graphs of 100,000 edges or more, where push-relabel's
//                      records would take five times the graph's memory;
//                      GomoryHu instead, its flows by PushRelabelGlobal,
//                      on graphs below 100,000 edges whose build would be
//                      long and whose parts, in a probe of it, shrink by
//                      several nodes a cut, or whose source runs look at a
//                      quarter of the arcs a cut that the others do (unless
//                      BuildOptions::contraction is off). When the
//                      decomposition splits the graph (bridges, articulation
//                      nodes, components), SearchTrees for every block
//                      without a probe, and blocks of at most 32 nodes solved
//                      over a matrix of their capacities.
// Every engine gives a valid cut tree; Auto's choice depends on the graph
// alone, never on timing. Exact, Relabel, Paths and Trees are the former
// names, kept for callers written against them ("exact", "relabel", "paths"
// and "trees" are read too).
enum class Engine {
  Auto,
  PushRelabel,
  PushRelabelGlobal,
  ShortestPaths,
  SearchTrees,
  GomoryHu,
  Exact = PushRelabel,
  Relabel = PushRelabelGlobal,
  Paths = ShortestPaths,
  Trees = SearchTrees
};

// What a build did. Each engine counts its own operations, the others stay
// 0: relabels and pushes (exact, relabel), phases and augmentations
// (paths), augmentations and adoptions (trees).
struct BuildStats {
  Engine engine = Engine::PushRelabel;  // the engine that built the tree
  int32_t threads = 1;            // threads the build was given (0 resolved)
  int64_t relabels = 0;
  int64_t pushes = 0;
  int64_t phases = 0;
  int64_t augmentations = 0;
  int64_t adoptions = 0;
  int64_t scans = 0;           // arcs looked at, the engines' common measure
  int32_t computations = 0;    // s-t cuts committed
  int32_t recomputed = 0;      // committed only after a second computation
  int32_t cutsRecorded = 0;
  double seconds = 0;          // wall time of the whole build
  double lastCutSeconds = 0;   // wall time until the last cut was committed
  double calcSeconds = 0;      // the s-t computations' own time
  double manipSeconds = 0;     // the rest: draws, tree updates, waiting
  // The process's largest resident memory when the build ended, in bytes
  // (0 where the system does not tell): the build's peak unless the
  // process used more before it.
  int64_t peakBytes = 0;
};

// One edge of the tree, in the caller's ids.
struct TreeEdge {
  NodeId child;
  NodeId parent;
  Capacity weight;
};

// A minimum cut between two nodes: its value and the two sides.
struct Cut {
  Capacity value = 0;
  std::vector<NodeId> side;       // the side of u (of the smaller side, for
                                  // the global cut), in index order
  std::vector<NodeId> otherSide;  // the rest, in index order
};

class SUNDER_API CutTree {
 public:
  CutTree() = default;
  // A tree over the nodes `ids` (by index) with parent[k] the index of k's
  // parent (-1 for the root, index 0) and weight[k] the weight of that edge.
  // Error unless the parents form one tree rooted at index 0 and the ids
  // are distinct.
  CutTree(std::vector<NodeId> ids, std::vector<int32_t> parent, std::vector<Capacity> weight,
          BuildStats stats = BuildStats());

  int32_t nodeCount() const { return static_cast<int32_t>(ids_.size()); }
  bool contains(NodeId id) const;
  NodeId root() const;                 // Error on an empty tree
  NodeId parent(NodeId id) const;      // Error for the root
  Capacity weight(NodeId id) const;    // of the edge to the parent; 0 for the root

  // By index: the node ids, each node's parent index (-1 for the root) and
  // the weight of the edge to it.
  const std::vector<NodeId> &ids() const { return ids_; }
  const std::vector<int32_t> &parents() const { return parent_; }
  const std::vector<Capacity> &weights() const { return weight_; }
  int32_t indexOf(NodeId id) const;    // Error when id is not a node

  // The minimum cut value between u and v (u != v); O(log n) after a
  // preprocessing made once, on the first query.
  Capacity minCutValue(NodeId u, NodeId v) const;
  // By index; std::out_of_range outside 0 ... n - 1.
  Capacity minCutValueAt(int32_t u, int32_t v) const;
  // A minimum cut between u and v (u != v): its value and both sides.
  Cut minCut(NodeId u, NodeId v) const;
  // A minimum cut of the whole graph (at least two nodes).
  Cut globalMinCut() const;
  // Every edge, children in index order.
  std::vector<TreeEdge> edges() const;

  const BuildStats &stats() const { return stats_; }

 private:
  struct Index;  // min-cut queries: built on first use
  void indexNodes();
  void checkIndex(int32_t k) const;
  std::string sidesName() const;
  const Index &queryIndex() const;
  Cut cutBelow(int32_t child, Capacity value, bool childSide) const;
  int32_t lightestOnPath(int32_t u, int32_t v) const;

  std::vector<NodeId> ids_;
  std::vector<int32_t> parent_;
  std::vector<Capacity> weight_;
  std::vector<int32_t> depth_;
  BuildStats stats_;
  std::unordered_map<NodeId, int32_t> index_;  // empty while ids equal indices
  mutable std::shared_ptr<const Index> query_;
};

// Answers read off a tree. Node lists are in index order; lists of parts
// are ordered by their first node's index.

// The k-edge-connected components (k >= 1): the maximal sets of nodes whose
// every pair has minimum cut k or more, which are the tree's components
// once its edges lighter than k are removed (networkx's k_edge_components,
// defined by pairwise local edge connectivity, gives the same sets). Error
// when k < 1.
SUNDER_API std::vector<std::vector<NodeId>> kEdgeComponents(const CutTree &tree, Capacity k);

// How many unordered pairs of nodes have minimum cut exactly `value`.
struct ConnectivityCount {
  Capacity value;
  int64_t pairs;
};
// Every minimum cut value that some pair has, increasing, with its pair
// count (the counts add up to n (n - 1) / 2); O(n log n): the tree's edges
// joined from the heaviest down, each joining two groups whose every pair
// across has that edge's weight as minimum cut.
SUNDER_API std::vector<ConnectivityCount> connectivityDistribution(const CutTree &tree);

// The n x n minimum cut values by index, row by row, into `matrix` (room
// for n * n values; the diagonal 0). O(n^2).
SUNDER_API void allPairsInto(const CutTree &tree, Capacity *matrix);

// An approximate minimum k-cut (Saran and Vazirani): the tree without its
// k - 1 lightest edges (among equal weights, those of smaller child index
// first) falls into k parts. `value` is the capacity of the graph's edges
// between different parts, at most `treeBound`, the removed edges' weights
// together, which is at most 2 - 2/k times the minimum k-cut's capacity.
struct KCut {
  Capacity value = 0;
  Capacity treeBound = 0;
  std::vector<std::vector<NodeId>> parts;
};
// `graph` is the graph the tree was built from (the same node ids). Error
// when k < 1, k > n, or the graph's nodes are not the tree's.
SUNDER_API KCut minKCut(const CutTree &tree, const Graph &graph, int64_t k);

}  // namespace sunder

#endif
