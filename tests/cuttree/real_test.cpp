// cuttree --real: capacities that are real numbers, written back exactly
// where they are decimals, as whole-program text worked out by hand, with
// fixed point for thirds and the error paths.
#include <gtest/gtest.h>

#include <string>

#include "run_program.h"

namespace {

const std::string kCuttree = CUTTREE_PATH;

ProgramResult cuttree(const std::vector<std::string> &args, const std::string &input) {
  return runProgram(kCuttree, args, input);
}

// A triangle of tenths, nodes x, y, z in that order. {y} is cut by 0.1 +
// 0.2 = 0.3, {x} by 0.4, {z} by 0.5. From x (the root): y's cut to x is
// {y}, 0.3; z's is {y, z} against {x}, 0.4, and y moves below z. Summed in
// floating point, 0.1 + 0.2 would be 0.30000000000000004.
const std::string kTenths = "x y 0.1\ny z 0.2\nx z 0.3\n";

TEST(CuttreeReal, DecimalsAreWrittenExactly) {
  ProgramResult r = cuttree({"--real", "--format", "edges"}, kTenths);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "c cut tree by Gusfield's method: 3 nodes\np tree 3 2\n"
            "t y z 0.3\nt z x 0.4\n");
  r = cuttree({"--real", "--format", "edges", "--query", "x", "z", "--side", "x", "y",
               "--mincut", "--distribution", "--k-components", "1", "--csv"},
              kTenths);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "child,parent,weight\ny,z,0.3\nz,x,0.4\n"
            "q x z 0.4\n"
            "s x y 0.3 2\nn x\nn z\n"
            "m 0.3 1\nn y\n"
            "k 1 3\ng 1 x\ng 1 y\ng 1 z\n"  // every pair below 1
            "d 0.3 2\nd 0.4 1\n");
}

TEST(CuttreeReal, ARealMatrixAndWholeNumbersAmongReals) {
  // The path 1 -1.5- 2 -0.25- 3.
  std::string mtx = "%%MatrixMarket matrix coordinate real symmetric\n3 3 2\n2 1 1.5\n3 2 0.25\n";
  ProgramResult r = cuttree({"--real", "--format", "mtx"}, mtx);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "c cut tree by Gusfield's method: 3 nodes\np tree 3 2\nt 2 1 1.5\nt 3 2 0.25\n");
  // Whole capacities read with --real come out as they went in.
  r = cuttree({"--real", "--format", "edges"}, "1 2 3\n2 3 1e1\n");
  EXPECT_EQ(r.out, "c cut tree by Gusfield's method: 3 nodes\np tree 3 2\nt 2 1 3\nt 3 2 10\n");
}

TEST(CuttreeReal, ThirdsGoToFixedPoint) {
  // A ring of four thirds: every pair is cut by two edges, 2/3, summed
  // from the long double nearest 1/3 and written with 17 digits.
  ProgramResult r = cuttree({"--real", "--format", "edges", "--query", "a", "c"},
                            "a b 1/3\nb c 1/3\nc d 1/3\nd a 1/3\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("q a c 0.6666666666666666", 0), 0u) << r.out;
  r = cuttree({"--real", "--format", "edges"}, "a b 1/3\nb c 1/3\nc d 1/3\nd a 1/3\n");
  EXPECT_EQ(r.out,
            "c cut tree by Gusfield's method: 4 nodes\np tree 4 3\n"
            "t b a 0.66666666666666667\nt c a 0.66666666666666667\nt d a 0.66666666666666667\n");
}

// The path 1 -1e20- 2 -1- 3 -1000- 4 goes to fixed point (1e20 and 1 would
// add up past the bound at an exact scale), where 1 scales to 0. Every
// answer is read from the tree's real weights, the file's values summed
// over each edge's cut: 2 and 4 are cut by the edge of 1 (the least weight
// on their path), so are {3, 4} from the rest (the global cut), the pairs
// split 4 / 1 / 1 over 1, 1000 and 1e20, and without the lightest edge the
// parts {1, 2} and {3, 4} are crossed by the edge of 1. Scaled, these had
// read 0.
TEST(CuttreeReal, AnswersInFixedPointAreTheTreesRealWeights) {
  ProgramResult r = cuttree({"--real", "--format", "edges", "--tree", "--query", "2", "4",
                             "--mincut", "--k-components", "2", "--distribution", "--min-k-cut", "2"},
                            "1 2 1e20\n2 3 1\n3 4 1000\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "c cut tree by Gusfield's method: 4 nodes\np tree 4 3\n"
            "t 2 1 1e+20\nt 3 1 1\nt 4 3 1000\n"
            "q 2 4 1\n"
            "m 1 2\nn 3\nn 4\n"
            "k 2 2\ng 2 1 2\ng 2 3 4\n"
            "d 1 4\nd 1000 1\nd 1e+20 1\n"
            "x 2 1 1\ng 2 1 2\ng 2 3 4\n");
  // K equal to a weight keeps that weight's edge: 1000 joins 3 and 4, the
  // next value up (1e20) alone would not.
  r = cuttree({"--real", "--format", "edges", "--k-components", "1000"}, "1 2 1e20\n2 3 1\n3 4 1000\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "k 1000 2\ng 2 1 2\ng 2 3 4\n");
  // The check's max flows run on the capacities as built, and say so.
  r = cuttree({"--real", "--format", "edges", "--check", "--query", "2", "4"}, "1 2 1e20\n2 3 1\n3 4 1000\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("q 2 4 1\nc check: of the capacities as built, fixed point, scale 2^-5, not the "
                       "file's values\nc check: 3 tree edges equal"),
            std::string::npos)
      << r.out;
}

TEST(CuttreeReal, Errors) {
  struct Case {
    std::vector<std::string> args;
    std::string input, err;
  };
  const Case cases[] = {
      {{"--format", "edges"}, kTenths,
       "cuttree: <stdin>:1: capacity '0.1' is not a whole number (--real reads real capacities)\n"},
      {{"--format", "mtx"}, "%%MatrixMarket matrix coordinate real general\n2 2 1\n1 2 0.5\n",
       "cuttree: <stdin>:1: field 'real' is not supported (only integer or pattern) "
       "(--real reads real capacities)\n"},
      {{"--real", "--format", "edges"}, "x y 1\nx z abc\n",
       "cuttree: <stdin>:2: capacity abc is not a number\n"},
      {{"--real", "--format", "edges"}, "x y 1\nx z -0.5\n",
       "cuttree: <stdin>:2: capacity -0.5 is negative\n"},
      {{"--real", "--format", "edges"}, "x y 1\nx z inf\n",
       "cuttree: <stdin>:2: capacity inf is not finite\n"},
      {{"--real", "--format", "metis"}, "2 1\n2\n1\n",
       "cuttree: <stdin>: METIS weights are whole numbers: read the file without real "
       "capacities\n"},
  };
  for (const Case &c : cases) {
    ProgramResult r = cuttree(c.args, c.input);
    EXPECT_EQ(r.status, 1) << c.input;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
