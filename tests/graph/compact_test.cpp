// Arc compaction on instances read from text: self loops go, parallel arcs
// merge into the first of them, reverses stay consistent, and the scan
// counter sees every arc the walks meet.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "graph/graph.h"
#include "solver/solver.h"

namespace {

graph *readPrepared(const std::string &text) {
  FILE *in = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
  graph *g = dimacsParse(in);
  fclose(in);
  copyArcs(g);
  initContracted(g);
  return g;
}

std::vector<arc *> listOf(node *v) {
  std::vector<arc *> list;
  for (arc *a = v->first; a != nullptr; a = a->next) list.push_back(a);
  return list;
}

TEST(Compact, SelfLoopDisappearsAndIsCounted) {
  graph *g = readPrepared("p cut 2 2\na 1 1 9\na 1 2 4\n");
  ASSERT_EQ(listOf(g->nodes).size(), 3u);
  compact(g);
  std::vector<arc *> list = listOf(g->nodes);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]->head, g->nodes + 1);
  EXPECT_EQ(list[0]->cap, 4);
  EXPECT_EQ(g->edgeScans[4], 3 + 1);
  EXPECT_EQ(totalEdgeScans(g), 4);
  freeGraph(g);
}

TEST(Compact, ParallelEdgesMergeInEitherDirection) {
  for (const char *text : {"p cut 2 2\na 1 2 5\na 1 2 3\n", "p cut 2 2\na 1 2 5\na 2 1 3\n"}) {
    graph *g = readPrepared(text);
    node *u = g->nodes, *w = g->nodes + 1;
    compact(g);
    std::vector<arc *> fromU = listOf(u), fromW = listOf(w);
    ASSERT_EQ(fromU.size(), 1u) << text;
    ASSERT_EQ(fromW.size(), 1u) << text;
    EXPECT_EQ(fromU[0]->cap, 8);
    EXPECT_EQ(fromU[0]->resCap, 8);
    EXPECT_EQ(fromW[0]->cap, 8);
    EXPECT_EQ(fromW[0]->resCap, 8);
    EXPECT_EQ(fromU[0]->rev, fromW[0]);
    EXPECT_EQ(fromW[0]->rev, fromU[0]);
    EXPECT_EQ(fromU[0]->head, w);
    EXPECT_EQ(fromW[0]->head, u);
    freeGraph(g);
  }
}

TEST(Compact, RepresentativeIsFirstArcAndDroppedArcsStayInPlace) {
  // The reader's in-place sort leaves node 1's list as: to 2 (cap 1),
  // to 2 (cap 2), to 3 (cap 6), to 2 (cap 4).
  graph *g = readPrepared("p cut 3 4\na 1 2 1\na 1 3 6\na 1 2 2\na 2 1 4\n");
  node *u = g->nodes;
  std::vector<arc *> before = listOf(u);
  ASSERT_EQ(before.size(), 4u);
  const int64_t caps[] = {1, 2, 6, 4};
  for (int i = 0; i < 4; i++) ASSERT_EQ(before[i]->cap, caps[i]);
  compact(g);
  std::vector<arc *> after = listOf(u);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0], before[0]);  // the first arc to 2 absorbs the others
  EXPECT_EQ(after[0]->cap, 7);
  EXPECT_EQ(after[1], before[2]);  // kept arcs keep their order
  EXPECT_EQ(after[1]->cap, 6);
  EXPECT_EQ(before[1]->next, before[2]);  // unlinked arcs keep their next
  EXPECT_EQ(before[3]->next, nullptr);
  EXPECT_EQ(before[1]->rev->head, nullptr);
  EXPECT_EQ(before[3]->rev->head, nullptr);
  std::vector<arc *> fromTwo = listOf(g->nodes + 1);
  ASSERT_EQ(fromTwo.size(), 1u);
  EXPECT_EQ(fromTwo[0], after[0]->rev);
  EXPECT_EQ(fromTwo[0]->cap, 7);
  // Every arc of both visits counted: 4 + 3 (node 2's list) + 1 (node 3's).
  EXPECT_EQ(g->edgeScans[4], 8);
  freeGraph(g);
}

TEST(Compact, SecondCallChangesNothingButCounts) {
  graph *g = readPrepared("p cut 4 5\na 1 2 1\na 2 3 2\na 3 1 3\na 2 1 4\na 4 4 5\n");
  compact(g);
  int64_t firstScans = totalEdgeScans(g);
  EXPECT_EQ(firstScans, 2 * 5);  // every arc of the instance, once
  std::vector<std::vector<arc *>> lists;
  std::vector<int64_t> caps;
  for (node *v = g->nodeList; v != g->endNode; v = v->next) {
    lists.push_back(listOf(v));
    for (arc *a : lists.back()) caps.push_back(a->cap);
  }
  compact(g);
  size_t i = 0, k = 0;
  int64_t kept = 0;
  for (node *v = g->nodeList; v != g->endNode; v = v->next, i++) {
    EXPECT_EQ(listOf(v), lists[i]);
    for (arc *a : listOf(v)) EXPECT_EQ(a->cap, caps[k++]);
    kept += static_cast<int64_t>(lists[i].size());
  }
  EXPECT_EQ(kept, 6);  // three edges left, two arcs each
  EXPECT_EQ(totalEdgeScans(g), firstScans + kept);
  EXPECT_TRUE(listOf(g->nodes + 3).empty());  // node 4 had only a self loop
  freeGraph(g);
}

TEST(Compact, ThreeParallelEdgesMergeIntoOnePair) {
  graph *g = readPrepared("p cut 2 3\na 1 2 1\na 2 1 2\na 1 2 4\n");
  compact(g);
  ASSERT_EQ(listOf(g->nodes).size(), 1u);
  EXPECT_EQ(g->nodes->first->cap, 7);
  EXPECT_EQ(g->nodes->first->rev->cap, 7);
  EXPECT_EQ(g->nodes->first->rev, (g->nodes + 1)->first);
  freeGraph(g);
}

TEST(Compact, MergesResidualCapacitiesAsTheyStand) {
  // The cut loop resets resCap to cap first; compaction itself sums the
  // residual capacities and sets cap to the sum.
  graph *g = readPrepared("p cut 2 2\na 1 2 5\na 1 2 3\n");
  std::vector<arc *> list = listOf(g->nodes);
  list[0]->resCap = 1;
  list[1]->resCap = 2;
  compact(g);
  EXPECT_EQ(g->nodes->first->cap, 3);
  EXPECT_EQ(g->nodes->first->resCap, 3);
  freeGraph(g);
}

}  // namespace
