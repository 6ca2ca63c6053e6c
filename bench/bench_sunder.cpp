// Speed of the whole cut-tree computation, as the sunder program runs it:
// parse an instance held in memory, copyArcs, initContracted, computeCuts
// (its summary lines go to /dev/null). The instances are generated here
// from fixed seeds:
//   sparse/500    500 nodes, 2,500 edges: a Hamiltonian cycle plus random
//                 edges, capacities 1..100
//   sparse/2000   2,000 nodes, 10,000 edges, built the same way
//   dense/200     200 nodes, every pair joined with probability 1/2
// Counters per computation: pushes, relabels and arc scans (the sum of
// edgeScans[0..6]), together with n and m.
//
// Before timing, each instance is solved once and its tree checked: every
// tree edge's cut certificate, and a handful of tree edges against Boost
// Graph's max flow between their ends. A wrong tree stops that benchmark
// with an error instead of timing a wrong answer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "graph/graph.h"
#include "lib/engines/solver_engine.h"
#include "verify/oracle.h"
#include "verify/quiet_stdout.h"
#include "verify/solver_tree.h"

namespace {

struct Edge {
  int u, v;  // node numbers 1 ... n
  long long cap;
};

struct Instance {
  int n = 0;
  std::vector<Edge> edges;
  std::string text;
};

std::string instanceText(int n, const std::vector<Edge> &edges) {
  std::string text = "p cut " + std::to_string(n) + " " + std::to_string(edges.size()) + "\n";
  for (const Edge &e : edges)
    text += "a " + std::to_string(e.u) + " " + std::to_string(e.v) + " " +
            std::to_string(e.cap) + "\n";
  return text;
}

// A Hamiltonian cycle through a random permutation, then random extra
// edges (no self loops) up to m edges in all.
Instance sparseInstance(int n, int m, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_int_distribution<long long> cap(1, 100);
  std::vector<int> order(n);
  for (int i = 0; i < n; i++) order[i] = i + 1;
  std::shuffle(order.begin(), order.end(), rng);
  Instance inst;
  inst.n = n;
  for (int i = 0; i < n; i++) inst.edges.push_back({order[i], order[(i + 1) % n], cap(rng)});
  std::uniform_int_distribution<int> pick(1, n);
  while (static_cast<int>(inst.edges.size()) < m) {
    int a = pick(rng), b = pick(rng);
    if (a != b) inst.edges.push_back({a, b, cap(rng)});
  }
  inst.text = instanceText(n, inst.edges);
  return inst;
}

Instance denseInstance(int n, double p, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_int_distribution<long long> cap(1, 100);
  std::bernoulli_distribution join(p);
  Instance inst;
  inst.n = n;
  for (int a = 1; a <= n; a++)
    for (int b = a + 1; b <= n; b++)
      if (join(rng)) inst.edges.push_back({a, b, cap(rng)});
  inst.text = instanceText(n, inst.edges);
  return inst;
}

const Instance &instanceByIndex(int which) {
  static const Instance sparse500 = sparseInstance(500, 2500, 0x5eed0500);
  static const Instance sparse2000 = sparseInstance(2000, 10000, 0x5eed2000);
  static const Instance dense200 = denseInstance(200, 0.5, 0x5eed0200);
  switch (which) {
    case 0: return sparse500;
    case 1: return sparse2000;
    default: return dense200;
  }
}

struct Solved {
  graph *g;
  tree *t;
};

// One run as the program does it; srand(1) is the state the program
// starts from, so every run takes the same order.
Solved solve(std::vector<char> &buffer) {
  FILE *input = fmemopen(buffer.data(), buffer.size(), "r");
  if (input == nullptr) {
    perror("fmemopen");
    exit(1);
  }
  graph *g = dimacsParse(input);
  fclose(input);
  copyArcs(g);
  initContracted(g);
  srand(1);
  tree *t;
  {
    QuietStdout quiet;
    t = computeCuts(g);
  }
  return {g, t};
}

// Releases a solved graph: the storage computeCuts allocated (each part
// zero-filled with calloc), the tree array and the graph's own blocks.
void release(Solved s) {
  graph *g = s.g;
  if (g->BFSqueue != nullptr) {
    free(g->BFSqueue->storage);
    free(g->BFSqueue);
  }
  for (stack *st : {g->freezer, g->regNodes, g->exStack})
    if (st != nullptr) {
      free(st->storage);
      free(st);
    }
  free(g->buckets);
  free(s.t);
  freeGraph(g);
}

// Checks the tree of one run before it is timed: it is a spanning tree,
// every tree edge is certified (removing it splits the tree in two and the
// capacity crossing that split equals the edge's weight), and `count` tree
// edges, spread over the positions, weigh exactly Boost's max flow between
// their ends (so the certified cuts are minimum). Node id k is number k + 1:
// numbers start at 1 and every number is used. Returns the problems found,
// or an empty string.
std::string verify(const Instance &inst, int count) {
  std::vector<char> buffer(inst.text.begin(), inst.text.end());
  Solved s = solve(buffer);
  const int n = inst.n;
  std::vector<tree> rec(s.t, s.t + s.g->n);
  release(s);
  if (static_cast<int>(rec.size()) != n)
    return "graph has " + std::to_string(rec.size()) + " nodes, expected " + std::to_string(n);
  std::vector<oracle::Edge> edges;
  for (const Edge &e : inst.edges) edges.push_back({e.u - 1, e.v - 1, e.cap});
  std::vector<std::string> problems = oracle::checkShape(rec, n);
  if (problems.empty()) problems = oracle::checkCertificates(rec, edges);
  if (problems.empty()) {
    oracle::MaxFlow boost(n, edges);
    for (int k = 0; k < count; k++) {
      const int p = 1 + static_cast<int>((static_cast<long long>(k) * (n - 1)) / count);
      const int64_t flow = boost.maxFlow(rec[p].id, rec[p].parent);
      if (rec[p].weight != flow)
        problems.push_back("tree edge at position " + std::to_string(p) + " weighs " +
                           std::to_string(rec[p].weight) + ", Boost's max flow is " +
                           std::to_string(flow));
    }
  }
  return oracle::joinProblems(problems);
}

void BM_CutTree(benchmark::State &state, int which) {
  const Instance &inst = instanceByIndex(which);
  const std::string problem = verify(inst, 8);
  if (!problem.empty()) {
    state.SkipWithError(("wrong cut tree: " + problem).c_str());
    return;
  }
  std::vector<char> buffer(inst.text.begin(), inst.text.end());
  int64_t pushes = 0, relabels = 0, scans = 0;
  for (auto _ : state) {
    Solved s = solve(buffer);
    benchmark::DoNotOptimize(s.t);
    state.PauseTiming();
    pushes = s.g->pushes;
    relabels = s.g->relabels;
    scans = totalEdgeScans(s.g);
    release(s);
    state.ResumeTiming();
  }
  state.counters["n"] = inst.n;
  state.counters["m"] = static_cast<double>(inst.edges.size());
  state.counters["pushes"] = static_cast<double>(pushes);
  state.counters["relabels"] = static_cast<double>(relabels);
  state.counters["arc_scans"] = static_cast<double>(scans);
}

BENCHMARK_CAPTURE(BM_CutTree, sparse_500, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CutTree, sparse_2000, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CutTree, dense_200, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
