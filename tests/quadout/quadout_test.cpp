// quadout writes through fprintf, so each case prints into a temporary file
// and compares the bytes that arrived there, and the count returned.
#include "quadout/quadout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

namespace {

struct Printed {
  std::string text;  // every byte the call wrote
  int result;        // what quadout returned
};

Printed print(const char *prefix, int64_t value) {
  FILE *f = tmpfile();
  if (f == nullptr) throw std::runtime_error("tmpfile failed");
  Printed p;
  p.result = quadout(f, prefix, value);
  fflush(f);
  rewind(f);
  int c;
  while ((c = fgetc(f)) != EOF) p.text.push_back(static_cast<char>(c));
  fclose(f);
  return p;
}

TEST(Quadout, ZeroIsOneDigit) {
  Printed p = print("%", 0);
  EXPECT_EQ(p.text, "0");
  EXPECT_EQ(p.result, 1);
}

TEST(Quadout, DigitsInOrderWithInnerZeros) {
  EXPECT_EQ(print("%", 7).text, "7");
  EXPECT_EQ(print("%", 10).text, "10");
  EXPECT_EQ(print("%", -10).text, "-10");
  EXPECT_EQ(print("%", 1000000).text, "1000000");
  Printed p = print("%", 1234567890123LL);
  EXPECT_EQ(p.text, "1234567890123");
  EXPECT_EQ(p.result, 13);
}

TEST(Quadout, NegativeInFieldAlignsLikeAString) {
  Printed right = print("%6", -5);
  EXPECT_EQ(right.text, "    -5");
  EXPECT_EQ(right.result, 6);
  Printed left = print("%-6", -5);
  EXPECT_EQ(left.text, "-5    ");
  EXPECT_EQ(left.result, 6);
  // A field narrower than the text does not cut it.
  EXPECT_EQ(print("%2", -12345).text, "-12345");
}

TEST(Quadout, PrecisionActsAsOnAString) {
  // For a string conversion the precision caps the characters taken.
  Printed p = print("%.3", 123456);
  EXPECT_EQ(p.text, "123");
  EXPECT_EQ(p.result, 3);
  EXPECT_EQ(print("%5.2", -98).text, "   -9");
}

TEST(Quadout, Extremes) {
  const int64_t largest = std::numeric_limits<int64_t>::max();
  const int64_t smallest = std::numeric_limits<int64_t>::min();

  Printed top = print("%", largest);
  EXPECT_EQ(top.text, "9223372036854775807");
  EXPECT_EQ(top.result, 19);

  Printed negTop = print("%", -largest);
  EXPECT_EQ(negTop.text, "-9223372036854775807");
  EXPECT_EQ(negTop.result, 20);

  // No positive counterpart exists; it still prints with all its digits.
  Printed bottom = print("%", smallest);
  EXPECT_EQ(bottom.text, "-9223372036854775808");
  EXPECT_EQ(bottom.result, 20);

  EXPECT_EQ(print("%22", smallest).text, "  -9223372036854775808");
}

TEST(Quadout, LiteralTextAndDoubledPercent) {
  Printed p = print("load 100%% of [%4", 42);
  EXPECT_EQ(p.text, "load 100% of [  42");
  EXPECT_EQ(p.result, 18);
  Printed q = print("%%%", -3);
  EXPECT_EQ(q.text, "%-3");
  EXPECT_EQ(q.result, 3);
}

TEST(Quadout, PrefixAtAndPastTheShortLimit) {
  // 22 characters: the longest prefix the fixed format buffer holds.
  Printed at = print("abcdefghijklmnopqrst %", 1);
  EXPECT_EQ(at.text, "abcdefghijklmnopqrst 1");
  EXPECT_EQ(at.result, 22);
  // 23 characters: one past it.
  Printed past = print("abcdefghijklmnopqrstu %", -1);
  EXPECT_EQ(past.text, "abcdefghijklmnopqrstu -1");
  EXPECT_EQ(past.result, 24);
}

TEST(Quadout, LongPrefixIsWrittenWhole) {
  Printed p = print("cut value between the two sides of the tree edge: [%-8", -77);
  EXPECT_EQ(p.text, "cut value between the two sides of the tree edge: [-77     ");
  EXPECT_EQ(p.result, 59);

  std::string prefix(2000, 'x');
  prefix += "%%%";
  Printed big = print(prefix.c_str(), 9);
  EXPECT_EQ(big.text, std::string(2000, 'x') + "%9");
  EXPECT_EQ(big.result, 2002);
}

TEST(Quadout, OutputErrorGivesNegativeResult) {
  FILE *readOnly = fopen("/dev/null", "r");
  ASSERT_NE(readOnly, nullptr);
  EXPECT_LT(quadout(readOnly, "%", 12345), 0);
  EXPECT_LT(quadout(readOnly, "a prefix longer than the short limit %", -6), 0);
  fclose(readOnly);
}

}  // namespace
