// Trees packed from a hub and flows steered towards it: every node the
// packing proves alone has exactly its degree as its minimum cut to the hub
// (Boost's max flow), whole builds rooted at the hub are Gomory-Hu trees,
// and the steered search trees find the same cut values as the plain ones,
// on hubs, meshes, equal degrees, ties and weights.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "lib/engines/compact_graph.h"
#include "lib/engines/engines.h"
#include "lib/engines/tree_packing.h"
#include "lib/engines/trees.h"
#include "sunder/build.h"
#include "oracle_edges.h"
#include "verify/oracle.h"

namespace {

using sunder::Graph;
using sunder::detail::CompactGraph;

struct Case {
  std::string name;
  Graph graph;
};

// Preferential attachment: each new node joined to `k` earlier ones, the
// ends drawn by degree; capacities 1 or 1 ... maxCap.
Graph attachment(std::mt19937_64 &rng, int n, int k, int maxCap) {
  Graph g(n);
  std::vector<int32_t> ends;
  for (int v = 1; v < n; v++) {
    for (int j = 0; j < std::min(k, v); j++) {
      int32_t u = ends.empty() || rng() % 4 == 0 ? static_cast<int32_t>(rng() % v)
                                                 : ends[rng() % ends.size()];
      g.addEdge(u, v, 1 + static_cast<int64_t>(rng() % maxCap));
      ends.push_back(u);
      ends.push_back(v);
    }
  }
  return g;
}

// A triangulated grid of w x h nodes: every degree about 6, no hub.
Graph mesh(int w, int h, std::mt19937_64 &rng, int maxCap) {
  Graph g(w * h);
  auto at = [w](int x, int y) { return y * w + x; };
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      auto cap = [&] { return 1 + static_cast<int64_t>(rng() % maxCap); };
      if (x + 1 < w) g.addEdge(at(x, y), at(x + 1, y), cap());
      if (y + 1 < h) g.addEdge(at(x, y), at(x, y + 1), cap());
      if (x + 1 < w && y + 1 < h) g.addEdge(at(x, y), at(x + 1, y + 1), cap());
    }
  return g;
}

std::vector<Case> cases() {
  std::mt19937_64 rng(20261209);
  std::vector<Case> out;
  // A star with a rim: every leaf's cut to the centre is its own edges.
  Graph wheel(13);
  for (int k = 1; k < 13; k++) {
    wheel.addEdge(0, k, 1 + k % 3);
    wheel.addEdge(k, k % 12 + 1, 1);
  }
  out.push_back({"wheel", wheel});
  // A complete graph of equal capacities: every degree ties with every cut.
  Graph complete(7);
  for (int u = 0; u < 7; u++)
    for (int v = u + 1; v < 7; v++) complete.addEdge(u, v, 2);
  out.push_back({"complete", complete});
  // Two hubs joined by a light edge: the far hub's side is cut off cheaply,
  // so nodes there have cuts to the first hub lighter than their degree.
  Graph twoHubs(24);
  for (int k = 2; k < 13; k++) twoHubs.addEdge(0, k, 3);
  for (int k = 13; k < 24; k++) twoHubs.addEdge(1, k, 3);
  for (int k = 2; k < 23; k++) twoHubs.addEdge(k, k + 1, 1);
  twoHubs.addEdge(0, 1, 1);
  out.push_back({"two hubs", twoHubs});
  for (int round = 0; round < 4; round++) {
    out.push_back({"attachment unit " + std::to_string(round), attachment(rng, 40 + 10 * round, 2 + round % 2, 1)});
    out.push_back({"attachment weighted " + std::to_string(round), attachment(rng, 40, 2 + round % 2, 9)});
  }
  out.push_back({"mesh unit", mesh(7, 6, rng, 1)});
  out.push_back({"mesh weighted", mesh(6, 6, rng, 50)});
  return out;
}

int32_t heaviest(const CompactGraph &g) {
  return static_cast<int32_t>(std::max_element(g.degree.begin(), g.degree.end()) - g.degree.begin());
}

// What the packing proves is true: the node's degree is its max flow to the
// hub. The hub-rich graphs prove nodes at all (a packing proving nothing
// would pass the first check alone).
TEST(TreePacking, EveryProvenNodeHasItsDegreeAsItsCutToTheHub) {
  for (const Case &c : cases()) {
    SCOPED_TRACE(c.name);
    CompactGraph g(c.graph.nodeCount(), c.graph.edges());
    int32_t hub = heaviest(g);
    sunder::detail::TreePacking packing = sunder::detail::packTrees(g, hub);
    oracle::MaxFlow flow(g.n, oracleEdges(c.graph));
    int32_t proven = 0;
    for (int32_t v = 0; v < g.n; v++) {
      if (!packing.aloneToHub[v]) continue;
      ASSERT_NE(v, hub);
      EXPECT_EQ(flow.maxFlow(v, hub), g.degree[v]) << "node " << v;
      proven++;
    }
    EXPECT_EQ(proven, packing.proven);
    if (c.name == "wheel" || c.name.rfind("attachment unit", 0) == 0) {
      EXPECT_GT(proven, 0);
    }
  }
}

// The packing's progress only grows, within 0 ... 1, and watching it
// changes nothing the packing proves.
TEST(TreePacking, ProgressGrowsAndChangesNothing) {
  for (const Case &c : cases()) {
    SCOPED_TRACE(c.name);
    CompactGraph g(c.graph.nodeCount(), c.graph.edges());
    int32_t hub = heaviest(g);
    std::vector<double> shares;
    sunder::detail::TreePacking watched =
        sunder::detail::packTrees(g, hub, [&shares](double share) { shares.push_back(share); });
    sunder::detail::TreePacking plain = sunder::detail::packTrees(g, hub);
    EXPECT_EQ(watched.aloneToHub, plain.aloneToHub);
    EXPECT_EQ(watched.trees, plain.trees);
    EXPECT_EQ(watched.scans, plain.scans);
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    for (double share : shares) {
      EXPECT_GE(share, 0);
      EXPECT_LE(share, 1);
    }
    if (plain.trees > 1) {
      EXPECT_FALSE(shares.empty());
    }
  }
}

// A tree of unit capacities: every leaf's only edge is its cut, and the
// first tree packed reaches every leaf by it.
TEST(TreePacking, ProvesEveryLeafOfAUnitTree) {
  std::mt19937_64 rng(5);
  Graph g(60);
  for (int v = 1; v < 60; v++) g.addEdge(static_cast<int32_t>(rng() % v), v, 1);
  CompactGraph compact(g.nodeCount(), g.edges());
  int32_t hub = heaviest(compact);
  sunder::detail::TreePacking packing = sunder::detail::packTrees(compact, hub);
  for (int32_t v = 0; v < compact.n; v++) {
    if (v != hub && compact.first[v + 1] - compact.first[v] == 1) {
      EXPECT_TRUE(packing.aloneToHub[v]) << v;
    }
  }
}

// Where more than fifteen sixteenths of the edges weigh more than 1 the
// packing packs nothing; where a sixteenth weigh 1 it packs.
TEST(TreePacking, LeavesWeightedNetworksOut) {
  Graph g(13);
  for (int k = 1; k < 13; k++) g.addEdge(0, k, 2 + k % 3);
  CompactGraph heavy(g.nodeCount(), g.edges());
  sunder::detail::TreePacking none = sunder::detail::packTrees(heavy, 0);
  EXPECT_EQ(none.trees, 0);
  EXPECT_EQ(none.proven, 0);
  EXPECT_EQ(none.aloneToHub, std::vector<uint8_t>(13, 0));
  g.addEdge(1, 2, 1);  // 1 edge in 13 weighs 1
  CompactGraph mixed(g.nodeCount(), g.edges());
  EXPECT_GT(sunder::detail::packTrees(mixed, 0).trees, 0);
}

// Steered, the queue gives the node nearest the sink first, the last
// queued first among equals, and a node put back comes next again; in
// order, first in first out.
TEST(Steering, TheQueueTakesTheNearestNodeFirst) {
  std::vector<int32_t> distance{3, 1, 2, 1, 0};
  sunder::detail::ActiveQueue queue;
  queue.steer(&distance);
  for (int32_t v : {0, 1, 2, 3}) queue.push(v);
  EXPECT_EQ(queue.take(), 3);
  queue.push(4);
  EXPECT_EQ(queue.take(), 4);
  int32_t next = queue.take();
  EXPECT_EQ(next, 1);
  queue.putBack(next);
  EXPECT_EQ(queue.take(), 1);
  EXPECT_EQ(queue.take(), 2);
  EXPECT_EQ(queue.take(), 0);
  EXPECT_TRUE(queue.empty());
  queue.clear();  // unsteered from here
  for (int32_t v : {2, 0, 1}) queue.push(v);
  EXPECT_EQ(queue.take(), 2);
  queue.putBack(2);
  EXPECT_EQ(queue.size(), 3u);
  EXPECT_EQ(queue.take(), 2);
  EXPECT_EQ(queue.take(), 0);
  EXPECT_EQ(queue.take(), 1);
}

// Every node's distance in arcs, and the unreachable ones one beyond.
TEST(TreePacking, DistancesFromTheRoot) {
  Graph g(6);
  g.addEdge(0, 1, 1);
  g.addEdge(1, 2, 5);
  g.addEdge(2, 3, 1);
  g.addEdge(0, 3, 1);
  g.addEdge(4, 5, 1);  // out of reach
  CompactGraph compact(g.nodeCount(), g.edges());
  EXPECT_EQ(sunder::detail::distancesFrom(compact, 0), (std::vector<int32_t>{0, 1, 2, 1, 3, 3}));
}

// Steered search trees find every cut to the root the plain ones find,
// with and without neighbour proofs.
TEST(Steering, SteeredCutsToTheRootEqualTheMaxFlow) {
  for (const Case &c : cases()) {
    SCOPED_TRACE(c.name);
    auto compact = sunder::detail::makeCompactGraph(c.graph);
    int32_t root = heaviest(*compact);
    sunder::detail::EngineSettings settings;
    settings.compactGraph = compact;
    settings.steerRoot = root;
    settings.rootDistance =
        std::make_shared<const std::vector<int32_t>>(sunder::detail::distancesFrom(*compact, root));
    std::unique_ptr<sunder::detail::CutEngine> engine =
        sunder::detail::makeEngine(sunder::Engine::SearchTrees, c.graph, settings);
    oracle::MaxFlow flow(compact->n, oracleEdges(c.graph));
    for (int32_t s = 0; s < compact->n; s++) {
      if (s == root) continue;
      std::vector<uint8_t> side;
      int64_t value = engine->cut(s, root, side);
      ASSERT_EQ(value, flow.maxFlow(s, root)) << s;
      ASSERT_EQ(oracle::cutCapacity(oracleEdges(c.graph), sideSet(side)), value) << s;
      ASSERT_EQ(side[s], 0);
      ASSERT_EQ(side[root], 1);
    }
  }
}

// Search-tree settings that steer cuts to node 0 by the distances to it.
sunder::detail::EngineSettings steeredToNodeZero(const Graph &g) {
  sunder::detail::EngineSettings settings;
  settings.compactGraph = sunder::detail::makeCompactGraph(g);
  settings.steerRoot = 0;
  settings.rootDistance = std::make_shared<const std::vector<int32_t>>(
      sunder::detail::distancesFrom(*settings.compactGraph, 0));
  return settings;
}

// The cut of node 1 from node 0 by the search trees under `settings`: its
// value, and the augmentations its trees made (node 1 on its side).
std::pair<int64_t, int64_t> cutOneFromZero(const Graph &g,
                                           const sunder::detail::EngineSettings &settings) {
  std::unique_ptr<sunder::detail::CutEngine> engine =
      sunder::detail::makeEngine(sunder::Engine::SearchTrees, g, settings);
  std::vector<uint8_t> side;
  int64_t value = engine->cut(1, 0, side);
  EXPECT_EQ(side[1], 0);
  return {value, engine->counters().augmentations};
}

// A steered cut whose two paths share a node: s = 1 reaches the root 0
// along 1-2-4-5-0 and 1-3-4-5-0 (4-5 and 5-0 doubled), each four arcs and
// so beyond the short paths. The steered search finds both, for the nodes
// of a pushed path may be entered again; no tree grows, so no augmentation.
TEST(Steering, SteeredPathsShareTheNodesOfAPushedPath) {
  Graph g(11);
  for (auto [u, v] : {std::pair{1, 2}, {1, 3}, {2, 4}, {3, 4}, {4, 5}, {4, 5}, {5, 0}, {5, 0}})
    g.addEdge(u, v);
  for (int leaf = 6; leaf <= 10; leaf++) g.addEdge(0, leaf);
  sunder::detail::EngineSettings settings = steeredToNodeZero(g);
  ASSERT_EQ(heaviest(*settings.compactGraph), 0);
  EXPECT_EQ(cutOneFromZero(g, settings), (std::pair<int64_t, int64_t>{2, 0}));
}

// A source next to the root whose flow leaves by a farther neighbour: s = 1
// reaches the root 0 by its own arc and along 1-2-3-4-0, which steps away
// from the root at 2 (distance 2 against 1's 1), runs sideways to 3 and
// comes back by 4. The steered search takes the step away, so again no
// tree grows.
TEST(Steering, SteeredPathsStepAwayFromTheRootOnce) {
  Graph g(9);
  for (auto [u, v] : {std::pair{1, 0}, {1, 2}, {2, 3}, {3, 4}, {4, 0}}) g.addEdge(u, v);
  for (int leaf = 5; leaf <= 8; leaf++) g.addEdge(0, leaf);
  sunder::detail::EngineSettings settings = steeredToNodeZero(g);
  ASSERT_EQ(*settings.rootDistance, (std::vector<int32_t>{0, 1, 2, 2, 1, 1, 1, 1, 1}));
  EXPECT_EQ(cutOneFromZero(g, settings), (std::pair<int64_t, int64_t>{2, 0}));
  // Auto's probe leaves the steered paths out: the trees carry that path.
  settings.steeredPaths = false;
  EXPECT_EQ(cutOneFromZero(g, settings), (std::pair<int64_t, int64_t>{2, 1}));
}

// Every tree edge weighs the max flow between its ends, and the nodes below
// it are a cut of that capacity (a build's tree is indexed as its graph).
void expectCertified(const Graph &g, const sunder::CutTree &t, oracle::MaxFlow &flow) {
  std::vector<std::string> problems = oracle::checkEdgeWeights(
      rootedTree(t), [&](int a, int b) { return flow.maxFlow(a, b); });
  for (std::string &p : oracle::checkCertificates(rootedTree(t), oracleEdges(g)))
    problems.push_back(p);
  ASSERT_TRUE(problems.empty()) << oracle::joinProblems(problems);
}

// Whole builds with the packing and the steering on and off are certified
// cut trees, each the same on one thread and on three.
TEST(TreePacking, BuildsRootedAtTheHubAreCutTrees) {
  for (const Case &c : cases()) {
    oracle::MaxFlow flow(c.graph.nodeCount(), oracleEdges(c.graph));
    for (sunder::Engine engine : {sunder::Engine::Auto, sunder::Engine::ShortestPaths, sunder::Engine::SearchTrees}) {
      for (int mask = 0; mask < 8; mask++) {
        SCOPED_TRACE(c.name + " " + sunder::engineName(engine) + " " + std::to_string(mask));
        sunder::BuildOptions options;
        options.engine = engine;
        options.treePacking = mask & 1;
        options.steering = mask & 2;
        options.decompose = mask & 4;
        sunder::CutTree one = sunder::buildCutTree(c.graph, options);
        expectCertified(c.graph, one, flow);
        options.threads = 3;
        sunder::CutTree three = sunder::buildCutTree(c.graph, options);
        ASSERT_EQ(one.parents(), three.parents());
        ASSERT_EQ(one.weights(), three.weights());
      }
    }
  }
}

}  // namespace
