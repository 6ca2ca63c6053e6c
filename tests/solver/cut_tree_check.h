// Checking a Gomory-Hu cut tree against an independent oracle.
//
// The solver's tree array is judged here by code that shares nothing with
// the solver: minimum cuts come from Boost Graph's push-relabel max flow run
// on the original undirected edges (or, for tiny graphs, from enumerating
// every cut), and the tree is checked for
//   shape        n - 1 edges that connect all n nodes, `id` a permutation
//                with `pos` its inverse, the root at position 0;
//   edge values  every tree edge weighs the max flow between its two ends;
//   all pairs    the lightest edge on the tree path between any two nodes
//                weighs the max flow between them (flow equivalence);
//   certificate  removing a tree edge splits the tree in two, and the
//                original capacity crossing that split is the edge's weight
//                (so every tree edge names an actual minimum cut).
// Every check returns a list of readable problems; empty means it passed.
#ifndef TESTS_SOLVER_CUT_TREE_CHECK_H
#define TESTS_SOLVER_CUT_TREE_CHECK_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "verify/oracle.h"
#include "outside/outside.h"

namespace cuttest {

// One arc line of an instance, in the instance's node numbers.
struct InstanceArc {
  int tail;
  int head;
  int64_t cap;
};

// A cut instance as text would carry it. The graph's nodes are the numbers
// from the smallest to the largest used by an arc; node id k is number
// k + lowest().
struct Instance {
  int N = 0;  // node count of the problem line: numbers 0 ... N are legal
  std::vector<InstanceArc> arcs;
  std::string note;  // written as a comment line at the top of text()

  int lowest() const;
  int highest() const;
  int nodeCount() const;  // highest() - lowest() + 1
  std::string text() const;
};

// An undirected edge between node ids (self loops included as read).
using IdEdge = oracle::Edge;

std::vector<IdEdge> idEdges(const Instance &inst);

// Max flow between node ids on the undirected graph, by Boost's
// push-relabel (see verify/oracle.h).
using BoostOracle = oracle::MaxFlow;

// flows[u][v] = max flow between u and v (0 on the diagonal).
using FlowTable = std::vector<std::vector<int64_t>>;

FlowTable allPairsBoost(int n, const std::vector<IdEdge> &edges);

// Minimum cut for every pair by enumerating all 2^n node subsets; n <= 16.
FlowTable allPairsByEnumeration(int n, const std::vector<IdEdge> &edges);

// Total capacity of the non-loop edges with exactly one end in `side`.
int64_t cutCapacity(const std::vector<IdEdge> &edges,
                    const std::vector<bool> &side);

// The checks. `rec` holds the n records of the tree array.
std::vector<std::string> checkShape(const std::vector<tree> &rec, int n);
std::vector<std::string> checkEdgeWeights(
    const std::vector<tree> &rec, int n,
    const std::function<int64_t(int, int)> &maxFlow);
std::vector<std::string> checkAllPairs(const std::vector<tree> &rec, int n,
                                       const FlowTable &flows);
std::vector<std::string> checkCertificates(const std::vector<tree> &rec,
                                           int n,
                                           const std::vector<IdEdge> &edges);

// Shape first; the others only when the shape holds (they assume a tree).
std::vector<std::string> checkCutTree(const std::vector<tree> &rec, int n,
                                      const std::vector<IdEdge> &edges,
                                      const FlowTable &flows);

// A cut tree built by Gusfield's method on Boost's cuts, in the array
// layout of the solver (positions in id order). Used to show that the
// checks accept correct trees. With `onlyUnprocessed` the reassignment
// after each cut skips the nodes already processed: the result is still
// flow equivalent, but in general no longer a cut tree.
std::vector<tree> referenceTree(int n, const std::vector<IdEdge> &edges,
                                bool onlyUnprocessed = false);

std::string joinProblems(const std::vector<std::string> &problems,
                         size_t limit = 12);
std::string describeTree(const std::vector<tree> &rec, int n);

}  // namespace cuttest

#endif
