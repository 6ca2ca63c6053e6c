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

#include "generators/genargs.h"
#include "generators/genchecks.h"
#include "generators/random.h"
#include "writecheck/writecheck.h"

namespace {

const char *const rgszMessage[] = {
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
  failWith(rgszMessage, sizeof rgszMessage / sizeof *rgszMessage, error_no,
           error_no);
}

}  // namespace

int main(int argc, char **argv) {
  watchOutput();
  powerlawArgs args;
  if (int err = errPowerlawArgs(argc, argv, &args)) error(err);
  const int32_t n = args.n, k = args.k, cMax = args.cMax, m = args.m;

  // m <= 2^30 - 1, so the list's 2m entries are indexed in 32 bits.
  int32_t *rgEnd = static_cast<int32_t *>(genCalloc(
      2 * static_cast<size_t>(m), sizeof(int32_t),
      "powerlaw:1 rgEnd = (int32_t *)calloc(2*m, sizeof(int32_t))"));
  // rgPicked[t] == v: t is already a target of the new node v.
  int32_t *rgPicked = static_cast<int32_t *>(genCalloc(
      static_cast<size_t>(n) + 1, sizeof(int32_t),
      "powerlaw:2 rgPicked = (int32_t *)calloc(n+1, sizeof(int32_t))"));
  int32_t cEnd = 0;

  SetRandom(args.seed);
  writeComment("c \"powerlaw\" min-cut problem: preferential attachment");
  writeProblem(n, m);
  for (int32_t i = 1; i <= k; i++) {
    for (int32_t j = i + 1; j <= k + 1; j++) {
      writeArc(i, j, Random(1, cMax));
      rgEnd[cEnd++] = i;
      rgEnd[cEnd++] = j;
    }
  }
  // m <= 2^30 - 1 keeps n far below 2147483647, so v++ cannot overflow.
  for (int32_t v = k + 2; v <= n; v++) {
    const int32_t cDraw = cEnd;
    for (int32_t iEdge = 0; iEdge < k; iEdge++) {
      int32_t t;
      do {
        t = rgEnd[Random(0, cDraw - 1)];
      } while (rgPicked[t] == v);
      rgPicked[t] = v;
      writeArc(v, t, Random(1, cMax));
      rgEnd[cEnd++] = v;
      rgEnd[cEnd++] = t;
    }
  }
  free(rgPicked);
  free(rgEnd);
  return 0;
}
