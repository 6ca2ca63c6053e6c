// The block decomposition and the glued cut tree, judged by Boost's max flow
// and the certificate checks (verify/) and by brute-force connectivity
// checks. Blocks are solved in these tests by verify's Gusfield over the
// oracle.
#include "lib/decompose/decompose.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "oracle_edges.h"
#include "sunder/error.h"
#include "verify/certificate.h"
#include "verify/oracle.h"
#include "verify/reference.h"

namespace {

using sunder::Capacity;
using sunder::Edge;
using sunder::detail::assembleTree;
using sunder::detail::BlockPlan;
using sunder::detail::buildByBlocks;
using sunder::detail::decompose;
using sunder::detail::ParentTree;

std::vector<oracle::Edge> toOracle(const std::vector<Edge> &edges) {
  std::vector<oracle::Edge> out;
  for (const Edge &e : edges) out.push_back({e.u, e.v, e.capacity});
  return out;
}

oracle::RootedTree rooted(const ParentTree &tree) { return rootedTree(tree.parent, tree.weight); }

// Gusfield's cut tree, every cut from the oracle, rooted at 0.
ParentTree oracleGusfield(int32_t n, const std::vector<Edge> &edges) {
  oracle::RootedTree t = oracle::gusfieldTree(n, toOracle(edges));
  return {std::vector<int32_t>(t.parent.begin(), t.parent.end()), t.weight};
}

// Parent pointers reach node 0, the root, from every node.
void expectRootedAtZero(const ParentTree &tree, int32_t n) {
  ASSERT_EQ(tree.parent.size(), static_cast<size_t>(n));
  std::vector<std::string> problems = oracle::shapeProblems(rooted(tree));
  ASSERT_TRUE(problems.empty()) << oracle::joinProblems(problems);
}

// A cut tree: each edge's fundamental cut weighs the edge's weight, and the
// lightest edge on every path is the oracle's max flow between its ends
// (asked directly for small graphs, else through the oracle's own tree).
void expectCutTree(int32_t n, const std::vector<Edge> &edges, const ParentTree &tree) {
  expectRootedAtZero(tree, n);
  if (testing::Test::HasFatalFailure()) return;
  std::vector<std::string> problems = oracle::checkCertificates(rooted(tree), toOracle(edges));
  ASSERT_TRUE(problems.empty()) << oracle::joinProblems(problems);
  oracle::FlowTable flows =
      n <= 50 ? oracle::allPairsMaxFlow(n, toOracle(edges))
              : oracle::lightestOnPaths(oracle::gusfieldTree(n, toOracle(edges)));
  problems = oracle::checkAllPairs(rooted(tree), flows);
  ASSERT_TRUE(problems.empty()) << oracle::joinProblems(problems);
}

// Connectivity by union-find over the positive, loop-free edges that pass
// `keep`, with node `gone` left out (-1: none).
template <class Keep>
std::vector<int32_t> components(int32_t n, const std::vector<Edge> &edges, int32_t gone,
                                Keep keep) {
  std::vector<int32_t> root(static_cast<size_t>(n));
  std::iota(root.begin(), root.end(), 0);
  auto find = [&](int32_t x) {
    while (root[static_cast<size_t>(x)] != x)
      x = root[static_cast<size_t>(x)] = root[static_cast<size_t>(root[static_cast<size_t>(x)])];
    return x;
  };
  for (const Edge &e : edges)
    if (e.capacity > 0 && e.u != e.v && e.u != gone && e.v != gone && keep(e))
      root[static_cast<size_t>(find(e.u))] = find(e.v);
  for (int32_t x = 0; x < n; x++) root[static_cast<size_t>(x)] = find(x);
  return root;
}

bool isArticulation(int32_t n, const std::vector<Edge> &edges, int32_t x) {
  std::vector<int32_t> root = components(n, edges, x, [](const Edge &) { return true; });
  std::set<int32_t> seen;
  for (const Edge &e : edges)
    if (e.capacity > 0 && e.u != e.v && (e.u == x || e.v == x))
      seen.insert(root[static_cast<size_t>(e.u == x ? e.v : e.u)]);
  return seen.size() > 1;
}

std::pair<int32_t, int32_t> ordered(int32_t u, int32_t v) {
  return {std::min(u, v), std::max(u, v)};
}

// The plan checked against its definition: every positive edge once; 2-node
// blocks exactly the pairs whose edges together disconnect them; blocks
// 2-connected; articulation nodes exactly those in several blocks; blocks
// largest first.
void expectPlanMatchesGraph(int32_t n, const std::vector<Edge> &edges, const BlockPlan &plan) {
  ASSERT_EQ(plan.nodeCount, n);
  std::map<std::pair<int32_t, int32_t>, Capacity> want, got;
  for (const Edge &e : edges)
    if (e.capacity > 0 && e.u != e.v) want[ordered(e.u, e.v)] += e.capacity;
  std::vector<int32_t> blocksOf(static_cast<size_t>(n), 0);
  for (size_t b = 0; b < plan.blocks.size(); b++) {
    const auto &block = plan.blocks[b];
    int32_t size = static_cast<int32_t>(block.nodes.size());
    ASSERT_GE(size, 3);
    if (b > 0) {
      ASSERT_LE(block.nodes.size(), plan.blocks[b - 1].nodes.size());
    }
    ASSERT_EQ(std::set<int32_t>(block.nodes.begin(), block.nodes.end()).size(), block.nodes.size());
    for (int32_t x : block.nodes) blocksOf[static_cast<size_t>(x)]++;
    for (const Edge &e : block.edges) {
      ASSERT_TRUE(e.u >= 0 && e.u < size && e.v >= 0 && e.v < size && e.u != e.v);
      got[ordered(block.nodes[static_cast<size_t>(e.u)], block.nodes[static_cast<size_t>(e.v)])] +=
          e.capacity;
    }
    for (int32_t x = 0; x < size; x++) {
      std::vector<int32_t> root =
          components(size, block.edges, x, [](const Edge &) { return true; });
      std::set<int32_t> parts;
      for (int32_t y = 0; y < size; y++)
        if (y != x) parts.insert(root[static_cast<size_t>(y)]);
      ASSERT_EQ(parts.size(), 1u) << "block " << b << " falls apart without local node " << x;
    }
  }
  std::set<std::pair<int32_t, int32_t>> bridgePairs;
  for (const auto &bridge : plan.bridges) {
    blocksOf[static_cast<size_t>(bridge.u)]++;
    blocksOf[static_cast<size_t>(bridge.v)]++;
    got[ordered(bridge.u, bridge.v)] += bridge.capacity;
    ASSERT_TRUE(bridgePairs.insert(ordered(bridge.u, bridge.v)).second);
  }
  ASSERT_EQ(got, want);
  for (const auto &entry : want) {
    auto [u, v] = entry.first;
    std::vector<int32_t> root =
        components(n, edges, -1, [&](const Edge &e) { return ordered(e.u, e.v) != entry.first; });
    EXPECT_EQ(root[static_cast<size_t>(u)] != root[static_cast<size_t>(v)],
              bridgePairs.count(entry.first) == 1)
        << u << "-" << v;
  }
  for (int32_t x = 0; x < n; x++)
    EXPECT_EQ(isArticulation(n, edges, x), blocksOf[static_cast<size_t>(x)] > 1) << "node " << x;
}

// Solves blocks by oracleGusfield, counting them.
struct OracleBlocks {
  std::vector<int32_t> sizes;
  ParentTree operator()(int32_t localN, const std::vector<Edge> &localEdges) {
    sizes.push_back(localN);
    return oracleGusfield(localN, localEdges);
  }
};

// Everything about one graph; returns the block sizes solved.
std::vector<int32_t> checkGraph(int32_t n, const std::vector<Edge> &edges) {
  BlockPlan plan = decompose(n, edges);
  expectPlanMatchesGraph(n, edges, plan);
  OracleBlocks blocks;
  ParentTree tree = buildByBlocks(n, edges, std::ref(blocks));
  expectCutTree(n, edges, tree);
  return blocks.sizes;
}

TEST(Decompose, TwoTrianglesJoinedByABridge) {
  std::vector<Edge> edges{{0, 1, 2}, {1, 2, 3}, {2, 0, 4}, {2, 3, 1},
                          {3, 4, 5}, {4, 5, 5}, {5, 3, 2}};
  BlockPlan plan = decompose(6, edges);
  ASSERT_EQ(plan.blocks.size(), 2u);
  ASSERT_EQ(plan.bridges.size(), 1u);
  EXPECT_EQ(ordered(plan.bridges[0].u, plan.bridges[0].v), ordered(2, 3));
  EXPECT_EQ(plan.bridges[0].capacity, 1);
  EXPECT_EQ(checkGraph(6, edges), (std::vector<int32_t>{3, 3}));
}

// Without the whole block's edges, a graph of one block gets its nodes
// alone; a graph that splits, or one block that leaves a node out, still
// gets every block's edges.
TEST(Decompose, OneWholeBlockCanComeWithoutItsEdges) {
  std::vector<Edge> ring{{0, 1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 0, 1}};
  BlockPlan whole = decompose(4, ring, false);
  ASSERT_EQ(whole.blocks.size(), 1u);
  EXPECT_EQ(whole.blocks[0].nodes.size(), 4u);
  EXPECT_TRUE(whole.blocks[0].edges.empty());
  EXPECT_EQ(decompose(4, ring).blocks[0].edges.size(), 4u);
  BlockPlan isolated = decompose(5, ring, false);  // node 4 has no edge
  ASSERT_EQ(isolated.blocks.size(), 1u);
  EXPECT_EQ(isolated.blocks[0].edges.size(), 4u);
  std::vector<Edge> tailed = ring;
  tailed.push_back({3, 4, 5});
  BlockPlan split = decompose(5, tailed, false);
  ASSERT_EQ(split.blocks.size(), 1u);
  EXPECT_EQ(split.blocks[0].edges.size(), 4u);
  EXPECT_EQ(split.bridges.size(), 1u);
}

TEST(Decompose, BlocksSharingArticulationNodes) {
  // A bowtie at node 2, a square hanging from 4, a triangle from node 0.
  std::vector<Edge> edges{{0, 1, 1}, {1, 2, 1}, {2, 0, 1}, {2, 3, 2}, {3, 4, 2},
                          {4, 2, 2}, {4, 5, 3}, {5, 6, 1}, {6, 7, 3}, {7, 4, 1},
                          {0, 8, 4}, {8, 9, 4}, {9, 0, 4}};
  EXPECT_EQ(checkGraph(10, edges), (std::vector<int32_t>{4, 3, 3, 3}));
}

TEST(Decompose, ComponentsAndIsolatedNodesJoinWithZero) {
  // Node 0 isolated; a triangle, a path, a pair; nodes 6 and 10 isolated.
  std::vector<Edge> edges{{1, 2, 1}, {2, 3, 2}, {3, 1, 3}, {4, 5, 7}, {5, 7, 1}, {8, 9, 2}};
  BlockPlan plan = decompose(11, edges);
  EXPECT_EQ(plan.blocks.size(), 1u);
  EXPECT_EQ(plan.bridges.size(), 3u);
  checkGraph(11, edges);
  ParentTree tree = buildByBlocks(11, edges, OracleBlocks());
  for (int32_t x : {1, 4, 6, 8, 10}) {  // smallest of each other component
    EXPECT_EQ(tree.parent[static_cast<size_t>(x)], 0);
    EXPECT_EQ(tree.weight[static_cast<size_t>(x)], 0);
  }
}

TEST(Decompose, PendantChainsNeedNoFlow) {
  // A 4-cycle with degree-1 chains and a small tree on its nodes.
  std::vector<Edge> edges{{0, 1, 3}, {1, 2, 3}, {2, 3, 3}, {3, 0, 3}, {0, 4, 1},  {4, 5, 2},
                          {5, 6, 1}, {2, 7, 5}, {7, 8, 4}, {7, 9, 6}, {9, 10, 1}, {1, 11, 2}};
  EXPECT_EQ(checkGraph(12, edges), (std::vector<int32_t>{4}));
}

TEST(Decompose, ParallelEdgesMakeOneTwoNodeBlock) {
  std::vector<Edge> edges{{0, 1, 3}, {1, 2, 2}, {1, 0, 4}, {2, 3, 1}, {3, 2, 1}, {3, 2, 1}};
  BlockPlan plan = decompose(4, edges);
  EXPECT_TRUE(plan.blocks.empty());
  ASSERT_EQ(plan.bridges.size(), 3u);
  EXPECT_TRUE(checkGraph(4, edges).empty());
  // A pair joined twice inside a cycle stays in the cycle's block.
  std::vector<Edge> cycle{{0, 1, 1}, {0, 1, 1}, {1, 2, 1}, {2, 0, 1}};
  EXPECT_EQ(checkGraph(3, cycle), (std::vector<int32_t>{3}));
}

TEST(Decompose, SelfLoopsAreIgnored) {
  std::vector<Edge> edges{{0, 0, 9}, {0, 1, 2}, {1, 1, 5}, {1, 2, 2},
                          {2, 0, 1}, {3, 3, 4}, {2, 3, 1}};
  BlockPlan plan = decompose(4, edges);
  ASSERT_EQ(plan.blocks.size(), 1u);
  EXPECT_EQ(plan.blocks[0].edges.size(), 3u);
  EXPECT_EQ(checkGraph(4, edges), (std::vector<int32_t>{3}));
}

TEST(Decompose, ZeroCapacitiesAreDropped) {
  // Two triangles joined only by edges of capacity 0, and one 0 chord.
  std::vector<Edge> edges{{0, 1, 1}, {1, 2, 1}, {2, 0, 1}, {3, 4, 2}, {4, 5, 2},
                          {5, 3, 2}, {2, 3, 0}, {1, 4, 0}, {0, 4, 0}, {5, 6, 0}};
  BlockPlan plan = decompose(7, edges);
  EXPECT_EQ(plan.blocks.size(), 2u);
  EXPECT_TRUE(plan.bridges.empty());
  EXPECT_EQ(checkGraph(7, edges), (std::vector<int32_t>{3, 3}));
}

TEST(Decompose, EqualSizesAndDegreesAreDeterministic) {
  // Triangles and squares around one hub, all nodes of equal degree
  // elsewhere, plus K4 and K3,3: many ties in block sizes and degrees.
  std::vector<Edge> edges;
  int32_t n = 1;
  for (int k = 0; k < 6; k++) {
    int32_t a = n++, b = n++;
    edges.insert(edges.end(), {{0, a, 1}, {a, b, 1}, {b, 0, 1}});
    int32_t c = n++, d = n++, e = n++;
    edges.insert(edges.end(), {{0, c, 2}, {c, d, 2}, {d, e, 2}, {e, 0, 2}});
  }
  int32_t k4 = n;
  n += 4;
  for (int32_t i = 0; i < 4; i++)
    for (int32_t j = i + 1; j < 4; j++) edges.push_back({k4 + i, k4 + j, 1});
  edges.push_back({1, k4, 1});
  int32_t k33 = n;
  n += 6;
  for (int32_t i = 0; i < 3; i++)
    for (int32_t j = 3; j < 6; j++) edges.push_back({k33 + i, k33 + j, 1});
  BlockPlan first = decompose(n, edges), second = decompose(n, edges);
  ASSERT_EQ(first.blocks.size(), second.blocks.size());
  for (size_t b = 0; b < first.blocks.size(); b++) {
    EXPECT_EQ(first.blocks[b].nodes, second.blocks[b].nodes);
    ASSERT_EQ(first.blocks[b].edges.size(), second.blocks[b].edges.size());
    for (size_t e = 0; e < first.blocks[b].edges.size(); e++) {
      EXPECT_EQ(first.blocks[b].edges[e].u, second.blocks[b].edges[e].u);
      EXPECT_EQ(first.blocks[b].edges[e].v, second.blocks[b].edges[e].v);
    }
  }
  std::vector<int32_t> sizes = checkGraph(n, edges);
  EXPECT_EQ(sizes, (std::vector<int32_t>{6, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3}));
  ParentTree a = buildByBlocks(n, edges, OracleBlocks()),
             b = buildByBlocks(n, edges, OracleBlocks());
  EXPECT_EQ(a.parent, b.parent);
  EXPECT_EQ(a.weight, b.weight);
}

TEST(Decompose, LongPathIsBridgesOnly) {
  const int32_t n = 200000;
  std::vector<Edge> edges;
  for (int32_t k = 1; k < n; k++) edges.push_back({k - 1, k, k % 7 + 1});
  auto start = std::chrono::steady_clock::now();
  ParentTree tree = buildByBlocks(n, edges, [](int32_t, const std::vector<Edge> &) -> ParentTree {
    ADD_FAILURE() << "a path has no block to solve";
    return {};
  });
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("path of %d nodes: %.3f s\n", n, seconds);
  EXPECT_LT(seconds, 5.0);
  // A tree is its own cut tree.
  ASSERT_EQ(tree.parent.size(), static_cast<size_t>(n));
  EXPECT_EQ(tree.parent[0], -1);
  for (int32_t k = 1; k < n; k++) {
    ASSERT_EQ(tree.parent[static_cast<size_t>(k)], k - 1);
    ASSERT_EQ(tree.weight[static_cast<size_t>(k)], edges[static_cast<size_t>(k - 1)].capacity);
  }
}

TEST(Decompose, LongCycleWithATailIsOneDeepBlock) {
  // A ring 0 ... 99999 (capacity 1) and a path 100000 ... 199999 hanging
  // from ring node 50000. The search goes 10^5 deep inside the block.
  const int32_t ring = 100000, n = 200000;
  std::vector<Edge> edges;
  for (int32_t k = 0; k < ring; k++) edges.push_back({k, (k + 1) % ring, 1});
  edges.push_back({50000, ring, 3});
  for (int32_t k = ring + 1; k < n; k++) edges.push_back({k - 1, k, 3});
  int calls = 0;
  // A unit ring's cut tree: any walk along it, every edge of weight 2.
  auto solveRing = [&](int32_t localN, const std::vector<Edge> &local) {
    calls++;
    EXPECT_EQ(localN, ring);
    EXPECT_EQ(local.size(), static_cast<size_t>(ring));
    std::vector<std::vector<int32_t>> adj(static_cast<size_t>(localN));
    for (const Edge &e : local) {
      adj[static_cast<size_t>(e.u)].push_back(e.v);
      adj[static_cast<size_t>(e.v)].push_back(e.u);
    }
    ParentTree tree{std::vector<int32_t>(static_cast<size_t>(localN), -1),
                    std::vector<Capacity>(static_cast<size_t>(localN), 2)};
    tree.weight[0] = 0;
    for (int32_t prev = 0, x = adj[0][0]; x != 0;) {
      tree.parent[static_cast<size_t>(x)] = prev;
      int32_t next = adj[static_cast<size_t>(x)][0] == prev ? adj[static_cast<size_t>(x)][1]
                                                            : adj[static_cast<size_t>(x)][0];
      prev = x;
      x = next;
    }
    return tree;
  };
  ParentTree tree = buildByBlocks(n, edges, solveRing);
  EXPECT_EQ(calls, 1);
  expectRootedAtZero(tree, n);
  for (int32_t k = 1; k < n; k++) {
    int32_t p = tree.parent[static_cast<size_t>(k)];
    auto pair = ordered(k, p);
    if (k < ring && p < ring) {
      ASSERT_TRUE(pair.second - pair.first == 1 || pair == ordered(0, ring - 1)) << k << "-" << p;
      ASSERT_EQ(tree.weight[static_cast<size_t>(k)], 2);
    } else {
      ASSERT_TRUE(pair.second - pair.first == 1 || pair == ordered(50000, ring)) << k << "-" << p;
      ASSERT_EQ(tree.weight[static_cast<size_t>(k)], 3);
    }
  }
}

// A random tree with long chains and fringes, a few extra edges, parallel
// edges, loops, zero capacities and isolated nodes, nodes and edges shuffled.
std::vector<Edge> randomSparseGraph(int32_t n, std::mt19937 &rng) {
  auto below = [&](int32_t limit) {
    return static_cast<int32_t>(rng() % static_cast<uint32_t>(limit));
  };
  int32_t spanned = n - below(std::max(1, n / 10));
  std::vector<Edge> edges;
  for (int32_t k = 1; k < spanned; k++) {
    int32_t parent = below(3) == 0 ? below(k) : k - 1;
    if (below(8) > 0) edges.push_back({parent, k, 1 + below(4)});
  }
  for (int32_t extra = below(n / 6 + 1); extra > 0; extra--)
    edges.push_back({below(n), below(n), 1 + below(4)});
  for (int32_t extra = below(4); extra > 0; extra--) {
    Edge copy = edges[static_cast<size_t>(below(static_cast<int32_t>(edges.size())))];
    edges.push_back(copy);
  }
  for (int32_t extra = below(3); extra > 0; extra--) edges.push_back({below(n), below(n), 0});
  std::vector<int32_t> label(static_cast<size_t>(n));
  std::iota(label.begin(), label.end(), 0);
  std::shuffle(label.begin(), label.end(), rng);
  for (Edge &e : edges) {
    e.u = label[static_cast<size_t>(e.u)];
    e.v = label[static_cast<size_t>(e.v)];
    if (below(2)) std::swap(e.u, e.v);
  }
  std::shuffle(edges.begin(), edges.end(), rng);
  return edges;
}

TEST(Decompose, RandomSparseGraphsAgainstTheOracle) {
  for (uint32_t seed = 1; seed <= 120; seed++) {
    std::mt19937 rng(seed);
    int32_t n = 30 + static_cast<int32_t>(rng() % (seed % 4 == 0 ? 171 : 21));
    std::vector<Edge> edges = randomSparseGraph(n, rng);
    SCOPED_TRACE("seed " + std::to_string(seed) + ", " + std::to_string(n) + " nodes");
    checkGraph(n, edges);
    if (HasFatalFailure()) return;
  }
}

TEST(Decompose, PlanCanBeSolvedOutOfOrderThenAssembled) {
  // Cycles with a chord, each hanging from a node of the earlier ones, and
  // pendant edges.
  std::mt19937 rng(77);
  auto below = [&](int32_t limit) {
    return static_cast<int32_t>(rng() % static_cast<uint32_t>(limit));
  };
  std::vector<Edge> edges;
  int32_t n = 1;
  for (int c = 0; c < 8; c++) {
    int32_t size = 4 + below(9), first = n, hub = below(n);
    n += size - 1;
    std::vector<int32_t> cycle{hub};
    for (int32_t k = first; k < n; k++) cycle.push_back(k);
    for (size_t k = 0; k < cycle.size(); k++)
      edges.push_back({cycle[k], cycle[(k + 1) % cycle.size()], 1 + below(3)});
    edges.push_back({cycle[0], cycle[cycle.size() / 2], 1 + below(3)});
    edges.push_back({below(n), n++, 1 + below(5)});
  }
  BlockPlan plan = decompose(n, edges);
  ASSERT_EQ(plan.blocks.size(), 8u);
  std::vector<ParentTree> trees(plan.blocks.size());
  for (size_t b = plan.blocks.size(); b-- > 0;)
    trees[b] =
        oracleGusfield(static_cast<int32_t>(plan.blocks[b].nodes.size()), plan.blocks[b].edges);
  ParentTree tree = assembleTree(plan, trees);
  expectCutTree(n, edges, tree);
  ParentTree direct = buildByBlocks(n, edges, OracleBlocks());
  EXPECT_EQ(tree.parent, direct.parent);
  EXPECT_EQ(tree.weight, direct.weight);
}

TEST(Decompose, MisuseIsRejected) {
  EXPECT_THROW(decompose(3, {{0, 3, 1}}), sunder::Error);
  EXPECT_THROW(decompose(3, {{0, 1, -1}}), sunder::Error);
  std::vector<Edge> triangle{{0, 1, 1}, {1, 2, 1}, {2, 0, 1}};
  BlockPlan plan = decompose(3, triangle);
  EXPECT_THROW(assembleTree(plan, {}), sunder::Error);
  EXPECT_THROW(assembleTree(plan, {ParentTree{{-1, 0}, {0, 2}}}), sunder::Error);
  EXPECT_THROW(assembleTree(plan, {ParentTree{{-1, 2, 1}, {0, 2, 2}}}), sunder::Error);
  EXPECT_THROW(assembleTree(plan, {ParentTree{{-1, -1, 1}, {0, 0, 2}}}), sunder::Error);
  EXPECT_NO_THROW(assembleTree(plan, {ParentTree{{1, -1, 1}, {2, 0, 2}}}));
}

TEST(Decompose, EmptyAndEdgelessGraphs) {
  EXPECT_TRUE(buildByBlocks(0, {}, OracleBlocks()).parent.empty());
  ParentTree tree = buildByBlocks(4, {{2, 2, 5}}, OracleBlocks());
  EXPECT_EQ(tree.parent, (std::vector<int32_t>{-1, 0, 0, 0}));
  EXPECT_EQ(tree.weight, (std::vector<Capacity>{0, 0, 0, 0}));
}

}  // namespace
