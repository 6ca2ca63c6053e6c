// libFuzzer target: the instance reader on arbitrary bytes.
//
// The reader ends the process on every error. Here `exit` is wrapped at link
// time (-Wl,--wrap=exit): while an input is being read, the wrapper throws
// instead, and the harness catches it and releases what the reader had
// allocated. `calloc` is wrapped too (-Wl,--wrap=calloc): while reading, it
// records each block, and refuses any block over kLargestBlock, so that huge
// node or edge counts take the reader's memory-exhausted path instead of
// tying up the machine. Nothing of the graph module is changed for this.
//
// An accepted instance is checked: the node range, every arc of the 2M
// linked exactly once, in its tail's block, with its ends in range, its
// `rev` its twin with equal capacity and rev->rev == arc. Then the solver's
// set-up runs and compaction, after which the lists are simple and every
// node keeps the capacity it had towards other nodes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "exit_trap.h"
#include "graph/graph.h"
#include "solver/solver.h"

namespace {

void check(bool ok, const char *what) {
  if (ok) return;
  fprintf(stderr, "reader_fuzzer: %s\n", what);
  abort();
}

// The arcs of the instance, as the reader linked them.
void checkLinks(graph *g) {
  check(g->n >= 1 && g->curN == g->n, "node count");
  check(g->nodes >= g->vertexalloc && g->endNode == g->nodes + g->n, "node range");
  int64_t cArc = 2 * static_cast<int64_t>(g->m);
  std::vector<char> seen(static_cast<size_t>(cArc), 0);
  int64_t linked = 0;
  for (node *v = g->nodes; v != g->endNode; v++) {
    arc *previous = nullptr;
    for (arc *a = v->first; a != nullptr; a = a->next) {
      check(a >= g->arcs && a < g->realArcsEnd, "arc outside the instance's arcs");
      check(!seen[a - g->arcs], "arc linked twice");
      seen[a - g->arcs] = 1;
      check(previous == nullptr || a == previous + 1, "list not one increasing block");
      previous = a;
      check(a->head >= g->nodes && a->head < g->endNode, "head outside the node range");
      check(a->rev >= g->arcs && a->rev < g->realArcsEnd, "rev outside the arcs");
      check(a->rev != a && a->rev->rev == a, "rev->rev != arc");
      check(a->rev->head == v, "rev does not point back to the tail");
      check(a->rev->cap == a->cap && a->resCap == a->cap, "twin capacities differ");
      check(linked++ < cArc, "more arcs linked than 2M");
    }
  }
  check(linked == cArc, "fewer arcs linked than 2M");
}

// Capacity from v to nodes other than v, over its list.
int64_t outsideCapacity(node *v) {
  int64_t sum = 0;
  for (arc *a = v->first; a != nullptr; a = a->next)
    if (a->head != v) sum += a->cap;
  return sum;
}

void checkCompaction(graph *g) {
  std::vector<int64_t> before;
  for (node *v = g->nodes; v != g->endNode; v++) before.push_back(outsideCapacity(v));
  copyArcs(g);
  initContracted(g);
  compact(g);
  std::vector<node *> seenFrom(static_cast<size_t>(g->n), nullptr);
  for (node *v = g->nodeList; v != g->endNode; v = v->next) {
    int64_t k = v - g->nodes;
    check(k >= 0 && k < g->n, "node list leaves the nodes");
    for (arc *a = v->first; a != nullptr; a = a->next) {
      check(a->head != nullptr && a->head != v, "self loop or dropped arc kept");
      int64_t w = a->head - g->nodes;
      check(seenFrom[w] != v, "parallel arcs kept");
      seenFrom[w] = v;
      check(a->rev->rev == a && a->rev->head == v && a->rev->cap == a->cap,
            "compacted twin broken");
    }
    check(outsideCapacity(v) == before[k], "compaction changed a node's capacity");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  // The reader's messages go to standard output; they are not looked at.
  if (freopen("/dev/null", "w", stdout) == nullptr) abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // fmemopen needs a non-empty buffer; an empty input is /dev/null.
  std::vector<char> text(data, data + size);
  FILE *in = size > 0 ? fmemopen(text.data(), size, "r") : fopen("/dev/null", "r");
  if (in == nullptr) abort();
  graph *g = nullptr;
  beginTrap();
  bool ended = false;
  try {
    g = dimacsParse(in);
  } catch (const ProcessExit &e) {
    check(e.status == 1, "reader exit status other than 1");
    ended = true;
  }
  endTrap(ended);
  fclose(in);
  if (g == nullptr) return 0;
  checkLinks(g);
  checkCompaction(g);
  freeGraph(g);
  return 0;
}
