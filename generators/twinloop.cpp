// twinloop: a fixed instance without random draws. A rim cycle through nodes
// 1..n has capacity U, and chords join every node i to node i + 3 (around
// the cycle) with capacity 1. For n >= 102 the rim arcs from 50 and 50 + n/2
// are weakened to U - 3 and the chords from 47, 51, 47 + n/2 and 51 + n/2
// strengthened to 4.
//
//   twinloop n [-U rim capacity]
//
// The option value is read as a floating-point number and truncated.
#include <cstdint>

#include "generators/gen_args.h"
#include "generators/gen_checks.h"
#include "write_check/write_check.h"

using namespace sunder;

namespace {

const char *const messages[] = {
    nullptr,
    "\nUsage: twinloop n\n"
    "                  [-U rim capacity]\n",
    "\nError: unknown option\n",
    "\nError: n must be >5",
    "\nError: number of edges out of range\n",
    "\nError: rim capacity out of range\n",
};

// Writes the message of error_no to standard error and exits with error_no.
[[noreturn]] void error(int error_no) {
  failWith(messages, sizeof messages / sizeof *messages, error_no, error_no);
}

}  // namespace

int main(int argc, char **argv) {
  watchOutput();
  TwinloopArgs args;
  if (int err = checkTwinloopArgs(argc, argv, &args)) error(err);
  const int32_t n = args.n, U = args.U, m = 2 * n, h = n / 2;

  writeComment("c \"twinloop\" min-cut problem");
  writeProblem(n, m);
  for (int32_t i = 1; i <= n; i++) {
    writeArc(i, (i % n) + 1, i % h == 50 ? U - 3 : U);
    bool strong = (i - 1) % h == 50 || (i + 3) % h == 50;
    writeArc(i, ((i + 2) % n) + 1, strong ? 4 : 1);
  }
  return 0;
}
