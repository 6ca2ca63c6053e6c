// powerlaw: a heavy-tailed graph grown by preferential attachment. Nodes
// 1..k+1 start as a clique; every further node v = k+2..n brings k edges to
// k distinct earlier nodes, each chosen with probability proportional to its
// degree at the time v arrives. Capacities are drawn from 1..c (c = 1, unit
// capacities, by default).
//
//   powerlaw n [-k edges_per_new_node] [-c capacity_upper_bound] [-s seed]
//
// Option values are read as floating-point numbers and truncated; k is 2
// unless given.
//
// Degree-proportional choice uses the list of edge ends: every written edge
// (u, w) appends u and w, so a node appears in it as often as its degree,
// and a uniform index into the list picks a node by degree. One new node's
// k targets are all drawn from the list as it stood when the node arrived
// (its own new ends are appended but not drawn from, so it never picks
// itself); a target it has already picked is drawn again, so no step writes
// two parallel edges. Time and memory are O(n k), the list being 2m ints.
//
// Draws, in output order: one capacity Random(1, c) per clique edge
// (1,2), (1,3), ..., (1,k+1), (2,3), ..., (k,k+1); then for each new node
// and each of its k edges, target draws Random(0, L - 1) (L the list's
// length when the node arrived) until one is new, then the capacity draw.
// The capacity is drawn also when c = 1, so c never moves an end point.
#include <cstdint>
#include <cstdlib>

#include "generators/gen_args.h"
#include "generators/gen_checks.h"
#include "generators/random.h"
#include "write_check/write_check.h"

using namespace sunder;

namespace {

const char *const messages[] = {
    nullptr,
    "\nUsage: powerlaw number_of_nodes\n"
    "         [-k edges_per_new_node]\n"
    "         [-c capacity_upper_bound]\n"
    "         [-s seed]\n",
    "\nError: number_of_nodes must be int > 1\n",
    "\nError: unknown option\n",
    "\nError: k must be between 1 and n-1\n",
    "\nError: capacity_upper_bound must be >= 1\n",
    "\nError: number of edges out of range\n",
    // With a stuck stream every target draw picks the first listed end, and
    // a new node's second target would be redrawn forever.
    "\nError: seed gives a constant random stream\n",
};

// Writes the message of error_no to standard error and exits with error_no.
[[noreturn]] void error(int error_no) {
  failWith(messages, sizeof messages / sizeof *messages, error_no, error_no);
}

}  // namespace

int main(int argc, char **argv) {
  watchOutput();
  PowerlawArgs args;
  if (int err = checkPowerlawArgs(argc, argv, &args)) error(err);
  const int32_t n = args.n, k = args.k, maxCap = args.maxCap, m = args.m;

  // The two arrays keep the names that their memory messages quote.
  // m <= 2^30 - 1, so the list's 2m entries are indexed in 32 bits.
  int32_t *rgEnd = static_cast<int32_t *>(genCalloc(
      2 * static_cast<size_t>(m), sizeof(int32_t),
      "powerlaw:1 rgEnd = (int32_t *)calloc(2*m, sizeof(int32_t))"));
  // rgPicked[t] == v: t is already a target of the new node v.
  int32_t *rgPicked = static_cast<int32_t *>(genCalloc(
      static_cast<size_t>(n) + 1, sizeof(int32_t),
      "powerlaw:2 rgPicked = (int32_t *)calloc(n+1, sizeof(int32_t))"));
  int32_t endCount = 0;

  SetRandom(args.seed);
  writeComment("c \"powerlaw\" min-cut problem: preferential attachment");
  writeProblem(n, m);
  for (int32_t i = 1; i <= k; i++) {
    for (int32_t j = i + 1; j <= k + 1; j++) {
      writeArc(i, j, Random(1, maxCap));
      rgEnd[endCount++] = i;
      rgEnd[endCount++] = j;
    }
  }
  // m <= 2^30 - 1 keeps n far below 2147483647, so v++ cannot overflow.
  for (int32_t v = k + 2; v <= n; v++) {
    const int32_t drawCount = endCount;
    for (int32_t edge = 0; edge < k; edge++) {
      int32_t t;
      do {
        t = rgEnd[Random(0, drawCount - 1)];
      } while (rgPicked[t] == v);
      rgPicked[t] = v;
      writeArc(v, t, Random(1, maxCap));
      rgEnd[endCount++] = v;
      rgEnd[endCount++] = t;
    }
  }
  free(rgPicked);
  free(rgEnd);
  return 0;
}
