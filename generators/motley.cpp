// motley: the union of k random Hamiltonian cycles (or, with -m, k random
// perfect matchings) over nodes 1..n, each with one capacity of its own,
// plus one random partial matching that covers `part` nodes.
//
//   motley n k part [-sS] [-m] [-wW]
//
// -s and -w are read as integers; -m ignores whatever follows its letter.
// Every error ends the program with exit status 17.
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
    "\nUsage: evenweave n k [-sS] [-m] [-wW] \n"
    "where n is the number of nodes\n"
    "      k is the number of cycles/matchings\n"
    "      S is a seed\n"
    "      W is the maximum edge weight\n"
    "-m means matchings instead of cycles\n",
    "error: number of nodes must exceed 1\n",
    "error: number of nodes must be even\n",
    "error: k must not be negative\n",
    "error: part must not be negative\n",
    "error: part needs more than n nodes\n",
    "error: number of edges exceeds 2147483647\n",
    "error: W must be below 2147483647\n",
};

// Writes the message of error_no to standard error and exits with status 17.
[[noreturn]] void error(int error_no) {
  failWith(messages, sizeof messages / sizeof *messages, error_no, 17);
}

// Fills rgi with 1..n and shuffles it (n - 1 draws).
void shuffleNodes(int32_t n, int *rgi) {
  for (int32_t i = 0; i < n; i++) rgi[i] = i + 1;
  RandomPermute(n, rgi);
}

}  // namespace

int main(int argc, char **argv) {
  watchOutput();
  MotleyArgs args;
  if (int err = checkMotleyArgs(argc, argv, &args)) error(err);
  const int32_t n = args.n, part = args.part, wtMax = args.wtMax;
  const int fMatchings = args.fMatchings;
  int32_t d = args.d;

  int *rgi = static_cast<int *>(
      genCalloc(n, sizeof(int), "motley:1 rgi = (int *)calloc(n, sizeof(int))"));
  int *rgwt = static_cast<int *>(
      genCalloc(d, sizeof(int), "motley:2 rgwt = (int *)calloc(k, sizeof(int))"));
  SetRandom(args.seed);
  // Drawn also when W = 1, so that W never changes an end point.
  for (int32_t i = 0; i < d; i++) rgwt[i] = Random(1, wtMax) + 1;

  writeComment("c EVENWEAVE min-cut problem");
  writeProblem(n, args.m);
  // The last drawn capacity is used first.
  for (d = d - 1; d >= 0; d--) {
    int wt = wtMax == 1 ? 1 : rgwt[d];
    shuffleNodes(n, rgi);
    if (fMatchings) {
      for (int32_t i = 0; i + 1 < n; i += 2) writeArc(rgi[i], rgi[i + 1], wt);
    } else {
      for (int32_t i = 0; i + 1 < n; i++) writeArc(rgi[i], rgi[i + 1], wt);
      writeArc(rgi[n - 1], rgi[0], wt);
    }
  }
  // Shuffled also when part is 0; its edges always have capacity 1.
  shuffleNodes(n, rgi);
  for (int32_t i = 0; i < part; i += 2) writeArc(rgi[i], rgi[i + 1], 1);
  free(rgwt);
  free(rgi);
  return 0;
}
