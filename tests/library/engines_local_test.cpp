// The engines on the compact graph under every combination of the degree
// bound and local resets: each cut and each cut tree judged by Boost's max
// flow, on graphs built to hit the bound's ties and the resets' corners and
// on random sparse graphs.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "lib/driver/gusfield.h"
#include "lib/engines/dense.h"
#include "lib/engines/engines.h"
#include "sunder/build.h"
#include "sunder/error.h"
#include "verify/oracle.h"

namespace {

using sunder::Engine;
using sunder::Graph;
using sunder::detail::CutEngine;
using sunder::detail::EngineSettings;

struct Case {
  std::string name;
  Graph graph;
};

std::vector<oracle::Edge> oracleEdges(const Graph &g) {
  std::vector<oracle::Edge> edges;
  for (const sunder::Edge &e : g.edges()) edges.push_back({e.u, e.v, e.capacity});
  return edges;
}

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
  return out;
}

struct Variant {
  Engine engine;
  bool degreeBound, localReset;
};

std::vector<Variant> variants() {
  std::vector<Variant> out;
  for (Engine e : {Engine::Paths, Engine::Trees})
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
  return c.name + (v.engine == Engine::Paths ? " paths" : " trees") +
         (v.degreeBound ? " bound" : "") + (v.localReset ? " local" : "");
}

// The capacity of the edges between side 0 and side 1.
int64_t crossing(const Graph &g, const std::vector<uint8_t> &side) {
  int64_t sum = 0;
  for (const sunder::Edge &e : g.edges())
    if (side[e.u] != side[e.v]) sum += e.capacity;
  return sum;
}

// Every pair's value in the tree of a run: the lightest edge on its path.
std::vector<std::vector<int64_t>> treeValues(const sunder::detail::GusfieldRun &run) {
  int32_t n = run.n;
  std::vector<std::vector<std::pair<int32_t, int64_t>>> adj(n);
  for (int32_t pos = 1; pos < n; pos++) {
    const tree &r = run.records[pos];
    adj[r.id].push_back({r.parent, r.weight});
    adj[r.parent].push_back({r.id, r.weight});
  }
  std::vector<std::vector<int64_t>> value(n, std::vector<int64_t>(n, -1));
  for (int32_t u = 0; u < n; u++) {
    std::vector<int32_t> stack = {u};
    value[u][u] = INT64_MAX;
    while (!stack.empty()) {
      int32_t v = stack.back();
      stack.pop_back();
      for (auto [w, c] : adj[v])
        if (value[u][w] < 0) {
          value[u][w] = std::min(value[u][v], c);
          stack.push_back(w);
        }
    }
  }
  return value;
}

// One engine answers a long sequence of different s-t pairs: every value is
// Boost's, every side separates s from t with exactly that capacity, and a
// fresh engine agrees on the value.
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
        int64_t value = engine->cut(s, t, side);
        ASSERT_EQ(value, flow.maxFlow(s, t)) << describe(c, v) << " " << s << " " << t;
        ASSERT_EQ(side.size(), static_cast<size_t>(n));
        ASSERT_EQ(side[s], 0) << describe(c, v);
        ASSERT_EQ(side[t], 1) << describe(c, v);
        ASSERT_EQ(crossing(c.graph, side), value) << describe(c, v) << " " << s << " " << t;
        std::vector<uint8_t> freshSide;
        ASSERT_EQ(sunder::detail::makeEngine(v.engine, c.graph, settingsOf(v))
                      ->cut(s, t, freshSide),
                  value)
            << describe(c, v);
      }
    }
  }
}

// Whole trees, in sequence and on two worker threads sharing one compact
// graph: every pair's tree value is Boost's max flow. Computations may use
// the cuts committed two positions before them (cuts proven through a
// neighbour), and the tree (and for shortest paths the arcs looked at) is
// the same on one thread and two. A source order of the caller's is
// followed.
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
        // The search trees' marks last from one computation to the next, so
        // their counts depend on which thread computed what.
        if (v.engine == Engine::Paths) {
          EXPECT_EQ(run.counters.scans, first.counters.scans) << describe(c, v);
        }
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
  for (Engine e : {Engine::Paths, Engine::Trees}) {
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
// edges, zero capacities, loops): every pair's tree value is Boost's max
// flow. Capacities near the 64-bit limit saturate instead of wrapping.
TEST(DenseSolver, TreesMatchBoostForEveryPair) {
  std::mt19937 rng(8128);
  for (int32_t n : {2, 3, 5, 9, 17, 32}) {
    for (int round = 0; round < 6; round++) {
      Graph g = randomSparse(n, n * (1 + round % 3) + 2, rng);
      sunder::detail::DenseTree d = sunder::detail::denseCutTree(n, g.edges());
      sunder::detail::GusfieldRun run = sunder::detail::startRun(n);
      for (int32_t k = 1; k < n; k++) {
        run.records[k].id = k;
        run.records[k].parent = d.parent[k];
        run.records[k].weight = d.weight[k];
      }
      ASSERT_EQ(d.parent[0], -1);
      std::vector<std::vector<int64_t>> got = treeValues(run);
      oracle::MaxFlow flow(n, oracleEdges(g));
      for (int32_t u = 0; u < n; u++)
        for (int32_t w = u + 1; w < n; w++)
          ASSERT_EQ(got[u][w], flow.maxFlow(u, w)) << n << " nodes, round " << round;
    }
  }
  Graph huge(3);
  for (int k = 0; k < 3; k++) huge.addEdge(0, 1 + k % 2, INT64_MAX - 1);
  sunder::detail::DenseTree d = sunder::detail::denseCutTree(3, huge.edges());
  EXPECT_EQ(d.weight[1], INT64_MAX);
  EXPECT_EQ(d.weight[2], INT64_MAX - 1);
  EXPECT_THROW(sunder::detail::denseCutTree(33, {}), sunder::Error);
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
    for (Engine e : {Engine::Paths, Engine::Trees}) {
      std::unique_ptr<CutEngine> engine = sunder::detail::makeEngine(e, g);
      sunder::detail::CutSides out;
      EXPECT_EQ(engine->cutSides(0, 2, out, INT64_MAX, &known), k.expected)
          << k.xt << " " << k.sink << " " << sunder::engineName(e);
    }
  }
}
