// One s-t computation step by step, on small graphs whose lists are fixed
// by hand, with every counter derived by following the operations.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "handmade_graph.h"
#include "lib/engines/solver_engine.h"

namespace {

// Prepares a handmade graph as the driver and the cut loop do before a
// computation (lists are already simple, so compaction is not needed).
void prepare(HandmadeGraph &h) {
  copyArcs(h.g);
  initContracted(h.g);
  allocateStorage(h.g);
  resetStorage(h.g);
  h.g->awakeCount = h.g->n - 1;
}

std::vector<node *> freezerContents(graph *g) {
  return std::vector<node *>(g->freezer->storage, g->freezer->top);
}

int64_t scans(graph *g, int i) { return g->edgeScans[i]; }

TEST(STCut, WorkedFourNodeInstance) {
  // s, a, b, t with s-a 4, s-b 1, a-b 3, b-t 1 and the lists
  // s: a, b; a: s, b; b: a, t, s; t: b.
  enum { s, a, b, t };
  HandmadeGraph h(4, 4);
  arc *sa = h.addEdge(s, a, 4), *sb = h.addEdge(s, b, 1);
  arc *ab = h.addEdge(a, b, 3), *bt = h.addEdge(b, t, 1);
  h.setList(s, {sa, sb});
  h.setList(a, {sa->rev, ab});
  h.setList(b, {ab->rev, bt, sb->rev});
  h.setList(t, {bt->rev});
  prepare(h);
  graph *g = h.g;
  EXPECT_EQ(g->topLabel, 7);

  initCutComp(g, h.at(s), h.at(t));
  EXPECT_EQ(h.at(a)->excess, 4);
  EXPECT_EQ(h.at(b)->excess, 1);
  EXPECT_EQ(g->buckets[1].firstActive, h.at(b));
  EXPECT_EQ(h.at(b)->aNext, h.at(a));
  EXPECT_EQ(g->aMax, 1);

  STCut(g);
  EXPECT_EQ(h.at(t)->excess, 1);
  EXPECT_EQ(g->pushes, 2);
  EXPECT_EQ(g->relabels, 1);
  EXPECT_EQ(scans(g, 4), 16);
  EXPECT_EQ(scans(g, 5), 0);
  EXPECT_EQ(h.at(t)->status, AWAKE);
  EXPECT_EQ(h.at(a)->status, SOURCE_SIDE);
  EXPECT_EQ(h.at(b)->status, SOURCE_SIDE);
  EXPECT_EQ(h.at(a)->d, 7);
  EXPECT_EQ(g->awakeCount, 1);
  EXPECT_TRUE(freezerContents(g).empty());
  EXPECT_EQ(g->aMax, -1);
}

TEST(STCut, SourceJoinedOnlyToSinkLeavesNothingActive) {
  HandmadeGraph h(3, 2);
  arc *st1 = h.addEdge(0, 2, 5), *st2 = h.addEdge(0, 2, 6);
  h.setList(0, {st1, st2});
  h.setList(2, {st1->rev, st2->rev});
  prepare(h);
  initCutComp(h.g, h.at(0), h.at(2));
  EXPECT_EQ(h.g->aMax, 0);
  STCut(h.g);
  EXPECT_EQ(h.g->aMax, -1);
  EXPECT_EQ(h.at(2)->excess, 11);
  EXPECT_EQ(h.g->pushes, 0);
  EXPECT_EQ(h.at(1)->status, AWAKE);  // an isolated node stays awake
}

TEST(STCut, GapAboveOccupiedLabelFreezesOneLayer) {
  // s - x 10, x - y 10, y - t 1: x climbs to label 2 and pushes everything
  // to y, which can pass on only 1 and is then alone at label 1 while x sits
  // at label 2, so both freeze together.
  enum { s, x, y, t };
  HandmadeGraph h(4, 3);
  arc *sx = h.addEdge(s, x, 10), *xy = h.addEdge(x, y, 10), *yt = h.addEdge(y, t, 1);
  h.setList(s, {sx});
  h.setList(x, {sx->rev, xy});
  h.setList(y, {xy->rev, yt});
  h.setList(t, {yt->rev});
  prepare(h);
  initCutComp(h.g, h.at(s), h.at(t));
  STCut(h.g);
  graph *g = h.g;
  EXPECT_EQ(h.at(t)->excess, 1);
  EXPECT_EQ(g->pushes, 2);
  EXPECT_EQ(g->relabels, 1);
  std::vector<node *> layer = {nullptr, h.at(y), h.at(x)};
  EXPECT_EQ(freezerContents(g), layer);
  EXPECT_EQ(h.at(y)->status, DORMANT);
  EXPECT_EQ(h.at(y)->excess, 9);  // a frozen node keeps its excess
  EXPECT_EQ(h.at(y)->d, 1);       // and its label
  EXPECT_EQ(h.at(x)->d, 2);
  EXPECT_EQ(g->awakeCount, 1);
  EXPECT_EQ(g->dMax, 0);
}

TEST(Discharge, NullCurrentArcCountsNothing) {
  HandmadeGraph h(2, 1);
  arc *e = h.addEdge(0, 1, 3);
  h.setList(0, {e});
  h.setList(1, {e->rev});
  prepare(h);
  initCutComp(h.g, h.at(0), h.at(1));
  node *v = h.at(0);
  v->current = nullptr;
  int64_t before = scans(h.g, 4);
  EXPECT_EQ(discharge(h.g, v), 1);
  EXPECT_EQ(scans(h.g, 4), before);
  EXPECT_EQ(h.g->pushes, 0);
}

TEST(Relabel, NoResidualArcToAwakeNodeMakesOneNodeLayer) {
  // x's only arc leads to the source, so relabelling it reaches topLabel.
  HandmadeGraph h(3, 2);
  arc *sx = h.addEdge(0, 1, 2), *st = h.addEdge(0, 2, 1);
  h.setList(0, {sx, st});
  h.setList(1, {sx->rev});
  h.setList(2, {st->rev});
  prepare(h);
  initCutComp(h.g, h.at(0), h.at(2));
  node *x = h.at(1);
  h.g->buckets[1].firstActive = nullptr;
  relabel(h.g, x);
  EXPECT_EQ(x->status, SOURCE_SIDE);
  EXPECT_EQ(x->d, h.g->topLabel);
  EXPECT_EQ(h.g->buckets[1].firstAll, nullptr);
  EXPECT_EQ(h.g->relabels, 1);
  EXPECT_EQ(h.g->awakeCount, 1);
}

TEST(Relabel, TieGoesToFirstArcInListOrder) {
  // x has residual arcs to y and z, both at label 1 (list order y, z).
  enum { s, x, y, z, t };
  HandmadeGraph h(5, 5);
  arc *sx = h.addEdge(s, x, 1), *xy = h.addEdge(x, y, 1), *xz = h.addEdge(x, z, 1);
  arc *yt = h.addEdge(y, t, 1), *zt = h.addEdge(z, t, 1);
  h.setList(s, {sx});
  h.setList(x, {sx->rev, xy, xz});
  h.setList(y, {xy->rev, yt});
  h.setList(z, {xz->rev, zt});
  h.setList(t, {yt->rev, zt->rev});
  prepare(h);
  initCutComp(h.g, h.at(s), h.at(t));
  h.g->buckets[1].firstActive = nullptr;
  relabel(h.g, h.at(x));
  EXPECT_EQ(h.at(x)->d, 2);
  EXPECT_EQ(h.at(x)->current, xy);
  EXPECT_EQ(h.g->buckets[2].firstAll, h.at(x));
  EXPECT_EQ(h.g->buckets[2].firstActive, h.at(x));
  EXPECT_EQ(h.g->dMax, 2);
  EXPECT_EQ(h.g->aMax, 2);
  EXPECT_EQ(scans(h.g, 4), 1 + 3);  // the source's saturation, then x's list
}

TEST(SaturateOutgoing, SkipsSourceSideAndFeedsDormantHeads) {
  enum { s, awake, dormant, side, t };
  HandmadeGraph h(5, 4);
  arc *a1 = h.addEdge(s, awake, 2), *a2 = h.addEdge(s, dormant, 3);
  arc *a3 = h.addEdge(s, side, 4), *a4 = h.addEdge(s, t, 5);
  h.setList(s, {a1, a2, a3, a4});
  h.setList(awake, {a1->rev});
  h.setList(dormant, {a2->rev});
  h.setList(side, {a3->rev});
  h.setList(t, {a4->rev});
  prepare(h);
  initCutComp(h.g, h.at(s), h.at(t));
  // Undo the saturation, change two heads' states, and saturate again.
  for (arc *a : {a1, a2, a3, a4}) { a->resCap = a->cap; a->rev->resCap = a->cap; }
  for (int v : {s, awake, dormant, side, t}) h.at(v)->excess = 0;
  h.g->buckets[1].firstActive = nullptr;
  h.at(dormant)->status = DORMANT;
  h.at(side)->status = SOURCE_SIDE;
  saturateOutgoing(h.g, h.at(s));
  EXPECT_EQ(a1->resCap, 0);
  EXPECT_EQ(a2->resCap, 0);
  EXPECT_EQ(a2->rev->resCap, 6);
  EXPECT_EQ(a3->resCap, 4);  // into a source-side node: untouched
  EXPECT_EQ(h.at(dormant)->excess, 3);
  EXPECT_EQ(h.at(t)->excess, 5);
  EXPECT_EQ(h.at(s)->excess, -10);
  EXPECT_EQ(h.g->buckets[1].firstActive, h.at(awake));  // only the awake head
  EXPECT_EQ(h.at(awake)->aNext, nullptr);
}

TEST(OneNodeLayer, MovesResidualCapacityIntoDormantHeadsOnly) {
  enum { v, dormant, awake, t };
  HandmadeGraph h(4, 3);
  arc *vd = h.addEdge(v, dormant, 7), *va = h.addEdge(v, awake, 2), *at = h.addEdge(awake, t, 1);
  h.setList(v, {vd, va});
  h.setList(dormant, {vd->rev});
  h.setList(awake, {va->rev, at});
  h.setList(t, {at->rev});
  prepare(h);
  graph *g = h.g;
  for (int k : {v, dormant, awake, t}) h.at(k)->status = AWAKE;
  h.at(dormant)->status = DORMANT;
  vd->resCap = -2;  // a non-positive residual capacity moves all the same
  g->awakeCount = 3;
  int64_t before = scans(g, 4);
  oneNodeLayer(g, h.at(v));
  EXPECT_EQ(h.at(v)->status, SOURCE_SIDE);
  EXPECT_EQ(h.at(v)->d, g->topLabel);
  EXPECT_EQ(g->awakeCount, 2);
  EXPECT_EQ(vd->resCap, 0);
  EXPECT_EQ(vd->rev->resCap, 7 - 2);
  EXPECT_EQ(h.at(dormant)->excess, -2);
  EXPECT_EQ(va->resCap, 2);
  EXPECT_EQ(scans(g, 4), before + 2);
}

TEST(GlobalUpdate, UnreachedPairBecomesDormantLayer) {
  // t hangs off the source only, so after saturation x and y cannot reach it.
  enum { s, x, y, t };
  HandmadeGraph h(4, 3);
  arc *sx = h.addEdge(s, x, 5), *xy = h.addEdge(x, y, 5), *st = h.addEdge(s, t, 1);
  h.setList(s, {sx, st});
  h.setList(x, {sx->rev, xy});
  h.setList(y, {xy->rev});
  h.setList(t, {st->rev});
  prepare(h);
  graph *g = h.g;
  initCutComp(g, h.at(s), h.at(t));
  g->relabelsSinceUpdate = 9;
  globalUpdate(g);
  std::vector<node *> layer = {nullptr, h.at(x), h.at(y)};
  EXPECT_EQ(freezerContents(g), layer);
  EXPECT_EQ(h.at(x)->status, DORMANT);
  EXPECT_EQ(h.at(x)->d, 1);
  EXPECT_EQ(h.at(x)->excess, 5);
  EXPECT_EQ(g->buckets[1].firstAll, nullptr);
  EXPECT_EQ(g->buckets[1].firstActive, nullptr);
  EXPECT_EQ(g->buckets[0].firstAll, h.at(t));
  EXPECT_EQ(g->awakeCount, 1);
  EXPECT_EQ(g->dMax, 0);
  EXPECT_EQ(g->aMax, 0);
  EXPECT_EQ(g->relabelsSinceUpdate, 0);
  EXPECT_EQ(scans(g, 5), 1);  // only the sink's list was searched
}

TEST(GlobalUpdate, SingleUnreachedNodeBecomesOneNodeLayer) {
  enum { s, x, t };
  HandmadeGraph h(3, 2);
  arc *sx = h.addEdge(s, x, 5), *st = h.addEdge(s, t, 1);
  h.setList(s, {sx, st});
  h.setList(x, {sx->rev});
  h.setList(t, {st->rev});
  prepare(h);
  initCutComp(h.g, h.at(s), h.at(t));
  globalUpdate(h.g);
  EXPECT_TRUE(freezerContents(h.g).empty());
  EXPECT_EQ(h.at(x)->status, SOURCE_SIDE);
  EXPECT_EQ(h.at(x)->d, h.g->topLabel);
  EXPECT_EQ(h.g->awakeCount, 1);
}

TEST(GlobalUpdate, ReachedNodesGetExactDistancesAndFirstArcs) {
  // s - x 5, x - y 5, y - t 1, x - t 0: x's only residual way to t is via y.
  enum { s, x, y, t };
  HandmadeGraph h(4, 4);
  arc *sx = h.addEdge(s, x, 5), *xy = h.addEdge(x, y, 5);
  arc *yt = h.addEdge(y, t, 1), *xt = h.addEdge(x, t, 0);
  h.setList(s, {sx});
  h.setList(x, {sx->rev, xy, xt});
  h.setList(y, {xy->rev, yt});
  h.setList(t, {yt->rev, xt->rev});
  prepare(h);
  graph *g = h.g;
  initCutComp(g, h.at(s), h.at(t));
  h.at(x)->current = xt;
  globalUpdate(g);
  EXPECT_TRUE(freezerContents(g).empty());
  EXPECT_EQ(h.at(y)->d, 1);
  EXPECT_EQ(h.at(x)->d, 2);
  EXPECT_EQ(h.at(x)->current, sx->rev);
  EXPECT_EQ(g->buckets[2].firstActive, h.at(x));
  EXPECT_EQ(g->buckets[1].firstActive, nullptr);
  EXPECT_EQ(g->dMax, 2);
  EXPECT_EQ(g->aMax, 2);
  EXPECT_EQ(g->awakeCount, 3);
  EXPECT_EQ(scans(g, 5), 2 + 2 + 3);  // t's, y's and x's lists
}

}  // namespace

namespace {

TEST(ComputeCuts, FourNodeTreeFollowsTheDrawnOrder) {
  // The instance of the four-node report: sources id 2, id 1, id 3 in turn,
  // with the cuts 4, 5 and 1 and Gusfield's re-parenting between them.
  const char text[] = "p cut 4 4\na 1 2 4\na 1 3 1\na 2 3 3\na 3 4 1\n";
  FILE *in = fmemopen(const_cast<char *>(text), sizeof text - 1, "r");
  graph *g = dimacsParse(in);
  fclose(in);
  copyArcs(g);
  initContracted(g);
  srand(1);  // the library generator's unseeded sequence
  tree *t = nullptr;
  testing::internal::CaptureStdout();
  t = computeCuts(g);
  testing::internal::GetCapturedStdout();
  const int32_t ids[] = {0, 2, 1, 3}, parents[] = {0, 1, 0, 2};
  const int64_t weights[] = {0, 4, 5, 1};
  for (int p = 1; p < 4; p++) {
    EXPECT_EQ(t[p].id, ids[p]) << p;
    EXPECT_EQ(t[p].parent, parents[p]) << p;
    EXPECT_EQ(t[p].weight, weights[p]) << p;
    EXPECT_EQ(t[t[p].id].pos, p) << p;
  }
  EXPECT_EQ(g->cutCount, 3);
  EXPECT_EQ(g->minCut, 1);
  EXPECT_EQ(g->pushes, 3);
  EXPECT_EQ(g->relabels, 2);
}

}  // namespace
