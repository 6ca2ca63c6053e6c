// The command-line checks of the seven generators.
#include "generators/genchecks.h"

#include "generators/genargs.h"
#include "generators/random.h"

int errRingforgeArgs(int argc, char **argv, ringforgeArgs *p) {
  if (argc < 2 || argc > 8) return 1;
  if (!fArgInt(argv[1], &p->n)) return 1;
  if (p->n <= 2) return 2;

  p->m = p->n; p->seed = 214365; p->L = 1; p->U = 10000; p->l = 1; p->u = 10;
  const truncOption rgopt[] = {{'m', &p->m}, {'s', &p->seed}, {'L', &p->L},
                               {'U', &p->U}, {'l', &p->l}, {'u', &p->u}};
  if (int err = errScanTruncOptions(argc, argv, 2, rgopt, 6, 6)) return err;
  if (p->m < p->n) return 3;
  if (p->l > p->u || p->L > p->U) return 4;
  if (p->l < 0 || p->u < 0 || p->L < 0 || p->U < 0) return 5;
  // With a stuck stream both end points of a further edge always come out
  // as node 1, and the redraw would never end.
  if (p->m > p->n && FRandomStuck(p->seed)) return 7;
  return 0;
}

int errMotleyArgs(int argc, char **argv, motleyArgs *p) {
  if (argc < 4) return 1;
  if (!fArgInt(argv[1], &p->n)) return 1;
  if (p->n <= 1) return 2;
  if (!fArgInt(argv[2], &p->d) || !fArgInt(argv[3], &p->part)) return 1;

  p->seed = 214365; p->wtMax = 1; p->fMatchings = 0;
  for (int iArg = 4; iArg < argc; iArg++) {
    const char *szValue = nullptr;
    switch (optionLetter(argv[iArg], &szValue)) {
      case 's': if (!fArgInt(szValue, &p->seed)) return 1; break;
      case 'w': if (!fArgInt(szValue, &p->wtMax)) return 1; break;
      case 'm': p->fMatchings = 1; break;
      default: return 1;
    }
  }
  if (p->fMatchings && p->n % 2 != 0) return 3;
  if (p->d < 0) return 4;
  if (p->part < 0) return 5;
  // The partial matching uses the shuffled nodes q0 .. q(2 * ceil(part/2) - 1).
  int64_t cPartial = (int64_t{p->part} + 1) / 2;
  if (2 * cPartial > p->n) return 6;
  int64_t nk = int64_t{p->n} * p->d;
  int64_t m = (p->fMatchings ? nk / 2 : nk) + cPartial;
  if (nk > INT32_MAX || m > INT32_MAX) return 7;
  // Capacities reach W + 1.
  if (p->d > 0 && p->wtMax == INT32_MAX) return 8;
  p->m = static_cast<int32_t>(m);
  return 0;
}

int errTanglenetArgs(int argc, char **argv, tanglenetArgs *p) {
  if (argc < 5 || argc > 6) return 1;
  if (!fArgInt(argv[1], &p->n)) return 1;
  if (p->n <= 1) return 2;

  // d percent of the n(n-1)/2 node pairs. The product n(n-1) is exact in
  // 64 bits; the edge count must fit in 32 bits before it is truncated.
  double d = dblArg(argv[2]);
  int64_t nn1 = int64_t{p->n} * (p->n - 1);
  double dblM = static_cast<double>(nn1) * d / 200.0;
  if (!(dblM > -2147483649.0 && dblM < 2147483648.0)) return 3;
  p->m = static_cast<int32_t>(dblM);
  if (p->m <= p->n || p->m > nn1 / 2) return 3;

  int32_t P;
  if (!fArgInt(argv[3], &p->k)) return 1;
  if (p->k <= 0 || p->k > p->n) return 4;
  if (!fArgInt(argv[4], &P)) return 1;
  p->seed = 214365;
  if (argc == 6) {
    if (argv[5][0] != '-' || argv[5][1] != 's') return 1;
    if (!fArgInt(argv[5] + 2, &p->seed)) return 1;
  }
  int64_t U64 = int64_t{100} * P;
  if (U64 < INT32_MIN || U64 > INT32_MAX) return 5;
  p->U = static_cast<int32_t>(U64);
  // A stuck stream would redraw a further edge forever.
  if (FRandomStuck(p->seed)) return 6;
  return 0;
}

int errSpokerimArgs(int argc, char **argv, spokerimArgs *p) {
  if (argc < 2 || argc > 4) return 1;
  if (!fArgInt(argv[1], &p->n)) return 1;
  if (p->n <= 5 || p->n % 2 != 0) return 4;

  p->R = 0; p->seed = 214365;
  const truncOption rgopt[] = {{'r', &p->R}, {'s', &p->seed}};
  if (int err = errScanTruncOptions(argc, argv, 2, rgopt, 2, 2)) return err;
  if (p->R < 0 || p->R > p->n - 3) return 3;
  // With m = 2n - 3 in range, every rim capacity (at most 2n - 6) is too.
  if (2 * int64_t{p->n} - 3 > INT32_MAX) return 5;
  return 0;
}

int errHubspinArgs(int argc, char **argv, hubspinArgs *p) {
  if (argc < 2 || argc > 4) return 1;
  if (!fArgInt(argv[1], &p->n)) return 1;
  if (p->n <= 2) return 2;

  p->R = 0; p->seed = 214365;
  const truncOption rgopt[] = {{'r', &p->R}, {'s', &p->seed}};
  if (int err = errScanTruncOptions(argc, argv, 2, rgopt, 2, errHubspinUnknownOption))
    return err;
  if (p->R < 0 || p->R > p->n - 3) return 3;
  // With m = 2n - 2 in range, every rim capacity (at most 2n - 5) is too.
  if (2 * int64_t{p->n} - 2 > INT32_MAX) return 4;
  return 0;
}

int errTwinloopArgs(int argc, char **argv, twinloopArgs *p) {
  if (argc < 2 || argc > 4) return 1;
  if (!fArgInt(argv[1], &p->n)) return 1;
  if (p->n <= 5) return 3;

  p->U = 1000;
  const truncOption rgopt[] = {{'U', &p->U}};
  if (int err = errScanTruncOptions(argc, argv, 2, rgopt, 1, 2)) return err;
  // With m = 2n in range, i + 3 below cannot overflow either.
  if (2 * int64_t{p->n} > INT32_MAX) return 4;
  // The weakened rim arcs exist only for n / 2 > 50.
  if (p->n / 2 > 50 && p->U < INT32_MIN + 3) return 5;
  return 0;
}

int errPowerlawArgs(int argc, char **argv, powerlawArgs *p) {
  if (argc < 2 || argc > 5) return 1;
  if (!fArgInt(argv[1], &p->n)) return 1;
  if (p->n <= 1) return 2;

  p->k = 2; p->cMax = 1; p->seed = 214365;
  const truncOption rgopt[] = {{'k', &p->k}, {'c', &p->cMax}, {'s', &p->seed}};
  if (int err = errScanTruncOptions(argc, argv, 2, rgopt, 3, 3)) return err;
  if (p->k < 1 || p->k >= p->n) return 4;
  if (p->cMax < 1) return 5;
  // The list of edge ends holds 2m entries and is indexed by Random(0, 2m - 1);
  // the reader's own limit on m keeps 2m below 2^31.
  int64_t k = p->k;
  int64_t m = k * (k + 1) / 2 + (int64_t{p->n} - k - 1) * k;
  if (m > 1073741823) return 6;
  p->m = static_cast<int32_t>(m);
  // A stuck stream draws the first listed end for every target, so a second
  // target of one new node would be redrawn forever; with k = 1, or no node
  // after the first k + 1, nothing is redrawn.
  if (p->k >= 2 && p->n > p->k + 1 && FRandomStuck(p->seed)) return 7;
  return 0;
}
