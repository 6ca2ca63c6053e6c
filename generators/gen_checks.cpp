// The command-line checks of the seven generators.
#include "generators/gen_checks.h"

#include "generators/gen_args.h"
#include "generators/random.h"

namespace sunder {

int checkRingforgeArgs(int argc, char **argv, RingforgeArgs *args) {
  if (argc < 2 || argc > 8) return 1;
  if (!readIntArg(argv[1], &args->n)) return 1;
  if (args->n <= 2) return 2;

  args->m = args->n; args->seed = 214365; args->L = 1; args->U = 10000; args->l = 1; args->u = 10;
  const TruncOption options[] = {{'m', &args->m}, {'s', &args->seed}, {'L', &args->L},
                               {'U', &args->U}, {'l', &args->l}, {'u', &args->u}};
  if (int err = scanTruncOptions(argc, argv, 2, options, 6, 6)) return err;
  if (args->m < args->n) return 3;
  if (args->l > args->u || args->L > args->U) return 4;
  if (args->l < 0 || args->u < 0 || args->L < 0 || args->U < 0) return 5;
  // With a stuck stream both end points of a further edge always come out
  // as node 1, and the redraw would never end.
  if (args->m > args->n && isStuckSeed(args->seed)) return 7;
  return 0;
}

int checkMotleyArgs(int argc, char **argv, MotleyArgs *args) {
  if (argc < 4) return 1;
  if (!readIntArg(argv[1], &args->n)) return 1;
  if (args->n <= 1) return 2;
  if (!readIntArg(argv[2], &args->d) || !readIntArg(argv[3], &args->part)) return 1;

  args->seed = 214365; args->wtMax = 1; args->fMatchings = 0;
  for (int index = 4; index < argc; index++) {
    const char *value = nullptr;
    switch (optionLetter(argv[index], &value)) {
      case 's': if (!readIntArg(value, &args->seed)) return 1; break;
      case 'w': if (!readIntArg(value, &args->wtMax)) return 1; break;
      case 'm': args->fMatchings = 1; break;
      default: return 1;
    }
  }
  if (args->fMatchings && args->n % 2 != 0) return 3;
  if (args->d < 0) return 4;
  if (args->part < 0) return 5;
  // The partial matching uses the shuffled nodes q0 .. q(2 * ceil(part/2) - 1).
  int64_t partialCount = (int64_t{args->part} + 1) / 2;
  if (2 * partialCount > args->n) return 6;
  int64_t nk = int64_t{args->n} * args->d;
  int64_t m = (args->fMatchings ? nk / 2 : nk) + partialCount;
  if (nk > INT32_MAX || m > INT32_MAX) return 7;
  // Capacities reach W + 1.
  if (args->d > 0 && args->wtMax == INT32_MAX) return 8;
  args->m = static_cast<int32_t>(m);
  return 0;
}

int checkTanglenetArgs(int argc, char **argv, TanglenetArgs *args) {
  if (argc < 5 || argc > 6) return 1;
  if (!readIntArg(argv[1], &args->n)) return 1;
  if (args->n <= 1) return 2;

  // d percent of the n(n-1)/2 node pairs. The product n(n-1) is exact in
  // 64 bits; the edge count must fit in 32 bits before it is truncated.
  double d = doubleArg(argv[2]);
  int64_t nn1 = int64_t{args->n} * (args->n - 1);
  double edgeCount = static_cast<double>(nn1) * d / 200.0;
  if (!(edgeCount > -2147483649.0 && edgeCount < 2147483648.0)) return 3;
  args->m = static_cast<int32_t>(edgeCount);
  if (args->m <= args->n || args->m > nn1 / 2) return 3;

  int32_t P;
  if (!readIntArg(argv[3], &args->k)) return 1;
  if (args->k <= 0 || args->k > args->n) return 4;
  if (!readIntArg(argv[4], &P)) return 1;
  args->seed = 214365;
  if (argc == 6) {
    if (argv[5][0] != '-' || argv[5][1] != 's') return 1;
    if (!readIntArg(argv[5] + 2, &args->seed)) return 1;
  }
  int64_t wideU = int64_t{100} * P;
  if (wideU < INT32_MIN || wideU > INT32_MAX) return 5;
  args->U = static_cast<int32_t>(wideU);
  // A stuck stream would redraw a further edge forever.
  if (isStuckSeed(args->seed)) return 6;
  return 0;
}

int checkSpokerimArgs(int argc, char **argv, SpokerimArgs *args) {
  if (argc < 2 || argc > 4) return 1;
  if (!readIntArg(argv[1], &args->n)) return 1;
  if (args->n <= 5 || args->n % 2 != 0) return 4;

  args->R = 0; args->seed = 214365;
  const TruncOption options[] = {{'r', &args->R}, {'s', &args->seed}};
  if (int err = scanTruncOptions(argc, argv, 2, options, 2, 2)) return err;
  if (args->R < 0 || args->R > args->n - 3) return 3;
  // With m = 2n - 3 in range, every rim capacity (at most 2n - 6) is too.
  if (2 * int64_t{args->n} - 3 > INT32_MAX) return 5;
  return 0;
}

int checkHubspinArgs(int argc, char **argv, HubspinArgs *args) {
  if (argc < 2 || argc > 4) return 1;
  if (!readIntArg(argv[1], &args->n)) return 1;
  if (args->n <= 2) return 2;

  args->R = 0; args->seed = 214365;
  const TruncOption options[] = {{'r', &args->R}, {'s', &args->seed}};
  if (int err = scanTruncOptions(argc, argv, 2, options, 2, kHubspinUnknownOption))
    return err;
  if (args->R < 0 || args->R > args->n - 3) return 3;
  // With m = 2n - 2 in range, every rim capacity (at most 2n - 5) is too.
  if (2 * int64_t{args->n} - 2 > INT32_MAX) return 4;
  return 0;
}

int checkTwinloopArgs(int argc, char **argv, TwinloopArgs *args) {
  if (argc < 2 || argc > 4) return 1;
  if (!readIntArg(argv[1], &args->n)) return 1;
  if (args->n <= 5) return 3;

  args->U = 1000;
  const TruncOption options[] = {{'U', &args->U}};
  if (int err = scanTruncOptions(argc, argv, 2, options, 1, 2)) return err;
  // With m = 2n in range, i + 3 below cannot overflow either.
  if (2 * int64_t{args->n} > INT32_MAX) return 4;
  // The weakened rim arcs exist only for n / 2 > 50.
  if (args->n / 2 > 50 && args->U < INT32_MIN + 3) return 5;
  return 0;
}

int checkPowerlawArgs(int argc, char **argv, PowerlawArgs *args) {
  if (argc < 2 || argc > 5) return 1;
  if (!readIntArg(argv[1], &args->n)) return 1;
  if (args->n <= 1) return 2;

  args->k = 2; args->maxCap = 1; args->seed = 214365;
  const TruncOption options[] = {{'k', &args->k}, {'c', &args->maxCap}, {'s', &args->seed}};
  if (int err = scanTruncOptions(argc, argv, 2, options, 3, 3)) return err;
  if (args->k < 1 || args->k >= args->n) return 4;
  if (args->maxCap < 1) return 5;
  // The list of edge ends holds 2m entries and is indexed by Random(0, 2m - 1);
  // the reader's own limit on m keeps 2m below 2^31.
  int64_t k = args->k;
  int64_t m = k * (k + 1) / 2 + (int64_t{args->n} - k - 1) * k;
  if (m > 1073741823) return 6;
  args->m = static_cast<int32_t>(m);
  // A stuck stream draws the first listed end for every target, so a second
  // target of one new node would be redrawn forever; with k = 1, or no node
  // after the first k + 1, nothing is redrawn.
  if (args->k >= 2 && args->n > args->k + 1 && isStuckSeed(args->seed)) return 7;
  return 0;
}

}  // namespace sunder
