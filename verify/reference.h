// Reference values for judging cut trees, all from Boost Graph's max flow
// (verify/oracle.h) or from enumerating cuts: nothing here shares code
// with the builders under test. Node ids run from 0 to n - 1.
#ifndef VERIFY_REFERENCE_H
#define VERIFY_REFERENCE_H

#include <vector>

#include "verify/certificate.h"
#include "verify/oracle.h"

namespace oracle {

// Max flow between every pair by Boost's push-relabel; n (n - 1) / 2 flows.
FlowTable allPairsMaxFlow(int n, const std::vector<Edge> &edges);

// Minimum cut for every pair by enumerating all 2^n node subsets; n <= 16.
FlowTable allPairsByEnumeration(int n, const std::vector<Edge> &edges);

// A cut tree by Gusfield's method, every cut the source side of one of
// Boost's minimum cuts, rooted at node 0. With `onlyUnprocessed` the
// reassignment after each cut skips the nodes already processed: the tree
// is still flow equivalent, but in general no longer a cut tree (what the
// certificate check tells apart).
RootedTree gusfieldTree(int n, const std::vector<Edge> &edges, bool onlyUnprocessed = false);

}  // namespace oracle

#endif
