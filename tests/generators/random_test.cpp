// The random module: the stream, the mapping into a range, and the shuffles.
#include "generators/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "run_program.h"

namespace {

// Random(0, 2147483647) returns the new state itself, so it reads the stream.
int32_t nextState() { return Random(0, INT32_MAX); }

TEST(RandomStream, StatesAfterSeedOne) {
  SetRandom(1);
  for (int32_t expected : {16807, 282475249, 1622650073, 984943658, 1144108930,
                           470211272})
    EXPECT_EQ(nextState(), expected);
  for (int i = 6; i < 9999; i++) nextState();
  EXPECT_EQ(nextState(), 1043618065);
  SetRandom(1);  // restarts
  EXPECT_EQ(nextState(), 16807);
}

// The 32-bit step is 16807 * state mod (2^31 - 1), also where the 16-bit
// halves carry and at the ends of the range.
TEST(RandomStream, StepIsMultiplicationModuloPrime) {
  for (int32_t state : {1, 65535, 65536, 127773, 127774, 1 << 30, 2147483645,
                        2147483646})
    EXPECT_EQ(nextRandomState(state), int64_t{16807} * state % 2147483647) << state;
  EXPECT_EQ(nextRandomState(0), 0);
  EXPECT_EQ(nextRandomState(2147483647), 0);
}

TEST(RandomRange, EdgeCases) {
  SetRandom(1);
  EXPECT_EQ(Random(5, 5), 5);                   // s1 consumed
  EXPECT_EQ(Random(7, 3), 3);                   // b <= a gives b; s2 consumed
  EXPECT_EQ(Random(1, 10000), 74);              // s3 = 1622650073
  EXPECT_EQ(Random(-5, 5), 1);                  // s4 = 984943658 = 11 * 89540332 + 6
  EXPECT_EQ(Random(0, 2147483646), 1144108930); // width 2^31 - 1 keeps s5
  // A width of 2^32, which is 0 in 32 bits, stays defined: s6 = 470211272.
  EXPECT_EQ(Random(INT32_MIN, INT32_MAX), INT32_MIN + 470211272);
  EXPECT_EQ(DblUnitRandom(), 101027544 / 2147483646.0);
  SetRandom(739806647);  // steps to 2147483646, the largest state
  EXPECT_EQ(DblUnitRandom(), 1.0);
}

// The one seed whose first step gives state -1: the draw stays in range.
TEST(RandomRange, NegativeStateStaysInRange) {
  EXPECT_EQ(nextRandomState(-1407677000), -1);
  SetRandom(-1407677000);
  int32_t drawn = Random(3, 9);
  EXPECT_GE(drawn, 3);
  EXPECT_LE(drawn, 9);
  EXPECT_EQ(nextState(), nextRandomState(-1));
}

TEST(RandomStuck, ExactlyTheSeedsThatReachZero) {
  for (int32_t seed : {0, 2147483647, -2147483647, -667870353}) {
    EXPECT_TRUE(isStuckSeed(seed)) << seed;
    SetRandom(seed);
    Random(0, 1);  // -667870353 reaches 0 at its second step
    EXPECT_EQ(Random(4, 90), 4) << seed;
    EXPECT_EQ(Random(4, 90), 4) << seed;
  }
  for (int32_t seed : {1, 2147483646, -1, -2, INT32_MIN, -1407677000})
    EXPECT_FALSE(isStuckSeed(seed)) << seed;
}

TEST(RandomPermute, DrawsFromTheTopDown) {
  SetRandom(1);
  int rgiOne[] = {42};
  RandomPermute(1, rgiOne);  // no draw
  EXPECT_EQ(nextState(), 16807);
  // i = 3: s2 mod 4 = 1, swap 1 and 3; i = 2: s3 mod 3 = 2, keep;
  // i = 1: s4 even, swap 0 and 1.
  std::vector<int> rgi = {1, 2, 3, 4};
  RandomPermute(4, rgi.data());
  EXPECT_EQ(rgi, (std::vector<int>{4, 1, 3, 2}));
  EXPECT_EQ(nextState(), 1144108930);
  int rgiTwo[] = {10, 20};
  RandomPermute(2, rgiTwo);  // s6 even: Random(0, 1) = 0, swap
  EXPECT_EQ(rgiTwo[0], 20);
}

TEST(RandomPermuteObj, AgreesWithRandomPermute) {
  struct Obj { int32_t key, twice, thrice; };
  for (int32_t seed : {1, 214365, 99}) {
    std::vector<int> rgiA(37), rgiB(37);
    std::vector<Obj> rgobj(37);
    for (int i = 0; i < 37; i++) {
      rgiA[i] = rgiB[i] = i;
      rgobj[i] = Obj{i, 2 * i, 3 * i};
    }
    SetRandom(seed);
    RandomPermute(37, rgiA.data());
    int32_t after = nextState();
    SetRandom(seed);
    RandomPermuteObj(37, reinterpret_cast<char *>(rgiB.data()), sizeof(int));
    EXPECT_EQ(nextState(), after);
    SetRandom(seed);
    RandomPermuteObj(37, reinterpret_cast<char *>(rgobj.data()), sizeof(Obj));
    EXPECT_EQ(rgiA, rgiB) << seed;
    for (int i = 0; i < 37; i++) {
      EXPECT_EQ(rgobj[i].key, rgiA[i]);
      EXPECT_EQ(rgobj[i].thrice, 3 * rgiA[i]);
    }
  }
}

TEST(RandomUnseeded, DrawEndsTheProcess) {
  ProgramResult r = runProgram(UNSEEDED_DRAW_PATH, {});
  EXPECT_EQ(r.status, 17);
  EXPECT_EQ(r.err, "error:no random seed set\n");
  EXPECT_EQ(r.out, "");
}

}  // namespace
