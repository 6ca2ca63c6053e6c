// Answers read off a cut tree (k-edge-connected components, the
// distribution of cut values, all pairs, approximate minimum k-cuts) and
// minimum-cut clustering, on a graph worked out by hand, with every error.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "sunder/sunder.h"

namespace {

using sunder::NodeId;
using Groups = std::vector<std::vector<NodeId>>;

// Two triangles joined by the bridge 30-40 (ids ten times 1 ... 6): the
// first of capacity 3 per edge, whose pairs are cut by one node alone (6),
// the second of 2, whose pairs are cut by 50 or 60 alone (4; 40 alone is
// 5). Every pair across has the bridge (1). Node 70 has no edge.
sunder::Graph twoTriangles() {
  sunder::Graph g;
  for (auto [u, v, c] : std::vector<std::array<int64_t, 3>>{
           {10, 20, 3}, {20, 30, 3}, {10, 30, 3}, {30, 40, 1}, {40, 50, 2}, {50, 60, 2}, {40, 60, 2}})
    g.addEdge(u, v, c);
  g.addNode(70);
  return g;
}

void expectError(const std::function<void()> &f, const std::string &message) {
  try {
    f();
    ADD_FAILURE() << "no error; expected: " << message;
  } catch (const sunder::Error &e) {
    EXPECT_EQ(e.message(), message);
  }
}

TEST(TreeAnswers, ComponentsAndDistributionByHand) {
  sunder::CutTree t = sunder::buildCutTree(twoTriangles());
  EXPECT_EQ(sunder::kEdgeComponents(t, 1), (Groups{{10, 20, 30, 40, 50, 60}, {70}}));
  EXPECT_EQ(sunder::kEdgeComponents(t, 2), (Groups{{10, 20, 30}, {40, 50, 60}, {70}}));
  EXPECT_EQ(sunder::kEdgeComponents(t, 5), (Groups{{10, 20, 30}, {40}, {50}, {60}, {70}}));
  EXPECT_EQ(sunder::kEdgeComponents(t, 7).size(), 7u);
  expectError([&] { sunder::kEdgeComponents(t, 0); }, "k must be 1 or more, not 0");

  // 6 pairs with 70 (0), 9 across the bridge, 3 in each triangle.
  std::vector<std::pair<int64_t, int64_t>> counts;
  for (const sunder::ConnectivityCount &c : sunder::connectivityDistribution(t))
    counts.emplace_back(c.value, c.pairs);
  EXPECT_EQ(counts, (std::vector<std::pair<int64_t, int64_t>>{{0, 6}, {1, 9}, {4, 3}, {6, 3}}));
  EXPECT_TRUE(sunder::connectivityDistribution(sunder::buildCutTree(sunder::Graph(1))).empty());

  std::vector<sunder::Capacity> all(49, -1);
  sunder::allPairsInto(t, all.data());
  std::vector<sunder::Capacity> want = {0, 6, 6, 1, 1, 1, 0,  //
                                        6, 0, 6, 1, 1, 1, 0,  //
                                        6, 6, 0, 1, 1, 1, 0,  //
                                        1, 1, 1, 0, 4, 4, 0,  //
                                        1, 1, 1, 4, 0, 4, 0,  //
                                        1, 1, 1, 4, 4, 0, 0,  //
                                        0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(all, want);
}

// The k - 1 lightest tree edges: 0 (to 70), 1 (the bridge), 4, 4, 6, 6.
TEST(TreeAnswers, MinKCutByHand) {
  sunder::Graph g = twoTriangles();
  sunder::CutTree t = sunder::buildCutTree(g);
  sunder::KCut one = sunder::minKCut(t, g, 1);
  EXPECT_EQ(one.value, 0);
  EXPECT_EQ(one.treeBound, 0);
  EXPECT_EQ(one.parts, (Groups{{10, 20, 30, 40, 50, 60, 70}}));
  sunder::KCut three = sunder::minKCut(t, g, 3);
  EXPECT_EQ(three.value, 1);
  EXPECT_EQ(three.treeBound, 1);
  EXPECT_EQ(three.parts, (Groups{{10, 20, 30}, {40, 50, 60}, {70}}));
  // One node of the second triangle more: its two edges (4) and the bridge.
  sunder::KCut four = sunder::minKCut(t, g, 4);
  EXPECT_EQ(four.value, 5);
  EXPECT_EQ(four.treeBound, 5);
  EXPECT_EQ(four.parts.size(), 4u);
  EXPECT_EQ(four.parts[0], (std::vector<NodeId>{10, 20, 30}));
  // Every node alone: the whole capacity, against 0 + 1 + 4 + 4 + 6 + 6.
  sunder::KCut seven = sunder::minKCut(t, g, 7);
  EXPECT_EQ(seven.value, 16);
  EXPECT_EQ(seven.treeBound, 21);
  expectError([&] { sunder::minKCut(t, g, 0); }, "k must be 1 ... 7 (the node count), not 0");
  expectError([&] { sunder::minKCut(t, g, 8); }, "k must be 1 ... 7 (the node count), not 8");
  sunder::Graph other(7);
  expectError([&] { sunder::minKCut(t, other, 2); }, "node 0 of the graph is not in the tree");
  expectError([&] { sunder::minKCut(t, sunder::Graph(3), 2); },
              "the graph has 3 nodes, the tree 7: not the graph of the tree");
}

// alpha 1: each node's cheapest cut from the added node is its triangle
// (1 + 3 x 1) rather than itself (6 + 1 or more); alpha 5: itself (at most
// 7 + 5, against 1 + 3 x 5). 70 is alone either way.
TEST(CutClustering, ByHandOnEveryEngine) {
  sunder::Graph g = twoTriangles();
  for (sunder::Engine engine : sunder::allEngines()) {
    sunder::BuildOptions options;
    options.engine = engine;
    EXPECT_EQ(sunder::cutClustering(g, 1, options), (Groups{{10, 20, 30}, {40, 50, 60}, {70}}))
        << sunder::engineName(engine);
    EXPECT_EQ(sunder::cutClustering(g, 5, options),
              (Groups{{10}, {20}, {30}, {40}, {50}, {60}, {70}}));
  }
  EXPECT_TRUE(sunder::cutClustering(sunder::Graph(), 3).empty());
  expectError([&] { sunder::cutClustering(g, 0); }, "alpha must be above 0, not 0");
  expectError([&] { sunder::cutClustering(g, -4); }, "alpha must be above 0, not -4");
  // 16 + 7 alpha may be at most 2^62 - 1.
  sunder::Capacity most = (sunder::kMaxTotalCapacity - 16) / 7;
  expectError([&] { sunder::cutClustering(g, most + 1); },
              "alpha " + std::to_string(most + 1) +
                  " on each of 7 nodes takes the capacities past 4611686018427387903");
}

}  // namespace
