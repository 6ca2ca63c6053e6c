// hubspin: a wheel. A rim cycle runs through nodes 1..n-1, and the hub,
// node n, is joined to every rim node by a spoke of capacity 2. Rim
// capacities are drawn from n-R-2 .. n+R-2.
//
//   hubspin n [-r range] [-s seed]
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
    "\nUsage: ringforge n\n"
    "                  [-r range]\n"
    "                  [-s seed]\n",
    "\nError: number_of_nodes must be int > 2\n",
    "\nError: r must be between 0 and n-3\n",
    "\nError: number of edges out of range\n",
};

// Exit status 2 has a second message, asked for by kHubspinUnknownOption.
const char *const unknownOptionMessage = "\nError: unknown option\n";

// Writes the message of error_no to standard error and exits with error_no
// (with 2 for kHubspinUnknownOption).
[[noreturn]] void error(int error_no) {
  if (error_no == kHubspinUnknownOption) failWith(&unknownOptionMessage, 1, 0, 2);
  failWith(messages, sizeof messages / sizeof *messages, error_no, error_no);
}

}  // namespace

int main(int argc, char **argv) {
  watchOutput();
  HubspinArgs args;
  if (int err = checkHubspinArgs(argc, argv, &args)) error(err);
  const int32_t n = args.n, R = args.R;

  SetRandom(args.seed);
  const int32_t m = 2 * n - 2, u = 2, U = n - R - 2;
  writeComment("c \"hubspin\" min-cut problem");
  writeProblem(n, m);
  writeRim(n - 1, U, R);
  for (int32_t i = 1; i <= n - 1; i++) writeArc(n, i, u);
  return 0;
}
