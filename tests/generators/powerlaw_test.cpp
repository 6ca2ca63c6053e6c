// powerlaw at sizes no hand derivation reaches: the whole output against
// the attachment rule replayed here on the random module's own draws, and
// the properties of a 20,000-node instance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "generators/random.h"
#include "run_program.h"

namespace {

const std::string kPowerlaw = POWERLAW_PATH;

struct Arc {
  int tail, head, cap;
};

// Parses the instance text; checks the comment and problem lines.
std::vector<Arc> parse(const std::string &text, int *n, int *m) {
  std::istringstream in(text);
  std::string line;
  std::vector<Arc> arcs;
  std::getline(in, line);
  EXPECT_EQ(line, "c \"powerlaw\" min-cut problem: preferential attachment");
  std::getline(in, line);
  EXPECT_EQ(sscanf(line.c_str(), "p cut %d %d", n, m), 2) << line;
  Arc arc;
  while (std::getline(in, line)) {
    EXPECT_EQ(sscanf(line.c_str(), "a %d %d %d", &arc.tail, &arc.head, &arc.cap), 3) << line;
    arcs.push_back(arc);
  }
  return arcs;
}

// The rule written out plainly: a clique on 1..k+1, then each new node picks
// k distinct targets from the ends listed before it arrived, one capacity
// draw after each target.
std::string expectedText(int n, int k, int maxCap, int seed) {
  SetRandom(seed);
  std::vector<int> ends;
  std::ostringstream out;
  out << "c \"powerlaw\" min-cut problem: preferential attachment\n";
  char line[64];
  snprintf(line, sizeof line, "p cut %8d %8d\n", n, k * (k + 1) / 2 + (n - k - 1) * k);
  out << line;
  auto edge = [&](int u, int w) {
    out << "a " << u << " " << w << " " << Random(1, maxCap) << "\n";
    ends.push_back(u);
    ends.push_back(w);
  };
  for (int i = 1; i <= k + 1; i++)
    for (int j = i + 1; j <= k + 1; j++) edge(i, j);
  for (int v = k + 2; v <= n; v++) {
    const int listedBefore = static_cast<int>(ends.size());
    std::set<int> picked;
    for (int e = 0; e < k; e++) {
      int t = ends[Random(0, listedBefore - 1)];
      while (picked.count(t)) t = ends[Random(0, listedBefore - 1)];
      picked.insert(t);
      edge(v, t);
    }
  }
  return out.str();
}

TEST(PowerlawReplay, WholeOutput) {
  struct Case { int n, k, maxCap, seed; } cases[] = {
      {300, 3, 7, 1}, {500, 1, 1, 214365}, {60, 8, 1000, 99}, {12, 11, 5, 4}};
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.n) + " -k" + std::to_string(c.k));
    ProgramResult r = runProgram(kPowerlaw, {std::to_string(c.n), "-k" + std::to_string(c.k),
                                             "-c" + std::to_string(c.maxCap),
                                             "-s" + std::to_string(c.seed)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, expectedText(c.n, c.k, c.maxCap, c.seed));
  }
}

// n = 20,000, k = 3: m = 6 + 19,996 * 3; a simple graph (the clique, then
// edges from each new node to k distinct older nodes), every degree >= k,
// and hubs far above the mean degree of about 2k.
TEST(PowerlawProperty, LargeInstance) {
  const std::vector<std::string> kArgs = {"20000", "-k3", "-s5", "-c50"};
  ProgramResult r = runProgram(kPowerlaw, kArgs);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(runProgram(kPowerlaw, kArgs).out, r.out);
  int n = 0, m = 0;
  std::vector<Arc> arcs = parse(r.out, &n, &m);
  ASSERT_EQ(n, 20000);
  EXPECT_EQ(m, 59994);
  ASSERT_EQ(static_cast<int>(arcs.size()), m);

  std::vector<int> degree(n + 1, 0);
  std::set<std::pair<int, int>> edges;
  for (size_t i = 0; i < arcs.size(); i++) {
    const Arc &a = arcs[i];
    ASSERT_TRUE(a.tail >= 1 && a.tail <= n && a.head >= 1 && a.head <= n);
    EXPECT_TRUE(a.cap >= 1 && a.cap <= 50);
    EXPECT_NE(a.tail, a.head) << "self loop at arc " << i;
    // Arc 6 + 3j + e belongs to node 5 + j and goes to an older node.
    if (i >= 6) {
      EXPECT_EQ(a.tail, 5 + static_cast<int>(i - 6) / 3);
      EXPECT_LT(a.head, a.tail);
    }
    EXPECT_TRUE(edges.insert({std::min(a.tail, a.head), std::max(a.tail, a.head)}).second)
        << "parallel edge " << a.tail << " " << a.head;
    degree[a.tail]++;
    degree[a.head]++;
  }
  int dMin = *std::min_element(degree.begin() + 1, degree.end());
  int dMax = *std::max_element(degree.begin() + 1, degree.end());
  EXPECT_EQ(dMin, 3);
  double mean = 2.0 * m / n;
  EXPECT_GT(dMax, 20 * mean);
  // A heavy tail: P(degree >= d) about k(k + 1)/d^2, some 250 nodes of
  // degree >= 10k, where targets chosen with equal chance (node i's degree
  // about k + k ln(n / i)) would give a handful.
  EXPECT_GT(std::count_if(degree.begin() + 1, degree.end(), [](int d) { return d >= 30; }), 150);

  // The capacity bound changes capacities only; another seed changes the graph.
  std::vector<Arc> unitArcs = parse(runProgram(kPowerlaw, {"20000", "-k3", "-s5"}).out, &n, &m);
  ASSERT_EQ(unitArcs.size(), arcs.size());
  bool capsDiffer = false;
  for (size_t i = 0; i < arcs.size(); i++) {
    EXPECT_EQ(unitArcs[i].tail, arcs[i].tail);
    EXPECT_EQ(unitArcs[i].head, arcs[i].head);
    EXPECT_EQ(unitArcs[i].cap, 1);
    capsDiffer = capsDiffer || arcs[i].cap != 1;
  }
  EXPECT_TRUE(capsDiffer);
  EXPECT_NE(runProgram(kPowerlaw, {"20000", "-k3", "-s6", "-c50"}).out, r.out);
}

}  // namespace
