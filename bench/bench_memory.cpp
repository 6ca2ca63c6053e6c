// Memory of the solver on a large instance: 1,000,000 nodes and 5,000,000
// edges (a Hamiltonian cycle plus random further edges, capacities 1..100,
// from a fixed seed), written to a temporary file and read as sunder reads
// standard input. The steps sunder takes before its cut loop run here:
// dimacsParse, copyArcs, initContracted, createTree and the working storage
// (allocateStorage), then one compaction. The loop itself, a million s-t
// computations, is not run.
//
// Every calloc is counted (the program is linked with -Wl,--wrap=calloc), so
// the figures are the bytes the code asks for, phase by phase; the peak
// resident set (getrusage) shows what was touched. The bytes per node and per
// edge follow from the record sizes and are printed next to the measurement.
//
//   bench_memory [nodes edges]
#include <sys/resource.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "graph/graph.h"
#include "outside/outside.h"
#include "solver/solver.h"

extern "C" void *__real_calloc(size_t count, size_t size);

namespace {

int64_t allocated = 0;  // bytes asked of calloc so far

// Peak resident set size of the process so far, in bytes.
int64_t peakResident() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<int64_t>(usage.ru_maxrss) * 1024;
}

void writeInstance(FILE *f, int32_t n, int64_t m) {
  std::mt19937_64 rng(20240901);
  std::uniform_int_distribution<int32_t> node(1, n), cap(1, 100);
  fprintf(f, "p cut %" PRId32 " %" PRId64 "\n", n, m);
  for (int32_t i = 1; i <= n; i++) fprintf(f, "a %d %d %d\n", i, i % n + 1, cap(rng));
  for (int64_t e = n; e < m; e++) {
    int32_t u = node(rng), v = node(rng);
    while (v == u) v = node(rng);
    fprintf(f, "a %d %d %d\n", u, v, cap(rng));
  }
}

void report(const char *phase, int64_t before) {
  printf("%-34s %12.1f MB asked  (total %8.1f MB, peak resident %8.1f MB)\n", phase,
         static_cast<double>(allocated - before) / 1e6, static_cast<double>(allocated) / 1e6,
         static_cast<double>(peakResident()) / 1e6);
}

}  // namespace

extern "C" void *__wrap_calloc(size_t count, size_t size) {
  allocated += static_cast<int64_t>(count * size);
  return __real_calloc(count, size);
}

int main(int argc, char **argv) {
  int32_t n = 1000000;
  int64_t m = 5000000;
  if (argc == 3) n = atoi(argv[1]), m = atoll(argv[2]);
  FILE *f = tmpfile();
  if (f == nullptr) return perror("tmpfile"), 1;
  writeInstance(f, n, m);
  rewind(f);
  printf("instance: %" PRId32 " nodes, %" PRId64 " edges; sizeof(node) %zu, sizeof(arc) %zu, "
         "sizeof(tree) %zu, sizeof(bucket) %zu\n",
         n, m, sizeof(node), sizeof(arc), sizeof(tree), sizeof(bucket));

  int64_t mark = allocated;
  graph *g = dimacsParse(f);
  fclose(f);
  report("dimacsParse (blocks + temporaries)", mark);
  int64_t afterRead = peakResident();
  mark = allocated;
  copyArcs(g);
  initContracted(g);
  report("copyArcs, initContracted", mark);
  mark = allocated;
  createTree(g->n);
  allocateStorage(g);
  report("createTree, allocateStorage", mark);
  mark = allocated;
  compact(g);
  report("compact", mark);

  // The fixed blocks: node block 10(N + 1) + 1 records, two arc arrays of
  // 2M + 8(N + 1) records; the tree, three stacks and the queue (n + 2n + n
  // + n slots of 9 bytes) and 2n + 1 buckets; the reader's temporaries,
  // released after reading, 2M + N + 3 ints.
  double perNode = 10.0 * sizeof(node) + 16.0 * sizeof(arc) + sizeof(tree) + 5.0 * 9 +
                   2.0 * sizeof(bucket);
  double perEdge = 4.0 * sizeof(arc);
  printf("fixed blocks: %.0f bytes per node + %.0f bytes per edge "
         "(+ %zu per node and %zu per edge while reading)\n",
         perNode, perEdge, sizeof(int32_t), 2 * sizeof(int32_t));
  double temporaries = 4.0 * n + 8.0 * static_cast<double>(m);
  printf("predicted %.1f MB + %.1f MB of reader temporaries, asked %.1f MB, "
         "peak resident %.1f MB (after reading %.1f MB)\n",
         (perNode * n + perEdge * static_cast<double>(m)) / 1e6, temporaries / 1e6,
         static_cast<double>(allocated) / 1e6, static_cast<double>(peakResident()) / 1e6,
         static_cast<double>(afterRead) / 1e6);
  return 0;
}
