// Whole outputs of the seven generators, derived by hand from the stream, and
// the option conversions.
//
// States after SetRandom(1), s(k+1) = 16807 * sk mod (2^31 - 1):
//  s1 16807       s2 282475249   s3 1622650073  s4 984943658   s5 1144108930
//  s6 470211272   s7 101027544   s8 1457850878  s9 1458777923  s10 2007237709
//  s11 823564440  s12 1115438165 s13 1784484492 s14 74243042   s15 114807987
//  s16 1137522503 s17 1441282327 s18 16531729   s19 823378840  s20 143542612
//  s21 896544303  s22 1474833169 s23 1264817709 s24 1998097157 s25 1817129560
//  s26 1131570933 s27 197493099  s28 1404280278 s29 893351816
// Random(a, b) = a + s mod (b - a + 1): mod 3 is the digit sum mod 3, mod 5
// and mod 10 go by the last digit, mod 4 by the last two, mod 6 by the
// parity and the digit sum. Seed 0 makes every draw its lower bound,
// so a shuffle of 1..n gives 2, 3, ..., n, 1.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "expect_run.h"

namespace {

const std::string kRingforge = RINGFORGE_PATH, kMotley = MOTLEY_PATH,
                  kTanglenet = TANGLENET_PATH, kSpokerim = SPOKERIM_PATH,
                  kHubspin = HUBSPIN_PATH, kTwinloop = TWINLOOP_PATH,
                  kPowerlaw = POWERLAW_PATH;
const std::string kRingHead = "c \"ringforge\" min-cut problem\n";
const std::string kMotleyHead = "c EVENWEAVE min-cut problem\n";
const std::string kTangleHead = "c TANGLENET min-cut problem\n";
const std::string kWheelHead = "c \"hubspin\" min-cut problem\n";
const std::string kTwinHead = "c \"twinloop\" min-cut problem\n";
const std::string kPowerHead =
    "c \"powerlaw\" min-cut problem: preferential attachment\n";

// Cycle 1 + s1..s3 mod 10000 = 6808 5250 74. Further edges (i, j, c) with
// i, j = 1 + s mod 3 (digit sums in brackets) and c = 1 + s mod 10:
//  s4 (56) 3, s5 (31) 2, s6 3;   s7 (24) 1, s8 (53) 3, s9 4;
//  s10 (37) 2, s11 (36) 1, s12 6;   s13 (51) 1, s14 (26) 3, s15 8;
//  s16 (29) 3, s17 (34) 2, s18 10;
//  s19 (43) 2, s20 (28) 2 redrawn: s21 (42) 1, s22 (46) 2, s23 10.
TEST(Ringforge, Output) {
  expectOutput(kRingforge, {"3", "-s1", "-m9"},
               kRingHead + "p cut        3        9\n" +
               arcs({"1 2 6808", "2 3 5250", "3 1 74", "3 2 3", "1 3 4",
                     "2 1 6", "1 3 8", "3 2 10", "1 2 10"}));
  // L = U fixes the cycle, but each cycle arc still takes its draw.
  expectOutput(kRingforge, {"3", "-L5", "-s1", "-U5", "-m5"},
               kRingHead + "p cut        3        5\n" +
               arcs({"1 2 5", "2 3 5", "3 1 5", "3 2 3", "1 3 4"}));
  // Seed 0 is allowed while m = n.
  expectOutput(kRingforge, {"3", "-s0"},
               kRingHead + "p cut        3        3\n" +
               arcs({"1 2 1", "2 3 1", "3 1 1"}));
}

TEST(Ringforge, OptionConversions) {
  expectSame(kRingforge, {"3", "-s1e3"}, {"3", "-s1000"});  // floating
  expectSame(kRingforge, {"3", "-s1", "-m9.9"}, {"3", "-m9", "-s1"});
  expectSame(kRingforge, {"3", "-s5", "-m4", "-s1", "-m9"}, {"3", "-s1", "-m9"});
  expectSame(kRingforge, {"5", "-m12"}, {"5", "-m12", "-s214365"});
  // Arguments longer than 29 characters are read in full.
  expectSame(kRingforge,
             {"0000000000000000000000000000000000000003",
              "-s00000000000000000000000000000000000000001", "-m9"},
             {"3", "-s1", "-m9"});
}

// -w5: capacities 1 + s1 mod 5 + 1 = 4, 1 + s2 mod 5 + 1 = 6, used last
// drawn first. Shuffles of 1 2: s3 odd keeps, s4 even swaps; partial s5
// even swaps.
TEST(Motley, Output) {
  expectOutput(kMotley, {"2", "2", "1", "-s1", "-w5"},
               kMotleyHead + "p cut        2        5\n" +
               arcs({"1 2 6", "2 1 6", "2 1 4", "1 2 4", "2 1 1"}));
  // W = 1: capacity 1. Cycle s2 odd: 1 2, written twice.
  expectOutput(kMotley, {"2", "1", "0", "-s1"},
               kMotleyHead + "p cut        2        2\n" +
               arcs({"1 2 1", "2 1 1"}));
  // k = 0: no capacity draws; the partial shuffle of 1..4 takes s1 mod 4 = 3
  // (keep), s2 mod 3 = 1 (swap 1 and 2), s3 odd (keep): 1 3 2 4.
  expectOutput(kMotley, {"4", "0", "2", "-s1"},
               kMotleyHead + "p cut        4        1\n" + arcs({"1 3 1"}));
  // W = -3: capacity W + 1.
  expectOutput(kMotley, {"2", "1", "1", "-s1", "-w-3"},
               kMotleyHead + "p cut        2        3\n" +
               arcs({"1 2 -2", "2 1 -2", "1 2 1"}));
  // Seed 0: every shuffle gives 2 3 4 1.
  expectOutput(kMotley, {"4", "1", "3", "-s0"},
               kMotleyHead + "p cut        4        6\n" +
               arcs({"2 3 1", "3 4 1", "4 1 1", "1 2 1", "2 3 1", "4 1 1"}));
  expectOutput(kMotley, {"4", "2", "0", "-m", "-s0", "-w3"},
               kMotleyHead + "p cut        4        4\n" +
               arcs({"2 3 2", "4 1 2", "2 3 2", "4 1 2"}));
}

// Capacity draws are made whatever W is, so W moves no end point.
TEST(Motley, WeightBoundKeepsEndPoints) {
  std::string out1 = runProgram(kMotley, {"9", "3", "7", "-s9"}).out;
  std::string out7 = runProgram(kMotley, {"9", "3", "7", "-s9", "-w7"}).out;
  ASSERT_GT(out1.size(), 60u);
  auto endPoints = [](std::string text) {
    std::string s;
    for (size_t i = 0, field = 0; i < text.size(); i++) {
      if (text[i] == '\n') field = 0;
      else if (text[i] == ' ' && ++field == 3) continue;
      if (field < 3) s += text[i];
    }
    return s;
  };
  EXPECT_EQ(endPoints(out1), endPoints(out7));
  EXPECT_NE(out1, out7);
}

TEST(Motley, OptionConversions) {
  expectSame(kMotley, {"6", "2", "3", "-s1e3"}, {"6", "2", "3", "-s1"});  // integer
  expectSame(kMotley, {"6", "2", "3", "-s12x"}, {"6", "2", "3", "-s12"});
  expectSame(kMotley, {"4", "2", "0", "-mx", "-s0"}, {"4", "2", "0", "-m", "-s0"});
  expectSame(kMotley, {"2", "1", "0", "-s1", "-w"}, {"2", "1", "0", "-s1"});  // W = 0
  expectSame(kMotley, {"6", "2", "3", "-w3", "-s4", "-w9", "-s12"},
             {"6", "2", "3", "-s12", "-w9"});
  expectSame(kMotley, {"6", "2", "3"}, {"6", "2", "3", "-s214365"});
}

// n = 5, d = 100: m = 10; k = 1, so s1..s5 colour all nodes 1 and every
// capacity is 1 + s mod 100. Cycle s6..s10: 73 45 79 24 10. Further end
// points 1 + s mod 5: s11 1, s12 1 and s13 3, s14 3 are redrawn; s15 3,
// s16 4, s17 28; s18 5, s19 1, s20 13; s21 4, s22 5, s23 10; s24 3, s25 1,
// s26 34; s27 5, s28 4, s29 17.
TEST(Tanglenet, Output) {
  expectOutput(kTanglenet, {"5", "100", "1", "1", "-s1"},
               kTangleHead + "p cut        5       10\n" +
               arcs({"1 2 73", "2 3 45", "3 4 79", "4 5 24", "5 1 10",
                     "3 4 28", "5 1 13", "4 5 10", "3 1 34", "5 4 17"}));
  // P = 0: inside a component the range 1..0 gives 0; end points as above.
  expectOutput(kTanglenet, {"5", "100", "1", "0", "-s1"},
               kTangleHead + "p cut        5       10\n" +
               arcs({"1 2 0", "2 3 0", "3 4 0", "4 5 0", "5 1 0",
                     "3 4 0", "5 1 0", "4 5 0", "3 1 0", "5 4 0"}));
  // n = 4, d = 90: m = 5.4 -> 5. k = 2: colours 1 + s mod 2 = 2 2 2 1.
  // P = 3: inside 1 + s mod 300 (s5 -> 131, s6 -> 273), between 1 + s mod
  // 100 (s7 -> 45, s8 -> 79). Further: s9 -> 4, s10 -> 2, between, s11 -> 41.
  expectOutput(kTanglenet, {"4", "90", "2", "3", "-s1"},
               kTangleHead + "p cut        4        5\n" +
               arcs({"1 2 131", "2 3 273", "3 4 45", "4 1 79", "4 2 41"}));
  // n = 10: d = 100 and 101 both give the largest m, 45.
  const std::string kLargest = kTangleHead + "p cut       10       45\na ";
  for (const char *density : {"100", "101"})
    EXPECT_EQ(runProgram(kTanglenet, {"10", density, "3", "2"}).out.substr(0, kLargest.size()),
              kLargest);
  expectSame(kTanglenet, {"5", "100", "1", "1", "-s1e3"}, {"5", "100", "1", "1", "-s1"});
  expectSame(kTanglenet, {"9", "60", "3", "4"}, {"9", "60", "3", "4", "-s214365"});
}

const std::string kSpokerim6 =
    kWheelHead + "p cut        6        9\n" +
    arcs({"1 2 3", "2 3 3", "3 4 3", "4 1 3", "5 1 4", "6 2 4", "5 3 4",
          "6 4 4", "5 6 2"});

TEST(Spokerim, Output) {
  expectOutput(kSpokerim, {"6"}, kSpokerim6);
  expectOutput(kSpokerim, {"6", "-r-0.5", "-s77"}, kSpokerim6);
  // n = 8, R = 2: rim 3 + s mod 5 for s1..s6.
  expectOutput(kSpokerim, {"8", "-s1.9", "-r2.9"},
               kWheelHead + "p cut        8       13\n" +
               arcs({"1 2 5", "2 3 7", "3 4 6", "4 5 6", "5 6 3", "6 1 5",
                     "7 1 4", "8 2 4", "7 3 4", "8 4 4", "7 5 4", "8 6 4",
                     "7 8 2"}));
  // R = n - 3 with seed 0: rim capacity n - R - 3 = 0.
  expectOutput(kSpokerim, {"6", "-r3", "-s0"},
               kWheelHead + "p cut        6        9\n" +
               arcs({"1 2 0", "2 3 0", "3 4 0", "4 1 0", "5 1 4", "6 2 4",
                     "5 3 4", "6 4 4", "5 6 2"}));
  expectSame(kSpokerim, {"8", "-r6", "-r2.9"}, {"8", "-r2"});
  expectSame(kSpokerim, {"10", "-s1e3", "-r5"}, {"10", "-s1000", "-r5"});
}

TEST(Hubspin, Output) {
  expectOutput(kHubspin, {"3"},
               kWheelHead + "p cut        3        4\n" +
               arcs({"1 2 1", "2 1 1", "3 1 2", "3 2 2"}));
  // n = 5, R = 2: rim 1 + s mod 5 for s1..s4.
  expectOutput(kHubspin, {"5", "-r2.9", "-s1.5"},
               kWheelHead + "p cut        5        8\n" +
               arcs({"1 2 3", "2 3 5", "3 4 4", "4 1 4", "5 1 2", "5 2 2",
                     "5 3 2", "5 4 2"}));
  expectSame(kHubspin, {"5", "-r4", "-r2"}, {"5", "-r2"});
  expectSame(kHubspin, {"9", "-s1e3", "-r4"}, {"9", "-r4", "-s1000"});
}

// Rim arcs i -> i + 1 and chords i -> i + 3, both around the cycle, with
// capacities rim and 1, except for the listed "tail head capacity" lines.
std::string twinloopText(int n, int rim, std::vector<std::string> special) {
  char line[64];
  snprintf(line, sizeof line, "p cut %8d %8d\n", n, 2 * n);
  std::string text = kTwinHead + line;
  for (int i = 1; i <= n; i++) {
    for (int head : {i % n + 1, (i + 2) % n + 1}) {
      snprintf(line, sizeof line, "%d %d ", i, head);
      std::string cap = std::to_string(head == i % n + 1 ? rim : 1);
      for (const std::string &s : special)
        if (s.compare(0, strlen(line), line) == 0) cap = s.substr(strlen(line));
      text += "a " + std::string(line) + cap + "\n";
    }
  }
  return text;
}

TEST(Twinloop, Output) {
  expectOutput(kTwinloop, {"6"},
               kTwinHead + "p cut        6       12\n" +
               arcs({"1 2 1000", "1 4 1", "2 3 1000", "2 5 1", "3 4 1000",
                     "3 6 1", "4 5 1000", "4 1 1", "5 6 1000", "5 2 1",
                     "6 1 1000", "6 3 1"}));
  expectOutput(kTwinloop, {"101"}, twinloopText(101, 1000, {}));
  // h = 51: rim from 50 and 101 weakened, chords from 47, 51, 98 and 102
  // (to 3, or to 2 for n = 103) strengthened.
  expectOutput(kTwinloop, {"102"},
               twinloopText(102, 1000, {"50 51 997", "101 102 997", "47 50 4",
                                        "51 54 4", "98 101 4", "102 3 4"}));
  expectOutput(kTwinloop, {"103", "-U5"},
               twinloopText(103, 5, {"50 51 2", "101 102 2", "47 50 4",
                                     "51 54 4", "98 101 4", "102 2 4"}));
  expectOutput(kTwinloop, {"102", "-U9", "-U2.5"},
               twinloopText(102, 2, {"50 51 -1", "101 102 -1", "47 50 4",
                                     "51 54 4", "98 101 4", "102 3 4"}));
}

// n = 5, k = 2, c = 10. Clique 1 2 3, capacities 1 + s mod 10: s1 8, s2 10,
// s3 4; list of ends 1 2 1 3 2 3 (L = 6). Node 4 draws list[s mod 6]:
// s4 (even, digit sum 56) 2 -> node 1, capacity s5 -> 1; then s6 (even, 26)
// 2 -> 1, s7 (even, 24) 0 -> 1 and s8 (even, 53) 2 -> 1 are redrawn, s9 (odd,
// 53) 5 -> 3, capacity s10 -> 10. List 1 2 1 3 2 3 4 1 4 3 (L = 10); node 5:
// s11 0 -> 1, capacity s12 -> 6; s13 2, s14 2 and s15 7 all give 1 again,
// s16 3 -> 3, capacity s17 -> 8.
TEST(Powerlaw, Output) {
  const std::string kEnds[] = {"1 2 ", "1 3 ", "2 3 ", "4 1 ", "4 3 ", "5 1 ", "5 3 "};
  const char *const kCaps[] = {"8", "10", "4", "1", "10", "6", "8"};
  std::string withCaps, unit;
  for (int i = 0; i < 7; i++) {
    withCaps += "a " + kEnds[i] + kCaps[i] + "\n";
    unit += "a " + kEnds[i] + "1\n";
  }
  const std::string kProblem = "p cut        5        7\n";
  expectOutput(kPowerlaw, {"5", "-c10", "-s1"}, kPowerHead + kProblem + withCaps);
  // Unit capacities take the same draws: the same end points.
  expectOutput(kPowerlaw, {"5", "-s1.7", "-k2.5"}, kPowerHead + kProblem + unit);
  // k = 1: list 1 2; node 3 takes s2 odd -> list[1] = 2; list 1 2 3 2, node 4
  // takes s4 mod 4 = 58 mod 4 = 2 -> list[2] = 3.
  expectOutput(kPowerlaw, {"4", "-k1", "-s1"},
               kPowerHead + "p cut        4        3\n" + arcs({"1 2 1", "3 2 1", "4 3 1"}));
  // A stuck stream is accepted where nothing is redrawn: with k = 1 every
  // target is list[0] = node 1 (a star), and n = k + 1 is the clique alone.
  expectOutput(kPowerlaw, {"5", "-k1", "-s0", "-c9"},
               kPowerHead + "p cut        5        4\n" +
               arcs({"1 2 1", "3 1 1", "4 1 1", "5 1 1"}));
  expectOutput(kPowerlaw, {"4", "-k3", "-s0"},
               kPowerHead + "p cut        4        6\n" +
               arcs({"1 2 1", "1 3 1", "1 4 1", "2 3 1", "2 4 1", "3 4 1"}));
  expectSame(kPowerlaw, {"40", "-k3", "-c9"}, {"40", "-s214365", "-k3", "-c9"});
  expectSame(kPowerlaw, {"40"}, {"40", "-k2", "-c1"});
  expectSame(kPowerlaw, {"40", "-s1e3", "-c5"}, {"40", "-c5", "-s1000"});
}

}  // namespace
