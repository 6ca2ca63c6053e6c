// The whole report of the sunder program, byte for byte, on instances small
// enough to follow every computation by hand. Times vary between runs, so
// their digits are masked where they are not fixed.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <sstream>
#include <string>

#include "mask_times.h"
#include "run_program.h"

namespace {

// True when `text` is blanks, then digits, a point and `decimals` digits.
bool isPaddedNumber(const std::string &text, size_t decimals) {
  size_t i = text.find_first_not_of(' ');
  size_t point = text.find('.');
  if (i == std::string::npos || point == std::string::npos || point == i) return false;
  if (text.size() - point - 1 != decimals) return false;
  for (size_t k = i; k < text.size(); k++)
    if (k != point && !isdigit(static_cast<unsigned char>(text[k]))) return false;
  return true;
}

std::string summary(int n, int m) {
  return "AverageNodes = " + std::to_string(n) + ".000000\n" +
         "AverageEdges = " + std::to_string(m) + ".000000\n"
         "Hao-Orlin comp. = 0\n"
         "AverageHaoOrlinNodes = 0.0\n"
         "AverageHaoOrlinEdges = 0.0\n";
}

TEST(Report, SingleNodeRunsNoComputation) {
  ProgramResult r = runProgram(SUNDER_PATH, {}, "p cut 1 1\na 1 1 5\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  // Nothing is timed and no cut is recorded, so every time is exactly 0.
  EXPECT_EQ(r.out,
            "c nodes:              1    arcs:               1\n" + summary(1, 1) +
                "Time for calculating the cuts: 0.000000\n"
                "Time for manipulating the cuts: 0.000000\n"
                "c relabels:           0    pushes:                 0\n"
                "c ttime:             0.00\n"
                "c dtime:             0.00\n"
                "\n");
}

TEST(Report, TwoNodesWithParallelEdges) {
  // One computation: source node 2, sink node 1; the merged arc goes
  // straight into the sink, so nothing is pushed or relabelled.
  ProgramResult r = runProgram(SUNDER_PATH, {"ignored", "arguments"},
                               "c parallel edges\np cut 2 3\na 1 2 3\na 2 1 4\na 1 2 5\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(maskTimes(r.out),
            "c nodes:              2    arcs:               3\n" + summary(2, 3) +
                "Time for calculating the cuts: T\n"
                "Time for manipulating the cuts: T\n"
                "c relabels:           0    pushes:                 0\n"
                "c ttime: T\n"
                "c dtime: T\n"
                "\n");
}

TEST(Report, ThreeNodePath) {
  // Nodes 1 - 2 (5) - 3 (7), ids 0, 1, 2. The first draw of the library
  // generator is odd, so id 2 is the first source (sink id 0): id 1 gets
  // 7 from the source, pushes 5 to the sink (1 push) and, alone at label 1
  // with label 2 empty, becomes a one-node layer. Then id 1 is the source
  // with parent id 2: id 0 gets 5, has no admissible arc, and leaves the
  // same way. One push and no relabel in all.
  ProgramResult r = runProgram(SUNDER_PATH, {}, "p cut 3 2\na 1 2 5\na 2 3 7\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(maskTimes(r.out),
            "c nodes:              3    arcs:               2\n" + summary(3, 2) +
                "Time for calculating the cuts: T\n"
                "Time for manipulating the cuts: T\n"
                "c relabels:           0    pushes:                 1\n"
                "c ttime: T\n"
                "c dtime: T\n"
                "\n");
}

TEST(Report, FourNodeInstanceCountsEveryComputation) {
  // Numbers 1 - 2 (4), 1 - 3 (1), 2 - 3 (3), 3 - 4 (1): ids 0 to 3. The
  // library generator's first three draws pick source id 2 (sink 0), then
  // id 1 (sink 0), then id 3 (sink 2).
  //  1. id 3 holds 1 it cannot pass on and shares label 1 with id 1, so it
  //     is relabelled into a one-node layer; id 1 pushes its 3 to the sink.
  //  2. id 2 pushes 1 to the sink, is relabelled to label 2, pushes 1 to
  //     id 3 and, alone at label 2, becomes a one-node layer; so does id 3,
  //     alone at label 1.
  //  3. the source's only arc leads into the sink: nothing to do.
  // Three pushes and two relabels in all.
  ProgramResult r = runProgram(SUNDER_PATH, {}, "p cut 4 4\na 1 2 4\na 1 3 1\na 2 3 3\na 3 4 1\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(maskTimes(r.out),
            "c nodes:              4    arcs:               4\n" + summary(4, 4) +
                "Time for calculating the cuts: T\n"
                "Time for manipulating the cuts: T\n"
                "c relabels:           2    pushes:                 3\n"
                "c ttime: T\n"
                "c dtime: T\n"
                "\n");
}

TEST(Report, TimesAreNumbersInTheirFields) {
  ProgramResult r = runProgram(SUNDER_PATH, {}, "p cut 3 2\na 1 2 5\na 2 3 7\n");
  std::istringstream lines(r.out);
  std::string line;
  int timeLines = 0;
  while (std::getline(lines, line)) {
    const char *label = reportTimeLabel(line);
    if (label == nullptr) continue;
    timeLines++;
    std::string number = line.substr(strlen(label));
    bool isReportLine = label[0] == 'c';
    EXPECT_TRUE(isPaddedNumber(number, isReportLine ? 2 : 6)) << line;
    // The report's two times fill a field of 16 after one blank.
    if (isReportLine) {
      EXPECT_EQ(number.size(), 17u) << line;
    }
  }
  EXPECT_EQ(timeLines, 4);
  EXPECT_EQ(r.out.substr(r.out.size() - 2), "\n\n");
}

}  // namespace
