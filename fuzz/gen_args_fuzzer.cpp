// libFuzzer target: one generator's command-line checks on arbitrary
// argument vectors. The input is split at NUL bytes into at most nine
// arguments after the program name. FUZZ_GENERATOR picks the generator
// (0 ringforge, 1 motley, 2 tanglenet, 3 spokerim, 4 hubspin, 5 twinloop,
// 6 powerlaw).
//
// A rejected line must carry one of the generator's error numbers; an
// accepted one must give parameters the generator can write an instance
// from without overflow or an endless redraw.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "generators/gen_checks.h"
#include "generators/random.h"

using namespace sunder;

namespace {

void check(bool ok, const char *what) {
  if (ok) return;
  fprintf(stderr, "gen_args_fuzzer: %s\n", what);
  abort();
}

bool inRange(int64_t x) { return x >= INT32_MIN && x <= INT32_MAX; }

void fuzzRingforge(int argc, char **argv) {
  RingforgeArgs a;
  int err = checkRingforgeArgs(argc, argv, &a);
  check(err >= 0 && err <= 7, "error number");
  if (err != 0) return;
  check(a.n > 2 && a.m >= a.n, "n or m");
  check(0 <= a.L && a.L <= a.U && 0 <= a.l && a.l <= a.u, "capacity bounds");
  check(a.m == a.n || !isStuckSeed(a.seed), "stuck stream with further edges");
}

void fuzzMotley(int argc, char **argv) {
  MotleyArgs a;
  int err = checkMotleyArgs(argc, argv, &a);
  check(err >= 0 && err <= 8, "error number");
  if (err != 0) return;
  check(a.n > 1 && a.d >= 0 && a.part >= 0, "n, k or part");
  check(!a.fMatchings || a.n % 2 == 0, "odd n with matchings");
  int64_t partialCount = (int64_t{a.part} + 1) / 2;
  check(2 * partialCount <= a.n, "partial matching wider than n");
  int64_t nk = int64_t{a.n} * a.d;
  check(inRange(nk) && a.m == (a.fMatchings ? nk / 2 : nk) + partialCount, "edge count");
  check(a.d == 0 || inRange(int64_t{a.wtMax} + 1), "capacity W + 1");
}

void fuzzTanglenet(int argc, char **argv) {
  TanglenetArgs a;
  int err = checkTanglenetArgs(argc, argv, &a);
  check(err >= 0 && err <= 6, "error number");
  if (err != 0) return;
  check(a.n > 1 && a.m > a.n && int64_t{a.m} <= int64_t{a.n} * (a.n - 1) / 2, "n or m");
  check(a.k >= 1 && a.k <= a.n, "k");
  check(!isStuckSeed(a.seed), "stuck stream");
}

void fuzzSpokerim(int argc, char **argv) {
  SpokerimArgs a;
  int err = checkSpokerimArgs(argc, argv, &a);
  check(err >= 0 && err <= 5, "error number");
  if (err != 0) return;
  check(a.n > 5 && a.n % 2 == 0 && inRange(2 * int64_t{a.n} - 3), "n");
  // Rim capacities n - R - 3 + Random(0, 2R).
  check(a.R >= 0 && a.n - a.R - 3 >= 0 && inRange(int64_t{a.n} + a.R - 3), "range R");
}

void fuzzHubspin(int argc, char **argv) {
  HubspinArgs a;
  int err = checkHubspinArgs(argc, argv, &a);
  check((err >= 0 && err <= 4) || err == kHubspinUnknownOption, "error number");
  if (err != 0) return;
  check(a.n > 2 && inRange(2 * int64_t{a.n} - 2), "n");
  check(a.R >= 0 && a.n - a.R - 2 >= 0 && inRange(int64_t{a.n} + a.R - 2), "range R");
}

void fuzzTwinloop(int argc, char **argv) {
  TwinloopArgs a;
  int err = checkTwinloopArgs(argc, argv, &a);
  check(err >= 0 && err <= 5, "error number");
  if (err != 0) return;
  check(a.n > 5 && inRange(2 * int64_t{a.n}) && inRange(int64_t{a.n} + 3), "n");
  check(a.n / 2 <= 50 || inRange(int64_t{a.U} - 3), "weakened rim capacity");
}

void fuzzPowerlaw(int argc, char **argv) {
  PowerlawArgs a;
  int err = checkPowerlawArgs(argc, argv, &a);
  check(err >= 0 && err <= 7, "error number");
  if (err != 0) return;
  check(a.n > 1 && a.k >= 1 && a.k < a.n && a.maxCap >= 1, "n, k or c");
  int64_t k = a.k, m = k * (k + 1) / 2 + (int64_t{a.n} - k - 1) * k;
  // 2m list entries indexed in 32 bits.
  check(m == a.m && 2 * m - 1 <= INT32_MAX, "edge count");
  check(a.k == 1 || a.n == a.k + 1 || !isStuckSeed(a.seed), "stuck stream with redraws");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::vector<std::string> args{"generator"};
  std::string arg;
  for (size_t i = 0; i < size && args.size() < 10; i++) {
    if (data[i] != 0) { arg += static_cast<char>(data[i]); continue; }
    args.push_back(arg);
    arg.clear();
  }
  if (args.size() < 10) args.push_back(arg);
  std::vector<char *> argv;
  for (std::string &s : args) argv.push_back(&s[0]);
  argv.push_back(nullptr);
  int argc = static_cast<int>(args.size());
  switch (FUZZ_GENERATOR) {
    case 0: fuzzRingforge(argc, argv.data()); break;
    case 1: fuzzMotley(argc, argv.data()); break;
    case 2: fuzzTanglenet(argc, argv.data()); break;
    case 3: fuzzSpokerim(argc, argv.data()); break;
    case 4: fuzzHubspin(argc, argv.data()); break;
    case 5: fuzzTwinloop(argc, argv.data()); break;
    default: fuzzPowerlaw(argc, argv.data()); break;
  }
  return 0;
}
