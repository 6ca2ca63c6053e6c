// The working storage of the cut computations, and one s-t computation on
// its own: reset, compaction, the s-t cut step and the recording.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "solver/solver.h"

namespace {

[[noreturn]] void storageExhausted(int number, const char *what) {
  fprintf(stderr, "Memory exhausted at sunder:%d %s\n", number, what);
  exit(1);
}

// Zeroed storage; on failure ends the process with the memory message when
// `orExit`, and returns null otherwise.
void *allocateOrExit(size_t count, size_t size, int number, const char *what, bool orExit) {
  void *p = calloc(count, size);
  if (p == nullptr && orExit) storageExhausted(number, what);
  return p;
}

// A node-pointer array of `count` entries, one byte per entry to spare.
node **allocateSlots(int64_t count, int number, const char *what, bool orExit) {
  return static_cast<node **>(allocateOrExit(static_cast<size_t>(count), sizeof(node *) + 1,
                                             number, what, orExit));
}

stack *allocateStack(int64_t capacity, int number, const char *record, const char *slots,
                     bool orExit) {
  stack *s = static_cast<stack *>(allocateOrExit(1, sizeof(stack), number, record, orExit));
  if (s != nullptr) s->storage = allocateSlots(capacity, number, slots, orExit);
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

// Records the cut found: the awake nodes and the sink form the sink side.
void recordCut(graph *g) {
  g->minCut = g->sink->excess;
  g->cutCount++;
  g->dtime = timer();
  for (node *v = g->nodeList; v != g->endNode; v = v->next)
    v->side = v->status == AWAKE ? 1 : 0;
  g->sink->side = 1;
}

}  // namespace

void printSummary(graph *g) {
  printSummaryLines(stdout, g->n, g->m, g->calcTime, g->manipTime);
}

namespace {

// The working storage for g->n nodes; false, with whatever was allocated
// still hanging off g, when memory runs out and not `orExit`.
bool allocateStorageWith(graph *g, bool orExit) {
  int64_t n = g->n;
  queue *q = static_cast<queue *>(allocateOrExit(
      1, sizeof(queue), 1013, "g->BFSqueue = ( queue * ) calloc ( 1, sizeof ( queue ))", orExit));
  g->BFSqueue = q;
  if (q == nullptr) return false;
  q->storage = allocateSlots(
      n, 1013, "g->BFSqueue -> storage = (node**) calloc ( g->n, sizeof (node*) + 1)", orExit);
  q->last = q->storage + (n - 1);
  g->freezer = allocateStack(
      2 * n, 1014, "g->freezer = ( stack * ) calloc ( 1, sizeof ( stack ))",
      "g->freezer -> storage = (node**) calloc ( 2 * g->n, sizeof (node*) + 1 )", orExit);
  g->regNodes = allocateStack(
      n, 1015, "g->regNodes = ( stack * ) calloc ( 1, sizeof ( stack ))",
      "g->regNodes -> storage = (node**) calloc ( g->n, sizeof (node*) + 1 )", orExit);
  g->exStack = allocateStack(
      n, 1016, "g->exStack = ( stack * ) calloc ( 1, sizeof ( stack ))",
      "g->exStack -> storage = (node**) calloc ( g->n, sizeof (node*) + 1 )", orExit);
  g->buckets = static_cast<bucket *>(allocateOrExit(
      static_cast<size_t>(2 * n + 1), sizeof(bucket), 1017,
      "g->buckets = (bucket*)calloc(2 * g->n + 1, sizeof(bucket))", orExit));
  g->calcTime = 0;
  g->manipTime = 0;
  stack *stacks[] = {g->freezer, g->regNodes, g->exStack};
  for (stack *st : stacks)
    if (st == nullptr || st->storage == nullptr) return false;
  return q->storage != nullptr && g->buckets != nullptr;
}

}  // namespace

void allocateStorage(graph *g) { allocateStorageWith(g, true); }

bool allocateStorageOrFail(graph *g) {
  if (allocateStorageWith(g, false)) return true;
  releaseStorage(g);
  return false;
}

void releaseStorage(graph *g) {
  if (g->BFSqueue != nullptr) free(g->BFSqueue->storage);
  free(g->BFSqueue);
  stack *stacks[] = {g->freezer, g->regNodes, g->exStack};
  for (stack *s : stacks) {
    if (s != nullptr) free(s->storage);
    free(s);
  }
  free(g->buckets);
  g->BFSqueue = nullptr;
  g->freezer = g->regNodes = g->exStack = nullptr;
  g->buckets = nullptr;
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
  if (g->curN > 1 && !STCutWith(g, settings)) return -1;
  if (g->sink->excess < g->minCut) recordCut(g);
  return g->minCut;
}
