// Every setting of the s-t computation yields a correct Gomory-Hu tree, and
// the default settings are the exact computation of the cut-tree loop.
//
// Trees are built by the Gusfield driver on minimumCutWith over random
// multigraphs (parallel edges and self loops included) and judged by the
// Boost Graph checks: shape, every tree edge against max flow, all pairs,
// and the cut certificate of every tree edge.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "instance.h"
#include "verify/reference.h"
#include "verify/solver_tree.h"
#include "graph/graph.h"
#include "verify/quiet_stdout.h"
#include "lib/driver/gusfield.h"
#include "solver/solver.h"

namespace {

using sunder::test::Instance;

Instance randomMultigraph(std::mt19937_64 &rng, int n, int m) {
  Instance inst;
  inst.N = n;
  std::uniform_int_distribution<int> end(1, n);
  std::uniform_int_distribution<int64_t> cap(1, 30);
  for (int k = 1; k < n; k++) inst.arcs.push_back({k, k + 1, cap(rng)});  // connected
  while (static_cast<int>(inst.arcs.size()) < m) inst.arcs.push_back({end(rng), end(rng), cap(rng)});
  return inst;
}

graph *prepared(const Instance &inst) {
  std::string text = inst.text();
  FILE *input = fmemopen(&text[0], text.size(), "r");
  graph *g = dimacsParse(input);
  fclose(input);
  copyArcs(g);
  initContracted(g);
  allocateStorage(g);
  return g;
}

// The solver's computation under `settings`; listsCompacted, when set,
// applies from the second computation on, as a caller would use it.
class SettingsEngine : public sunder::detail::CutEngine {
 public:
  SettingsEngine(graph *g, const cutSettings &settings) : g_(g), settings_(settings) {
    current_ = settings;
    current_.listsCompacted = false;
  }
  int64_t cut(int32_t s, int32_t t, std::vector<uint8_t> &side, int64_t) override {
    int64_t value = minimumCutWith(g_, s, t, &current_);
    current_.listsCompacted = settings_.listsCompacted;
    side.resize(g_->n);
    for (int32_t k = 0; k < g_->n; k++) side[k] = static_cast<uint8_t>(g_->nodes[k].side);
    return value;
  }
  sunder::detail::Counters counters() const override { return {}; }

 private:
  graph *g_;
  cutSettings settings_, current_;
};

// Gusfield's method through the library's driver.
std::vector<tree> treeWith(graph *g, const cutSettings &settings) {
  SettingsEngine engine(g, settings);
  sunder::detail::GusfieldRun run = sunder::detail::startRun(g->n);
  sunder::detail::DriverOptions options;
  options.engine = &engine;
  sunder::detail::runGusfield(run, options);
  return run.records;
}

std::vector<cutSettings> variants() {
  std::vector<cutSettings> all;
  for (bool start : {false, true})
    for (double factor : {2.0, 0.0, 0.5, 8.0, 1e9})
      for (bool compacted : {false, true}) {
        cutSettings s;
        s.startWithGlobalUpdate = start;
        s.updateFactor = factor;
        s.listsCompacted = compacted;
        all.push_back(s);
      }
  return all;
}

TEST(CutSettings, EveryVariantBuildsACutTree) {
  std::mt19937_64 rng(0xC075E77);
  for (int round = 0; round < 12; round++) {
    const int n = 6 + static_cast<int>(rng() % 30);
    const Instance inst = randomMultigraph(rng, n, n + static_cast<int>(rng() % (3 * n)));
    const std::vector<oracle::Edge> edges = sunder::test::idEdges(inst);
    const int ids = inst.nodeCount();
    const oracle::FlowTable flows = oracle::allPairsMaxFlow(ids, edges);
    for (const cutSettings &settings : variants()) {
      graph *g = prepared(inst);
      const std::vector<tree> rec = treeWith(g, settings);
      const std::vector<std::string> problems = oracle::checkCutTree(rec, ids, edges, flows);
      EXPECT_TRUE(problems.empty())
          << "start-update " << settings.startWithGlobalUpdate << " factor "
          << settings.updateFactor << " compacted " << settings.listsCompacted << ": "
          << oracle::joinProblems(problems) << "\n"
          << inst.text();
    }
  }
}

// The default settings and minimumCut give the same cuts and count the same
// work, computation by computation; saying the lists are compacted after
// the first computation changes neither, also on a multigraph whose first
// compaction merged and dropped arcs.
TEST(CutSettings, DefaultsAreTheExactComputation) {
  std::mt19937_64 rng(0xE7AC7);
  const Instance inst = randomMultigraph(rng, 40, 160);
  graph *a = prepared(inst), *b = prepared(inst), *c = prepared(inst);
  const cutSettings exact;
  cutSettings compacted;
  for (int32_t s = 1; s < a->n; s++) {
    const int64_t cut = minimumCut(a, s, 0);
    ASSERT_EQ(minimumCutWith(b, s, 0, &exact), cut);
    ASSERT_EQ(minimumCutWith(c, s, 0, &compacted), cut);
    compacted.listsCompacted = true;
    for (graph *other : {b, c}) {
      for (int k = 0; k < 7; k++) ASSERT_EQ(other->edgeScans[k], a->edgeScans[k]) << k;
      ASSERT_EQ(other->relabels, a->relabels);
      ASSERT_EQ(other->pushes, a->pushes);
    }
  }
  // A lever that changes the work shows in the counters.
  graph *d = prepared(inst);
  cutSettings early;
  early.startWithGlobalUpdate = true;
  for (int32_t s = 1; s < d->n; s++) minimumCutWith(d, s, 0, &early);
  EXPECT_GT(d->edgeScans[5], a->edgeScans[5]);
}

// A computation held to fewer arc scans than it needs stops and says so;
// one given as many as it makes finds its cut, and so does the next
// computation on a graph that one stopped, with the same work.
TEST(CutSettings, AScanLimitStopsTheComputationThatPassesIt) {
  std::mt19937_64 rng(0x5CA7);
  const Instance inst = randomMultigraph(rng, 60, 300);
  graph *a = prepared(inst), *b = prepared(inst);
  for (graph *g : {a, b}) minimumCut(g, 1, 0);  // the first compacts the lists
  int stopped = 0;
  for (int32_t s = 1; s < a->n; s++) {
    int64_t before = totalEdgeScans(a);
    const int64_t cut = minimumCut(a, s, 0);
    int64_t spent = totalEdgeScans(a) - before;
    cutSettings limited;
    limited.scanLimit = spent / 8;
    int64_t early = minimumCutWith(b, s, 0, &limited);
    if (early < 0) stopped++;
    else ASSERT_EQ(early, cut);
    limited.scanLimit = spent;  // the reset's scans are not the step's
    before = totalEdgeScans(b);
    ASSERT_EQ(minimumCutWith(b, s, 0, &limited), cut);
    ASSERT_EQ(totalEdgeScans(b) - before, spent);
  }
  EXPECT_GT(stopped, (a->n - 1) / 2);
}

}  // namespace
