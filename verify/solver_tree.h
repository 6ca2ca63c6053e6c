// The solver's tree array (struct tree of outside/outside.h) as the
// checks of verify/certificate.h take it. The array holds n records:
// position 0 is the root, node 0; rec[p].id is the node at position p (a
// permutation of 0 ... n - 1), rec[id].pos the position of node id (its
// inverse), and for p >= 1 rec[p].parent is the node id of rec[p].id's
// parent and rec[p].weight the weight of the edge between them.
//
// The checks mirror those of verify/certificate.h; checkShape adds the
// array's own layout to the tree's shape, and the others assume it passed.
#ifndef VERIFY_SOLVER_TREE_H
#define VERIFY_SOLVER_TREE_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "outside/outside.h"
#include "verify/certificate.h"

namespace oracle {

// The tree of an array whose layout holds (parents need not be in range).
RootedTree fromRecords(const std::vector<tree> &rec);
// The array of a tree, positions in id order.
std::vector<tree> toRecords(const RootedTree &t);

std::vector<std::string> checkShape(const std::vector<tree> &rec, int n);
std::vector<std::string> checkEdgeWeights(const std::vector<tree> &rec,
                                          const std::function<int64_t(int, int)> &maxFlow);
std::vector<std::string> checkAllPairs(const std::vector<tree> &rec, const FlowTable &flows);
std::vector<std::string> checkPairs(const std::vector<tree> &rec,
                                    const std::vector<std::pair<int, int>> &pairs,
                                    const std::function<int64_t(int, int)> &maxFlow);
std::vector<std::string> checkCertificates(const std::vector<tree> &rec,
                                           const std::vector<Edge> &edges);
// Shape first; the others only when the shape holds.
std::vector<std::string> checkCutTree(const std::vector<tree> &rec, int n,
                                      const std::vector<Edge> &edges, const FlowTable &flows);

// One line per position: id, parent, weight and pos.
std::string describeTree(const std::vector<tree> &rec);

}  // namespace oracle

#endif
