// Graph creation and release, and the cut output operations.
#include "graph/graph.h"

#include <cstdio>
#include <cstdlib>

#include "outside/outside.h"

namespace {

// Zeroed block of `count` records of `size` bytes; the count is computed in
// 64 bits by the caller so that no product wraps. On failure, when `orExit`,
// prints the module's memory message with `number` and ends the process;
// otherwise returns null.
void *allocateZeroed(int64_t count, size_t size, int number, const char *what, bool orExit) {
  void *p = nullptr;
  if (count >= 0) p = calloc(static_cast<size_t>(count), size);
  if (p == nullptr && orExit) {
    fprintf(stderr, "Memory exhausted at graph:%d %s\n", number, what);
    exit(1);
  }
  return p;
}

// The records of the node block and of each arc array for n nodes and m
// edges, in 64 bits.
int64_t nodeBlockCount(int32_t n) { return 10 * static_cast<int64_t>(n) + 1; }
int64_t arcArrayCount(int32_t n, int32_t m) {
  return 2 * static_cast<int64_t>(m) + 8 * static_cast<int64_t>(n);
}

graph *allocateGraph(int32_t n, int32_t m, bool orExit) {
  graph *g = static_cast<graph *>(allocateZeroed(
      1, sizeof(graph), 17, "g = (graph *)calloc(1, sizeof(graph))", orExit));
  if (g == nullptr) return nullptr;
  g->curN = g->n = n;
  g->m = m;
  int64_t nodeCount = nodeBlockCount(n);
  int64_t arcCount = arcArrayCount(n, m);
  g->vertexalloc = static_cast<node *>(allocateZeroed(
      nodeCount, sizeof(node), 22,
      "g->vertexalloc = (node*)calloc(10*g->n+1, sizeof(node))", orExit));
  g->nodes = g->vertexalloc;
  g->endNode = g->vertexalloc + n;
  g->arcs = static_cast<arc *>(allocateZeroed(
      arcCount, sizeof(arc), 31,
      "g->arcs = (arc*)calloc(( 2*g->m + 8*g->n), sizeof(arc) )", orExit));
  g->realArcsEnd = g->arcs + 2 * static_cast<int64_t>(m);
  g->origarcs = static_cast<arc *>(allocateZeroed(
      arcCount, sizeof(arc), 36,
      "g->origarcs = (arc*)calloc(( 2*g->m + 8*g->n), sizeof(arc) )", orExit));
  g->minCut = INT64_MAX;
  g->cutCount = 0;
  g->scanPhase = 4;
  if (g->vertexalloc == nullptr || g->arcs == nullptr || g->origarcs == nullptr) {
    freeGraph(g);
    return nullptr;
  }
  return g;
}

}  // namespace

graph *makeGraph(int32_t n, int32_t m) { return allocateGraph(n, m, true); }

graph *makeGraphOrNull(int32_t n, int32_t m) { return allocateGraph(n, m, false); }

int64_t graphBlockBytes(int32_t n, int32_t m) {
  return nodeBlockCount(n) * static_cast<int64_t>(sizeof(node)) +
         2 * arcArrayCount(n, m) * static_cast<int64_t>(sizeof(arc));
}

void freeGraph(graph *g) {
  free(g->vertexalloc);
  free(g->arcs);
  free(g->origarcs);
  free(g);
}

void printCut(graph *g) {
  printf("c one side of the mincut\n");
  int32_t z = 0;
  for (node *v = g->nodeList; v != g->endNode; v = v->next)
    if (v->side == 0) z++;
  // The comparison is with half of the graph's n, not the live-node count.
  int32_t shown = z < g->n / 2 ? 0 : 1;
  for (node *v = g->nodeList; v != g->endNode; v = v->next)
    if (v->side == shown) printf("n %d\n", static_cast<int>(v - g->nodes) + 1);
}

void saveTrivialCut(graph *g, node *v, int64_t value) {
#ifdef GRAPH_STATISTICS
  int32_t k = 0;
  for (node *u = g->nodeList; u != g->endNode; u = u->next) k++;
#endif
  g->minCut = value;
#ifdef GRAPH_STATISTICS
  g->savedCut = g->minCut;
  g->trivialCuts++;
  // With a single live node there is no other side to weigh against; 0
  // keeps every reader of the weight away from an infinity.
  g->savedWeight = k > 1 ? static_cast<float>(1.0 / static_cast<double>(k - 1)) : 0.0f;
#endif
  g->dtime = timer();
  g->cutCount++;
#ifdef GRAPH_STATISTICS
  g->savedCount++;
#endif
  for (node *u = g->nodeList; u != g->endNode; u = u->next) u->side = 0;
  v->side = 1;
}

int64_t totalEdgeScans(graph *g) {
  int64_t total = 0;
  for (int i = 0; i < 7; i++) total += g->edgeScans[i];
  return total;
}
