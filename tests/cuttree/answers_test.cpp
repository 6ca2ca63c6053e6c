// cuttree's answers beyond single cuts (--k-components, --distribution,
// --min-k-cut, --cut-clustering, --plot) and the progress of --check, as
// whole-program text worked out by hand, with every error path.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "run_program.h"

namespace {

const std::string kCuttree = CUTTREE_PATH;
const std::string kHelp = " (see cuttree --help)\n";

// Two triangles joined by the bridge 3-4: the first of capacity 3 per edge,
// whose pairs are cut by one node alone (6), the second of 2, whose pairs
// are cut by 5 or 6 alone (4; 4 alone is 5). Every pair across has the
// bridge (1): 9 pairs of 1, 3 of 4, 3 of 6. Cut clustering with alpha 1:
// each node's cheapest cut from the added node is its triangle (1 + 3 x 1,
// against 6 + 1 or more alone); with alpha 5 the node alone (at most 7 + 5,
// against 1 + 3 x 5).
const std::string kTriangles =
    "p cut 6 7\na 1 2 3\na 2 3 3\na 1 3 3\na 3 4 1\na 4 5 2\na 5 6 2\na 4 6 2\n";

ProgramResult cuttree(const std::vector<std::string> &args, const std::string &input = kTriangles) {
  return runProgram(kCuttree, args, input);
}

TEST(CuttreeAnswers, TwoTrianglesByHand) {
  ProgramResult r = cuttree({"--k-components", "2", "--distribution", "--min-k-cut", "2",
                             "--cut-clustering", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "k 2 2\ng 3 1 2 3\ng 3 4 5 6\n"
            "d 1 9\nd 4 3\nd 6 3\n"
            "x 2 1 1\ng 3 1 2 3\ng 3 4 5 6\n"
            "l 1 2\ng 3 1 2 3\ng 3 4 5 6\n");
  EXPECT_EQ(r.err, "");
  // Every node alone: the whole capacity 16, against the tree's
  // 1 + 4 + 4 + 6 + 6; components of 5 split the second triangle.
  r = cuttree({"--min-k-cut", "6", "--cut-clustering", "5", "--k-components", "5", "--tree"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::string singles = "g 1 1\ng 1 2\ng 1 3\ng 1 4\ng 1 5\ng 1 6\n";
  std::string text = r.out.substr(r.out.find("k 5"));
  EXPECT_EQ(text, "k 5 4\ng 3 1 2 3\ng 1 4\ng 1 5\ng 1 6\nx 6 16 21\n" + singles + "l 5 6\n" + singles);
  EXPECT_EQ(r.out.rfind("c cut tree by Gusfield's method: 6 nodes\np tree 6 5\n", 0), 0u);
  // Three parts: the bridge and one edge of the second triangle (2 + 2).
  r = cuttree({"--min-k-cut", "3"});
  EXPECT_EQ(r.out.substr(0, r.out.find("g 3 1 2 3\n") + 10), "x 3 5 5\ng 3 1 2 3\n");
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4);
}

// Every pair's value, row by row: 6 within the first triangle, 4 within the
// second, the bridge's 1 across.
TEST(CuttreeAnswers, AllPairsByHand) {
  ProgramResult r = cuttree({"--all-pairs"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "r 1 0 6 6 1 1 1\nr 2 6 0 6 1 1 1\nr 3 6 6 0 1 1 1\n"
            "r 4 1 1 1 0 4 4\nr 5 1 1 1 4 0 4\nr 6 1 1 1 4 4 0\n");
  // 10001 nodes in a path: more than --all-pairs writes.
  std::string path = "p cut 10001 10000\n";
  for (int k = 1; k <= 10000; k++) path += "a " + std::to_string(k) + " " + std::to_string(k + 1) + " 1\n";
  r = cuttree({"--all-pairs"}, path);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "cuttree: --all-pairs: the instance has 10001 nodes; the values of every pair are "
            "written for at most 10000\n");
  EXPECT_EQ(r.out, "");
}

TEST(CuttreeAnswers, BadArguments) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  std::string past = std::to_string((4611686018427387903LL - 16) / 6 + 1);
  std::vector<Case> cases = {
      {{"--k-components", "0"}, 2, "cuttree: --k-components needs a number K >= 1, not '0'" + kHelp},
      {{"--min-k-cut", "-2"}, 2, "cuttree: --min-k-cut needs a number K >= 1, not '-2'" + kHelp},
      {{"--min-k-cut", "7"}, 2, "cuttree: --min-k-cut 7: the instance has 6 nodes" + kHelp},
      {{"--cut-clustering", "0"}, 2,
       "cuttree: --cut-clustering needs a capacity ALPHA >= 1, not '0'" + kHelp},
      {{"--cut-clustering", "1.5"}, 2,
       "cuttree: --cut-clustering needs a capacity ALPHA >= 1, not '1.5'" + kHelp},
      {{"--k-components"}, 2, "cuttree: option --k-components needs a value" + kHelp},
      {{"--plot"}, 2, "cuttree: option --plot needs a value" + kHelp},
      {{"--cut-clustering", past}, 1,
       "cuttree: alpha " + past + " on each of 6 nodes takes the capacities past 4611686018427387903\n"},
      {{"--cut-clustering", "4611686018427387904"}, 1,
       "cuttree: --cut-clustering 4611686018427387904 passes 4611686018427387903, the largest "
       "capacity total\n"},
  };
  for (const Case &c : cases) {
    ProgramResult r = cuttree(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[0];
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
}

class CuttreePlot : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/cuttree-plot-test-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
  }
  void TearDown() override { EXPECT_EQ(system(("rm -rf '" + dir_ + "'").c_str()), 0); }
  std::string dir_;
};

TEST_F(CuttreePlot, WritesAPng) {
  if (system("command -v gnuplot > /dev/null 2>&1") != 0) GTEST_SKIP() << "no gnuplot";
  std::string png = dir_ + "/it's.png";  // a quote, which gnuplot's strings escape
  ProgramResult r = cuttree({"--plot", png, "--distribution"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "d 1 9\nd 4 3\nd 6 3\n");
  std::ifstream in(png, std::ios::binary);
  std::string magic(8, '\0');
  in.read(&magic[0], 8);
  EXPECT_EQ(magic, "\x89PNG\r\n\x1a\n");
}

TEST_F(CuttreePlot, GnuplotMissingOrFailing) {
  std::string png = dir_ + "/d.png";
  ProgramResult r = runProgram("/usr/bin/env", {"PATH=" + dir_, kCuttree, "--plot", png}, kTriangles);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cuttree: --plot needs gnuplot (Debian gnuplot-nox), which cannot be run: "
                   "No such file or directory\n");
  // A gnuplot that fails, and one that succeeds without drawing.
  for (auto [script, err] : std::vector<std::pair<std::string, std::string>>{
           {"echo broken >&2; exit 3", "broken\ncuttree: --plot: gnuplot failed (exit status 3) drawing " + png + "\n"},
           {"exit 0", "cuttree: --plot: gnuplot wrote no " + png + "\n"}}) {
    std::ofstream(dir_ + "/gnuplot") << "#!/bin/sh\n" << script << "\n";
    ASSERT_EQ(chmod((dir_ + "/gnuplot").c_str(), 0755), 0);
    r = runProgram("/usr/bin/env", {"PATH=" + dir_, kCuttree, "--plot", png}, kTriangles);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, err);
  }
  r = cuttree({"--plot", png}, "p cut 1 1\na 1 1 5\n");  // a self loop
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cuttree: --plot: no pair of nodes to draw (the instance has 1 node)\n");
}

// 5 cuts undecomposed, then 5 tree edges and all 15 pairs: 20 max flows,
// each line ended at its last.
TEST(CuttreeCheck, ShowsItsProgress) {
  ProgramResult r = cuttree({"--check", "--progress", "-j", "1", "--no-decompose"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::regex lines("(\r[^\r\n]*)*\rcuttree: 5/5 cuts, [0-9]+/s, 0 s left *\n"
                   "(\r[^\r\n]*)*\rcuttree: 20/20 max flows checked, [0-9]+/s, 0 s left *\n");
  EXPECT_TRUE(std::regex_match(r.err, lines)) << r.err;
  EXPECT_EQ(cuttree({"--check", "--no-progress"}).err, "");
}

}  // namespace
