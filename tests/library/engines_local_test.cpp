// The engines on the compact graph under every combination of the degree
// bound and local resets: each cut and each cut tree judged by Boost's max
// flow, on graphs built to hit the bound's ties and the resets' corners and
// on random sparse graphs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "lib/driver/gusfield.h"
#include "lib/engines/dense.h"
#include "lib/engines/engines.h"
#include "sunder/build.h"
#include "sunder/error.h"
#include "oracle_edges.h"
#include "verify/oracle.h"
#include "verify/solver_tree.h"

namespace {

using sunder::Engine;
using sunder::Graph;
using sunder::detail::CutEngine;
using sunder::detail::EngineSettings;

struct Case {
  std::string name;
  Graph graph;
};

Graph randomTree(int32_t n, std::mt19937 &rng, int64_t maxCap) {
  Graph g(n);
  for (int32_t v = 1; v < n; v++)
    g.addEdge(std::uniform_int_distribution<int32_t>(0, v - 1)(rng), v,
              std::uniform_int_distribution<int64_t>(1, maxCap)(rng));
  return g;
}

Graph randomSparse(int32_t n, int32_t m, std::mt19937 &rng) {
  Graph g(n);
  std::uniform_int_distribution<int32_t> node(0, n - 1);
  std::uniform_int_distribution<int64_t> cap(0, 6);
  for (int32_t k = 0; k < m; k++) g.addEdge(node(rng), node(rng), cap(rng));
  return g;
}

// Ten hubs, hub h joined to 33 + h nodes of the rest, every even hub with
// one parallel edge, so that the heaviest carry the graph's own marks and
// the others, with 32 arcs or more too, marks of their own (see
// CompactGraph::kHubs); a path through the rest and one more edge from each
// of its nodes to an earlier node.
Graph hubGraph(int32_t n, std::mt19937 &rng) {
  Graph g(n);
  for (int32_t h = 0; h < 10; h++) {
    std::vector<int32_t> rest;
    for (int32_t v = 10; v < n; v++) rest.push_back(v);
    std::shuffle(rest.begin(), rest.end(), rng);
    for (int32_t k = 0; k < 33 + h; k++) g.addEdge(h, rest[k], 1 + static_cast<int64_t>(rng() % 3));
    if (h % 2 == 0) g.addEdge(rest[0], h, 1);
  }
  for (int32_t v = 11; v < n; v++) {
    g.addEdge(v - 1, v, 1 + static_cast<int64_t>(rng() % 2));
    g.addEdge(static_cast<int32_t>(rng() % v), v, static_cast<int64_t>(rng() % 3));
  }
  return g;
}

std::vector<Case> cases() {
  std::vector<Case> out;
  std::mt19937 rng(20240611);
  out.push_back({"pendant tree", randomTree(24, rng, 5)});
  {
    Graph g = randomTree(20, rng, 3);  // a tree with pendant paths and a few chords
    for (int k = 0; k < 4; k++) g.addEdge(k, 19 - k, 1 + k % 2);
    out.push_back({"tree with chords", g});
  }
  {
    Graph g(12);
    for (int32_t v = 1; v < 12; v++) g.addEdge(0, v, v % 3 + 1);
    out.push_back({"star", g});
  }
  {
    Graph g(10);  // a cycle of equal capacities: every degree ties
    for (int32_t v = 0; v < 10; v++) g.addEdge(v, (v + 1) % 10, 2);
    g.addEdge(0, 5, 0);
    out.push_back({"equal degrees", g});
  }
  {
    Graph g(8);  // two triangles joined by parallel edges, two isolated nodes
    for (int32_t base : {0, 3})
      for (int32_t k = 0; k < 3; k++) g.addEdge(base + k, base + (k + 1) % 3, 2);
    g.addEdge(2, 3, 1);
    g.addEdge(3, 2, 1);
    g.addEdge(2, 3, 2);
    g.addEdge(1, 1, 7);  // a self loop counts in no cut
    out.push_back({"parallel edges and isolated nodes", g});
  }
  {
    Graph g(9);  // zero capacities only, and a path of zero and one
    for (int32_t v = 0; v + 1 < 9; v++) g.addEdge(v, v + 1, v % 2);
    g.addEdge(0, 8, 0);
    out.push_back({"zero capacities", g});
  }
  for (int k = 0; k < 6; k++)
    out.push_back({"random sparse " + std::to_string(k), randomSparse(28, 30 + 8 * k, rng)});
  // Graphs for the short paths tried before the trees grow, and for the
  // trees taking turns by the arcs they looked at: hubs with common
  // neighbours, unequal capacities on the two arcs of a path s-x-t,
  // parallel and zero-capacity edges on such paths, paths s-x-y-t, and
  // terminals with equal numbers of arcs.
  {
    Graph g(30);
    g.addEdge(0, 1, 2);
    for (int32_t v = 2; v < 20; v++) {
      g.addEdge(0, v, v % 3);
      g.addEdge(1, v, (v + 1) % 4);
    }
    g.addEdge(0, 2, 1);  // parallel to 0-2
    for (int32_t v = 20; v < 30; v++) {
      g.addEdge(v, 2 + (v * 7) % 18, 1 + v % 2);
      g.addEdge(v, v == 29 ? 20 : v + 1, 1);
    }
    g.addEdge(20, 1, 3);
    out.push_back({"two hubs with common neighbours", g});
  }
  {
    Graph g(16);  // hubs 0 and 1 of four arcs each, joined only through 3 hops
    for (int32_t k = 0; k < 4; k++) {
      g.addEdge(0, 2 + k, 2);
      g.addEdge(2 + k, 6 + k, 1 + k % 2);
      g.addEdge(6 + k, 1, 2);
      g.addEdge(2 + k, 10 + k, 1);
      g.addEdge(10 + k, 6 + (k + 1) % 4, 1);
    }
    g.addEdge(14, 0, 0);
    g.addEdge(14, 1, 0);
    g.addEdge(15, 2, 1);
    g.addEdge(15, 9, 1);
    out.push_back({"paths of three hops between equal hubs", g});
  }
  {
    Graph g(40);  // preferential attachment: a few hubs, many light nodes
    for (int32_t v = 1; v < 40; v++)
      for (int k = 0; k < 2; k++) {
        int32_t u = static_cast<int32_t>(rng() % v);
        g.addEdge(std::min<int32_t>(u, static_cast<int32_t>(rng() % v)), v,
                  static_cast<int64_t>(rng() % 3));
      }
    out.push_back({"hubs by preferential attachment", g});
  }
  out.push_back({"hubs with shared and own marks", hubGraph(120, rng)});
  {
    // A wheel whose rim outweighs its spokes: a cut to the hub pushes round
    // the rim along more arcs than the engines list for their restore, which
    // then restores every arc.
    Graph g(151);
    for (int32_t v = 0; v < 150; v++) g.addEdge(v, (v + 1) % 150, 140 + static_cast<int64_t>(rng() % 20));
    for (int32_t v = 0; v < 150; v++) g.addEdge(v, 150, 2);
    out.push_back({"wheel with a heavy rim", g});
  }
  return out;
}

struct Variant {
  Engine engine;
  bool degreeBound, localReset;
};

std::vector<Variant> variants() {
  std::vector<Variant> out;
  for (Engine e : {Engine::ShortestPaths, Engine::SearchTrees})
    for (bool bound : {false, true})
      for (bool local : {false, true}) out.push_back({e, bound, local});
  return out;
}

EngineSettings settingsOf(const Variant &v) {
  EngineSettings s;
  s.degreeBound = v.degreeBound;
  s.localReset = v.localReset;
  return s;
}

std::string describe(const Case &c, const Variant &v) {
  return c.name + (v.engine == Engine::ShortestPaths ? " paths" : " trees") +
         (v.degreeBound ? " bound" : "") + (v.localReset ? " local" : "");
}

// Every pair's value in the tree of a run: the lightest edge on its path.
oracle::FlowTable treeValues(const sunder::detail::GusfieldRun &run) {
  return oracle::lightestOnPaths(oracle::fromRecords(run.records));
}

// Counters as values that compare and print.
std::array<int64_t, 6> countsOf(const sunder::detail::Counters &c) {
  return {c.relabels, c.pushes, c.phases, c.augmentations, c.adoptions, c.scans};
}

// What an engine's counters grew by since `before`.
std::array<int64_t, 6> grownBy(const CutEngine &engine, const sunder::detail::Counters &before) {
  return countsOf(engine.counters() - before);
}

// One engine answers a long sequence of different s-t pairs: every value is
// Boost's, every side separates s from t with exactly that capacity, and a
// fresh engine finds the same sides with the same work, whatever the first
// engine computed before.
TEST(CompactEngines, CutSequencesMatchBoostAndFreshEngines) {
  for (const Case &c : cases()) {
    int32_t n = c.graph.nodeCount();
    oracle::MaxFlow flow(n, oracleEdges(c.graph));
    for (const Variant &v : variants()) {
      std::unique_ptr<CutEngine> engine =
          sunder::detail::makeEngine(v.engine, c.graph, settingsOf(v));
      std::mt19937 rng(n);
      for (int k = 0; k < 3 * n; k++) {
        int32_t s = static_cast<int32_t>(rng() % n), t = static_cast<int32_t>(rng() % n);
        if (s == t) continue;
        std::vector<uint8_t> side;
        sunder::detail::Counters before = engine->counters();
        int64_t value = engine->cut(s, t, side);
        std::array<int64_t, 6> work = grownBy(*engine, before);
        ASSERT_EQ(value, flow.maxFlow(s, t)) << describe(c, v) << " " << s << " " << t;
        ASSERT_EQ(side.size(), static_cast<size_t>(n));
        ASSERT_EQ(side[s], 0) << describe(c, v);
        ASSERT_EQ(side[t], 1) << describe(c, v);
        ASSERT_EQ(oracle::cutCapacity(oracleEdges(c.graph), sideSet(side)), value) << describe(c, v) << " " << s << " " << t;
        std::unique_ptr<CutEngine> fresh =
            sunder::detail::makeEngine(v.engine, c.graph, settingsOf(v));
        std::vector<uint8_t> freshSide;
        sunder::detail::Counters freshBefore = fresh->counters();
        ASSERT_EQ(fresh->cut(s, t, freshSide), value) << describe(c, v);
        EXPECT_EQ(freshSide, side) << describe(c, v) << " " << s << " " << t;
        EXPECT_EQ(grownBy(*fresh, freshBefore), work) << describe(c, v) << " " << s << " " << t;
      }
    }
  }
}

// Whole trees, in sequence and on two worker threads sharing one compact
// graph: every pair's tree value is Boost's max flow. Computations may use
// the cuts committed more than two positions before them (cuts proven
// through a neighbour), and the tree and the counters are the same on one
// thread and two. A source order of the caller's is followed.
TEST(CompactEngines, TreesMatchBoostForEveryPair) {
  for (const Case &c : cases()) {
    int32_t n = c.graph.nodeCount();
    oracle::MaxFlow flow(n, oracleEdges(c.graph));
    std::vector<std::vector<int64_t>> want(n, std::vector<int64_t>(n));
    for (int32_t u = 0; u < n; u++)
      for (int32_t w = u + 1; w < n; w++) want[u][w] = flow.maxFlow(u, w);
    std::vector<int32_t> backwards;  // a source order of the caller's: n - 1 down to 1
    for (int32_t k = n - 1; k >= 1; k--) backwards.push_back(k);
    for (const Variant &v : variants()) {
      sunder::detail::GusfieldRun first;
      for (auto [threads, ordered] : {std::pair<int, bool>{1, false}, {2, false}, {2, true}}) {
        sunder::detail::GusfieldRun run = sunder::detail::startRun(n);
        sunder::detail::DriverOptions options;
        options.threads = threads;
        options.knownLag = 2;
        if (ordered) options.sources = &backwards;
        options.makeEngine = sunder::detail::engineFactory(v.engine, c.graph, settingsOf(v));
        sunder::detail::runGusfield(run, options);
        std::vector<std::vector<int64_t>> got = treeValues(run);
        for (int32_t u = 0; u < n; u++)
          for (int32_t w = u + 1; w < n; w++)
            ASSERT_EQ(got[u][w], want[u][w]) << describe(c, v) << " threads " << threads << " "
                                             << u << " " << w;
        if (ordered) {
          for (int32_t p = 1; p < n; p++) ASSERT_EQ(run.records[p].id, backwards[p - 1]);
          continue;
        }
        if (threads == 1) first = run;
        EXPECT_EQ(countsOf(run.counters), countsOf(first.counters)) << describe(c, v);
        for (int32_t p = 1; p < n; p++)
          EXPECT_EQ(run.records[p].parent, first.records[p].parent) << describe(c, v);
      }
    }
  }
}

// The degree bound ends a computation at a terminal's weighted degree with
// that terminal alone as its side, the lighter one (s on a tie).
TEST(CompactEngines, DegreeBoundGivesTheLighterTerminalAlone) {
  Graph g(4);  // a path 0 - 1 - 2 - 3 with heavy middle: both ends are light
  g.addEdge(0, 1, 2);
  g.addEdge(1, 2, 5);
  g.addEdge(2, 3, 2);
  g.addEdge(0, 3, 1);
  for (Engine e : {Engine::ShortestPaths, Engine::SearchTrees}) {
    std::unique_ptr<CutEngine> engine = sunder::detail::makeEngine(e, g);
    std::vector<uint8_t> side;
    ASSERT_EQ(engine->cut(0, 3, side), 3);  // degrees tie at 3: s alone
    EXPECT_EQ(side, (std::vector<uint8_t>{0, 1, 1, 1}));
    ASSERT_EQ(engine->cut(1, 3, side), 3);  // t is lighter: t alone
    EXPECT_EQ(side, (std::vector<uint8_t>{0, 0, 0, 1}));
  }
}

}  // namespace

// The dense solver's trees on random graphs of 2 to 32 nodes (parallel
// edges, zero capacities, loops): rooted at node 0, every pair's tree value
// is Boost's max flow and every tree edge's cut weighs its weight. The
// matrix entries it looks at add to the count given. Capacities near the
// 64-bit limit saturate instead of wrapping.
TEST(DenseSolver, CutTreesMatchBoostForEveryPair) {
  std::mt19937 rng(8128);
  for (int32_t n : {2, 3, 5, 9, 17, 32}) {
    for (int round = 0; round < 6; round++) {
      Graph g = randomSparse(n, n * (1 + round % 3) + 2, rng);
      int64_t scans = 0;
      sunder::detail::ParentTree d = sunder::detail::denseCutTree(n, g.edges(), scans);
      oracle::RootedTree rooted = rootedTree(d.parent, d.weight);
      std::vector<std::string> problems = oracle::shapeProblems(rooted);
      ASSERT_TRUE(problems.empty()) << oracle::joinProblems(problems);
      problems = oracle::checkCertificates(rooted, oracleEdges(g));
      ASSERT_TRUE(problems.empty()) << n << " nodes, round " << round << "\n"
                                    << oracle::joinProblems(problems);
      oracle::FlowTable got = oracle::lightestOnPaths(rooted);
      oracle::MaxFlow flow(n, oracleEdges(g));
      for (int32_t u = 0; u < n; u++)
        for (int32_t w = u + 1; w < n; w++)
          ASSERT_EQ(got[u][w], flow.maxFlow(u, w)) << n << " nodes, round " << round;
      int64_t more = 1000;
      sunder::detail::denseCutTree(n, g.edges(), more);
      EXPECT_GT(scans, 0);
      EXPECT_EQ(more, 1000 + scans);
    }
  }
  // Sums past 64 bits saturate (a Graph refuses such capacities; the
  // solver itself must not wrap).
  std::vector<sunder::Edge> huge;
  for (int k = 0; k < 3; k++) huge.push_back({0, 1 + k % 2, INT64_MAX - 1});
  int64_t scans = 0;
  sunder::detail::ParentTree d = sunder::detail::denseCutTree(3, huge, scans);
  EXPECT_EQ(d.weight[1], INT64_MAX);
  EXPECT_EQ(d.weight[2], INT64_MAX - 1);
  EXPECT_THROW(sunder::detail::denseCutTree(33, {}, scans), sunder::Error);
}

// A cut proven through a neighbour needs that neighbour's own cut to t to
// be heavy enough: s = 0 hangs on x = 1 alone (capacity 5), and x's cut to
// t = 2 weighs 2, so s's cut to t weighs 2, not s's degree, however well
// s reaches x. With x's cut at 6 (the edge x-t as heavy), s alone is the
// cut. A heavy cut of x to another node (x's cut to node 4 weighs 9) proves
// nothing about t.
TEST(CompactEngines, ANeighbourProvesOnlyWithAHeavyEnoughCut) {
  struct Known {
    int64_t xt;       // capacity of the edge x-t
    int32_t sink;     // the node x's known cut separates it from
    int64_t value;    // that cut's true value
    int64_t expected; // s's cut to t
  };
  for (Known k : {Known{1, 2, 2, 2}, Known{5, 2, 6, 5}, Known{1, 4, 9, 2}}) {
    Graph g(5);
    g.addEdge(0, 1, 5);
    g.addEdge(1, 2, k.xt);
    g.addEdge(2, 3, 5);
    g.addEdge(1, 3, 1);
    g.addEdge(1, 4, 9);
    std::vector<int32_t> position{4, 0, 4, 4, 4}, sink{-1, k.sink, -1, -1, -1};
    std::vector<int64_t> value{0, k.value, 0, 0, 0};
    sunder::detail::KnownCuts known{&position, &sink, &value, 1};
    for (Engine e : {Engine::ShortestPaths, Engine::SearchTrees}) {
      std::unique_ptr<CutEngine> engine = sunder::detail::makeEngine(e, g);
      sunder::detail::CutSides out;
      EXPECT_EQ(engine->cutSides(0, 2, out, INT64_MAX, &known), k.expected)
          << k.xt << " " << k.sink << " " << sunder::engineName(e);
    }
  }
}

// A node x whose known cut to t (or to a node of t's chain of known cuts)
// weighs s's degree or more is a sink of the sink set, one whose cut weighs
// less is not: s's only edge (10) goes to x,
// and x's cut to t (of degree 21) is 1. Told that x's cut weighs 10, the
// search trees trust it and end the flow at x; told 9 (or nothing), they
// find 1.
TEST(CompactEngines, ASinkSetTakesOnlyNodesWithCutsAsHeavyAsTheSource) {
  Graph g(4);
  g.addEdge(0, 1, 10);
  g.addEdge(1, 2, 1);
  g.addEdge(2, 3, 20);
  std::vector<int32_t> position{4, 0, 4, 4}, sink{-1, 2, -1, -1};
  for (auto [told, expected] : {std::pair<int64_t, int64_t>{10, 10}, {9, 1}}) {
    std::vector<int64_t> value{0, told, 0, 0};
    sunder::detail::KnownCuts known{&position, &sink, &value, 1};
    for (bool sets : {true, false}) {
      sunder::detail::EngineSettings settings;
      settings.sinkSets = sets;
      settings.neighbourProofs = false;
      std::unique_ptr<CutEngine> engine = sunder::detail::makeEngine(Engine::SearchTrees, g, settings);
      sunder::detail::CutSides out;
      EXPECT_EQ(engine->cutSides(0, 2, out, INT64_MAX, &known), sets ? expected : 1)
          << "told " << told << " sets " << sets;
    }
  }
  // Through t's chain: x's known cut goes to y, not to t, and t's own
  // known cut goes to y too. Told that t's weighs 10, y is on t's chain
  // and x, whose cut to y weighs 10, is a sink; told 9, the chain ends at t
  // and x is not.
  std::vector<int32_t> chainPosition{4, 0, 1, 4}, chainSink{-1, 3, 3, -1};
  for (auto [told, expected] : {std::pair<int64_t, int64_t>{10, 10}, {9, 1}}) {
    std::vector<int64_t> value{0, 10, told, 0};
    sunder::detail::KnownCuts known{&chainPosition, &chainSink, &value, 2};
    std::unique_ptr<CutEngine> engine = sunder::detail::makeEngine(Engine::SearchTrees, g);
    sunder::detail::CutSides out;
    EXPECT_EQ(engine->cutSides(0, 2, out, INT64_MAX, &known), expected) << "t's cut told " << told;
  }
  // Never where t is lighter than s: x's cut (told 11) would take the flow
  // past t's degree, 2, which is the s-t value.
  Graph h(3);
  h.addEdge(0, 1, 10);
  h.addEdge(1, 2, 1);
  h.addEdge(0, 2, 1);
  std::vector<int32_t> hPosition{3, 0, 3}, hSink{-1, 2, -1};
  std::vector<int64_t> hValue{0, 11, 0};
  sunder::detail::KnownCuts known{&hPosition, &hSink, &hValue, 1};
  std::unique_ptr<CutEngine> engine = sunder::detail::makeEngine(Engine::SearchTrees, h);
  sunder::detail::CutSides out;
  EXPECT_EQ(engine->cutSides(0, 2, out, INT64_MAX, &known), 2);
}

// A flow to a sink whose chain of known cuts holds the root is steered
// towards the root: t's known cut goes to the root r and weighs 100, s's
// degree 5, so r is a sink of the set, and s's only way out, s - a - b - r,
// is a path that approaches r at every step. The steered paths carry all
// of s's flow; the trees make no augmentation. t is not on that path, so
// the short paths find nothing, and without the steering the trees did.
TEST(CompactEngines, AFlowToASinkWhoseChainHoldsTheRootIsSteered) {
  const int32_t r = 0, t = 1, s = 2, a = 3, b = 4;
  Graph g(5);
  g.addEdge(t, r, 100);
  g.addEdge(s, a, 5);
  g.addEdge(a, b, 5);
  g.addEdge(b, r, 5);
  std::shared_ptr<sunder::detail::CompactGraph> compact = sunder::detail::makeCompactGraph(g);
  auto distance = std::make_shared<const std::vector<int32_t>>(sunder::detail::distancesFrom(*compact, r));
  sunder::detail::orderArcsByDistance(*compact, *distance);
  EngineSettings settings;
  settings.neighbourProofs = false;
  settings.compactGraph = compact;
  settings.steerRoot = r;
  settings.rootDistance = distance;
  std::unique_ptr<CutEngine> engine = sunder::detail::makeEngine(Engine::SearchTrees, g, settings);
  std::vector<int32_t> position{5, 0, 1, 5, 5}, sink{-1, r, -1, -1, -1};
  std::vector<int64_t> value{0, 100, 0, 0, 0};
  sunder::detail::KnownCuts known{&position, &sink, &value, 1};
  sunder::detail::CutSides out;
  ASSERT_EQ(engine->cutSides(s, t, out, INT64_MAX, &known), 5);
  EXPECT_EQ(engine->counters().augmentations, 0);
}

namespace {

// The nodes of a side's list, each once (a node that left the source tree
// and joined it again is listed twice).
std::vector<int32_t> nodeSet(std::vector<int32_t> nodes) {
  std::sort(nodes.begin(), nodes.end());
  nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
  return nodes;
}

// The capacity of the cut that `sides` gives between s and t; -1 where s
// and t are not on their own sides.
int64_t cutWeight(const Graph &g, const sunder::detail::CutSides &sides, int32_t s, int32_t t) {
  std::vector<uint8_t> side(g.nodeCount(), sides.listed == 0 ? 1 : 0);
  for (int32_t v : sides.nodes) side[v] = sides.listed;
  if (side[s] != 0 || side[t] != 1) return -1;
  int64_t weight = 0;
  for (const sunder::Edge &e : g.edges())
    if (side[e.u] != side[e.v]) weight += e.capacity;
  return weight;
}

// Tight components joined loosely: a cycle through all nodes and random
// edges, heavy (1 ... 2000) inside a component of `k`, light (1 ... 40)
// between them, as in tanglenet.
Graph tightComponents(int32_t n, int32_t m, int32_t k, std::mt19937 &rng) {
  Graph g(n);
  std::vector<int32_t> component(n);
  for (int32_t &c : component) c = static_cast<int32_t>(rng() % k);
  auto add = [&](int32_t u, int32_t v) {
    int64_t top = component[u] == component[v] ? 2000 : 40;
    g.addEdge(u, v, 1 + static_cast<int64_t>(rng() % top));
  };
  for (int32_t v = 0; v < n; v++) add(v, (v + 1) % n);
  for (int32_t e = n; e < m; e++) {
    int32_t u = static_cast<int32_t>(rng() % n), v = static_cast<int32_t>(rng() % n);
    if (u != v) add(u, v);
  }
  return g;
}

}  // namespace

// With every other node's true cut to t known, each s-t computation of the
// search trees with sink sets gives Boost's value and a side of that
// weight, as the one without does, on tight components and on random
// sparse graphs, and ends most flows for fewer arc looks. Where neither
// computation's sink tree closed first (each lists s's side), the sides are
// the same: the smallest minimum cut's.
TEST(CompactEngines, SinkSetsGiveTheValuesAndSidesOfTheSinkAlone) {
  std::mt19937 rng(2026);
  for (const Graph &g : {tightComponents(120, 1400, 4, rng), randomSparse(150, 400, rng)}) {
    int32_t n = g.nodeCount(), t = 0;
    oracle::MaxFlow flow(n, oracleEdges(g));
    std::vector<int32_t> position(n, 0), sink(n, t);
    std::vector<int64_t> value(n);
    for (int32_t x = 1; x < n; x++) value[x] = flow.maxFlow(x, t);
    position[t] = n;
    sunder::detail::EngineSettings plain;
    plain.sinkSets = false;
    plain.neighbourProofs = false;
    sunder::detail::EngineSettings sets = plain;
    sets.sinkSets = true;
    std::unique_ptr<CutEngine> alone = sunder::detail::makeEngine(Engine::SearchTrees, g, plain);
    std::unique_ptr<CutEngine> withSets = sunder::detail::makeEngine(Engine::SearchTrees, g, sets);
    for (int32_t s = 1; s < n; s++) {
      sunder::detail::KnownCuts known{&position, &sink, &value, 1};
      value[s] = 0;  // s's own cut is the one to find
      sunder::detail::CutSides a, b;
      int64_t want = alone->cutSides(s, t, a, INT64_MAX, &known);
      ASSERT_EQ(want, flow.maxFlow(s, t)) << s;
      ASSERT_EQ(withSets->cutSides(s, t, b, INT64_MAX, &known), want) << s;
      EXPECT_EQ(cutWeight(g, a, s, t), want) << s;
      EXPECT_EQ(cutWeight(g, b, s, t), want) << s;
      if (a.listed == 0 && b.listed == 0) {
        EXPECT_EQ(nodeSet(b.nodes), nodeSet(a.nodes)) << s;
      }
      value[s] = want;
    }
    if (n == 120) {
      EXPECT_LT(withSets->counters().scans, alone->counters().scans);
    }
  }
}

// A light sink on a pendant pair (t and u, hung from the rest by edges of
// 2 and 3) of a graph of 400 nodes and 1,600 heavier edges: the sink tree
// closes on {t, u} long before the source tree would have reached every
// node, and the search trees list that side, of Boost's value 5, having
// looked at fewer arcs than the rest of the graph has; from the pair's
// other end the same cut comes as s's side.
TEST(CompactEngines, ASinkTreeThatClosesFirstGivesItsSide) {
  std::mt19937 rng(404);
  const int32_t n = 400, t = n, u = n + 1;
  Graph g(n + 2);
  std::uniform_int_distribution<int32_t> node(0, n - 1);
  std::uniform_int_distribution<int64_t> cap(10, 100);
  for (int32_t v = 0; v < n; v++) g.addEdge(v, (v + 1) % n, cap(rng));
  for (int32_t k = n; k < 1600; k++) g.addEdge(node(rng), node(rng), cap(rng));
  g.addEdge(t, u, 50);
  g.addEdge(u, 0, 3);
  g.addEdge(t, 1, 2);
  oracle::MaxFlow flow(g.nodeCount(), oracleEdges(g));
  for (int32_t s : {7, 200}) {
    std::unique_ptr<CutEngine> engine = sunder::detail::makeEngine(Engine::SearchTrees, g);
    sunder::detail::CutSides out;
    ASSERT_EQ(engine->cutSides(s, t, out, INT64_MAX, nullptr), 5) << s;
    ASSERT_EQ(flow.maxFlow(s, t), 5);
    EXPECT_EQ(out.listed, 1) << s;
    EXPECT_EQ(nodeSet(out.nodes), (std::vector<int32_t>{t, u})) << s;
    EXPECT_LT(engine->counters().scans, 2 * 1600) << s;
    sunder::detail::CutSides back;
    ASSERT_EQ(engine->cutSides(u, s, back, INT64_MAX, nullptr), 5);
    EXPECT_EQ(cutWeight(g, back, u, s), 5);
  }
}

// A dense graph of tight components (over 24 arcs a node): the run takes
// the heaviest sources first and ends flows at the sink sets. Its tree is
// a cut tree by Boost, the same on two threads, and, with the steering off
// (the same order either way), the same with the sink sets off, which then
// looks at more arcs.
TEST(CompactEngines, SinkSetsKeepTheTreeOnAnyThreadCount) {
  std::mt19937 rng(8000);
  Graph g = tightComponents(600, 12000, 6, rng);
  sunder::BuildOptions o;
  o.engine = Engine::SearchTrees;
  sunder::CutTree one = sunder::buildCutTree(g, o);
  oracle::RootedTree rooted = rootedTree(one.parents(), one.weights());
  ASSERT_EQ(oracle::joinProblems(oracle::checkCertificates(rooted, oracleEdges(g))), "");
  oracle::MaxFlow flow(g.nodeCount(), oracleEdges(g));
  auto maxFlow = [&flow](int u, int v) { return flow.maxFlow(u, v); };
  ASSERT_EQ(oracle::joinProblems(oracle::checkEdgeWeights(rooted, maxFlow)), "");
  o.threads = 2;
  sunder::CutTree two = sunder::buildCutTree(g, o);
  EXPECT_EQ(two.parents(), one.parents());
  EXPECT_EQ(two.weights(), one.weights());
  EXPECT_EQ(two.stats().scans, one.stats().scans);
  o.threads = 1;
  o.steering = false;
  sunder::CutTree sets = sunder::buildCutTree(g, o);
  o.sinkSets = false;
  sunder::CutTree alone = sunder::buildCutTree(g, o);
  EXPECT_EQ(sets.parents(), alone.parents());
  EXPECT_EQ(sets.weights(), alone.weights());
  EXPECT_LT(sets.stats().scans, alone.stats().scans);
}

// The default build takes its sources heaviest first with the sink sets,
// on a dense graph and on a sparse weighted one alike: it looks at fewer
// arcs than without them (lightest first), with the same tree.
TEST(CompactEngines, SinkSetsOnDenseAndSparseGraphs) {
  std::mt19937 rng(8001);
  for (bool dense : {true, false}) {
    Graph g = dense ? tightComponents(600, 12000, 6, rng) : tightComponents(600, 2400, 6, rng);
    sunder::BuildOptions o;
    o.engine = Engine::SearchTrees;
    sunder::CutTree sets = sunder::buildCutTree(g, o);
    o.sinkSets = false;
    sunder::CutTree alone = sunder::buildCutTree(g, o);
    EXPECT_EQ(sets.parents(), alone.parents()) << dense;
    EXPECT_EQ(sets.weights(), alone.weights()) << dense;
    EXPECT_LT(sets.stats().scans, alone.stats().scans) << dense;
  }
}

// A sparse graph of unit capacities goes heaviest first with the sink sets
// too: fewer arc looks than lightest first without them, and a cut tree
// (certificates and every edge by Boost) of the same weights (the order
// changes which of several equal cuts a node takes, not their values).
namespace {

// A ring of n nodes and 2n random chords, every capacity 1 (no parallel
// edges: those would merge into heavier ones).
Graph sparseUnitGraph(int32_t n, std::mt19937 &rng) {
  Graph g(n);
  std::uniform_int_distribution<int32_t> node(0, n - 1);
  std::set<std::pair<int32_t, int32_t>> edges;
  for (int32_t v = 0; v < n; v++) edges.insert(std::minmax(v, (v + 1) % n));
  while (static_cast<int32_t>(edges.size()) < 3 * n) {
    int32_t u = node(rng), v = node(rng);
    if (u != v) edges.insert(std::minmax(u, v));
  }
  for (auto [u, v] : edges) g.addEdge(u, v, 1);
  return g;
}

}  // namespace

TEST(CompactEngines, SinkSetsOnUnitCapacities) {
  std::mt19937 rng(8002);
  Graph g = sparseUnitGraph(800, rng);
  sunder::BuildOptions o;
  o.engine = Engine::SearchTrees;
  o.decompose = false;
  sunder::CutTree sets = sunder::buildCutTree(g, o);
  o.sinkSets = false;
  sunder::CutTree alone = sunder::buildCutTree(g, o);
  std::vector<int64_t> a = sets.weights(), b = alone.weights();
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  EXPECT_EQ(a, b);
  EXPECT_LT(sets.stats().scans, alone.stats().scans);
  oracle::RootedTree rooted = rootedTree(sets.parents(), sets.weights());
  EXPECT_EQ(oracle::joinProblems(oracle::checkCertificates(rooted, oracleEdges(g))), "");
  oracle::MaxFlow flow(g.nodeCount(), oracleEdges(g));
  auto maxFlow = [&flow](int u, int v) { return flow.maxFlow(u, v); };
  EXPECT_EQ(oracle::joinProblems(oracle::checkEdgeWeights(rooted, maxFlow)), "");
}

// The predicted work of that heaviest-first run counts the hub's
// neighbours' flows as a sparse graph's, not many times over as a dense
// graph's first flows are (the time left of price 10^6 was 8.9 times off
// with that): after a tenth of the cuts, well under a third of the work.
TEST(CompactEngines, ASparseHeaviestFirstRunIsPredictedAsSparse) {
  std::mt19937 rng(8002);
  Graph g = sparseUnitGraph(800, rng);
  sunder::BuildOptions o;
  o.engine = Engine::SearchTrees;
  o.decompose = false;
  o.threads = 1;
  int64_t cuts = 0, total = 0;
  double shareAtATenth = -1;
  o.progress = [&](int64_t done, int64_t all) { cuts = done, total = all; };
  o.progressWork = [&](int64_t done, int64_t all) {
    if (shareAtATenth < 0 && 10 * cuts >= total && total > 0)
      shareAtATenth = static_cast<double>(done) / static_cast<double>(all);
  };
  sunder::buildCutTree(g, o);
  ASSERT_GE(shareAtATenth, 0);
  EXPECT_LT(shareAtATenth, 0.3);  // 0.15; 0.61 with the dense graphs' factor
}

namespace {

// A run's tree, counters and arcs looked at by position, for comparing runs.
void expectSameRun(const sunder::detail::GusfieldRun &got,
                   const sunder::detail::GusfieldRun &want, const std::string &what) {
  EXPECT_EQ(countsOf(got.counters), countsOf(want.counters)) << what;
  EXPECT_EQ(got.scansAfter, want.scansAfter) << what;
  ASSERT_EQ(got.records.size(), want.records.size()) << what;
  for (size_t p = 1; p < want.records.size(); p++) {
    EXPECT_EQ(got.records[p].id, want.records[p].id) << what << " position " << p;
    EXPECT_EQ(got.records[p].parent, want.records[p].parent) << what << " position " << p;
    EXPECT_EQ(got.records[p].weight, want.records[p].weight) << what << " position " << p;
  }
}

// The driver's run on g with the engines of `engine`, each wrapped by
// `wrap` when given.
using EngineWrap = std::function<std::unique_ptr<CutEngine>(std::unique_ptr<CutEngine>)>;
sunder::detail::GusfieldRun runOn(const Graph &g, Engine engine, int threads, int32_t lag,
                                  const EngineWrap &wrap = nullptr) {
  sunder::detail::GusfieldRun run = sunder::detail::startRun(g.nodeCount());
  sunder::detail::DriverOptions options;
  options.threads = threads;
  options.knownLag = lag;
  auto factory = sunder::detail::engineFactory(engine, g);
  options.makeEngine = [&] { return wrap ? wrap(factory()) : factory(); };
  sunder::detail::runGusfield(run, options);
  return run;
}

}  // namespace

// Every engine on a graph with hubs and parallel edges, where the search
// trees' marks and the solver's first compaction once made the work of a
// computation depend on what its engine had computed before: the tree, the
// counters and the arcs looked at after each position are those of one
// thread on two and three threads, run after run.
TEST(GusfieldDriver, CountersAreTheSameForEveryThreadCount) {
  std::mt19937 rng(4242);
  Graph g = hubGraph(300, rng);
  for (Engine e : {Engine::PushRelabel, Engine::PushRelabelGlobal, Engine::ShortestPaths, Engine::SearchTrees}) {
    sunder::detail::GusfieldRun one = runOn(g, e, 1, 16);
    for (int round = 0; round < 3; round++)
      for (int threads : {2, 3})
        expectSameRun(runOn(g, e, threads, 16), one,
                      std::string(sunder::engineName(e)) + " on " + std::to_string(threads) +
                          " threads, round " + std::to_string(round));
  }
}

namespace {

// What the engines of one run were asked, shared by all of them: each
// computation's position, the positions committed when it started, `before`
// of its known cuts, its terminals and value, and whether every known cut
// it was shown is the one committed in `reference` (when given). When
// `hold`, position 1 is held back until the other threads have computed all
// they may while nothing is committed (positions 2 ... lag), and a little
// longer, so that a thread that could run further ahead does.
class WindowLog {
 public:
  struct Seen {
    int32_t at, committed, before, s, t;
    int64_t value;
  };

  WindowLog(int32_t lag, bool hold, const std::vector<Seen> *reference)
      : lag_(lag), hold_(hold), reference_(reference) {}

  void started(const sunder::detail::KnownCuts &known) {
    bool same = reference_ == nullptr || sameAsReference(known);
    std::unique_lock<std::mutex> lock(mu_);
    sameKnown_ = sameKnown_ && same;
    if (known.at != 1) {
      othersStarted_++;
    } else if (hold_) {
      changed_.wait_for(lock, std::chrono::seconds(20), [&] { return othersDone_ >= lag_ - 1; });
      changed_.wait_for(lock, std::chrono::milliseconds(250),
                        [&] { return othersStarted_ >= lag_; });
    }
  }

  void finished(const sunder::detail::KnownCuts &known, int32_t s, int32_t t, int64_t value) {
    std::lock_guard<std::mutex> lock(mu_);
    seen_.push_back({known.at, known.committed, known.before, s, t, value});
    if (known.at != 1) othersDone_++;
    changed_.notify_all();
  }

  std::vector<Seen> seen() {
    std::lock_guard<std::mutex> lock(mu_);
    return seen_;
  }
  bool sameKnown() {
    std::lock_guard<std::mutex> lock(mu_);
    return sameKnown_;
  }

 private:
  // Every node's known cut is the one the reference committed at its
  // position (in sequence, one computation for each position).
  bool sameAsReference(const sunder::detail::KnownCuts &known) const {
    for (const Seen &r : *reference_)
      if (known.has(r.s) && ((*known.sink)[r.s] != r.t || (*known.value)[r.s] != r.value))
        return false;
    return true;
  }

  int32_t lag_;
  bool hold_;
  const std::vector<Seen> *reference_;
  std::mutex mu_;
  std::condition_variable changed_;
  std::vector<Seen> seen_;
  int32_t othersStarted_ = 0, othersDone_ = 0;
  bool sameKnown_ = true;
};

// A real engine that tells the log about every computation.
class LoggedEngine : public CutEngine {
 public:
  LoggedEngine(std::unique_ptr<CutEngine> engine, WindowLog &log)
      : engine_(std::move(engine)), log_(log) {}
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t scanLimit) override {
    return engine_->cut(s, t, side, scanLimit);
  }
  int64_t cutSides(int32_t s, int32_t t, sunder::detail::CutSides &out, int64_t scanLimit,
                   const sunder::detail::KnownCuts *known) override {
    log_.started(*known);
    int64_t value = engine_->cutSides(s, t, out, scanLimit, known);
    log_.finished(*known, s, t, value);
    return value;
  }
  sunder::detail::Counters counters() const override { return engine_->counters(); }

 private:
  std::unique_ptr<CutEngine> engine_;
  WindowLog &log_;
};

sunder::detail::GusfieldRun loggedRun(const Graph &g, int threads, int32_t lag, WindowLog &log) {
  return runOn(g, Engine::SearchTrees, threads, lag, [&log](std::unique_ptr<CutEngine> engine) {
    return std::unique_ptr<CutEngine>(std::make_unique<LoggedEngine>(std::move(engine), log));
  });
}

}  // namespace

// The speculation window: on several threads with a small lag, while
// position 1 is held back the others compute positions 2 ... lag and no
// further, no computation ever starts more than the lag ahead of the
// commits, every known cut an engine is shown is the one the sequential
// run committed, and the run is the sequential one. A lag of 40 is 16 at
// the first positions and grows by one every 8 positions from position 128
// on (to 37 at the last of 299).
TEST(GusfieldDriver, ThreadsStayWithinTheLag) {
  std::mt19937 rng(77);
  Graph g = hubGraph(300, rng);
  for (int32_t lag : {4, 9, 40}) {
    auto lagAt = [lag](int32_t k) { return std::min(lag, std::max(16, k / 8)); };
    WindowLog sequentialLog(lagAt(1), false, nullptr);
    sunder::detail::GusfieldRun one = loggedRun(g, 1, lag, sequentialLog);
    std::vector<WindowLog::Seen> reference = sequentialLog.seen();
    ASSERT_EQ(reference.size(), 299u);
    for (size_t k = 0; k < reference.size(); k++) {
      ASSERT_EQ(reference[k].at, static_cast<int32_t>(k + 1));
      ASSERT_EQ(reference[k].committed, reference[k].at - 1);
    }
    for (int threads : {2, 3, 4}) {
      std::string what = "lag " + std::to_string(lag) + ", " + std::to_string(threads) + " threads";
      WindowLog log(lagAt(1), true, &reference);
      expectSameRun(loggedRun(g, threads, lag, log), one, what);
      EXPECT_TRUE(log.sameKnown()) << what;
      int32_t lead = 0;
      for (const WindowLog::Seen &c : log.seen()) {
        EXPECT_LE(c.at - c.committed, lagAt(c.at)) << what << ", position " << c.at;
        EXPECT_EQ(c.before, c.at - lagAt(c.at)) << what << ", position " << c.at;
        if (c.at <= lagAt(1) + 1) lead = std::max(lead, c.at - c.committed);
      }
      // Held at position 1, the threads reached the window's edge.
      EXPECT_EQ(lead, lagAt(1)) << what;
    }
  }
}
