// Cut output, one-node cuts and the scan total of the graph module. This
// file is compiled twice: against the solver build, and with
// GRAPH_STATISTICS against the statistics build, where it also checks the
// statistics that saveTrivialCut records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "capture_stdout.h"
#include "graph/graph.h"

namespace {

// A graph of n live nodes without arcs, linked into the node list the way
// the solver's set-up links them.
graph *liveNodes(int n) {
  graph *g = makeGraph(n, 1);
  for (int k = 0; k < n; k++) g->nodes[k].next = g->nodes + k + 1;
  g->nodeList = g->nodes;
  g->endNode = g->nodes + n;
  return g;
}

std::string printedCut(graph *g, const std::vector<int> &sides) {
  for (size_t k = 0; k < sides.size(); k++) g->nodes[k].side = sides[k];
  return captureStdout([&] { printCut(g); });
}

TEST(PrintCut, PrintsSideChosenAgainstHalfOfN) {
  graph *g = liveNodes(4);
  const std::string header = "c one side of the mincut\n";
  // z = 1 < 4 / 2: side 0 is printed.
  EXPECT_EQ(printedCut(g, {1, 0, 1, 1}), header + "n 2\n");
  // z = 2 is not below 2: side 1.
  EXPECT_EQ(printedCut(g, {0, 0, 1, 1}), header + "n 3\nn 4\n");
  // All on side 1: z = 0 chooses side 0, which is empty.
  EXPECT_EQ(printedCut(g, {1, 1, 1, 1}), header);
  freeGraph(g);

  g = liveNodes(5);
  // z = 2 is not below 5 / 2 = 2: the three side-1 nodes, though more.
  EXPECT_EQ(printedCut(g, {0, 1, 1, 0, 1}), header + "n 2\nn 3\nn 5\n");
  freeGraph(g);
}

TEST(PrintCut, ComparesWithTheGraphsNodeCountNotTheLiveOnes) {
  // Only nodes 0 and 2 are live, but half of n = 6 is 3.
  graph *g = makeGraph(6, 1);
  g->nodes[0].next = g->nodes + 2;
  g->nodes[2].next = g->endNode = g->nodes + 6;
  g->nodeList = g->nodes;
  g->nodes[0].side = 0;
  g->nodes[2].side = 0;
  EXPECT_EQ(captureStdout([&] { printCut(g); }), "c one side of the mincut\nn 1\nn 3\n");
  freeGraph(g);
}

TEST(SaveTrivialCut, RecordsValueAndSingleSinkSideNode) {
  graph *g = liveNodes(4);
  for (int k = 0; k < 4; k++) g->nodes[k].side = 1;
  g->cutCount = 3;
  saveTrivialCut(g, g->nodes + 2, 17);
  EXPECT_EQ(g->minCut, 17);
  EXPECT_EQ(g->cutCount, 4);
  for (int k = 0; k < 4; k++) EXPECT_EQ(g->nodes[k].side, k == 2 ? 1 : 0);
  EXPECT_GE(g->dtime, 0.0f);
  EXPECT_EQ(captureStdout([&] { printCut(g); }), "c one side of the mincut\nn 3\n");
  freeGraph(g);
}

TEST(TotalEdgeScans, SumsAllSevenCounters) {
  graph *g = liveNodes(1);
  EXPECT_EQ(totalEdgeScans(g), 0);
  for (int i = 0; i < 7; i++) g->edgeScans[i] = INT64_C(1) << (32 + i);
  EXPECT_EQ(totalEdgeScans(g), ((INT64_C(1) << 7) - 1) << 32);
  freeGraph(g);
}

TEST(MakeGraph, BlockSizesAndInitialValues) {
  graph *g = makeGraph(1, 1);
  EXPECT_EQ(g->n, 1);
  EXPECT_EQ(g->curN, 1);
  EXPECT_EQ(g->m, 1);
  EXPECT_EQ(g->endNode, g->vertexalloc + 1);
  EXPECT_EQ(g->nodes, g->vertexalloc);
  EXPECT_EQ(g->realArcsEnd, g->arcs + 2);
  EXPECT_EQ(g->minCut, INT64_MAX);
  EXPECT_EQ(g->cutCount, 0);
  EXPECT_EQ(g->scanPhase, 4);
  for (int i = 0; i < 7; i++) EXPECT_EQ(g->edgeScans[i], 0);
  // The whole node block (11 records) and both arc arrays (10 each) are
  // zero and writable.
  for (int k = 0; k < 11; k++) {
    EXPECT_EQ(g->vertexalloc[k].first, nullptr);
    EXPECT_EQ(g->vertexalloc[k].status, 0u);
    g->vertexalloc[k].d = k;
  }
  for (int k = 0; k < 10; k++) {
    EXPECT_EQ(g->arcs[k].head, nullptr);
    EXPECT_EQ(g->origarcs[k].cap, 0);
    g->arcs[k].cap = g->origarcs[k].cap = k;
  }
  freeGraph(g);
}

TEST(NodeRecord, StatusIsTheTopTwoBitsOfItsWord) {
  node v{};
  v.flags = 0x2ABCDEF;
  v.status = SOURCE_SIDE;
  uint32_t word;
  static_assert(offsetof(node, side) >= sizeof(uint32_t), "flag word precedes side");
  memcpy(&word, reinterpret_cast<const char *>(&v) + offsetof(node, side) - sizeof word, sizeof word);
  EXPECT_EQ(word >> 30, 2u);
  EXPECT_EQ(word & 0x3FFFFFFFu, 0x2ABCDEFu);  // writes of status keep the rest
  v.status = AWAKE;
  memcpy(&word, reinterpret_cast<const char *>(&v) + offsetof(node, side) - sizeof word, sizeof word);
  EXPECT_EQ(word, 0x42ABCDEFu);
}

#ifdef GRAPH_STATISTICS
TEST(StatisticsBuild, TrivialCutWeightAndCounters) {
  graph *g = liveNodes(5);
  saveTrivialCut(g, g->nodes, 9);
  EXPECT_EQ(g->savedCut, 9);
  EXPECT_FLOAT_EQ(g->savedWeight, 0.25f);
  EXPECT_EQ(g->trivialCuts, 1);
  EXPECT_EQ(g->savedCount, 1);
  EXPECT_EQ(g->cutCount, 1);
  saveTrivialCut(g, g->nodes + 1, 4);
  EXPECT_EQ(g->savedCut, 4);
  EXPECT_EQ(g->trivialCuts, 2);
  EXPECT_EQ(g->savedCount, 2);
  freeGraph(g);
}

TEST(StatisticsBuild, SingleLiveNodeGetsZeroWeightNotInfinity) {
  graph *g = liveNodes(1);
  saveTrivialCut(g, g->nodes, 0);
  EXPECT_TRUE(std::isfinite(g->savedWeight));
  EXPECT_EQ(g->savedWeight, 0.0f);
  EXPECT_EQ(g->savedCount, 1);
  freeGraph(g);
}

TEST(StatisticsBuild, ExtraMembersStandWhereExpected) {
  EXPECT_GT(offsetof(graph, savedCut), offsetof(graph, minCut));
  EXPECT_LT(offsetof(graph, savedCount), offsetof(graph, cutCount));
  EXPECT_LT(offsetof(node, degree), offsetof(node, current));
  EXPECT_GT(offsetof(node, trivialHits), offsetof(node, side));
}
#endif

}  // namespace
