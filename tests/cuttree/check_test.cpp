// cuttree's --check on trees made by hand (the program itself can only be
// given the trees it builds): a right tree passes with the lines of the
// program's own output, a wrong weight and a flow-equivalent tree that is
// no cut tree fail at their first wrong cut, named on both outputs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "capture_stdout.h"
#include "cuttree/results.h"

namespace {

struct Checked {
  bool passed;
  std::string out;
  std::string err;
};

Checked check(const sunder::GraphFile &file, const sunder::CutTree &t, int64_t pairs = 100) {
  Checked c{false, "", ""};
  FILE *out = tmpfile();
  if (out == nullptr) throw std::runtime_error("tmpfile failed");
  c.err = captureOutput(2, [&] { c.passed = sunder::cuttree::checkTree(out, file, t, pairs); });
  rewind(out);
  char buf[4096];
  size_t k;
  while ((k = fread(buf, 1, sizeof buf, out)) > 0) c.out.append(buf, k);
  fclose(out);
  return c;
}

sunder::GraphFile fileOf(int n, const std::vector<sunder::Edge> &edges,
                         std::vector<std::string> names = {}) {
  sunder::GraphFile file;
  file.graph = sunder::Graph(n);
  for (const sunder::Edge &e : edges) file.graph.addEdge(e.u, e.v, e.capacity);
  file.names = std::move(names);
  return file;
}

// The path x - y - z of capacities 3 and 5.
TEST(CheckTree, ARightTreePasses) {
  const sunder::GraphFile file = fileOf(3, {{0, 1, 3}, {1, 2, 5}}, {"x", "y", "z"});
  const Checked c = check(file, sunder::CutTree({0, 1, 2}, {-1, 0, 1}, {0, 3, 5}));
  EXPECT_TRUE(c.passed);
  EXPECT_EQ(c.out,
            "c check: 2 tree edges equal the max flow between their ends\n"
            "c check: all 3 pairs equal the max flow\n");
  EXPECT_EQ(c.err, "");
}

// A path of 61 nodes, unit capacities, is its own cut tree. Past 60 nodes
// the check draws K pairs at random; asked for as many as there are (1,830)
// or more, it checks each pair once.
TEST(CheckTree, EveryPairOnceWhereKReachesTheirNumber) {
  std::vector<sunder::Edge> path;
  std::vector<int32_t> parent{-1};
  std::vector<sunder::Capacity> weight{0};
  for (int32_t v = 1; v < 61; v++) {
    path.push_back({v - 1, v, 1});
    parent.push_back(v - 1);
    weight.push_back(1);
  }
  const sunder::GraphFile file = fileOf(61, path);
  std::vector<sunder::NodeId> ids(61);
  for (int32_t v = 0; v < 61; v++) ids[v] = v;
  const sunder::CutTree tree(ids, parent, weight);
  const std::string edges = "c check: 60 tree edges equal the max flow between their ends\n";
  EXPECT_EQ(check(file, tree, 100000).out, edges + "c check: all 1830 pairs equal the max flow\n");
  EXPECT_EQ(check(file, tree, 1830).out, edges + "c check: all 1830 pairs equal the max flow\n");
  EXPECT_EQ(check(file, tree, 1829).out, edges + "c check: 1829 random pairs equal the max flow\n");
}

TEST(CheckTree, AWrongWeightIsAWrongCut) {
  const sunder::GraphFile file = fileOf(3, {{0, 1, 3}, {1, 2, 5}}, {"x", "y", "z"});
  const Checked c = check(file, sunder::CutTree({0, 1, 2}, {-1, 0, 1}, {0, 3, 4}));
  EXPECT_FALSE(c.passed);
  EXPECT_EQ(c.out, "c check: WRONG CUT at tree edge z y: weight 4, crossing capacity 5\n");
  EXPECT_EQ(c.err, "cuttree: check failed at tree edge z y: weight 4, crossing capacity 5\n");
}

// A star with centre 0 and unit spokes, and the path 0 - 3 - 2 - 1 of unit
// weights: every tree edge and every pair has max flow 1, but the cut below
// 2 (nodes 1 and 2) is crossed by 2.
TEST(CheckTree, AFlowEquivalentTreeThatIsNoCutTreeFails) {
  const sunder::GraphFile file = fileOf(4, {{0, 1, 1}, {0, 2, 1}, {0, 3, 1}});
  const Checked c = check(file, sunder::CutTree({0, 1, 2, 3}, {-1, 2, 3, 0}, {0, 1, 1, 1}));
  EXPECT_FALSE(c.passed);
  EXPECT_EQ(c.out, "c check: WRONG CUT at tree edge 2 3: weight 1, crossing capacity 2\n");
  EXPECT_EQ(c.err, "cuttree: check failed at tree edge 2 3: weight 1, crossing capacity 2\n");
}

}  // namespace
