// The library under hostile use: capacities whose sum would pass 64 bits,
// accessors given indices outside their range, trees with repeated ids, a
// thread count far beyond the cores, and an allocation failure at every
// point of a whole build (each must reach the caller as sunder::Error "not
// enough memory for ...", or leave the answers as they would have been).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

#include "sunder/sunder.h"
#include "verify/oracle.h"

// Every allocation of the process goes through here. While gFailAt is 0 or
// more it counts down, and the allocation that finds it at 0 fails.
namespace {
std::atomic<int64_t> gFailAt{-1};

void *allocate(size_t size) {
  if (gFailAt.load(std::memory_order_relaxed) >= 0 && gFailAt.fetch_sub(1) == 0)
    throw std::bad_alloc();
  void *p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
// The test's own allocations (copies of results) stop the countdown
// meanwhile.
class Unarmed {
 public:
  Unarmed() : saved_(gFailAt.exchange(-1)) {}
  ~Unarmed() { gFailAt.store(saved_); }

 private:
  int64_t saved_;
};
}  // namespace

void *operator new(size_t size) { return allocate(size); }
void *operator new[](size_t size) { return allocate(size); }
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, size_t) noexcept { std::free(p); }
void operator delete[](void *p, size_t) noexcept { std::free(p); }
// The nothrow forms too (std::stable_sort's buffer), so that every new and
// delete of the process pair up.
void *operator new(size_t size, const std::nothrow_t &) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}
void *operator new[](size_t size, const std::nothrow_t &tag) noexcept { return operator new(size, tag); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }

namespace {

using sunder::Capacity;
using sunder::NodeId;

constexpr Capacity kBound = sunder::kMaxTotalCapacity;

std::string messageOf(const std::function<void()> &f) {
  try {
    f();
  } catch (const std::exception &e) {
    return e.what();
  }
  return "(no exception)";
}

TEST(HostileCapacities, TheTotalStopsAtTheBoundWithTheEdgeNamed) {
  EXPECT_EQ(kBound, INT64_C(4611686018427387903));
  sunder::Graph g;
  g.addEdge(1, 2, kBound - 5);
  g.addEdge(2, 3, 5);  // exactly the bound
  EXPECT_EQ(g.totalCapacity(), kBound);
  EXPECT_EQ(messageOf([&] { g.addEdge(3, 4, 1); }),
            "edge {3, 4}: the capacities add up to more than 4611686018427387903");
  // The failed edge left nothing behind: no node 4, no edge, the same total.
  EXPECT_FALSE(g.contains(4));
  EXPECT_EQ(g.edgeCount(), 2);
  EXPECT_EQ(g.totalCapacity(), kBound);
  // A self loop takes no cut but counts: the bound is on what is stored.
  EXPECT_THROW(g.addEdge(1, 1, 1), sunder::Error);
  EXPECT_EQ(messageOf([] { sunder::Graph h; h.addEdge(1, 2, INT64_MAX); }),
            "edge {1, 2}: the capacities add up to more than 4611686018427387903");
  sunder::CapacityTotal total;
  total.add(kBound);
  EXPECT_THROW(total.add(1), sunder::Error);
  EXPECT_EQ(total.value(), kBound);
}

// At the bound itself every value is exact: a triangle of three edges of
// (2^62 - 1) / 3 each has every cut equal to two of them.
TEST(HostileCapacities, TreesAtTheBoundAreExactOnEveryEngine) {
  const Capacity third = kBound / 3;
  for (sunder::Engine engine : sunder::allEngines()) {
    sunder::Graph g;
    g.addEdge(0, 1, third);
    g.addEdge(1, 2, third);
    g.addEdge(0, 2, third);
    sunder::BuildOptions options;
    options.engine = engine;
    sunder::CutTree t = sunder::buildCutTree(g, options);
    for (const sunder::TreeEdge &e : t.edges()) EXPECT_EQ(e.weight, 2 * third) << engineName(engine);
  }
}

TEST(HostileCapacities, TheOracleRefusesWhatCouldWrap) {
  std::vector<oracle::Edge> edges{{0, 1, oracle::kMaxTotalCapacity}, {1, 2, 1}};
  EXPECT_THROW(oracle::MaxFlow(3, edges), std::overflow_error);
  edges[0].cap = oracle::kMaxTotalCapacity - 1;
  oracle::MaxFlow flow(3, edges);
  EXPECT_EQ(flow.maxFlow(0, 2), 1);
}

TEST(HostileAccessors, IndicesOutsideTheRangeAndRepeatedIds) {
  sunder::Graph g;
  g.addEdge(10, 20, 3);
  EXPECT_EQ(g.idOf(1), 20);
  EXPECT_EQ(messageOf([&] { g.idOf(7); }), "node index 7 is outside 0 ... 1");
  EXPECT_THROW(g.idOf(-1), std::out_of_range);
  sunder::CutTree t = sunder::buildCutTree(g);
  EXPECT_EQ(t.minCutValueAt(0, 1), 3);
  EXPECT_EQ(messageOf([&] { t.minCutValueAt(0, 99); }), "node index 99 is outside 0 ... 1");
  EXPECT_THROW(t.minCutValueAt(-1, 0), std::out_of_range);
  EXPECT_EQ(messageOf([] { sunder::CutTree({5, 6, 5}, {-1, 0, 0}, {0, 1, 1}); }),
            "node 5 appears twice in a cut tree");
  sunder::CutTree empty;
  EXPECT_THROW(empty.minCutValueAt(0, 0), std::out_of_range);
}

TEST(HostileThreads, FarMoreThreadsThanCoresRunAsManyAsMakeSense) {
  sunder::Graph g;
  for (int k = 0; k < 300; k++) {
    g.addEdge(k, (k + 1) % 300, 2 + k % 3);
    g.addEdge(k, (k + 7) % 300, 1);
  }
  sunder::BuildOptions options;
  options.threads = 1 << 30;
  sunder::CutTree many = sunder::buildCutTree(g, options);
  options.threads = 1;
  sunder::CutTree one = sunder::buildCutTree(g, options);
  EXPECT_GE(many.stats().threads, 1);
  EXPECT_LE(many.stats().threads, 8 + static_cast<int>(std::thread::hardware_concurrency()));
  EXPECT_EQ(many.parents(), one.parents());
  EXPECT_EQ(many.weights(), one.weights());
}

// A graph that takes every stage: the reader, the decomposition (a bridge,
// an isolated node, a block of four solved densely, a block of 40 nodes
// given to an engine), the engines, the glued tree and its queries.
std::string sweepText() {
  std::string text;
  auto edge = [&](int u, int v, int c) {
    text += std::to_string(u) + " " + std::to_string(v) + " " + std::to_string(c) + "\n";
  };
  for (int k = 0; k < 40; k++) {
    edge(k, (k + 1) % 40, 3 + k % 4);
    edge(k, (k + 11) % 40, 1 + k % 2);
  }
  edge(39, 40, 2);  // the bridge
  edge(40, 41, 5);
  edge(41, 42, 1);
  edge(42, 43, 4);
  edge(43, 40, 2);
  edge(44, 44, 1);  // a node of its own (a self loop)
  return text;
}

struct Answers {
  std::vector<int32_t> parents;
  std::vector<Capacity> weights;
  Capacity value = 0;
  size_t side = 0;
  Capacity global = 0;
  size_t edges = 0;
};

Answers everyStage(const std::string &text, const sunder::BuildOptions &options) {
  sunder::GraphFile file = sunder::readGraphText(text, sunder::Format::EdgeList, "sweep.edges");
  sunder::CutTree t = sunder::buildCutTree(file.graph, options);
  Answers a;
  {
    Unarmed copying;
    a.parents = t.parents();
    a.weights = t.weights();
  }
  a.value = t.minCutValue(0, 42);
  a.side = t.minCut(3, 41).side.size();
  a.global = t.globalMinCut().value;
  a.edges = t.edges().size();
  return a;
}

bool operator==(const Answers &a, const Answers &b) {
  return a.parents == b.parents && a.weights == b.weights && a.value == b.value &&
         a.side == b.side && a.global == b.global && a.edges == b.edges;
}

// Fails the first, second, ... allocation of a whole build in turn, until
// a build makes fewer allocations than the countdown. Each failure must be
// sunder::Error "not enough memory for ...", or be recovered from with the
// answers unchanged (on several threads the order of allocations varies,
// but never the rule).
void sweepAllocations(const sunder::BuildOptions &options, const char *name) {
  const std::string text = sweepText();
  const Answers want = everyStage(text, options);
  int failures = 0;
  for (int64_t k = 0;; k++) {
    gFailAt.store(k);
    std::string error;
    Answers got;
    try {
      got = everyStage(text, options);
    } catch (const sunder::Error &e) {
      Unarmed copying;
      error = e.what();
    } catch (const std::exception &e) {
      gFailAt.store(-1);
      FAIL() << name << ": allocation " << k << " gave a foreign exception: " << e.what();
    }
    bool reached = gFailAt.exchange(-1) < 0;
    if (!reached) break;  // every allocation of the build passed
    if (!error.empty()) {
      failures++;
      ASSERT_EQ(error.find("not enough memory"), 0u) << name << ", allocation " << k << ": " << error;
    } else {
      ASSERT_TRUE(got == want) << name << ": allocation " << k << " failed unnoticed";
    }
  }
  EXPECT_GT(failures, 50) << name;
}

TEST(HostileMemory, EveryFailedAllocationOfABuildIsAnError) {
  sunder::BuildOptions options;
  sweepAllocations(options, "auto");
  for (sunder::Engine engine : {sunder::Engine::PushRelabel, sunder::Engine::ShortestPaths, sunder::Engine::SearchTrees}) {
    options.engine = engine;
    options.decompose = engine != sunder::Engine::PushRelabel;
    sweepAllocations(options, sunder::engineName(engine));
  }
  options.engine = sunder::Engine::Auto;
  options.decompose = false;  // the probe of every candidate
  sweepAllocations(options, "auto, whole graph");
  options.threads = 2;
  sweepAllocations(options, "auto, whole graph, two threads");
}

}  // namespace
