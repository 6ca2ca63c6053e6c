// spokerim: a wheel with two hubs. A rim cycle runs through nodes 1..n-2;
// odd rim nodes are joined to hub n-1 and even ones to hub n by spokes of
// capacity 4; the hubs are joined by one edge of capacity 2. Rim capacities
// are drawn from n-R-3 .. n+R-3.
//
//   spokerim n [-r range] [-s seed]
//
// Option values are read as floating-point numbers and truncated.
#include <cstdint>

#include "generators/gen_args.h"
#include "generators/gen_checks.h"
#include "generators/random.h"
#include "write_check/write_check.h"

using namespace sunder;

namespace {

const char *const messages[] = {
    nullptr,
    "\nUsage: spokerim n\n"
    "                  [-r range]\n"
    "                  [-s seed]\n",
    "\nError: unknown option\n",
    "\nError: r must be between 0 and n-3\n",
    "\nError: n must be even >5",
    "\nError: number of edges out of range\n",
};

// Writes the message of error_no to standard error and exits with error_no.
[[noreturn]] void error(int error_no) {
  failWith(messages, sizeof messages / sizeof *messages, error_no, error_no);
}

}  // namespace

int main(int argc, char **argv) {
  watchOutput();
  SpokerimArgs args;
  if (int err = checkSpokerimArgs(argc, argv, &args)) error(err);
  const int32_t n = args.n, R = args.R;

  SetRandom(args.seed);
  const int32_t m = 2 * n - 3, u = 4, U = n - R - 3;
  writeComment("c \"hubspin\" min-cut problem");
  writeProblem(n, m);
  writeRim(n - 2, U, R);
  for (int32_t i = 1; i <= n - 2; i++) writeArc(i % 2 != 0 ? n - 1 : n, i, u);
  writeArc(n - 1, n, 2);
  return 0;
}
