// Every rejected command line of the seven generators: the exact message on
// standard error, the exit status, and an empty standard output.
#include <gtest/gtest.h>

#include <string>

#include "expect_run.h"

namespace {

const std::string kRingforge = RINGFORGE_PATH, kMotley = MOTLEY_PATH,
                  kTanglenet = TANGLENET_PATH, kSpokerim = SPOKERIM_PATH,
                  kHubspin = HUBSPIN_PATH, kTwinloop = TWINLOOP_PATH,
                  kPowerlaw = POWERLAW_PATH;

struct Rejection {
  const std::string &path;
  Args args;
  int status;
  std::string err;
};

const std::string kRingUsage =
    "\nUsage: ringforge numer_of_nodes\n         [-s seed]\n"
    "         [-m number_of_arcs]\n         [-U cycle_capacity_upper_bound]\n"
    "         [-L cycle_capacity_lower_bound]\n"
    "         [-u nom_cycle_capacity_upper_bound]\n"
    "         [-l non_cycle_capacity_lower_bound]\n";
const std::string kMotleyUsage =
    "\nUsage: evenweave n k [-sS] [-m] [-wW] \nwhere n is the number of nodes\n"
    "      k is the number of cycles/matchings\n      S is a seed\n"
    "      W is the maximum edge weight\n-m means matchings instead of cycles\n";
const std::string kTangleUsage =
    "\nUsage: tanglenet n d k P [-sS]\nwhere n is the number of nodes\n"
    "      d is the density (%)\n      k is the number of tight components\n"
    "      P is the component arc capacity\n      S is a seed\n";
const std::string kSpokeUsage =
    "\nUsage: spokerim n\n                  [-r range]\n                  [-s seed]\n";
const std::string kHubUsage =
    "\nUsage: ringforge n\n                  [-r range]\n                  [-s seed]\n";
const std::string kTwinUsage = "\nUsage: twinloop n\n                  [-U rim capacity]\n";
const std::string kPowerUsage =
    "\nUsage: powerlaw number_of_nodes\n         [-k edges_per_new_node]\n"
    "         [-c capacity_upper_bound]\n         [-s seed]\n";
const std::string kUnknown = "\nError: unknown option\n";
const std::string kStuck = "\nError: seed gives a constant random stream\n";
const std::string kEdges = "\nError: number of edges out of range\n";
const std::string kRange = "\nError: r must be between 0 and n-3\n";
const std::string kBounds = "\nError: lower_bound > upper_bound\n";
const std::string kDensity = "\nError: density out of range\n";

const Rejection kRejections[] = {
    // ringforge: count, n, options left to right, m, bounds, negative bound;
    // values beyond 32 bits are usage errors.
    {kRingforge, {}, 1, kRingUsage},
    {kRingforge, {"3", "-s1", "-s1", "-s1", "-s1", "-s1", "-s1", "-s1"}, 1, kRingUsage},
    {kRingforge, {"3", "-s", "42"}, 1, kRingUsage},
    {kRingforge, {"3", "7", "-x"}, 1, kRingUsage},
    {kRingforge, {"99999999999"}, 1, kRingUsage},
    {kRingforge, {"3", "-s2147483648"}, 1, kRingUsage},
    {kRingforge, {"3", "-s1e20"}, 1, kRingUsage},
    {kRingforge, {"3", "-mnan"}, 1, kRingUsage},
    {kRingforge, {"2"}, 2, "\nError: number_of_nodes must be int > 2\n"},
    {kRingforge, {"-5", "-x"}, 2, "\nError: number_of_nodes must be int > 2\n"},
    {kRingforge, {"3", "-m2.9", "-l5", "-u4"}, 3, "\nError: number_of_arcs < number_or_nodes\n"},
    {kRingforge, {"3", "-l5", "-u4"}, 4, kBounds},
    {kRingforge, {"3", "-L9", "-U8", "-l-1"}, 4, kBounds},
    {kRingforge, {"3", "-l-1"}, 5, "\nError: negative bound\n"},
    {kRingforge, {"3", "-M5"}, 6, kUnknown},
    {kRingforge, {"3", "-", "7"}, 6, kUnknown},
    // A stuck stream would redraw a further edge forever.
    {kRingforge, {"3", "-m4", "-s0"}, 7, kStuck},
    {kRingforge, {"3", "-m4", "-s"}, 7, kStuck},
    {kRingforge, {"3", "-m4", "-s2147483647.9"}, 7, kStuck},
    {kRingforge, {"3", "-m4", "-s-667870353"}, 7, kStuck},
    // motley: status 17 throughout.
    {kMotley, {}, 17, kMotleyUsage},
    {kMotley, {"4", "1"}, 17, kMotleyUsage},
    {kMotley, {"4", "1", "0", "-x"}, 17, kMotleyUsage},
    {kMotley, {"4", "1", "0", "-s", "42"}, 17, kMotleyUsage},
    {kMotley, {"4", "99999999999", "0"}, 17, kMotleyUsage},
    {kMotley, {"1", "1", "0"}, 17, "error: number of nodes must exceed 1\n"},
    {kMotley, {"7", "1", "0", "-m"}, 17, "error: number of nodes must be even\n"},
    {kMotley, {"7", "1", "0", "-m", "-y"}, 17, kMotleyUsage},
    {kMotley, {"4", "-1", "0"}, 17, "error: k must not be negative\n"},
    {kMotley, {"4", "1", "-1"}, 17, "error: part must not be negative\n"},
    {kMotley, {"2", "1", "3"}, 17, "error: part needs more than n nodes\n"},
    {kMotley, {"3", "1", "3"}, 17, "error: part needs more than n nodes\n"},
    {kMotley, {"65536", "32768", "0", "-m"}, 17, "error: number of edges exceeds 2147483647\n"},
    {kMotley, {"2147483647", "1", "2"}, 17, "error: number of edges exceeds 2147483647\n"},
    {kMotley, {"2", "1", "0", "-w2147483647"}, 17, "error: W must be below 2147483647\n"},
    // tanglenet: count, n, d, k, the fifth argument, then 100 * P and seed.
    {kTanglenet, {}, 1, kTangleUsage},
    {kTanglenet, {"5", "100", "1"}, 1, kTangleUsage},
    {kTanglenet, {"5", "100", "1", "1", "-s", "42"}, 1, kTangleUsage},
    {kTanglenet, {"5", "100", "1", "1", "-x5"}, 1, kTangleUsage},
    {kTanglenet, {"5", "100", "1", "99999999999"}, 1, kTangleUsage},
    {kTanglenet, {"1", "100", "1", "1", "-x"}, 2, "\nError: number_of_nodes must be int > 1\n"},
    {kTanglenet, {"3", "100", "1", "1"}, 3, kDensity},
    {kTanglenet, {"10", "103", "3", "2"}, 3, kDensity},  // m = 46 > 45
    {kTanglenet, {"10", "22.3", "3", "2"}, 3, kDensity},  // m = 10 <= n
    {kTanglenet, {"10", "nan", "3", "2"}, 3, kDensity},
    {kTanglenet, {"100000", "50", "3", "2"}, 3, kDensity},  // m > 2^31 - 1
    {kTanglenet, {"5", "10", "6", "1"}, 3, kDensity},
    {kTanglenet, {"5", "100", "0", "1"}, 4, "\nError: decomposition number k out of range\n"},
    {kTanglenet, {"5", "100", "6", "1", "-x"}, 4, "\nError: decomposition number k out of range\n"},
    {kTanglenet, {"5", "100", "1", "21474837"}, 5, "\nError: component capacity 100*P out of range\n"},
    {kTanglenet, {"5", "100", "1", "1", "-s"}, 6, kStuck},
    {kTanglenet, {"5", "100", "1", "1", "-s-667870353"}, 6, kStuck},
    // spokerim: count, n, options, R.
    {kSpokerim, {}, 1, kSpokeUsage},
    {kSpokerim, {"6", "-r1", "-s1", "-s2"}, 1, kSpokeUsage},
    {kSpokerim, {"6", "-s", "42"}, 1, kSpokeUsage},
    {kSpokerim, {"6", "-r1e10"}, 1, kSpokeUsage},
    {kSpokerim, {"6", "-U"}, 2, kUnknown},
    {kSpokerim, {"6", "-r4"}, 3, kRange},
    {kSpokerim, {"7", "-x"}, 4, "\nError: n must be even >5"},
    {kSpokerim, {"4"}, 4, "\nError: n must be even >5"},
    {kSpokerim, {"1073741826"}, 5, kEdges},
    // hubspin: error 2 has two messages.
    {kHubspin, {}, 1, kHubUsage},
    {kHubspin, {"5", "3"}, 1, kHubUsage},
    {kHubspin, {"5", "-snan"}, 1, kHubUsage},
    {kHubspin, {"2", "-x1"}, 2, "\nError: number_of_nodes must be int > 2\n"},
    {kHubspin, {"5", "-x1", "7"}, 2, kUnknown},
    {kHubspin, {"5", "-r3"}, 3, kRange},
    {kHubspin, {"1073741825"}, 4, kEdges},
    // twinloop.
    {kTwinloop, {}, 1, kTwinUsage},
    {kTwinloop, {"6", "-U1", "-U2", "-U3"}, 1, kTwinUsage},
    {kTwinloop, {"6", "5"}, 1, kTwinUsage},
    {kTwinloop, {"6", "-s7"}, 2, kUnknown},
    {kTwinloop, {"6", "-u5"}, 2, kUnknown},
    {kTwinloop, {"5", "-s7"}, 3, "\nError: n must be >5"},
    {kTwinloop, {"1073741824"}, 4, kEdges},
    {kTwinloop, {"102", "-U-2147483646"}, 5, "\nError: rim capacity out of range\n"},
    // powerlaw: count, n, options left to right, k, c, edge count, seed.
    {kPowerlaw, {}, 1, kPowerUsage},
    {kPowerlaw, {"5", "-k1", "-c2", "-s3", "-k2"}, 1, kPowerUsage},
    {kPowerlaw, {"5", "7"}, 1, kPowerUsage},
    {kPowerlaw, {"99999999999"}, 1, kPowerUsage},
    {kPowerlaw, {"5", "-k1e10"}, 1, kPowerUsage},
    {kPowerlaw, {"5", "-snan"}, 1, kPowerUsage},
    {kPowerlaw, {"1"}, 2, "\nError: number_of_nodes must be int > 1\n"},
    {kPowerlaw, {"-3", "-x"}, 2, "\nError: number_of_nodes must be int > 1\n"},
    {kPowerlaw, {"5", "-x", "-k9"}, 3, kUnknown},
    {kPowerlaw, {"5", "-K2"}, 3, kUnknown},
    {kPowerlaw, {"5", "-k5"}, 4, "\nError: k must be between 1 and n-1\n"},
    {kPowerlaw, {"5", "-k0.9", "-c0"}, 4, "\nError: k must be between 1 and n-1\n"},
    {kPowerlaw, {"2", "-k-1"}, 4, "\nError: k must be between 1 and n-1\n"},
    {kPowerlaw, {"5", "-c0.5", "-s0"}, 5, "\nError: capacity_upper_bound must be >= 1\n"},
    // m = n - 1 for k = 1: 1073741824 edges is one past the reader's limit.
    {kPowerlaw, {"1073741825", "-k1"}, 6, kEdges},
    {kPowerlaw, {"2147483647", "-s0"}, 6, kEdges},
    {kPowerlaw, {"46342", "-k46341"}, 6, kEdges},  // the clique alone
    // A stuck stream would redraw a new node's second target forever.
    {kPowerlaw, {"5", "-s0"}, 7, kStuck},
    {kPowerlaw, {"5", "-k3", "-s-667870353"}, 7, kStuck},
    {kPowerlaw, {"4", "-k2", "-s2147483647.5"}, 7, kStuck},
};

TEST(GeneratorErrors, MessageStatusAndEmptyOutput) {
  for (const Rejection &rejection : kRejections)
    expectError(rejection.path, rejection.args, rejection.status, rejection.err);
}

// Limits that are accepted: the largest 100 * P, a W that cannot be used,
// U - 3 out of range where no rim arc is weakened.
TEST(GeneratorErrors, AcceptedLimits) {
  EXPECT_EQ(runProgram(kTanglenet, {"5", "100", "1", "21474836"}).status, 0);
  expectOutput(kMotley, {"2", "0", "2", "-s0", "-w2147483647"},
               "c EVENWEAVE min-cut problem\np cut        2        1\na 2 1 1\n");
  EXPECT_EQ(runProgram(kTwinloop, {"101", "-U-2147483646"}).status, 0);
}

#ifndef __SANITIZE_ADDRESS__
// An address-space limit makes the working array fail to allocate.
TEST(GeneratorErrors, MemoryExhausted) {
  const std::string kLimit = "ulimit -v 200000 || exit 99; exec \"$0\" ";
  ProgramResult r = runProgram("/bin/sh", {"-c", kLimit + "2000000000 1 0", kMotley});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Memory exhausted at motley:1 rgi = (int *)calloc(n, sizeof(int))\n");
  EXPECT_EQ(r.out, "");
  r = runProgram("/bin/sh", {"-c", kLimit + "2000000000 1.05e-7 1 1", kTanglenet});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Memory exhausted at tanglenet:1 color = (int *)calloc(n+1, sizeof(int))\n");
  EXPECT_EQ(r.out, "");
  // The largest accepted edge count: 2m ends of 4 bytes are 8 GB.
  r = runProgram("/bin/sh", {"-c", kLimit + "1073741824 -k1", kPowerlaw});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Memory exhausted at powerlaw:1 rgEnd = (int32_t *)calloc(2*m, sizeof(int32_t))\n");
  EXPECT_EQ(r.out, "");
}
#endif

}  // namespace
