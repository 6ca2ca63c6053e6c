// Builds that spare memory: a graph the build takes over and frees once it
// has the edges in its own arrays, and residual capacities kept in 32 bits
// where every residual fits them. Trees are judged by Boost's max flow and
// against the build of the same graph that keeps it.
#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <algorithm>

#include "lib/engines/compact_graph.h"
#include "oracle_edges.h"
#include "sunder/sunder.h"
#include "verify/oracle.h"

namespace {

using sunder::Capacity;

// Every tree edge against Boost, and every pair's value against the path
// minimum (a tree edge's weight is the pair's max flow: enough to tell a
// wrong residual, which gives a wrong flow).
void expectTreeOfFlows(const sunder::Graph &g, const sunder::CutTree &t) {
  oracle::MaxFlow flow(g.nodeCount(), oracleEdges(g));
  for (int32_t u = 0; u < g.nodeCount(); u++)
    for (int32_t v = u + 1; v < g.nodeCount(); v++)
      ASSERT_EQ(t.minCutValue(g.idOf(u), g.idOf(v)), flow.maxFlow(u, v)) << u << " " << v;
}

// With `simple`, no self loops and no parallel edges (which merge into
// heavier ones).
sunder::Graph randomGraph(std::mt19937 &rng, int n, int m, Capacity low, Capacity high,
                          bool simple = false) {
  sunder::Graph g(n);
  std::uniform_int_distribution<Capacity> cap(low, high);
  std::vector<std::vector<bool>> joined(n, std::vector<bool>(n, false));
  for (int k = 0; k < m; k++) {
    int u = static_cast<int>(rng() % n), v = static_cast<int>(rng() % n);
    if (simple && (u == v || joined[u][v])) continue;
    joined[u][v] = joined[v][u] = true;
    g.addEdge(u, v, cap(rng));
  }
  return g;
}

// A ring of blocks: cliques of 5 joined in a cycle by single edges, so the
// graph splits into blocks and bridges only where a clique hangs off.
sunder::Graph blocksGraph(std::mt19937 &rng, int cliques) {
  sunder::Graph g(5 * cliques + 2);
  for (int c = 0; c < cliques; c++) {
    for (int a = 0; a < 5; a++)
      for (int b = a + 1; b < 5; b++) g.addEdge(5 * c + a, 5 * c + b, 1 + rng() % 4);
    g.addEdge(5 * c, 5 * ((c + 1) % cliques) + 1, 1 + rng() % 3);
  }
  g.addEdge(0, 5 * cliques, 2);  // a bridge
  g.addEdge(5 * cliques, 5 * cliques + 1, 3);
  return g;
}

TEST(OwnedGraph, GivesTheTreeOfTheKeptGraphAndLeavesItEmpty) {
  std::mt19937 rng(3);
  const sunder::Engine engines[] = {sunder::Engine::Auto, sunder::Engine::PushRelabel,
                                    sunder::Engine::PushRelabelGlobal, sunder::Engine::ShortestPaths,
                                    sunder::Engine::SearchTrees};
  for (int round = 0; round < 6; round++) {
    sunder::Graph g = round % 2 ? blocksGraph(rng, 3 + round) : randomGraph(rng, 30, 90, 1, 9);
    for (sunder::Engine engine : engines) {
      for (int threads : {1, 2}) {
        sunder::BuildOptions o;
        o.engine = engine;
        o.threads = threads;
        sunder::CutTree kept = sunder::buildCutTree(g, o);
        sunder::Graph copy = g;
        sunder::CutTree owned = sunder::buildCutTree(std::move(copy), o);
        EXPECT_EQ(owned.parents(), kept.parents()) << round;
        EXPECT_EQ(owned.weights(), kept.weights()) << round;
        EXPECT_EQ(owned.ids(), kept.ids());
        EXPECT_EQ(copy.nodeCount(), 0);
        EXPECT_EQ(copy.edgeCount(), 0);
        EXPECT_EQ(copy.totalCapacity(), 0);
      }
    }
    expectTreeOfFlows(g, sunder::buildCutTree(sunder::Graph(g)));
  }
}

TEST(OwnedGraph, AnEmptyOrTinyGraphBuildsToo) {
  EXPECT_EQ(sunder::buildCutTree(sunder::Graph()).nodeCount(), 0);
  sunder::Graph one(1);
  EXPECT_EQ(sunder::buildCutTree(std::move(one)).nodeCount(), 1);
  sunder::Graph two;
  two.addEdge(7, 9, 4);
  sunder::CutTree t = sunder::buildCutTree(std::move(two));
  EXPECT_EQ(t.minCutValue(7, 9), 4);
}

// Capacities at the edges of 16- and 32-bit residuals: an arc's residual
// reaches twice its edge's capacity when the flow runs back along its twin,
// so 2^14 - 1 is the heaviest capacity kept in 16 bits and 2^30 - 1 in 32;
// one more is kept wider, where flows would wrap.
TEST(NarrowResiduals, HoldAtTheirBoundAndWideOnesBeyond) {
  std::mt19937 rng(5);
  const Capacity bits16 = INT16_MAX / 2, bits32 = INT32_MAX / 2;
  for (Capacity high : {bits16, bits16 + 1, bits32, bits32 + 1, Capacity{INT32_MAX}, Capacity{1} << 40}) {
    sunder::Graph one;
    one.addEdge(0, 1, high);
    EXPECT_EQ(sunder::detail::CompactGraph(2, one.edges()).residualBits(),
              high <= bits16 ? 16 : high <= bits32 ? 32 : 64);
    for (int round = 0; round < 4; round++) {
      sunder::Graph g = randomGraph(rng, 24, 80, high - 50, high, true);
      for (sunder::Engine engine : {sunder::Engine::ShortestPaths, sunder::Engine::SearchTrees}) {
        sunder::BuildOptions o;
        o.engine = engine;
        o.decompose = round % 2 == 0;
        expectTreeOfFlows(g, sunder::buildCutTree(g, o));
      }
    }
  }
}

// Graphs whose merged edges all weigh the same keep one capacity for every
// arc; parallel edges that merge into a heavier one, or a single edge of
// another weight, keep them all. Unit, narrow-bound and wide capacities.
TEST(UniformCapacities, AreOneValueOnlyWhenEveryMergedEdgeWeighsIt) {
  std::mt19937 rng(8);
  for (Capacity c : {Capacity{1}, Capacity{INT16_MAX / 2}, Capacity{INT32_MAX / 2}, Capacity{1} << 40}) {
    for (int variant = 0; variant < 3; variant++) {
      sunder::Graph g = randomGraph(rng, 20, 70, c, c, true);
      if (variant == 1) g.addEdge(g.edges()[0].u, g.edges()[0].v, c);  // merges into 2c
      if (variant == 2) g.addEdge(0, 19, c + 1);
      sunder::detail::CompactGraph compact(g.nodeCount(), g.edges());
      ASSERT_EQ(compact.cap.size(), compact.head.size());
      for (size_t a = 0; a < compact.head.size(); a++) {
        int32_t u = compact.head[compact.twin[a]], v = compact.head[a];
        Capacity merged = 0;
        for (const sunder::Edge &e : g.edges())
          if ((e.u == u && e.v == v) || (e.u == v && e.v == u)) merged += e.capacity;
        ASSERT_EQ(compact.cap[a], merged) << c << " " << variant << " arc " << a;
      }
      for (sunder::Engine engine : {sunder::Engine::ShortestPaths, sunder::Engine::SearchTrees}) {
        sunder::BuildOptions o;
        o.engine = engine;
        o.decompose = variant != 1;
        expectTreeOfFlows(g, sunder::buildCutTree(g, o));
      }
    }
  }
}

// Arcs put in order of distance keep every edge: each node's arcs go
// nearest the root first (the earlier head first among equals), each arc's
// twin leads back to its node with the same capacity, and every edge is
// there once each way.
TEST(ArcOrder, ByDistanceKeepsEveryEdgeAndItsTwin) {
  std::mt19937 rng(11);
  for (Capacity high : {Capacity{1}, Capacity{1000}, Capacity{1} << 40}) {
    sunder::Graph g = randomGraph(rng, 30, 120, 1, high, true);
    sunder::detail::CompactGraph compact(g.nodeCount(), g.edges());
    std::vector<std::tuple<int32_t, int32_t, Capacity>> before, after;
    auto arcsOf = [](const sunder::detail::CompactGraph &c) {
      std::vector<std::tuple<int32_t, int32_t, Capacity>> arcs;
      for (int32_t v = 0; v < c.n; v++)
        for (int32_t a = c.first[v]; a < c.first[v + 1]; a++) arcs.emplace_back(v, c.head[a], c.cap[a]);
      std::sort(arcs.begin(), arcs.end());
      return arcs;
    };
    before = arcsOf(compact);
    std::vector<int32_t> distance = sunder::detail::distancesFrom(compact, 7);
    sunder::detail::orderArcsByDistance(compact, distance);
    EXPECT_EQ(arcsOf(compact), before) << high;
    for (int32_t v = 0; v < compact.n; v++)
      for (int32_t a = compact.first[v]; a < compact.first[v + 1]; a++) {
        int32_t b = compact.twin[a];
        ASSERT_EQ(compact.twin[b], a);
        ASSERT_EQ(compact.head[b], v);
        ASSERT_EQ(compact.cap[b], compact.cap[a]);
        if (a > compact.first[v]) {
          int32_t x = compact.head[a - 1], y = compact.head[a];
          ASSERT_TRUE(distance[x] < distance[y] || (distance[x] == distance[y] && x < y)) << v;
        }
      }
  }
}

// A computation that pushes along more arcs than the search trees list
// (1,024 on a small graph) has every residual restored before the next one.
// Two gadgets, each two hubs joined by 600 paths of three edges, and the
// gadgets by two edges: sources go lightest first, so hub 1's cut, which
// pushes along 1,800 arcs, comes before hubs 2 and 3, whose flows to the
// root, hub 0, cross the first gadget again. Every tree edge is judged by
// Boost's max flow (one thread, so one engine computes every cut).
TEST(TouchedArcs, ComputationsPastTheListStartFromTheWholeGraph) {
  std::mt19937 rng(13);
  std::uniform_int_distribution<Capacity> cap(1, 9);
  const int paths = 600, gadget = 2 * paths;
  sunder::Graph g(4 + 2 * gadget);
  const Capacity hubCap[4] = {9, 5, 7, 7};
  for (int h = 0; h < 2; h++)
    for (int k = 0; k < paths; k++) {
      int x = 4 + h * gadget + 2 * k, y = x + 1;
      g.addEdge(2 * h, x, hubCap[2 * h]);
      g.addEdge(x, y, cap(rng));
      g.addEdge(y, 2 * h + 1, hubCap[2 * h + 1]);
      if (k > 0) g.addEdge(x, x - 2, cap(rng));  // the paths side by side
    }
  g.addEdge(4, 4 + gadget, 3);
  g.addEdge(5, 5 + gadget, 3);
  sunder::BuildOptions o;
  o.engine = sunder::Engine::SearchTrees;
  sunder::CutTree t = sunder::buildCutTree(g, o);
  oracle::MaxFlow flow(g.nodeCount(), oracleEdges(g));
  std::vector<sunder::TreeEdge> edges = t.edges();
  ASSERT_EQ(edges.size(), static_cast<size_t>(g.nodeCount() - 1));
  for (const sunder::TreeEdge &e : edges)
    ASSERT_EQ(e.weight, flow.maxFlow(static_cast<int32_t>(e.child), static_cast<int32_t>(e.parent)))
        << e.child << " " << e.parent;
}

}  // namespace
