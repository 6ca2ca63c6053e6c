// Exhausted memory: each allocation of the graph module and of the solver's
// working storage that fails prints its own message on standard error and
// ends the process with status 1. Compiled against the solver build and,
// with GRAPH_STATISTICS, against the statistics build.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "failing_calloc.h"
#include "graph/graph.h"
#ifndef GRAPH_STATISTICS
#include "lib/engines/solver_engine.h"
#endif

using testing::ExitedWithCode;

namespace {

const char kInstance[] = "p cut 3 2\na 1 2 5\na 2 3 7\n";

void parseWithFailingCall(int k) {
  FILE *in = fmemopen(const_cast<char *>(kInstance), sizeof kInstance - 1, "r");
  failCallocAfter(k);
  dimacsParse(in);
}

TEST(MemoryDeathTest, GraphBlocks) {
  const char *messages[] = {
      "Memory exhausted at graph:17 g = (graph *)calloc(1, sizeof(graph))\n",
      "Memory exhausted at graph:22 g->vertexalloc = (node*)calloc(10*g->n+1, sizeof(node))\n",
      "Memory exhausted at graph:31 g->arcs = (arc*)calloc(( 2*g->m + 8*g->n), sizeof(arc) )\n",
      "Memory exhausted at graph:36 g->origarcs = (arc*)calloc(( 2*g->m + 8*g->n), sizeof(arc) )\n",
  };
  for (int k = 1; k <= 4; k++) {
    EXPECT_EXIT((failCallocAfter(k), makeGraph(5, 7)), ExitedWithCode(1),
                testing::Eq(std::string(messages[k - 1])))
        << "allocation " << k;
  }
}

TEST(MemoryDeathTest, ReaderArrays) {
#ifdef GRAPH_STATISTICS
  const int tailNumber = 309, firstNumber = 310;
#else
  const int tailNumber = 296, firstNumber = 297;
#endif
  // The reader makes the graph (four allocations), then its two arrays.
  EXPECT_EXIT(parseWithFailingCall(5), ExitedWithCode(1),
              testing::Eq("Memory exhausted at graph:" + std::to_string(tailNumber) +
                          " arc_tail = (int*) calloc ( 2*g->m, sizeof(int) )\n"));
  EXPECT_EXIT(parseWithFailingCall(6), ExitedWithCode(1),
              testing::Eq("Memory exhausted at graph:" + std::to_string(firstNumber) +
                          " arc_first= (int*) calloc ( g->n+1, sizeof(int) )\n"));
}

TEST(MemoryDeathTest, BlocksTooLargeForAnyMachineFailCleanly) {
  // 10 * n + 1 nodes would wrap in 32 bits; computed in 64 bits the request
  // is simply refused. (A sanitizer may warn on standard error first.)
  EXPECT_EXIT(makeGraph(INT32_MAX, INT32_MAX), ExitedWithCode(1),
              testing::HasSubstr("Memory exhausted at graph:22 g->vertexalloc"));
}

#ifndef GRAPH_STATISTICS
graph *smallGraph() {
  FILE *in = fmemopen(const_cast<char *>(kInstance), sizeof kInstance - 1, "r");
  graph *g = dimacsParse(in);
  fclose(in);
  copyArcs(g);
  initContracted(g);
  return g;
}

TEST(MemoryDeathTest, SolverStorageNamesTheContainer) {
  const char *messages[] = {
      "Memory exhausted at sunder:1013 g->BFSqueue = ( queue * ) calloc ( 1, sizeof ( queue ))\n",
      "Memory exhausted at sunder:1013 g->BFSqueue -> storage = (node**) calloc ( g->n, sizeof (node*) + 1)\n",
      "Memory exhausted at sunder:1014 g->freezer = ( stack * ) calloc ( 1, sizeof ( stack ))\n",
      "Memory exhausted at sunder:1014 g->freezer -> storage = (node**) calloc ( 2 * g->n, sizeof (node*) + 1 )\n",
      "Memory exhausted at sunder:1015 g->regNodes = ( stack * ) calloc ( 1, sizeof ( stack ))\n",
      "Memory exhausted at sunder:1015 g->regNodes -> storage = (node**) calloc ( g->n, sizeof (node*) + 1 )\n",
      "Memory exhausted at sunder:1016 g->exStack = ( stack * ) calloc ( 1, sizeof ( stack ))\n",
      "Memory exhausted at sunder:1016 g->exStack -> storage = (node**) calloc ( g->n, sizeof (node*) + 1 )\n",
      "Memory exhausted at sunder:1017 g->buckets = (bucket*)calloc(2 * g->n + 1, sizeof(bucket))\n",
  };
  for (int k = 1; k <= 9; k++) {
    graph *g = smallGraph();
    EXPECT_EXIT((failCallocAfter(k), allocateStorage(g)), ExitedWithCode(1),
                testing::Eq(std::string(messages[k - 1])))
        << "allocation " << k;
  }
}

TEST(MemoryDeathTest, TreeArrayComesFirstInTheCutLoop) {
  graph *g = smallGraph();
  EXPECT_EXIT((failCallocAfter(1), computeCuts(g)), ExitedWithCode(1),
              testing::Eq(std::string(
                  "Memory exhausted at sunder:1012 cutTree = (tree*) calloc ( n, sizeof ( tree ) )\n")));
}

TEST(MemoryDeathTest, SingleNodeStillAllocatesStorage) {
  // No computation follows for one node, but the storage is still
  // allocated, so its failure still ends the run.
  const char text[] = "p cut 1 1\na 1 1 1\n";
  FILE *in = fmemopen(const_cast<char *>(text), sizeof text - 1, "r");
  graph *g = dimacsParse(in);
  copyArcs(g);
  initContracted(g);
  EXPECT_EXIT((failCallocAfter(2), computeCuts(g)), ExitedWithCode(1),
              testing::StartsWith("Memory exhausted at sunder:1013 "));
}
#endif

}  // namespace
