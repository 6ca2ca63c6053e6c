// Checks of a cut tree that share no code with the builders: the tree's
// shape, the cut certificate of every tree edge, and tree values against
// max flows given by the caller (verify/reference.h computes them with
// Boost Graph's max flow).
//
// A tree here is a RootedTree over node ids 0 ... n - 1, rooted at node 0:
// parent[0] == -1, parent[k] is k's parent for every other k, weight[k] the
// weight of the edge between k and parent[k] (weight[0] is not looked at).
// Edges are the instance's undirected edges (oracle::Edge); self loops
// cross no cut.
//
// The certificate of the tree edge above node k: removing the edge splits
// the tree into k's subtree and the rest, and the original capacity that
// crosses that split must equal weight[k], so every tree edge names an
// actual cut of its weight. With every tree edge also weighing the max
// flow between its ends, the tree is a Gomory-Hu cut tree.
//
// The crossing capacities and the path minima here are computed again on
// purpose, not taken from the library (its real cut weights and its tree
// queries compute the same): a check shares no code with what it judges.
//
// Checks return readable problems, one per line of text; empty means the
// tree passed. Checks other than shapeProblems assume a tree whose shape
// passed.
#ifndef VERIFY_CERTIFICATE_H
#define VERIFY_CERTIFICATE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "verify/oracle.h"

namespace oracle {

struct RootedTree {
  std::vector<int> parent;
  std::vector<int64_t> weight;
  int nodeCount() const { return static_cast<int>(parent.size()); }
};

// flows[u][v]: a value for every pair of node ids (0 on the diagonal).
using FlowTable = std::vector<std::vector<int64_t>>;

// The sum of value(i) over the non-loop edges i (edges[i]) with exactly
// one end in `side`, in a Sum that starts at Sum(); O(m). It serves
// capacities of another kind than the edges' own, such as the real values
// of the capacities that the edges carry scaled.
template <class Sum, class ValueOf>
Sum sumAcross(const std::vector<Edge> &edges, const std::vector<bool> &side,
              const ValueOf &value) {
  Sum total = Sum();
  for (size_t i = 0; i < edges.size(); i++)
    if (edges[i].u != edges[i].v && side[edges[i].u] != side[edges[i].v]) total += value(i);
  return total;
}

// Total capacity of the non-loop edges with exactly one end in `side`;
// O(m).
int64_t cutCapacity(const std::vector<Edge> &edges, const std::vector<bool> &side);

// The nodes of k's subtree, k among them, found by walking up from every
// node: O(n depth), one side of the cut of the tree edge above k.
std::vector<bool> subtreeSide(const RootedTree &t, int k);

// `weight` and `parent` of the same length, node 0 the root, every other
// parent a node id other than the node itself, no cycle, no negative
// weight.
std::vector<std::string> shapeProblems(const RootedTree &t);

// crossing[k] for every node k but the root: the capacity crossing the
// split of k's subtree from the rest (crossing[0] = 0). All edges at once
// in O(n + m alpha) time: each edge adds its capacity at both ends and
// takes twice its capacity off at the ends' lowest common ancestor (found
// by Tarjan's offline method), and a subtree's crossing capacity is the
// sum of these over the subtree. Sums are taken modulo 2^64, so the result
// is exact whenever the true value fits in int64; std::overflow_error when
// the capacities' absolute values add up to more than INT64_MAX.
std::vector<int64_t> crossingCapacities(const RootedTree &t, const std::vector<Edge> &edges);

// A tree edge whose cut does not weigh the edge's weight.
struct CertificateFault {
  int child;  // the edge joins child and its parent
  int parent;
  int64_t weight;
  int64_t crossing;  // the capacity crossing child's subtree
};

// The faulty tree edges, children in increasing order.
std::vector<CertificateFault> certificateFaults(const RootedTree &t,
                                                const std::vector<Edge> &edges);
std::vector<std::string> checkCertificates(const RootedTree &t, const std::vector<Edge> &edges);

// Every tree edge weighs maxFlow(child, parent).
std::vector<std::string> checkEdgeWeights(const RootedTree &t,
                                          const std::function<int64_t(int, int)> &maxFlow);

// lightest[v]: the lightest edge on the tree path between u and v, the
// minimum cut value the tree gives the pair (0 at u itself); O(n).
std::vector<int64_t> lightestFrom(const RootedTree &t, int u);

// lightestFrom(t, u) for every u, as rows; O(n^2).
FlowTable lightestOnPaths(const RootedTree &t);

// The listed pairs' lightest edges on their tree paths equal their
// maxFlow; O(n) per pair.
std::vector<std::string> checkPairs(const RootedTree &t,
                                    const std::vector<std::pair<int, int>> &pairs,
                                    const std::function<int64_t(int, int)> &maxFlow);

// Every pair's lightest edge on its tree path equals flows[u][v] (flow
// equivalence).
std::vector<std::string> checkAllPairs(const RootedTree &t, const FlowTable &flows);

// Shape, and when it holds: edge weights and all pairs against `flows`,
// and every certificate.
std::vector<std::string> checkCutTree(const RootedTree &t, const std::vector<Edge> &edges,
                                      const FlowTable &flows);

// The first `limit` problems, each on a line of its own indented by two
// blanks, and a count of the rest.
std::string joinProblems(const std::vector<std::string> &problems, size_t limit = 12);

}  // namespace oracle

#endif
