// tanglenet: n nodes split at random into k components, and a graph of
// density d percent: a Hamiltonian cycle through all nodes plus random
// further edges. Edges inside a component get capacities from 1 to 100 * P,
// edges between components from 1 to 100.
//
//   tanglenet n d k P [-sS]
//
// n, k, P and S are read as integers, d as a floating-point number.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "generators/gen_args.h"
#include "generators/gen_checks.h"
#include "generators/random.h"
#include "write_check/write_check.h"

using namespace sunder;

namespace {

const char *const messages[] = {
    nullptr,
    nullptr,  // the usage text, written by error itself
    "\nError: number_of_nodes must be int > 1\n",
    "\nError: density out of range\n",
    "\nError: decomposition number k out of range\n",
    "\nError: component capacity 100*P out of range\n",
    // With a stuck stream both end points of a further edge always come out
    // as node 1, and the redraw would never end.
    "\nError: seed gives a constant random stream\n",
};

// Writes the message of error_no to standard error and exits with error_no.
[[noreturn]] void error(int error_no) {
  if (error_no == 1) {
    fputs("\nUsage: tanglenet n d k P [-sS]\n"
          "where n is the number of nodes\n", stderr);
    fprintf(stderr, "      d is the density (%%)\n");
    fputs("      k is the number of tight components\n"
          "      P is the component arc capacity\n"
          "      S is a seed\n", stderr);
  }
  failWith(messages, sizeof messages / sizeof *messages, error_no, error_no);
}

}  // namespace

int main(int argc, char **argv) {
  watchOutput();
  TanglenetArgs args;
  if (int err = checkTanglenetArgs(argc, argv, &args)) error(err);
  const int32_t n = args.n, m = args.m, k = args.k;
  const int32_t L = 1, U = args.U, l = 1, u = 100;

  int *color = static_cast<int *>(genCalloc(
      static_cast<size_t>(n) + 1, sizeof(int),
      "tanglenet:1 color = (int *)calloc(n+1, sizeof(int))"));
  SetRandom(args.seed);
  // n < m <= 2147483647, so no loop counter below passes 2147483647.
  for (int32_t i = 1; i <= n; i++) color[i] = Random(1, k);

  writeComment("c TANGLENET min-cut problem");
  writeProblem(n, m);
  for (int32_t i = 1; i <= n; i++) {
    int32_t j = (i % n) + 1;
    int32_t c = color[i] == color[j] ? Random(L, U) : Random(l, u);
    writeArc(i, j, c);
  }
  for (int32_t edge = n; edge < m; edge++) {
    int32_t i, j;
    drawEdgeEnds(n, &i, &j);
    int32_t c = color[i] == color[j] ? Random(L, U) : Random(l, u);
    writeArc(i, j, c);
  }
  free(color);
  return 0;
}
