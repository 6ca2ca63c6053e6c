// The problem line's fields, which the generators' small instances cannot
// widen: eight columns, right-aligned, growing for wider numbers.
#include "generators/gen_args.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string problemLine(int32_t n, int32_t m) {
  testing::internal::CaptureStdout();
  sunder::writeProblem(n, m);
  fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

TEST(ProblemLine, RightAlignedInEightColumns) {
  EXPECT_EQ(problemLine(100, 250), "p cut      100      250\n");
  EXPECT_EQ(problemLine(12345678, 1), "p cut 12345678        1\n");
  EXPECT_EQ(problemLine(123456789, 2147483647), "p cut 123456789 2147483647\n");
}

}  // namespace
