// Gomory and Hu's method with contraction (Engine::GomoryHu): every tree
// judged by Boost's max flow and by its cut certificates, for every engine
// of its cuts, both pair choices, one and two threads, on wheels and rings
// whose minimum cuts are short arcs (many halves of several nodes, so many
// contracted graphs), on ties, on graphs with zero capacities, parallel
// edges, self loops and several components; Auto's choice of it and its
// switch; progress, cancellation and errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "lib/driver/gomory_hu.h"
#include "lib/engines/engines.h"
#include "lib/engines/warm_preflow.h"
#include "sunder/sunder.h"
#include "oracle_edges.h"
#include "verify/certificate.h"
#include "verify/oracle.h"
#include "sanitizers.h"

namespace {

using sunder::BuildOptions;
using sunder::CutTree;
using sunder::Engine;
using sunder::Graph;

struct Case {
  std::string name;
  Graph graph;
};

// A rim of `rim` nodes with heavy capacities about rim +- spread, odd rim
// nodes joined to one hub and even ones to the other by spokes of 4, the
// hubs joined by 2: the minimum cuts between rim nodes are short arcs.
Graph twoHubWheel(int32_t rim, int32_t spread, std::mt19937 &rng) {
  Graph g(rim + 2);
  std::uniform_int_distribution<int32_t> heavy(rim - spread, rim + spread);
  for (int32_t v = 0; v < rim; v++) g.addEdge(v, (v + 1) % rim, heavy(rng));
  for (int32_t v = 0; v < rim; v++) g.addEdge(v, rim + v % 2, 4);
  g.addEdge(rim, rim + 1, 2);
  return g;
}

// A cycle with random chords, capacities 1 ... 9.
Graph chordedRing(int32_t n, int32_t chords, std::mt19937 &rng) {
  Graph g(n);
  std::uniform_int_distribution<int32_t> node(0, n - 1), cap(1, 9);
  for (int32_t v = 0; v < n; v++) g.addEdge(v, (v + 1) % n, cap(rng));
  for (int32_t k = 0; k < chords; k++) g.addEdge(node(rng), node(rng), cap(rng));
  return g;
}

// Random edges with capacities 0 ... 5: parallel edges, self loops, zero
// capacities and, when sparse, several components.
Graph randomEdges(int32_t n, int32_t m, std::mt19937 &rng) {
  Graph g(n);
  std::uniform_int_distribution<int32_t> node(0, n - 1), cap(0, 5);
  for (int32_t k = 0; k < m; k++) g.addEdge(node(rng), node(rng), cap(rng));
  return g;
}

// Every pair at one value: every cut of the complete graph with equal
// capacities ties with the node alone.
Graph complete(int32_t n) {
  Graph g(n);
  for (int32_t u = 0; u < n; u++)
    for (int32_t v = u + 1; v < n; v++) g.addEdge(u, v, 3);
  return g;
}

std::vector<Case> cases() {
  std::mt19937 rng(20261209);
  std::vector<Case> out;
  out.push_back({"wheel 60", twoHubWheel(58, 5, rng)});
  out.push_back({"wheel 120", twoHubWheel(118, 20, rng)});
  out.push_back({"chorded ring", chordedRing(80, 12, rng)});
  out.push_back({"random dense", randomEdges(40, 200, rng)});
  out.push_back({"random sparse", randomEdges(70, 60, rng)});
  out.push_back({"complete", complete(12)});
  out.push_back({"two nodes", randomEdges(2, 3, rng)});
  return out;
}

// The tree is a cut tree of g: each edge's certificate holds, each edge
// weighs the max flow between its ends, and so does every pair of up to 60
// nodes (200 drawn pairs beyond).
void expectCutTree(const Graph &g, const CutTree &t, const std::string &what) {
  oracle::RootedTree r = rootedTree(t);
  std::vector<oracle::Edge> edges = oracleEdges(g);
  ASSERT_EQ(oracle::joinProblems(oracle::checkCertificates(r, edges)), "") << what;
  oracle::MaxFlow flow(g.nodeCount(), edges);
  auto maxFlow = [&flow](int u, int v) { return flow.maxFlow(u, v); };
  ASSERT_EQ(oracle::joinProblems(oracle::checkEdgeWeights(r, maxFlow)), "") << what;
  std::vector<std::pair<int, int>> pairs;
  std::mt19937 rng(7);
  int n = g.nodeCount();
  for (int u = 0; u < n && n <= 60; u++)
    for (int v = u + 1; v < n; v++) pairs.push_back({u, v});
  while (n > 60 && pairs.size() < 200) {
    int u = static_cast<int>(rng() % n), v = static_cast<int>(rng() % n);
    if (u != v) pairs.push_back({u, v});
  }
  ASSERT_EQ(oracle::joinProblems(oracle::checkPairs(r, pairs, maxFlow)), "") << what;
}

// Gomory and Hu's method on the graph as it is, not split into blocks.
BuildOptions undecomposed() {
  BuildOptions o;
  o.engine = Engine::GomoryHu;
  o.decompose = false;
  return o;
}

// The tree of g by o on one thread, judged by `judge`, and on two threads
// the same tree with the same counters.
template <class Judge>
void expectTheSameOnTwoThreads(const Graph &g, BuildOptions o, Judge judge) {
  o.threads = 1;
  CutTree one = sunder::buildCutTree(g, o);
  judge(one);
  o.threads = 2;
  CutTree two = sunder::buildCutTree(g, o);
  EXPECT_EQ(two.parents(), one.parents());
  EXPECT_EQ(two.weights(), one.weights());
  EXPECT_EQ(two.stats().scans, one.stats().scans);
}

TEST(GomoryHu, EveryFlowEngineAndPairChoiceGivesACutTreeTheSameOnTwoThreads) {
  for (const Case &c : cases()) {
    for (Engine flows : {Engine::PushRelabel, Engine::PushRelabelGlobal, Engine::ShortestPaths, Engine::SearchTrees}) {
      for (int variant = 0; variant < 4 + (flows == Engine::PushRelabelGlobal ? 4 : 0); variant++) {
        bool spread = variant & 1, decompose = variant & 2, batches = variant & 4;
        {
          BuildOptions o;
          o.engine = Engine::GomoryHu;
          o.gomoryHuFlows = flows;
          o.spreadPairs = spread;
          o.decompose = decompose;
          o.sourceRuns = !batches;
          std::string what = c.name + " flows " + sunder::engineName(flows) +
                             (spread ? " spread" : " random") + (decompose ? " blocks" : "") +
                             (batches ? " batches" : "");
          CutTree one = sunder::buildCutTree(c.graph, o);
          expectCutTree(c.graph, one, what);
          // One cut per tree edge; with blocks, bridges and components cost none.
          if (!decompose) {
            EXPECT_EQ(one.stats().computations, c.graph.nodeCount() - 1) << what;
          }
          o.threads = 2;
          CutTree two = sunder::buildCutTree(c.graph, o);
          EXPECT_EQ(two.parents(), one.parents()) << what;
          EXPECT_EQ(two.weights(), one.weights()) << what;
          EXPECT_EQ(two.stats().scans, one.stats().scans) << what;
        }
      }
    }
  }
}

// A heavy ring with light chords and node 0 tied to 50 nodes of it by
// heavier edges still: node 0 is the source of the first run, each cut from
// it is a short arc around its sink, and the excess it sends out makes warm
// cuts dear, so the run's cuts go from the sink for stays, and the parts
// cut from it start the way it went.
Graph ringTiedToNodeZero(int32_t n, std::mt19937 &rng) {
  Graph g(n);
  std::uniform_int_distribution<int64_t> heavy(1, 10000), light(1, 10);
  std::uniform_int_distribution<int32_t> node(1, n - 1);
  for (int32_t v = 0; v < n; v++) g.addEdge(v, (v + 1) % n, heavy(rng));
  for (int32_t k = 0; k < 4 * n; k++) g.addEdge(node(rng), node(rng), light(rng));
  for (int32_t k = 0; k < 50; k++) g.addEdge(0, node(rng), 10000);
  return g;
}

TEST(GomoryHu, BackwardCutsGiveTheSameTreeOnAnyThreadCount) {
  std::mt19937 rng(16000);
  Graph g = ringTiedToNodeZero(900, rng);
  BuildOptions o;
  o.engine = Engine::GomoryHu;
  o.decompose = false;
  CutTree either = sunder::buildCutTree(g, o);
  expectCutTree(g, either, "either way");
  o.threads = 2;
  CutTree two = sunder::buildCutTree(g, o);
  EXPECT_EQ(two.parents(), either.parents());
  EXPECT_EQ(two.weights(), either.weights());
  EXPECT_EQ(two.stats().scans, either.stats().scans);
  o.threads = 1;
  o.backwardCuts = false;
  CutTree forward = sunder::buildCutTree(g, o);
  EXPECT_EQ(forward.parents(), either.parents());
  EXPECT_EQ(forward.weights(), either.weights());
  EXPECT_LT(either.stats().scans, forward.stats().scans);
}

// The runs' engines update by their own factor, 1 unless set; the factor
// of push-relabel-global leaves them alone. Each factor gives the same tree.
TEST(GomoryHu, SourceRunsUpdateByTheirOwnFactor) {
  std::mt19937 rng(16000);
  Graph g = ringTiedToNodeZero(900, rng);
  BuildOptions o;
  o.engine = Engine::GomoryHu;
  o.decompose = false;
  CutTree byDefault = sunder::buildCutTree(g, o);
  o.runUpdateFactor = 1;
  EXPECT_EQ(sunder::buildCutTree(g, o).stats().scans, byDefault.stats().scans);
  o.updateFactor = 8;
  EXPECT_EQ(sunder::buildCutTree(g, o).stats().scans, byDefault.stats().scans);
  o.runUpdateFactor = 8;
  CutTree rare = sunder::buildCutTree(g, o);
  EXPECT_NE(rare.stats().scans, byDefault.stats().scans);
  EXPECT_EQ(rare.parents(), byDefault.parents());
  EXPECT_EQ(rare.weights(), byDefault.weights());
}

// A wheel large enough that its cuts take off small sides, so its parts
// are cut by two source runs at a time, the second's sink often on the
// side the first takes off; sinks in order and drawn at random.
TEST(GomoryHu, TwoSourceRunsGiveACutTreeTheSameOnTwoThreads) {
  std::mt19937 rng(29);
  Graph wheel = twoHubWheel(498, 40, rng);
  for (bool spread : {true, false}) {
    BuildOptions o = undecomposed();
    o.spreadPairs = spread;
    expectTheSameOnTwoThreads(wheel, o, [&](const CutTree &one) {
      expectCutTree(wheel, one, spread ? "in order" : "at random");
    });
  }
}

// A wheel of 2,200 nodes, large enough for steps of several cuts a run:
// the second run's cuts, made on the step's graph beside the first's, some
// dropped when the first took their sinks off.
TEST(GomoryHu, StepsOfSeveralCutsGiveACutTreeTheSameOnTwoThreads) {
  std::mt19937 rng(37);
  Graph wheel = twoHubWheel(2198, 60, rng);
  // Every edge's certificate, and Boost's max flow on 20 drawn pairs (a
  // max flow takes Boost 45 ms here: on every edge, a minute and a half).
  expectTheSameOnTwoThreads(wheel, undecomposed(), [&](const CutTree &one) {
    oracle::RootedTree r = rootedTree(one);
    std::vector<oracle::Edge> edges = oracleEdges(wheel);
    ASSERT_EQ(oracle::joinProblems(oracle::checkCertificates(r, edges)), "");
    oracle::MaxFlow flow(wheel.nodeCount(), edges);
    std::vector<std::pair<int, int>> pairs;
    std::uniform_int_distribution<int> node(0, wheel.nodeCount() - 1);
    while (pairs.size() < 20) {
      int u = node(rng), v = node(rng);
      if (u != v) pairs.push_back({u, v});
    }
    auto maxFlow = [&flow](int u, int v) { return flow.maxFlow(u, v); };
    ASSERT_EQ(oracle::joinProblems(oracle::checkPairs(r, pairs, maxFlow)), "");
  });
}

// Clusters round a heavy ring: each a centre with leaves of its own (more
// leaves, more arcs, the further round), hung from the ring by light
// edges. A run from the centre of most arcs takes off all but its
// cluster, and the half it takes off has its first cut, from the next
// centre, handed down: made on the graph before the split, beside the
// split's own cut.
Graph clusteredRing(int32_t ring, int32_t clusters, std::mt19937 &rng) {
  int32_t n = ring;
  for (int32_t c = 0; c < clusters; c++) n += 1 + 4 + c % 7 + c / 7;
  Graph g(n);
  std::uniform_int_distribution<int32_t> heavy(90, 110), at(0, ring - 1);
  for (int32_t v = 0; v < ring; v++) g.addEdge(v, (v + 1) % ring, heavy(rng));
  int32_t next = ring;
  for (int32_t c = 0; c < clusters; c++) {
    int32_t centre = next++;
    for (int32_t k = 0; k < 4 + c % 7 + c / 7; k++) g.addEdge(centre, next++, heavy(rng) / 2);
    for (int32_t k = 0; k < 3; k++) g.addEdge(centre, at(rng), 1 + k);
  }
  return g;
}

TEST(GomoryHu, HandedDownCutsGiveACutTreeTheSameOnTwoThreads) {
  std::mt19937 rng(31);
  Graph g = clusteredRing(600, 24, rng);
  expectTheSameOnTwoThreads(g, undecomposed(), [&](const CutTree &one) {
    expectCutTree(g, one, "one thread");
  });
}

// A ring of heavy edges around one hub of light spokes: source runs from
// the hub cut it for a few hundred arc looks a cut, which Gusfield's first
// flows cannot keep pace with; by batches, each flow from nothing, the
// build is too short to take it.
Graph oneHubWheel(int32_t rim, std::mt19937 &rng) {
  Graph g(rim + 1);
  std::uniform_int_distribution<int32_t> heavy(rim - 40, rim + 40);
  for (int32_t v = 0; v < rim; v++) g.addEdge(v, (v + 1) % rim, heavy(rng));
  for (int32_t v = 0; v < rim; v++) g.addEdge(v, rim, 2);
  return g;
}

// The runs' sinks follow the wheel's rim whatever its numbering: with the
// nodes numbered at random, the build looks at about the arcs it does in
// the rim's own order (by number, ten times as many and more).
TEST(GomoryHu, SourceRunsFollowTheRimWhateverTheNumbering) {
  std::mt19937 rng(4);
  Graph wheel = oneHubWheel(400, rng);
  std::vector<int32_t> number(wheel.nodeCount());
  for (int32_t v = 0; v < wheel.nodeCount(); v++) number[v] = v;
  std::shuffle(number.begin(), number.end(), rng);
  Graph shuffled(wheel.nodeCount());
  for (const sunder::Edge &e : wheel.edges()) shuffled.addEdge(number[e.u], number[e.v], e.capacity);
  BuildOptions o;
  o.engine = Engine::GomoryHu;
  o.decompose = false;
  o.threads = 1;
  CutTree inOrder = sunder::buildCutTree(wheel, o), atRandom = sunder::buildCutTree(shuffled, o);
  expectCutTree(shuffled, atRandom, "numbered at random");
  EXPECT_LT(atRandom.stats().scans, 2 * inOrder.stats().scans);
}

TEST(GomoryHu, AutoTakesItAtOnceWhereSourceRunsOutpaceGusfield) {
  std::mt19937 rng(8);
  Graph wheel = oneHubWheel(250, rng);
  BuildOptions o;
  CutTree t = sunder::buildCutTree(wheel, o);
  EXPECT_EQ(t.stats().engine, Engine::GomoryHu);
  expectCutTree(wheel, t, "auto");
  o.sourceRuns = false;
  EXPECT_NE(sunder::buildCutTree(wheel, o).stats().engine, Engine::GomoryHu);
}

// Where the source runs' first cuts are dear, so that their probe ends by
// its budget of arc looks, but their later ones cheap, Auto looks at them
// again once the engines' probe has measured those: two-hub wheels whose
// rim capacities spread by 10 (without the second look push-relabel took
// it, 18 times slower). Each tree edge's certificate is checked; the trees
// of such wheels against max flows, in the cases above.
TEST(GomoryHu, AutoTakesItWhereOnlyTheRunsLaterCutsAreCheap) {
  std::mt19937 rng(1);
  Graph wheel = twoHubWheel(500, 10, rng);
  BuildOptions o;
  o.threads = 1;
  CutTree t = sunder::buildCutTree(wheel, o);
  EXPECT_EQ(t.stats().engine, Engine::GomoryHu);
  EXPECT_EQ(oracle::joinProblems(oracle::checkCertificates(rootedTree(t), oracleEdges(wheel))), "");
}

// A build that goes on from its probe makes the cuts, with the engines,
// of one that never stopped: the same tree and the same arc looks, by
// source runs and by batches, on one thread and two, whether the probe
// ends at its cut count (mid-step: two runs cut a step at a time) or at
// its budget of arc looks, and when a probe ended by its budget goes on
// further, first to a budget of arc looks in all, then to its cut count;
// Auto, which goes on from its own, gives the tree and the arc looks of
// Gomory and Hu's method named. The probe, whose second thread computes
// only the cuts its parts post, ends at the same cut with the same arc
// looks on two threads as on one.
TEST(GomoryHu, ABuildGoesOnFromItsProbeAsIfItHadNotStopped) {
  std::mt19937 rng(12);
  Graph wheel = twoHubWheel(398, 40, rng);
  auto makeEngine = [](int32_t n, const std::vector<sunder::Edge> &edges) {
    Graph h(n);
    for (const sunder::Edge &e : edges) h.addEdge(e.u, e.v, e.capacity);
    return sunder::detail::makeEngine(Engine::PushRelabelGlobal, h);
  };
  auto makeRunEngine = [](int32_t n, const std::vector<sunder::Edge> &edges) {
    return std::make_unique<sunder::detail::WarmPreflow>(n, edges, 1.0);
  };
  std::map<std::string, std::pair<int32_t, int64_t>> onOneThread;  // by runs and budget
  for (bool runs : {true, false})
    for (int threads : {1, 2})
      for (double budget : {0.0, 3.0}) {
        std::string what = std::string(runs ? "runs" : "batches") + ", threads " +
                           std::to_string(threads) + ", budget " + std::to_string(budget);
        sunder::detail::GomoryHuOptions o;
        o.threads = threads;
        o.makeEngine = makeEngine;
        if (runs) o.makeRunEngine = makeRunEngine;
        sunder::detail::GusfieldRun fresh =
            sunder::detail::runGomoryHu(wheel.nodeCount(), wheel.edges(), o);
        o.stopAfter = 41;
        o.scansPerFirstCut = budget;
        sunder::detail::GomoryHuBuild build(wheel.nodeCount(), wheel.edges(), o);
        sunder::detail::GomoryHuProbe probe = build.probe();
        if (budget > 0) {
          EXPECT_LT(probe.cuts, 41) << what;
          // A budget in all that the first probe's arc looks nearly fill:
          // it ends a step or so later, past the budget.
          sunder::detail::GomoryHuProbe spent = build.probeFurther(41, probe.scans + 1);
          EXPECT_GT(spent.cuts, probe.cuts) << what;
          EXPECT_LT(spent.cuts, 41) << what;
          EXPECT_GT(spent.scans, probe.scans + 1) << what;
          sunder::detail::GomoryHuProbe further = build.probeFurther(41, 0);
          EXPECT_EQ(further.cuts, 41) << what;
          EXPECT_GE(further.scans, spent.scans) << what;
        } else {
          EXPECT_EQ(probe.cuts, 41) << what;
        }
        EXPECT_GT(probe.scans, 0) << what;
        std::string kind = std::to_string(runs) + " " + std::to_string(budget);
        if (threads == 1) onOneThread[kind] = {probe.cuts, probe.scans};
        EXPECT_EQ(onOneThread[kind], std::make_pair(probe.cuts, probe.scans)) << what;
        sunder::detail::GusfieldRun resumed = build.finish();
        EXPECT_EQ(resumed.counters.scans, fresh.counters.scans) << what;
        ASSERT_EQ(resumed.records.size(), fresh.records.size()) << what;
        for (size_t v = 1; v < fresh.records.size(); v++) {
          EXPECT_EQ(resumed.records[v].parent, fresh.records[v].parent) << what << " node " << v;
          EXPECT_EQ(resumed.records[v].weight, fresh.records[v].weight) << what << " node " << v;
        }
      }
  Graph hub = oneHubWheel(250, rng);
  for (int threads : {1, 2}) {
    BuildOptions o;
    o.threads = threads;
    CutTree byAuto = sunder::buildCutTree(hub, o);
    ASSERT_EQ(byAuto.stats().engine, Engine::GomoryHu);
    o.engine = Engine::GomoryHu;
    CutTree named = sunder::buildCutTree(hub, o);
    EXPECT_EQ(byAuto.parents(), named.parents());
    EXPECT_EQ(byAuto.weights(), named.weights());
    EXPECT_EQ(byAuto.stats().scans, named.stats().scans);
  }
}

// On a graph of 100,000 edges, where the probe leaves push-relabel out,
// Auto still takes the source runs where each of Gusfield's cuts costs a
// flow over the whole graph: a ring of 10,000 nodes with chords to the
// next four, capacities 1 ... 10,000, every edge twice (its cuts are short
// arcs, which every flow from nothing reaches round the ring); by
// Gusfield's method the build takes minutes. Release builds only: 2 s
// there.
TEST(GomoryHu, AutoTakesItOnALargeGraphWhoseCutsCrossTheWholeGraph) {
  SUNDER_SKIP_UNDER_SANITIZERS("too slow under the sanitizers");
  std::mt19937 rng(3);
  int32_t n = 10000;
  Graph ring(n);
  std::uniform_int_distribution<int32_t> cap(1, 10000);
  for (int32_t v = 0; v < n; v++)
    for (int32_t k = 1; k <= 5; k++) {
      int32_t c = cap(rng);
      ring.addEdge(v, (v + k) % n, c);
      ring.addEdge(v, (v + k) % n, c);
    }
  ASSERT_EQ(ring.edgeCount(), 100000);
  BuildOptions o;
  // The predicted work keeps one total over the build, done only growing
  // (a ring's hub is far, so no staged setup reports before the runs).
  int64_t work = 0, workTotal = -1;
  bool workMonotone = true;
  o.progressWork = [&](int64_t done, int64_t total) {
    workMonotone = workMonotone && done >= work && (workTotal < 0 || total == workTotal);
    work = done;
    workTotal = total;
  };
  CutTree t = sunder::buildCutTree(ring, o);
  EXPECT_EQ(t.stats().engine, Engine::GomoryHu);
  EXPECT_TRUE(workMonotone);
  EXPECT_EQ(work, workTotal);
  std::vector<oracle::Edge> edges = oracleEdges(ring);
  EXPECT_EQ(oracle::joinProblems(oracle::checkCertificates(rootedTree(t), edges)), "");
}

// On a wheel of 100,000 edges (a heavy rim of 12,500 nodes, every edge
// four times), each of Gusfield's first computations pushes round the rim
// and looks at far more than the pace the engines' probe is held to there:
// Auto takes the source runs, where without that pace the probe alone ran
// for 22 s. Release builds only: 0.6 s there.
TEST(GomoryHu, AutoTakesItOnALargeWheelWhoseEnginesFallBehindAtOnce) {
  SUNDER_SKIP_UNDER_SANITIZERS("too slow under the sanitizers");
  std::mt19937 rng(5);
  Graph once = oneHubWheel(12500, rng), wheel(once.nodeCount());
  for (const sunder::Edge &e : once.edges())
    for (int k = 0; k < 4; k++) wheel.addEdge(e.u, e.v, e.capacity);
  ASSERT_EQ(wheel.edgeCount(), 100000);
  CutTree t = sunder::buildCutTree(wheel, BuildOptions());
  EXPECT_EQ(t.stats().engine, Engine::GomoryHu);
  EXPECT_EQ(oracle::joinProblems(oracle::checkCertificates(rootedTree(t), oracleEdges(wheel))), "");
}

// On a ladder of 100,000 edges, where each of Gusfield's first computations
// looks at about three times the arcs, the source runs' first cuts (all on
// the whole graph) keep between a quarter and a half of the engines' pace,
// and contraction makes their later cuts cheap: Auto takes them, 0.3 s,
// where the shortest paths took 11 s. Release builds only.
TEST(GomoryHu, AutoTakesItOnALargeLadder) {
  SUNDER_SKIP_UNDER_SANITIZERS("too slow under the sanitizers");
  std::mt19937 rng(1);
  std::uniform_int_distribution<int64_t> cap(1, 100);
  int32_t rungs = 33334;
  Graph ladder(2 * rungs);  // the rails, then the rungs
  for (int32_t rail : {0, rungs})
    for (int32_t k = 0; k + 1 < rungs; k++) ladder.addEdge(rail + k, rail + k + 1, cap(rng));
  for (int32_t k = 0; k < rungs; k++) ladder.addEdge(k, rungs + k, cap(rng));
  ASSERT_GE(ladder.edgeCount(), 100000);
  CutTree t = sunder::buildCutTree(ladder, BuildOptions());
  EXPECT_EQ(t.stats().engine, Engine::GomoryHu);
  EXPECT_EQ(oracle::joinProblems(oracle::checkCertificates(rootedTree(t), oracleEdges(ladder))), "");
}

// A sparse random graph whose build by the search trees is quick: Auto
// takes them after their first computations, where the whole probe would
// pick push-relabel-global for its fewer weighed arc looks; the tree is
// right and the same on one thread and two. (The wheels above, whose
// first flows are dear, still go to Gomory and Hu's method.)
TEST(GomoryHu, AutoTakesTheSearchTreesAtOnceWhereTheirBuildIsQuick) {
  std::mt19937 rng(8);
  int32_t n = 300;
  Graph g(n);
  std::uniform_int_distribution<int32_t> node(0, n - 1);
  std::uniform_int_distribution<int64_t> capacity(1, 100);
  for (int32_t v = 0; v + 1 < n; v++) g.addEdge(v, v + 1, capacity(rng));
  for (int32_t k = 0; k < n; k++) {
    int32_t u = node(rng), v = node(rng);
    if (u != v) g.addEdge(u, v, capacity(rng));
  }
  BuildOptions o;
  o.decompose = false;
  o.threads = 1;
  CutTree one = sunder::buildCutTree(g, o);
  EXPECT_EQ(one.stats().engine, Engine::SearchTrees);
  expectCutTree(g, one, "auto");
  o.threads = 2;
  CutTree two = sunder::buildCutTree(g, o);
  EXPECT_EQ(two.stats().engine, Engine::SearchTrees);
  EXPECT_EQ(two.parents(), one.parents());
  EXPECT_EQ(two.weights(), one.weights());
}

// A heavy ring with a second ring of light chords, each node to the one
// three on: every minimum cut takes one node off, so the part shrinks by a
// node a cut, yet each run's cut costs a few arc looks against a flow
// around the ring for Gusfield's engines.
TEST(GomoryHu, AutoTakesItWhereSourceRunsOutpaceGusfieldOneNodeACut) {
  int32_t n = 600;
  Graph ring(n);
  for (int32_t v = 0; v < n; v++) {
    ring.addEdge(v, (v + 1) % n, 1000);
    ring.addEdge(v, (v + 3) % n, 1);
  }
  BuildOptions o;
  CutTree t = sunder::buildCutTree(ring, o);
  EXPECT_EQ(t.stats().engine, Engine::GomoryHu);
  expectCutTree(ring, t, "auto");
}

TEST(GomoryHu, AutoTakesItWherePushRelabelWinsUnlessContractionIsOff) {
  std::mt19937 rng(3);
  Graph wheel = twoHubWheel(398, 40, rng);
  BuildOptions o;
  CutTree t = sunder::buildCutTree(wheel, o);
  EXPECT_EQ(t.stats().engine, Engine::GomoryHu);
  expectCutTree(wheel, t, "auto");
  o.contraction = false;
  CutTree gusfield = sunder::buildCutTree(wheel, o);
  EXPECT_EQ(gusfield.stats().engine, Engine::PushRelabelGlobal);
  // Different methods may pick different minimum cuts, never other values.
  std::vector<int64_t> a = t.weights(), b = gusfield.weights();
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  EXPECT_EQ(a, b);
}

// The probe Auto decides by: on a wheel its cuts take off arcs of several
// nodes and the largest graph left shrinks by more than a node a cut; on a
// complete graph every cut takes off one node, which the graph keeps as a
// contracted node, so it stays the whole graph. Asked to end once it has
// shaved enough, it ends there on the wheel, with fewer cuts, and goes on
// to its last cut on the complete graph.
TEST(GomoryHu, ItsProbeTellsShrinkingGraphsFromShavedNodes) {
  std::mt19937 rng(11);
  auto probeOf = [](const Graph &g, int32_t cuts, int64_t enough) {
    sunder::detail::GomoryHuOptions o;
    o.stopAfter = cuts;
    o.shavedEnough = enough;
    o.makeEngine = [](int32_t n, const std::vector<sunder::Edge> &edges) {
      Graph h(n);
      for (const sunder::Edge &e : edges) h.addEdge(e.u, e.v, e.capacity);
      return sunder::detail::makeEngine(Engine::PushRelabelGlobal, h);
    };
    return sunder::detail::probeGomoryHu(g.nodeCount(), g.edges(), o);
  };
  auto probe = [&](const Graph &g, int32_t cuts) { return probeOf(g, cuts, 0).shaved; };
  Graph wheel = twoHubWheel(398, 40, rng);
  EXPECT_GT(probe(wheel, 32), 2 * 16);
  EXPECT_EQ(probe(complete(40), 10), 0);
  sunder::detail::GomoryHuProbe early = probeOf(wheel, 32, 2 * 16);
  EXPECT_GE(early.shaved, 2 * 16);
  EXPECT_LT(early.cuts, 32);
  sunder::detail::GomoryHuProbe whole = probeOf(complete(40), 10, 2 * 5);
  EXPECT_EQ(whole.cuts, 10);
  EXPECT_EQ(whole.shaved, 0);
  // Two wheels joined by one light edge: the first cut halves the graph,
  // the rest take arcs off one half.
  Graph two(800);
  for (const sunder::Edge &e : wheel.edges()) {
    two.addEdge(e.u, e.v, e.capacity);
    two.addEdge(e.u + 400, e.v + 400, e.capacity);
  }
  two.addEdge(0, 400, 1);
  EXPECT_GT(probe(two, 32), 2 * 16);
}

TEST(GomoryHu, ProgressCountsEveryCutAndCancellationStops) {
  std::mt19937 rng(5);
  Graph wheel = twoHubWheel(198, 10, rng);
  for (int threads : {1, 2}) {
    BuildOptions o;
    o.engine = Engine::GomoryHu;
    o.threads = threads;
    int64_t last = 0;
    bool monotone = true;
    o.progress = [&](int64_t done, int64_t total) {
      monotone = monotone && done > last && total == wheel.nodeCount() - 1;
      last = done;
    };
    // The predicted work: a total fixed over the build, done only growing
    // and reaching it with the last cut, the first cuts (on graphs of
    // nearly every node) weighing more than the last.
    int64_t work = 0, workTotal = -1, first = -1, lastStep = 0;
    bool workMonotone = true;
    o.progressWork = [&](int64_t done, int64_t total) {
      workMonotone = workMonotone && done >= work && (workTotal < 0 || total == workTotal);
      if (first < 0) first = done;
      lastStep = done - work;
      work = done;
      workTotal = total;
    };
    sunder::buildCutTree(wheel, o);
    EXPECT_TRUE(monotone) << threads;
    EXPECT_EQ(last, wheel.nodeCount() - 1) << threads;
    EXPECT_TRUE(workMonotone) << threads;
    EXPECT_EQ(work, workTotal) << threads;
    if (threads == 1) {
      EXPECT_GT(first, lastStep);
    }
    o.progressWork = nullptr;
    // Asked before the first cut and between cuts on the calling thread.
    int64_t asked = 0;
    o.progress = nullptr;
    o.cancel = [&asked] { return ++asked >= 1; };
    EXPECT_THROW(sunder::buildCutTree(wheel, o), sunder::Cancelled) << threads;
    EXPECT_EQ(asked, 1);
    o.cancel = nullptr;
    // Called at least once, at the end; its exception stops the workers.
    o.progress = [](int64_t, int64_t) { throw std::runtime_error("stop"); };
    try {
      sunder::buildCutTree(wheel, o);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error &e) {
      EXPECT_STREQ(e.what(), "stop");
    }
  }
}

// A source run's predicted work weighs a part of p nodes at p - 1 cuts
// plus 0.15 p^1.5 on one thread. A ring of 10 nodes, (4, 5) weighing 1,
// (9, 0) 3, the rest 10: the run's source is node 1 (most arcs, heaviest,
// lowest), its first sink node 0, and their cut {1 ... 4} | {5 ... 0} (11)
// splits 10 nodes into 4 and 6: (9 - 3 - 5) + 0.15 (10^1.5 - 4^1.5 -
// 6^1.5) of 9 + 0.15 (10^1.5 - 10).
TEST(GomoryHu, ARunsPredictedWorkWeighsAPartByItsSizeToThePowerOneAndAHalf) {
  Graph ring(10);
  for (int32_t v = 0; v < 10; v++) ring.addEdge(v, (v + 1) % 10, v == 4 ? 1 : v == 9 ? 3 : 10);
  BuildOptions o;
  o.engine = Engine::GomoryHu;
  o.threads = 1;
  std::vector<double> shares;
  o.progressWork = [&](int64_t done, int64_t total) {
    shares.push_back(static_cast<double>(done) / static_cast<double>(total));
  };
  sunder::CutTree tree = sunder::buildCutTree(ring, o);
  EXPECT_EQ(tree.minCutValue(1, 0), 11);
  ASSERT_FALSE(shares.empty());
  double cut = 1 + 0.15 * (std::pow(10, 1.5) - 8 - std::pow(6, 1.5));
  EXPECT_NEAR(shares.front(), cut / (9 + 0.15 * (std::pow(10, 1.5) - 10)), 1e-6);
}

TEST(GomoryHu, ItsCutsComeFromAnEngineOfCutsAlone) {
  Graph g(3);
  g.addEdge(0, 1, 1);
  BuildOptions o;
  o.engine = Engine::GomoryHu;
  for (Engine bad : {Engine::Auto, Engine::GomoryHu}) {
    o.gomoryHuFlows = bad;
    try {
      sunder::buildCutTree(g, o);
      ADD_FAILURE() << "accepted";
    } catch (const sunder::Error &e) {
      EXPECT_EQ(std::string(e.what()),
                std::string("the cuts of gomory-hu are found by push-relabel, "
                            "push-relabel-global, shortest-paths or search-trees, not ") +
                    sunder::engineName(bad));
    }
  }
}

}  // namespace

// A k by k grid with unit capacities.
Graph grid(int32_t k) {
  Graph g(k * k);
  for (int32_t v = 0; v < k * k; v++) {
    if (v % k + 1 < k) g.addEdge(v, v + 1, 1);
    if (v + k < k * k) g.addEdge(v, v + k, 1);
  }
  return g;
}

// On two threads Auto probes the engines beside the source runs' build,
// which goes on meanwhile: where the runs win (the wheel) and where an
// engine does after the runs' whole probe (the grid, by the search trees),
// the engine, tree and arc looks are those of one thread; cancelled while
// the runs go on, the build stops with Cancelled.
TEST(GomoryHu, AutoProbesTheEnginesBesideTheRunsAsOnOneThread) {
  std::mt19937 rng(31);
  std::vector<Case> graphs;
  graphs.push_back({"wheel", oneHubWheel(600, rng)});
  graphs.push_back({"grid", grid(80)});
  for (const Case &c : graphs) {
    BuildOptions o;
    o.threads = 1;
    CutTree one = sunder::buildCutTree(c.graph, o);
    o.threads = 2;
    CutTree two = sunder::buildCutTree(c.graph, o);
    EXPECT_EQ(one.stats().engine, two.stats().engine) << c.name;
    EXPECT_EQ(one.parents(), two.parents()) << c.name;
    EXPECT_EQ(one.weights(), two.weights()) << c.name;
    EXPECT_EQ(one.stats().scans, two.stats().scans) << c.name;
  }
  EXPECT_EQ(sunder::buildCutTree(graphs[0].graph).stats().engine, Engine::GomoryHu);
  EXPECT_EQ(sunder::buildCutTree(graphs[1].graph).stats().engine, Engine::SearchTrees);
  BuildOptions o;
  o.threads = 2;
  int64_t asked = 0;
  o.cancel = [&asked] { return ++asked >= 40; };  // past the runs' probe of 32 cuts
  EXPECT_THROW(sunder::buildCutTree(graphs[0].graph, o), sunder::Cancelled);
  EXPECT_EQ(asked, 40);
}
