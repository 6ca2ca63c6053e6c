// The solver's Gomory-Hu tree against an independent oracle.
//
// Each instance is parsed, prepared and solved exactly as the sunder
// program does it, and the tree array that computeCuts returns is checked
// by verify/solver_tree.h: shape, every tree edge against Boost's max flow, every
// pair of nodes against Boost's max flow, and the cut certificate of every
// tree edge. Tiny graphs are also checked against cut enumeration, which
// in turn keeps the Boost oracle honest.
//
// Random instances come from std::mt19937_64 with fixed seeds; a failure
// prints the seed, the seed given to srand before computeCuts, the instance
// text and a shrunk instance that still fails. srand(1) is the state the
// sunder program starts from, so an instance that fails under seed 1
// replays by piping its text into sunder. A crash, an exit inside the
// solver or a solve that hangs for a minute prints the instance in flight;
// to see every instance before it is solved, set SUNDER_ORACLE_TRACE=1.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "instance.h"
#include "verify/reference.h"
#include "verify/solver_tree.h"
#include "verify/quiet_stdout.h"
#include "graph/graph.h"
#include "lib/engines/solver_engine.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
// The solver keeps its graph and storage until the process ends, by design;
// the tests solve hundreds of graphs in one process.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }
#endif

using oracle::FlowTable;
using IdEdge = oracle::Edge;
using sunder::test::Instance;
using sunder::test::InstanceArc;

namespace {

constexpr int64_t kMaxCap = 2147483647;  // the largest capacity an arc line holds

// ---------------------------------------------------------------------------
// Naming the instance in flight when the process dies inside the solver.

const char *runningText = nullptr;
size_t runningLength = 0;

void dumpRunning() {
  if (runningText == nullptr) return;
  static const char header[] = "\n*** instance being solved when the process ended:\n";
  ssize_t ignored = write(2, header, sizeof header - 1);
  ignored = write(2, runningText, runningLength);
  (void)ignored;
}

#if !defined(__SANITIZE_ADDRESS__)
void onFatalSignal(int sig) {
  dumpRunning();
  signal(sig, SIG_DFL);
  raise(sig);
}
#endif

struct CrashReporter {
  CrashReporter() {
    std::atexit(dumpRunning);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(dumpRunning);
#else
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGABRT, SIGILL}) signal(sig, onFatalSignal);
#endif
  }
} crashReporter;

// A solve that takes this long has hung: the instance is named and the
// process ends, rather than waiting for the test driver's timeout.
constexpr unsigned kSolveSeconds = 60;

void onAlarm(int) {
  static const char message[] = "\n*** the solver did not finish within the time limit\n";
  ssize_t ignored = write(2, message, sizeof message - 1);
  (void)ignored;
  dumpRunning();
  runningText = nullptr;
  _exit(3);
}

bool traceEnabled() {
  const char *v = std::getenv("SUNDER_ORACLE_TRACE");
  return v != nullptr && *v != '\0' && *v != '0';
}

// ---------------------------------------------------------------------------
// Running the solver in process.

struct SolverRun {
  int n = 0;
  std::vector<tree> rec;
};

// Parses `text`, then copyArcs, initContracted and computeCuts as the
// driver does, with the C generator seeded by `randSeed` first.
SolverRun runSolver(const std::string &text, unsigned randSeed) {
  if (traceEnabled())
    fprintf(stderr, "--- solving (srand %u):\n%s", randSeed, text.c_str());
  std::vector<char> buffer(text.begin(), text.end());
  FILE *input = fmemopen(buffer.data(), buffer.size(), "r");
  if (input == nullptr) {
    ADD_FAILURE() << "fmemopen failed";
    return {};
  }
  runningText = text.data();
  runningLength = text.size();
  signal(SIGALRM, onAlarm);
  alarm(kSolveSeconds);
  graph *g = dimacsParse(input);
  fclose(input);
  copyArcs(g);
  initContracted(g);
  srand(randSeed);
  tree *t;
  {
    QuietStdout quiet;
    t = computeCuts(g);
  }
  alarm(0);
  SolverRun run;
  run.n = g->n;
  if (t != nullptr) run.rec.assign(t, t + g->n);
  runningText = nullptr;
  return run;
}

// All checks against Boost's all-pairs flows; empty when the tree is right.
std::vector<std::string> judge(const SolverRun &run, const Instance &inst,
                               const FlowTable &flows) {
  if (run.n != inst.nodeCount())
    return {"graph has " + std::to_string(run.n) + " nodes, expected " +
            std::to_string(inst.nodeCount())};
  if (run.rec.empty() && run.n > 0) return {"computeCuts returned no tree"};
  return oracle::checkCutTree(run.rec, run.n, sunder::test::idEdges(inst), flows);
}

std::vector<std::string> solveAndJudge(const Instance &inst, unsigned randSeed) {
  const int n = inst.nodeCount();
  const std::vector<IdEdge> edges = sunder::test::idEdges(inst);
  const FlowTable flows = oracle::allPairsMaxFlow(n, edges);
  return judge(runSolver(inst.text(), randSeed), inst, flows);
}

// ---------------------------------------------------------------------------
// Shrinking a failing instance.

// Renumbers so that number x disappears: arcs at x are dropped and the
// numbers above it move down by one.
Instance withoutNumber(const Instance &inst, int x) {
  Instance out;
  out.N = inst.N - 1;
  out.note = inst.note;
  for (const InstanceArc &a : inst.arcs) {
    if (a.tail == x || a.head == x) continue;
    out.arcs.push_back({a.tail - (a.tail > x), a.head - (a.head > x), a.cap});
  }
  return out;
}

// Greedy shrinking: drop numbers, drop arcs, lower capacities, as long as
// the instance still fails. Returns the smallest failing instance found.
Instance shrink(Instance inst, const std::function<bool(const Instance &)> &fails) {
  int budget = 4000;
  auto attempt = [&](const Instance &candidate) {
    if (budget <= 0 || candidate.arcs.empty() || candidate.N <= 0) return false;
    if (candidate.highest() > candidate.N) return false;
    budget--;
    if (!fails(candidate)) return false;
    inst = candidate;
    return true;
  };
  bool progress = true;
  while (progress && budget > 0) {
    progress = false;
    // Whole numbers first: they remove the most at once.
    for (int x = inst.highest(); x >= 0 && x <= inst.highest(); x--)
      if (attempt(withoutNumber(inst, x))) progress = true;
    for (size_t i = inst.arcs.size(); i-- > 0;) {
      if (i >= inst.arcs.size()) continue;
      Instance candidate = inst;
      candidate.arcs.erase(candidate.arcs.begin() + static_cast<long>(i));
      if (attempt(candidate)) progress = true;
    }
    for (size_t i = 0; i < inst.arcs.size(); i++) {
      for (int64_t smaller : {int64_t{0}, int64_t{1}, inst.arcs[i].cap / 2,
                              inst.arcs[i].cap - 1}) {
        if (smaller < 0 || smaller >= inst.arcs[i].cap) continue;
        Instance candidate = inst;
        candidate.arcs[i].cap = smaller;
        if (attempt(candidate)) {
          progress = true;
          break;
        }
      }
    }
    if (inst.N > inst.highest()) {
      Instance candidate = inst;
      candidate.N = inst.highest() > 0 ? inst.highest() : 1;
      if (attempt(candidate)) progress = true;
    }
  }
  return inst;
}

// Checks one instance under one srand seed; on failure reports everything
// needed to replay it, with a shrunk instance. Returns whether it passed.
bool expectCorrectTree(const Instance &inst, unsigned randSeed,
                       const std::string &origin, bool shrinkOnFailure = true) {
  const int n = inst.nodeCount();
  const std::vector<IdEdge> edges = sunder::test::idEdges(inst);
  const FlowTable flows = oracle::allPairsMaxFlow(n, edges);
  const SolverRun run = runSolver(inst.text(), randSeed);
  const std::vector<std::string> problems = judge(run, inst, flows);
  if (problems.empty()) return true;
  std::string report = origin + ", srand(" + std::to_string(randSeed) +
                       "): the cut tree is wrong\n" +
                       oracle::joinProblems(problems) + "tree:\n" +
                       oracle::describeTree(run.rec) + "instance:\n" +
                       inst.text();
  if (shrinkOnFailure) {
    const Instance small = shrink(inst, [&](const Instance &c) {
      return !solveAndJudge(c, randSeed).empty();
    });
    const SolverRun smallRun = runSolver(small.text(), randSeed);
    const auto smallProblems = judge(smallRun, small,
                                     oracle::allPairsMaxFlow(small.nodeCount(),
                                                            sunder::test::idEdges(small)));
    report += "shrunk instance (still failing under srand(" +
              std::to_string(randSeed) + ")):\n" + small.text() +
              oracle::joinProblems(smallProblems) + "its tree:\n" +
              oracle::describeTree(smallRun.rec);
  }
  ADD_FAILURE() << report;
  return false;
}

// ---------------------------------------------------------------------------
// Random instances.

struct Generator {
  std::mt19937_64 rng;

  explicit Generator(uint64_t seed) : rng(seed) {}

  int below(int k) { return static_cast<int>(rng() % static_cast<uint64_t>(k)); }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }

  // Capacity styles: ties among tiny values, a wide spread, values near the
  // largest an arc line holds, and a mix of tiny and huge.
  int capStyle = 0;
  int64_t capacity() {
    switch (capStyle) {
      case 0: return below(4);                       // 0..3: many ties and zeros
      case 1: return chance(0.1) ? 0 : between(1, 1000);
      case 2: return kMaxCap - below(64);
      case 3: return chance(0.25) ? kMaxCap - below(3) : below(6);
      default: return 1;                             // all equal
    }
  }

  // A graph of `n` nodes numbered from `lo`; `holes` of the inner numbers
  // get no arc. Edges join the other nodes by one of several shapes.
  Instance make(int n, int maxExtraAbove) {
    Instance inst;
    const int lo = chance(0.3) ? 0 : between(1, 4);
    const int hi = lo + n - 1;
    inst.N = hi + (chance(0.5) ? 0 : between(1, maxExtraAbove));
    capStyle = below(5);

    std::vector<int> live;  // node numbers that may carry arcs
    std::set<int> holes;
    if (n >= 3 && chance(0.35)) {
      const int count = between(1, std::min(3, n - 2));
      for (int i = 0; i < count; i++) holes.insert(between(lo + 1, hi - 1));
    }
    for (int x = lo; x <= hi; x++)
      if (!holes.count(x)) live.push_back(x);
    std::shuffle(live.begin(), live.end(), rng);
    const int k = static_cast<int>(live.size());

    auto addEdge = [&](int a, int b, int64_t cap) {
      if (chance(0.5)) std::swap(a, b);
      inst.arcs.push_back({a, b, cap});
    };
    auto randomEdges = [&](const std::vector<int> &group, int count) {
      if (group.size() < 2) return;
      for (int i = 0; i < count; i++) {
        int a = group[below(static_cast<int>(group.size()))];
        int b = group[below(static_cast<int>(group.size()))];
        if (a != b) addEdge(a, b, capacity());
      }
    };
    auto pathThrough = [&](const std::vector<int> &group) {
      for (size_t i = 1; i < group.size(); i++)
        addEdge(group[i - 1], group[below(static_cast<int>(i))], capacity());
    };

    const int shape = below(6);
    switch (shape) {
      case 0:  // sparse random
        randomEdges(live, between(1, 2 * k + 2));
        break;
      case 1: {  // dense random
        const double p = 0.3 + 0.6 * std::uniform_real_distribution<double>(0, 1)(rng);
        for (int i = 0; i < k; i++)
          for (int j = i + 1; j < k; j++)
            if (chance(p)) addEdge(live[i], live[j], capacity());
        break;
      }
      case 2: {  // heavy clusters joined by light edges
        const int clusters = between(2, std::max(2, std::min(5, k / 2)));
        std::vector<std::vector<int>> groups(clusters);
        for (int i = 0; i < k; i++) groups[i % clusters].push_back(live[i]);
        const int saved = capStyle;
        for (auto &group : groups) {
          pathThrough(group);
          randomEdges(group, static_cast<int>(group.size()) * 2);
        }
        capStyle = 0;
        for (int c = 1; c < clusters; c++)
          if (!groups[c].empty() && !groups[c - 1].empty())
            addEdge(groups[c][0], groups[c - 1][0], capacity());
        capStyle = saved;
        break;
      }
      case 3: {  // several components, nothing between them
        const int parts = between(2, std::max(2, std::min(4, k)));
        std::vector<std::vector<int>> groups(parts);
        for (int i = 0; i < k; i++) groups[i % parts].push_back(live[i]);
        for (auto &group : groups) {
          if (chance(0.7)) pathThrough(group);
          randomEdges(group, between(0, static_cast<int>(group.size())));
        }
        break;
      }
      case 4:  // a random tree with a few extra edges
        pathThrough(live);
        randomEdges(live, between(0, 3));
        break;
      default:  // a cycle with chords
        for (int i = 0; i < k && k >= 2; i++) addEdge(live[i], live[(i + 1) % k], capacity());
        randomEdges(live, between(0, k / 2));
        break;
    }

    // Parallel copies, self loops and zero-capacity edges.
    const size_t base = inst.arcs.size();
    for (size_t i = 0; i < base; i++)
      if (chance(0.12)) inst.arcs.push_back({inst.arcs[i].head, inst.arcs[i].tail, capacity()});
    const int loops = chance(0.4) ? between(1, 3) : 0;
    for (int i = 0; i < loops; i++) {
      const int x = live[below(k)];
      inst.arcs.push_back({x, x, capacity()});
    }
    if (chance(0.3) && k >= 2) {
      const int a = live[below(k)], b = live[below(k)];
      inst.arcs.push_back({a, b, 0});
    }
    // The ends of the number range must be used, or the graph shrinks: a
    // self loop or an edge to some other node pins each of them.
    for (int end : {lo, hi}) {
      bool used = false;
      for (const InstanceArc &a : inst.arcs) used = used || a.tail == end || a.head == end;
      if (used) continue;
      if (chance(0.5) || k < 2)
        inst.arcs.push_back({end, end, capacity()});
      else
        addEdge(end, live[below(k)] == end ? live[0] : live[below(k)], capacity());
    }
    std::shuffle(inst.arcs.begin(), inst.arcs.end(), rng);
    return inst;
  }
};

// Nodes per instance: many tiny graphs (where cut enumeration also runs)
// and the rest spread up to 60.
int pickNodeCount(Generator &gen) {
  return gen.chance(0.35) ? gen.between(2, 10) : gen.between(2, 60);
}

uint64_t caseSeed(int batch, int index) {
  return 0x6a09e667f3bcc908ULL ^ (static_cast<uint64_t>(batch) << 32) ^
         static_cast<uint64_t>(index);
}

std::string originOf(uint64_t seed, int batch, int index) {
  char buf[128];
  snprintf(buf, sizeof buf, "batch %d case %d, seed 0x%016llx", batch, index,
           static_cast<unsigned long long>(seed));
  return buf;
}

Instance instanceOf(const std::string &text, int N,
                   std::initializer_list<InstanceArc> arcs) {
  Instance inst;
  inst.note = text;
  inst.N = N;
  inst.arcs = arcs;
  return inst;
}

// ===========================================================================
// The checks themselves can fail: they reject broken trees and accept
// correct ones.

TEST(CutTreeChecks, AcceptHandMadeTreeOfAPath) {
  // Path 0 - 1 - 2 with capacities 3 and 5.
  const std::vector<IdEdge> edges{{0, 1, 3}, {1, 2, 5}};
  const FlowTable flows = oracle::allPairsMaxFlow(3, edges);
  ASSERT_EQ(flows[0][1], 3);
  ASSERT_EQ(flows[0][2], 3);
  ASSERT_EQ(flows[1][2], 5);
  const std::vector<tree> good{{0, 0, 0, 0}, {1, 1, 0, 3}, {2, 2, 1, 5}};
  EXPECT_TRUE(oracle::checkCutTree(good, 3, edges, flows).empty())
      << oracle::joinProblems(oracle::checkCutTree(good, 3, edges, flows));
}

TEST(CutTreeChecks, RejectBrokenTrees) {
  const std::vector<IdEdge> edges{{0, 1, 3}, {1, 2, 5}};
  const FlowTable flows = oracle::allPairsMaxFlow(3, edges);
  const std::vector<tree> good{{0, 0, 0, 0}, {1, 1, 0, 3}, {2, 2, 1, 5}};
  auto rejects = [&](std::vector<tree> bad) {
    return !oracle::checkCutTree(bad, 3, edges, flows).empty();
  };
  auto bad = good;
  bad[2].weight = 4;  // wrong value
  EXPECT_TRUE(rejects(bad));
  bad = good;
  bad[2].parent = 0;  // flow-equivalent pairs (0,2)=3 but edge weighs 5
  EXPECT_TRUE(rejects(bad));
  bad = good;
  bad[2].parent = 0;
  bad[2].weight = 3;  // flow equivalent for (0,2), but pair (1,2) reads 3
  EXPECT_TRUE(rejects(bad));
  bad = good;
  bad[2].id = 1;  // id not a permutation
  EXPECT_TRUE(rejects(bad));
  bad = good;
  bad[1].pos = 2;  // pos not the inverse of id
  EXPECT_TRUE(rejects(bad));
  bad = good;
  bad[1].parent = 2;  // edges 1-2 twice: a cycle, node 0 cut off
  bad[1].weight = 5;
  EXPECT_TRUE(rejects(bad));
  bad = good;
  bad[2].parent = 2;  // own parent
  EXPECT_TRUE(rejects(bad));
  bad = good;
  bad[2].parent = 3;  // outside the node range
  EXPECT_TRUE(rejects(bad));
  bad = good;
  std::swap(bad[0], bad[1]);  // root not at position 0
  bad[0].pos = 0;
  bad[1].pos = 1;
  EXPECT_TRUE(rejects(bad));
}

TEST(CutTreeChecks, CertificateCatchesFlowEquivalentButNonCutTree) {
  // A star K1,3 with centre 0 and spokes of capacity 1: every pair of leaves
  // has max flow 1, so the path 1 - 2 - 3 - 0 with unit weights is flow
  // equivalent, but removing its edge (1,2) separates {1} crossed by 1 (fine)
  // while removing (2,3) separates {1,2}, crossed by 2.
  const std::vector<IdEdge> edges{{0, 1, 1}, {0, 2, 1}, {0, 3, 1}};
  const FlowTable flows = oracle::allPairsMaxFlow(4, edges);
  const std::vector<tree> path{{0, 0, 0, 0}, {1, 1, 2, 1}, {2, 2, 3, 1}, {3, 3, 0, 1}};
  EXPECT_TRUE(oracle::checkAllPairs(path, flows).empty());
  EXPECT_FALSE(oracle::checkCertificates(path, edges).empty());
}

TEST(CutTreeChecks, BoostAgreesWithCutEnumeration) {
  int compared = 0;
  for (int index = 0; index < 150; index++) {
    const uint64_t seed = caseSeed(900, index);
    Generator gen(seed);
    const Instance inst = gen.make(gen.between(2, 11), 3);
    const int n = inst.nodeCount();
    const auto edges = sunder::test::idEdges(inst);
    const FlowTable boost = oracle::allPairsMaxFlow(n, edges);
    const FlowTable enumerated = oracle::allPairsByEnumeration(n, edges);
    ASSERT_EQ(boost, enumerated) << originOf(seed, 900, index) << "\n" << inst.text();
    compared += n * (n - 1) / 2;
  }
  EXPECT_GT(compared, 1000);
}

TEST(CutTreeChecks, AcceptReferenceTreesAndRejectTheirCorruptions) {
  for (int index = 0; index < 80; index++) {
    const uint64_t seed = caseSeed(901, index);
    Generator gen(seed);
    const Instance inst = gen.make(pickNodeCount(gen), 3);
    const int n = inst.nodeCount();
    const auto edges = sunder::test::idEdges(inst);
    const FlowTable flows = oracle::allPairsMaxFlow(n, edges);
    const std::vector<tree> ref = oracle::toRecords(oracle::gusfieldTree(n, edges));
    const auto problems = oracle::checkCutTree(ref, n, edges, flows);
    ASSERT_TRUE(problems.empty()) << originOf(seed, 901, index) << "\n"
                                  << oracle::joinProblems(problems) << inst.text();
    // A weight off by one, at a few positions, is caught.
    for (int p = 1; p < n; p += std::max(1, n / 5)) {
      for (int64_t delta : {-1, 1}) {
        auto bad = ref;
        bad[p].weight += delta;
        EXPECT_FALSE(oracle::checkCutTree(bad, n, edges, flows).empty())
            << originOf(seed, 901, index) << " position " << p;
      }
    }
  }
}

TEST(CutTreeChecks, CertificatesCatchTreesThatAreOnlyFlowEquivalent) {
  // Moving only unprocessed nodes to the new source keeps every pair's
  // value right but can leave tree edges whose split is no minimum cut.
  int caught = 0;
  for (int index = 0; index < 25; index++) {
    const uint64_t seed = caseSeed(902, index);
    Generator gen(seed);
    const Instance inst = gen.make(gen.between(8, 40), 3);
    const int n = inst.nodeCount();
    const auto edges = sunder::test::idEdges(inst);
    const FlowTable flows = oracle::allPairsMaxFlow(n, edges);
    const std::vector<tree> weak = oracle::toRecords(oracle::gusfieldTree(n, edges, true));
    EXPECT_TRUE(oracle::checkAllPairs(weak, flows).empty())
        << originOf(seed, 902, index) << "\n" << inst.text();
    caught += !oracle::checkCertificates(weak, edges).empty();
  }
  EXPECT_GT(caught, 0);
}

// ===========================================================================
// The smallest shapes, each with its value worked out by hand as well as
// the full check.

TEST(SmallShapes, SingleNodeHasNoTreeEdges) {
  // Only a self loop: the graph is the single number 3.
  const Instance inst = instanceOf("one node", 5, {{3, 3, 7}});
  const SolverRun run = runSolver(inst.text(), 1);
  ASSERT_EQ(run.n, 1);
  ASSERT_EQ(run.rec.size(), 1u);
  EXPECT_EQ(run.rec[0].id, 0);
  EXPECT_EQ(run.rec[0].pos, 0);
  EXPECT_TRUE(oracle::checkShape(run.rec, 1).empty());
}

TEST(SmallShapes, TwoNodesParallelEdgesAddUp) {
  const Instance inst =
      instanceOf("two nodes, parallel edges", 2, {{1, 2, 3}, {2, 1, 4}, {1, 2, 5}, {1, 1, 9}});
  const SolverRun run = runSolver(inst.text(), 1);
  ASSERT_EQ(run.n, 2);
  EXPECT_EQ(run.rec[1].id, 1);
  EXPECT_EQ(run.rec[1].parent, 0);
  EXPECT_EQ(run.rec[1].weight, 12);
  EXPECT_TRUE(expectCorrectTree(inst, 1, "two nodes"));
}

TEST(SmallShapes, TwoNodesLargeCapacitiesSumBeyond32Bits) {
  const Instance inst = instanceOf("huge parallel edges", 1,
                                  {{0, 1, kMaxCap}, {1, 0, kMaxCap}, {0, 1, kMaxCap}});
  const SolverRun run = runSolver(inst.text(), 1);
  ASSERT_EQ(run.n, 2);
  EXPECT_EQ(run.rec[1].weight, 3 * kMaxCap);
  EXPECT_TRUE(expectCorrectTree(inst, 1, "huge parallel edges"));
}

TEST(SmallShapes, HugeParallelEdgesBetweenLaterNodes) {
  // Nodes 0, 1, 2: 0 - 1 and 0 - 2 of capacity 1, and three parallel edges
  // of the largest capacity between 1 and 2, whose merged value (3 x
  // 2147483647) must survive compaction in both directions. Cuts: 2 for
  // node 0 against either, 3 x 2147483647 + 1 between 1 and 2.
  const Instance inst = instanceOf("huge parallels 1 - 2", 2,
                                  {{0, 1, 1}, {1, 2, kMaxCap}, {2, 1, kMaxCap},
                                   {1, 2, kMaxCap}, {2, 0, 1}});
  for (unsigned randSeed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    const SolverRun run = runSolver(inst.text(), randSeed);
    ASSERT_EQ(run.n, 3);
    std::multiset<int64_t> weights;
    for (int p = 1; p < 3; p++) weights.insert(run.rec[p].weight);
    EXPECT_EQ(weights, (std::multiset<int64_t>{2, 3 * kMaxCap + 1})) << "srand " << randSeed;
    EXPECT_TRUE(expectCorrectTree(inst, randSeed, "huge parallels 1 - 2"));
  }
}

TEST(SmallShapes, TwoNodesZeroCapacity) {
  const Instance inst = instanceOf("zero edge", 2, {{1, 2, 0}});
  const SolverRun run = runSolver(inst.text(), 1);
  ASSERT_EQ(run.n, 2);
  EXPECT_EQ(run.rec[1].weight, 0);
  EXPECT_TRUE(expectCorrectTree(inst, 1, "zero edge"));
}

TEST(SmallShapes, IsolatedInnerNumberIsANodeWithZeroCuts) {
  // Numbers 0 and 2 carry an edge; number 1 is a node without arcs.
  const Instance inst = instanceOf("hole at 1", 2, {{0, 2, 5}});
  const SolverRun run = runSolver(inst.text(), 1);
  ASSERT_EQ(run.n, 3);
  std::multiset<int64_t> weights;
  for (int p = 1; p < 3; p++) weights.insert(run.rec[p].weight);
  EXPECT_EQ(weights, (std::multiset<int64_t>{0, 5}));
  EXPECT_TRUE(expectCorrectTree(inst, 1, "hole at 1"));
}

TEST(SmallShapes, UnusedNumbersOutsideTheRangeAreNotNodes) {
  // N = 9 but only 4, 5 and 6 are used: three nodes, a path 4 - 5 - 6.
  const Instance inst = instanceOf("numbers 4..6 of 0..9", 9, {{5, 4, 2}, {6, 5, 8}});
  const SolverRun run = runSolver(inst.text(), 1);
  ASSERT_EQ(run.n, 3);
  std::multiset<int64_t> weights;
  for (int p = 1; p < 3; p++) weights.insert(run.rec[p].weight);
  EXPECT_EQ(weights, (std::multiset<int64_t>{2, 8}));
  EXPECT_TRUE(expectCorrectTree(inst, 1, "numbers 4..6"));
}

TEST(SmallShapes, DisconnectedComponentsAreJoinedByZeroEdges) {
  // Triangles {1,2,3} and {4,5,6} and an edge 7 - 8: three components, so
  // exactly two tree edges weigh 0, and every cut inside a component is
  // positive.
  const Instance inst = instanceOf("three components", 8,
                                  {{1, 2, 4}, {2, 3, 4}, {3, 1, 4},
                                   {4, 5, 1}, {5, 6, 2}, {6, 4, 3},
                                   {7, 8, 6}});
  for (unsigned randSeed : {1u, 2u, 3u, 4u, 5u}) {
    const SolverRun run = runSolver(inst.text(), randSeed);
    ASSERT_EQ(run.n, 8);
    int zeros = 0;
    for (int p = 1; p < 8; p++) zeros += run.rec[p].weight == 0;
    EXPECT_EQ(zeros, 2) << "srand " << randSeed << "\n" << oracle::describeTree(run.rec);
    EXPECT_TRUE(expectCorrectTree(inst, randSeed, "three components"));
  }
}

TEST(SmallShapes, AllZeroCapacities) {
  const Instance inst = instanceOf("all zero", 6,
                                  {{1, 2, 0}, {2, 3, 0}, {3, 4, 0}, {4, 5, 0},
                                   {5, 6, 0}, {6, 1, 0}, {2, 5, 0}, {3, 3, 0}});
  const SolverRun run = runSolver(inst.text(), 1);
  ASSERT_EQ(run.n, 6);
  for (int p = 1; p < 6; p++) EXPECT_EQ(run.rec[p].weight, 0) << "position " << p;
  EXPECT_TRUE(expectCorrectTree(inst, 1, "all zero"));
}

TEST(SmallShapes, StarOfDistinctSpokes) {
  // Centre 0, spokes of capacity 1..5 to nodes 1..5: each leaf's cut is its
  // own spoke, whatever the order in which the nodes are taken.
  const Instance inst = instanceOf("star", 5,
                                  {{0, 1, 1}, {0, 2, 2}, {0, 3, 3}, {0, 4, 4}, {0, 5, 5}});
  for (unsigned randSeed : {1u, 7u, 11u}) {
    const SolverRun run = runSolver(inst.text(), randSeed);
    ASSERT_EQ(run.n, 6);
    std::multiset<int64_t> weights;
    for (int p = 1; p < 6; p++) weights.insert(run.rec[p].weight);
    EXPECT_EQ(weights, (std::multiset<int64_t>{1, 2, 3, 4, 5})) << "srand " << randSeed;
    EXPECT_TRUE(expectCorrectTree(inst, randSeed, "star"));
  }
}

TEST(SmallShapes, CompleteGraphOfEqualCapacitiesIsAllTies) {
  // K6 with unit capacities: every minimum cut is 5, cut off one node,
  // while many other cuts come close; ties throughout.
  Instance inst;
  inst.note = "K6";
  inst.N = 6;
  for (int a = 1; a <= 6; a++)
    for (int b = a + 1; b <= 6; b++) inst.arcs.push_back({a, b, 1});
  for (unsigned randSeed : {1u, 2u, 3u}) {
    const SolverRun run = runSolver(inst.text(), randSeed);
    ASSERT_EQ(run.n, 6);
    for (int p = 1; p < 6; p++) EXPECT_EQ(run.rec[p].weight, 5);
    EXPECT_TRUE(expectCorrectTree(inst, randSeed, "K6"));
  }
}

// ===========================================================================
// Random graphs of 2 to 60 nodes. Each instance is solved twice: under
// srand(1), the order the sunder program takes, and under a seed of its
// own, so the processing order varies too.

constexpr int kBatches = 8;
constexpr int kCasesPerBatch = 50;

class RandomCutTrees : public ::testing::TestWithParam<int> {};

TEST_P(RandomCutTrees, MatchBoostForEveryEdgePairAndCut) {
  const int batch = GetParam();
  int failures = 0;  // the first is shrunk, the next few printed, the rest counted
  int checkedPairs = 0;
  for (int index = 0; index < kCasesPerBatch; index++) {
    const uint64_t seed = caseSeed(batch, index);
    Generator gen(seed);
    const Instance inst = gen.make(pickNodeCount(gen), 4);
    const int n = inst.nodeCount();
    const auto edges = sunder::test::idEdges(inst);
    const FlowTable flows = oracle::allPairsMaxFlow(n, edges);
    if (n <= 11) {
      ASSERT_EQ(flows, oracle::allPairsByEnumeration(n, edges))
          << "oracles disagree on " << originOf(seed, batch, index) << "\n"
          << inst.text();
    }
    for (unsigned randSeed : {1u, static_cast<unsigned>(seed % 1000003u) + 2u}) {
      const SolverRun run = runSolver(inst.text(), randSeed);
      const auto problems = judge(run, inst, flows);
      if (problems.empty()) continue;
      if (++failures == 1) {
        expectCorrectTree(inst, randSeed, originOf(seed, batch, index));
      } else if (failures <= 4) {
        ADD_FAILURE() << originOf(seed, batch, index) << ", srand(" << randSeed
                      << "): the cut tree is wrong\n"
                      << oracle::joinProblems(problems, 4) << "instance:\n"
                      << inst.text();
      }
    }
    checkedPairs += n * (n - 1) / 2;
  }
  EXPECT_EQ(failures, 0) << "wrong trees in batch " << batch << " (" << 2 * kCasesPerBatch
                         << " runs)";
  EXPECT_GT(checkedPairs, 0);
}

INSTANTIATE_TEST_SUITE_P(Batches, RandomCutTrees, ::testing::Range(0, kBatches));

// The random instances really contain what the batches claim to cover.
TEST(RandomCutTrees, InstancesCoverTheAwkwardCases) {
  std::map<std::string, int> seen;
  int total = 0;
  for (int batch = 0; batch < kBatches; batch++) {
    for (int index = 0; index < kCasesPerBatch; index++) {
      Generator gen(caseSeed(batch, index));
      const Instance inst = gen.make(pickNodeCount(gen), 4);
      const int n = inst.nodeCount(), lo = inst.lowest(), hi = inst.highest();
      total++;
      std::set<std::pair<int, int>> pairs;
      std::vector<bool> used(static_cast<size_t>(hi + 1), false);
      std::vector<int> up(static_cast<size_t>(n));
      for (int k = 0; k < n; k++) up[k] = k;
      auto root = [&](int x) {
        while (up[x] != x) x = up[x] = up[up[x]];
        return x;
      };
      bool parallel = false, loop = false, zero = false, huge = false;
      int components = n;
      for (const InstanceArc &a : inst.arcs) {
        used[a.tail] = used[a.head] = true;
        loop = loop || a.tail == a.head;
        zero = zero || a.cap == 0;
        huge = huge || a.cap > (int64_t{1} << 30);
        if (a.tail != a.head && !pairs.insert(std::minmax(a.tail, a.head)).second) parallel = true;
        const int x = root(a.tail - lo), y = root(a.head - lo);
        if (x != y) {
          up[x] = y;
          components--;
        }
      }
      bool hole = false;
      for (int x = lo; x <= hi; x++) hole = hole || !used[x];
      seen["parallel edges"] += parallel;
      seen["self loops"] += loop;
      seen["zero capacities"] += zero;
      seen["capacities above 2^30"] += huge;
      seen["inner numbers without arcs"] += hole;
      seen["unused numbers below"] += lo > 0;
      seen["numbers from 0"] += lo == 0;
      seen["unused numbers above"] += inst.N > hi;
      seen["disconnected"] += components > 1;
      seen["2 nodes"] += n == 2;
      seen["at most 11 nodes (enumerated)"] += n <= 11;
      seen["50 nodes or more"] += n >= 50;
    }
  }
  EXPECT_EQ(total, kBatches * kCasesPerBatch);
  std::string summary;
  for (const auto &[what, count] : seen) {
    summary += "  " + what + ": " + std::to_string(count) + "\n";
    EXPECT_GE(count, 10) << what;
  }
  std::printf("random instances: %d\n%s", total, summary.c_str());
}

// ===========================================================================
// Larger graphs (100 to 300 nodes), where gaps, dormant layers and global
// relabelling have room to act: shape, every tree edge against Boost, every
// certificate, and a sample of pairs against Boost.

TEST(LargerCutTrees, MatchBoostOnTreeEdgesSampledPairsAndCuts) {
  for (int index = 0; index < 12; index++) {
    const uint64_t seed = caseSeed(700, index);
    Generator gen(seed);
    const Instance inst = gen.make(gen.between(100, 300), 5);
    const int n = inst.nodeCount();
    const auto edges = sunder::test::idEdges(inst);
    const unsigned randSeed = index % 2 == 0 ? 1u : static_cast<unsigned>(index) + 2u;
    const SolverRun run = runSolver(inst.text(), randSeed);
    const std::string origin = originOf(seed, 700, index) + ", srand(" +
                               std::to_string(randSeed) + ")";
    ASSERT_EQ(run.n, n) << origin;
    std::vector<std::string> problems = oracle::checkShape(run.rec, n);
    ASSERT_TRUE(problems.empty()) << origin << "\n" << oracle::joinProblems(problems);

    oracle::MaxFlow oracle(n, edges);
    std::map<std::pair<int, int>, int64_t> cache;
    auto flow = [&](int a, int b) {
      auto key = std::minmax(a, b);
      auto it = cache.find(key);
      if (it != cache.end()) return it->second;
      return cache[key] = oracle.maxFlow(a, b);
    };
    problems = oracle::checkEdgeWeights(run.rec, flow);
    for (auto &p : oracle::checkCertificates(run.rec, edges)) problems.push_back(p);

    // Sampled pairs: the lightest edge on the tree path against Boost.
    std::vector<std::pair<int, int>> pairs;
    for (int sample = 0; sample < 40; sample++) {
      const int u = gen.below(n);
      for (int k = 0; k < 5; k++) {
        const int v = gen.below(n);
        if (v != u) pairs.emplace_back(u, v);
      }
    }
    for (auto &p : oracle::checkPairs(run.rec, pairs, flow)) problems.push_back(p);
    EXPECT_TRUE(problems.empty()) << origin << " (" << n << " nodes, "
                                  << inst.arcs.size() << " arcs)\n"
                                  << oracle::joinProblems(problems) << "instance:\n"
                                  << inst.text();
  }
}

}  // namespace
