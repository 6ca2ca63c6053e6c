// The cut-tree loop: Gusfield's method over n - 1 s-t computations, each on
// the whole graph from scratch, in a random order of sources drawn step by
// step with the (unseeded) library generator.
#include <cstdio>
#include <cstdlib>

#include "solver/gusfield.h"
#include "solver/solver.h"

namespace {

[[noreturn]] void storageExhausted(int number, const char *what) {
  fprintf(stderr, "Memory exhausted at sunder:%d %s\n", number, what);
  exit(1);
}

void *allocateOrExit(size_t count, size_t size, int number, const char *what) {
  void *p = calloc(count, size);
  if (p == nullptr) storageExhausted(number, what);
  return p;
}

// A node-pointer array of `count` entries, one byte per entry to spare.
node **allocateSlots(int64_t count, int number, const char *what) {
  return static_cast<node **>(
      allocateOrExit(static_cast<size_t>(count), sizeof(node *) + 1, number, what));
}

stack *allocateStack(int64_t capacity, int number, const char *record, const char *slots) {
  stack *s = static_cast<stack *>(allocateOrExit(1, sizeof(stack), number, record));
  s->storage = allocateSlots(capacity, number, slots);
  return s;
}

// Resets every node and arc of the graph for a fresh computation and
// compacts the lists.
void resetGraph(graph *g) {
  for (node *v = g->nodes; v != g->endNode; v++) v->current = nullptr;
  for (node *v = g->nodeList; v != g->endNode; v = v->next) {
    for (arc *a = v->first; a != nullptr; a = a->next) a->resCap = a->cap;
    v->status = AWAKE;
  }
  g->minCut = INT64_MAX;
  g->curN = g->n;
  compact(g);
  g->awakeCount = g->curN - 1;
}

// resetGraph on lists that an earlier computation has compacted already.
// Compaction would find nothing to merge or drop and only count the arcs of
// the lists, so the count is added here from the walk that resets them; and
// the `current` members it and the reset would clear are each set again by
// initCutComp before anything reads them.
void resetCompactedGraph(graph *g) {
  int64_t arcs = 0;
  for (node *v = g->nodeList; v != g->endNode; v = v->next) {
    for (arc *a = v->first; a != nullptr; a = a->next) {
      a->resCap = a->cap;
      arcs++;
    }
    v->status = AWAKE;
  }
  g->minCut = INT64_MAX;
  g->curN = g->n;
  g->edgeScans[g->scanPhase] += arcs;
  g->awakeCount = g->curN - 1;
}

// Exchanges the records at positions i and j (not `pos`), then fixes `pos`.
void drawSource(tree *t, int32_t i, int32_t n) {
  int32_t j = i + rand() % (n - i);
  tree held = t[i];
  t[i].id = t[j].id;
  t[i].parent = t[j].parent;
  t[i].weight = t[j].weight;
  t[j].id = held.id;
  t[j].parent = held.parent;
  t[j].weight = held.weight;
  t[t[i].id].pos = i;
  t[t[j].id].pos = j;
}

// Records the cut found: the awake nodes and the sink form the sink side.
void recordCut(graph *g) {
  g->minCut = g->sink->excess;
  g->cutCount++;
  g->dtime = timer();
  for (node *v = g->nodeList; v != g->endNode; v = v->next)
    v->side = v->status == AWAKE ? 1 : 0;
  g->sink->side = 1;
}

// Gusfield's update after the cut between s and its parent, by the sides
// the recording marked on the nodes.
void updateTree(graph *g, tree *t, int32_t s, int32_t sink) {
  const node *nodes = g->nodes;
  gusfieldStep(t, g->n, [nodes](int32_t k) { return nodes[k].side; }, s, sink, g->minCut);
}

}  // namespace

void printSummary(graph *g) {
  printSummaryLines(stdout, g->n, g->m, g->calcTime, g->manipTime);
}

void allocateStorage(graph *g) {
  int64_t n = g->n;
  queue *q = static_cast<queue *>(allocateOrExit(
      1, sizeof(queue), 1013, "g->BFSqueue = ( queue * ) calloc ( 1, sizeof ( queue ))"));
  q->storage = allocateSlots(
      n, 1013, "g->BFSqueue -> storage = (node**) calloc ( g->n, sizeof (node*) + 1)");
  q->last = q->storage + (n - 1);
  g->BFSqueue = q;
  g->freezer = allocateStack(
      2 * n, 1014, "g->freezer = ( stack * ) calloc ( 1, sizeof ( stack ))",
      "g->freezer -> storage = (node**) calloc ( 2 * g->n, sizeof (node*) + 1 )");
  g->regNodes = allocateStack(
      n, 1015, "g->regNodes = ( stack * ) calloc ( 1, sizeof ( stack ))",
      "g->regNodes -> storage = (node**) calloc ( g->n, sizeof (node*) + 1 )");
  g->exStack = allocateStack(
      n, 1016, "g->exStack = ( stack * ) calloc ( 1, sizeof ( stack ))",
      "g->exStack -> storage = (node**) calloc ( g->n, sizeof (node*) + 1 )");
  g->buckets = static_cast<bucket *>(allocateOrExit(
      static_cast<size_t>(2 * n + 1), sizeof(bucket), 1017,
      "g->buckets = (bucket*)calloc(2 * g->n + 1, sizeof(bucket))"));
  g->calcTime = 0;
  g->manipTime = 0;
}

void releaseStorage(graph *g) {
  free(g->BFSqueue->storage);
  free(g->BFSqueue);
  stack *stacks[] = {g->freezer, g->regNodes, g->exStack};
  for (stack *s : stacks) {
    free(s->storage);
    free(s);
  }
  free(g->buckets);
}

void resetStorage(graph *g) {
  g->topLabel = 2 * g->n - 1;
  g->bucketTop = 2 * g->n;
  g->BFSqueue->head = g->BFSqueue->tail = g->BFSqueue->storage;
  g->freezer->top = g->freezer->storage;
  g->regNodes->top = g->regNodes->storage;
  g->exStack->top = g->exStack->storage;
  g->buckets[g->bucketTop].firstAll = nullptr;
}

tree *buildCutTree(graph *g) {
  tree *t = createTree(g->n);
  allocateStorage(g);
  for (int32_t i = 1; i < g->n; i++) {
    resetStorage(g);
    g->awakeCount = 0;
    g->manipStart = timer();
    if (i == 1) resetGraph(g);
    else resetCompactedGraph(g);
    drawSource(t, i, g->n);
    int32_t s = t[i].id, sink = t[i].parent;
    g->manipTime += timer() - g->manipStart;
    g->calcStart = timer();
    initCutComp(g, g->nodes + s, g->nodes + sink);
    if (g->curN > 1) STCut(g);
    if (g->sink->excess < g->minCut) recordCut(g);
    g->calcTime += timer() - g->calcStart;
    g->manipStart = timer();
    updateTree(g, t, s, sink);
    g->manipTime += timer() - g->manipStart;
  }
  return t;
}

int64_t minimumCut(graph *g, int32_t s, int32_t t) {
  const cutSettings exact;
  return minimumCutWith(g, s, t, &exact);
}

int64_t minimumCutWith(graph *g, int32_t s, int32_t t, const cutSettings *settings) {
  resetStorage(g);
  g->awakeCount = 0;
  if (settings->listsCompacted) resetCompactedGraph(g);
  else resetGraph(g);
  initCutComp(g, g->nodes + s, g->nodes + t);
  if (g->curN > 1) STCutWith(g, settings);
  if (g->sink->excess < g->minCut) recordCut(g);
  return g->minCut;
}

tree *computeCuts(graph *g) {
  tree *t = buildCutTree(g);
  printSummary(g);
  return t;
}
