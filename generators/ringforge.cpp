// ringforge: a Hamiltonian cycle through nodes 1..n with capacities from
// [L, U], plus m - n further edges between random distinct nodes with
// capacities from [l, u].
//
//   ringforge n [-s seed] [-m edges] [-L low] [-U high] [-l low] [-u high]
//
// Every option value is read as a floating-point number and truncated.
#include <cstdint>

#include "generators/gen_args.h"
#include "generators/gen_checks.h"
#include "generators/random.h"
#include "write_check/write_check.h"

using namespace sunder;

namespace {

const char *const messages[] = {
    nullptr,
    "\nUsage: ringforge numer_of_nodes\n"
    "         [-s seed]\n"
    "         [-m number_of_arcs]\n"
    "         [-U cycle_capacity_upper_bound]\n"
    "         [-L cycle_capacity_lower_bound]\n"
    "         [-u nom_cycle_capacity_upper_bound]\n"
    "         [-l non_cycle_capacity_lower_bound]\n",
    "\nError: number_of_nodes must be int > 2\n",
    "\nError: number_of_arcs < number_or_nodes\n",
    "\nError: lower_bound > upper_bound\n",
    "\nError: negative bound\n",
    "\nError: unknown option\n",
    // With a stuck stream both end points of a further edge always come out
    // as node 1, and the redraw would never end.
    "\nError: seed gives a constant random stream\n",
};

// Writes the message of error_no to standard error and exits with error_no.
[[noreturn]] void error(int error_no) {
  failWith(messages, sizeof messages / sizeof *messages, error_no, error_no);
}

}  // namespace

int main(int argc, char **argv) {
  watchOutput();
  RingforgeArgs args;
  if (int err = checkRingforgeArgs(argc, argv, &args)) error(err);
  const int32_t n = args.n, m = args.m, L = args.L, U = args.U, l = args.l,
                u = args.u;

  SetRandom(args.seed);
  writeComment("c \"ringforge\" min-cut problem");
  writeProblem(n, m);
  // Loops count from 0 up to (not including) their bound so that no counter
  // passes 2147483647.
  for (int32_t k = 0; k < n; k++) {
    int32_t i = k + 1;
    int32_t c = Random(L, U);
    writeArc(i, (i % n) + 1, c);
  }
  for (int32_t edge = n; edge < m; edge++) {
    int32_t i, j;
    drawEdgeEnds(n, &i, &j);
    int32_t c = Random(l, u);
    writeArc(i, j, c);
  }
  return 0;
}
