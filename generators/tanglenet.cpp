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

#include "generators/genargs.h"
#include "generators/random.h"

namespace {

const char *const rgszMessage[] = {
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
  failWith(rgszMessage, sizeof rgszMessage / sizeof *rgszMessage, error_no,
           error_no);
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 5 || argc > 6) error(1);
  int32_t n;
  if (!fArgInt(argv[1], &n)) error(1);
  if (n <= 1) error(2);

  // d percent of the n(n-1)/2 node pairs. The product n(n-1) is exact in
  // 64 bits; the edge count must fit in 32 bits before it is truncated.
  double d = dblArg(argv[2]);
  int64_t nn1 = int64_t{n} * (n - 1);
  double dblM = static_cast<double>(nn1) * d / 200.0;
  if (!(dblM > -2147483649.0 && dblM < 2147483648.0)) error(3);
  int32_t m = static_cast<int32_t>(dblM);
  if (m <= n || m > nn1 / 2) error(3);

  int32_t k, P;
  if (!fArgInt(argv[3], &k)) error(1);
  if (k <= 0 || k > n) error(4);
  if (!fArgInt(argv[4], &P)) error(1);
  int32_t seed = 214365;
  if (argc == 6) {
    if (argv[5][0] != '-' || argv[5][1] != 's') error(1);
    if (!fArgInt(argv[5] + 2, &seed)) error(1);
  }
  int64_t U64 = int64_t{100} * P;
  if (U64 < INT32_MIN || U64 > INT32_MAX) error(5);
  if (FRandomStuck(seed)) error(6);
  const int32_t L = 1, U = static_cast<int32_t>(U64), l = 1, u = 100;

  int *color = static_cast<int *>(genCalloc(
      static_cast<size_t>(n) + 1, sizeof(int),
      "tanglenet:1 color = (int *)calloc(n+1, sizeof(int))"));
  SetRandom(seed);
  // n < m <= 2147483647, so no loop counter below passes 2147483647.
  for (int32_t i = 1; i <= n; i++) color[i] = Random(1, k);

  writeComment("c TANGLENET min-cut problem");
  writeProblem(n, m);
  for (int32_t i = 1; i <= n; i++) {
    int32_t j = (i % n) + 1;
    int32_t c = color[i] == color[j] ? Random(L, U) : Random(l, u);
    writeArc(i, j, c);
  }
  for (int32_t iEdge = n; iEdge < m; iEdge++) {
    int32_t i, j;
    drawEdgeEnds(n, &i, &j);
    int32_t c = color[i] == color[j] ? Random(L, U) : Random(l, u);
    writeArc(i, j, c);
  }
  free(color);
  return 0;
}
