// The checks of verify/certificate.h on trees and graphs worked out by
// hand, and the all-at-once crossing capacities against one cut at a time
// on random trees.
#include "verify/certificate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "verify/reference.h"

namespace {

using oracle::Edge;
using oracle::RootedTree;
using Strings = std::vector<std::string>;

// A star with centre 0 and unit spokes to 1, 2 and 3, and the path
// 0 - 3 - 2 - 1 of unit weights over it: flow equivalent (every pair's max
// flow is 1), but the subtree {1, 2} is crossed by 2 and {1, 2, 3} by 3.
const std::vector<Edge> kStar{{0, 1, 1}, {0, 2, 1}, {0, 3, 1}};
const RootedTree kPathOverStar{{-1, 2, 3, 0}, {0, 1, 1, 1}};

TEST(CrossingCapacities, ByHandWithLoopsAndParallelEdges) {
  // Path 0 - 1 - 2 of capacities 3 and 5, the second edge split in two
  // parallel ones, and a loop at 2 that crosses nothing.
  const std::vector<Edge> edges{{0, 1, 3}, {2, 1, 2}, {1, 2, 3}, {2, 2, 7}};
  const RootedTree tree{{-1, 0, 1}, {0, 3, 5}};
  EXPECT_EQ(oracle::crossingCapacities(tree, edges), (std::vector<int64_t>{0, 3, 5}));
  EXPECT_TRUE(oracle::certificateFaults(tree, edges).empty());
  // With 2 hanging from 0, node 1 alone is crossed by 3 + 2 + 3.
  const RootedTree star{{-1, 0, 0}, {0, 3, 5}};
  EXPECT_EQ(oracle::crossingCapacities(star, edges), (std::vector<int64_t>{0, 8, 5}));
  EXPECT_EQ(oracle::crossingCapacities(kPathOverStar, kStar), (std::vector<int64_t>{0, 1, 2, 3}));
}

TEST(CrossingCapacities, SubtreeSidesAndSumsOfOtherValuesByHand) {
  // 0 - 1 of 4, 1 - 2 of 6, 1 - 3 of 2.
  const RootedTree t{{-1, 0, 1, 1}, {0, 4, 6, 2}};
  EXPECT_EQ(oracle::subtreeSide(t, 1), (std::vector<bool>{false, true, true, true}));
  EXPECT_EQ(oracle::subtreeSide(t, 3), (std::vector<bool>{false, false, false, true}));
  EXPECT_EQ(oracle::subtreeSide(t, 0), (std::vector<bool>{true, true, true, true}));
  // Each edge with a value of its own: across {2, 3} only 1 - 3 and 2 - 0
  // count, not the loop at 3 nor the two edges between 0 and 1.
  const std::vector<Edge> edges{{0, 1, 1}, {1, 3, 1}, {3, 3, 1}, {2, 0, 1}, {0, 1, 1}};
  const std::vector<double> values{0.5, 0.25, 8, 2, 16};
  auto valueOf = [&values](size_t i) { return values[i]; };
  const std::vector<bool> twoThree{false, false, true, true};
  EXPECT_EQ(oracle::sumAcross<double>(edges, twoThree, valueOf), 2.25);
  EXPECT_EQ(oracle::sumAcross<double>(edges, oracle::subtreeSide(t, 1), valueOf), 18.5);
  EXPECT_EQ(oracle::cutCapacity(edges, twoThree), 2);
}

TEST(CrossingCapacities, ExactAtTheLargestTotals) {
  const int64_t half = std::numeric_limits<int64_t>::max() / 2;
  // Both ends of node 1 add up past INT64_MAX; the subtree sums stay exact.
  const std::vector<Edge> edges{{0, 1, half}, {1, 2, half + 1}};
  EXPECT_EQ(oracle::crossingCapacities({{-1, 0, 1}, {0, 0, 0}}, edges),
            (std::vector<int64_t>{0, half, half + 1}));
  const std::vector<Edge> over{{0, 1, half}, {1, 2, half + 2}};
  try {
    oracle::crossingCapacities({{-1, 0, 1}, {0, 0, 0}}, over);
    ADD_FAILURE() << "no overflow_error";
  } catch (const std::overflow_error &e) {
    EXPECT_STREQ(e.what(), "certificate check: the capacities add up to more than "
                           "9223372036854775807");
  }
}

// Random trees rooted at 0 over a shuffled order: each node's parent comes
// before it in the order.
RootedTree randomTree(std::mt19937_64 &rng, int n) {
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin() + 1, order.end(), rng);
  RootedTree t{std::vector<int>(n, -1), std::vector<int64_t>(n, 0)};
  for (int i = 1; i < n; i++) t.parent[order[i]] = order[rng() % i];
  return t;
}

TEST(CrossingCapacities, EqualEachSubtreeCutOnRandomTrees) {
  std::mt19937_64 rng(20261209);
  for (int round = 0; round < 200; round++) {
    const int n = 1 + static_cast<int>(rng() % 40);
    const RootedTree t = randomTree(rng, n);
    std::vector<Edge> edges;
    const int m = static_cast<int>(rng() % (3 * n + 1));
    for (int k = 0; k < m; k++)  // loops, parallel edges and zeros too
      edges.push_back({static_cast<int>(rng() % n), static_cast<int>(rng() % n),
                       static_cast<int64_t>(rng() % 20)});
    const std::vector<int64_t> crossing = oracle::crossingCapacities(t, edges);
    for (int k = 1; k < n; k++)
      ASSERT_EQ(crossing[k], oracle::cutCapacity(edges, oracle::subtreeSide(t, k)))
          << "round " << round << " node " << k;
  }
}

TEST(Certificates, AWrongWeightAndAFlowEquivalentTreeAreNamed) {
  const std::vector<Edge> path{{0, 1, 3}, {1, 2, 5}};
  EXPECT_EQ(oracle::checkCertificates({{-1, 0, 1}, {0, 3, 4}}, path),
            Strings{"tree edge (2,1) weighs 4, but the split of node 2's subtree is crossed by 5"});
  const std::vector<oracle::CertificateFault> faults =
      oracle::certificateFaults(kPathOverStar, kStar);
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_EQ(faults[0].child, 2);
  EXPECT_EQ(faults[0].parent, 3);
  EXPECT_EQ(faults[0].weight, 1);
  EXPECT_EQ(faults[0].crossing, 2);
  EXPECT_EQ(faults[1].child, 3);
  EXPECT_EQ(faults[1].crossing, 3);
  // The values alone do not tell it from a cut tree.
  EXPECT_TRUE(oracle::checkAllPairs(kPathOverStar, oracle::allPairsMaxFlow(4, kStar)).empty());
}

TEST(Shape, EveryFaultIsNamed) {
  EXPECT_TRUE(oracle::shapeProblems({{}, {}}).empty());
  EXPECT_TRUE(oracle::shapeProblems({{-1, 0, 1}, {0, 3, 5}}).empty());
  EXPECT_EQ(oracle::shapeProblems({{-1, 0}, {0}}), Strings{"tree has 2 parents and 1 weights"});
  EXPECT_EQ(oracle::shapeProblems({{1, 0}, {0, 1}}), Strings{"node 0, the root, has parent 1"});
  EXPECT_EQ(oracle::shapeProblems({{-1, 3, 1}, {0, 1, 1}}),
            Strings{"parent of node 1 is 3, outside 0..2"});
  EXPECT_EQ(oracle::shapeProblems({{-1, 1}, {0, 1}}), Strings{"node 1 is its own parent"});
  EXPECT_EQ(oracle::shapeProblems({{-1, 0}, {0, -2}}),
            Strings{"tree edge (1,0) has negative weight -2"});
  EXPECT_EQ(oracle::shapeProblems({{-1, 2, 1, 0}, {0, 1, 1, 1}}),
            Strings{"the parents of node 1 lead back to it: a cycle"});
}

TEST(PathMinima, ByHand) {
  // 0 - 1 of 4, 1 - 2 of 6, 1 - 3 of 2.
  const RootedTree t{{-1, 0, 1, 1}, {0, 4, 6, 2}};
  EXPECT_EQ(oracle::lightestFrom(t, 2), (std::vector<int64_t>{4, 6, 0, 2}));
  EXPECT_EQ(oracle::lightestOnPaths(t),
            (oracle::FlowTable{{0, 4, 4, 2}, {4, 0, 6, 2}, {4, 6, 0, 2}, {2, 2, 2, 0}}));
  EXPECT_EQ(oracle::checkPairs(t, {{2, 0}, {3, 2}}, [](int, int) { return 4; }),
            Strings{"lightest tree edge between 3 and 2 weighs 2, max flow is 4"});
  EXPECT_EQ(oracle::checkEdgeWeights(t, [](int a, int) { return a == 3 ? 1 : a == 1 ? 4 : 6; }),
            Strings{"tree edge (3,1) weighs 2, max flow is 1"});
}

TEST(Reference, GusfieldOnBoostGivesCutTrees) {
  std::mt19937_64 rng(77);
  for (int round = 0; round < 40; round++) {
    const int n = 2 + static_cast<int>(rng() % 12);
    std::vector<Edge> edges;
    for (int k = 0; k < 2 * n; k++)
      edges.push_back({static_cast<int>(rng() % n), static_cast<int>(rng() % n),
                       static_cast<int64_t>(rng() % 9)});
    const oracle::FlowTable flows = oracle::allPairsByEnumeration(n, edges);
    const Strings problems = oracle::checkCutTree(oracle::gusfieldTree(n, edges), edges, flows);
    ASSERT_TRUE(problems.empty()) << oracle::joinProblems(problems);
  }
}

}  // namespace
