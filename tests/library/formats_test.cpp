// The graph file readers: hand-worked graphs for each format, one graph in
// all four formats, and every kind of fault with its message and line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "id_edge.h"
#include "sunder/error.h"
#include "sunder/formats.h"

namespace {

using sunder::Format;
using sunder::GraphFile;

// The edges in the graph's order, by ids.
std::vector<IdEdge> edgesOf(const sunder::Graph &g) {
  std::vector<IdEdge> edges;
  for (const sunder::Edge &e : g.edges()) edges.push_back({g.idOf(e.u), g.idOf(e.v), e.capacity});
  return edges;
}

// The edges as a multiset of unordered pairs.
std::vector<IdEdge> edgeMultiset(const sunder::Graph &g) {
  std::vector<IdEdge> edges = edgesOf(g);
  for (IdEdge &e : edges)
    if (e.u > e.v) std::swap(e.u, e.v);
  std::sort(edges.begin(), edges.end());
  return edges;
}

GraphFile read(Format format, const std::string &text) {
  return sunder::readGraphText(text, format, "in");
}

// what() of the reader's error; "" when it reads the text.
std::string errorOf(Format format, const std::string &text) {
  try {
    read(format, text);
  } catch (const sunder::Error &e) {
    return e.what();
  }
  return "";
}

TEST(DimacsReader, NodesSpanTheNamedNumbersAndEdgesKeepTheirOrder) {
  GraphFile f = read(Format::Dimacs,
                     "c node 4 is named by no arc, 0, 1 and 6 by none either\n"
                     "p cut 6 4\n"
                     "\n"
                     "a 2 3 7\n"
                     "a 5 2 0\n"
                     "c a comment between arcs\n"
                     "a 3 3 4\n"
                     "a 2 5 4611686018427387892\n");  // the total is the most allowed
  EXPECT_EQ(f.format, Format::Dimacs);
  EXPECT_EQ(f.declaredNodes, 6);
  EXPECT_EQ(f.declaredEdges, 4);
  EXPECT_EQ(f.graph.ids(), (std::vector<int64_t>{2, 3, 4, 5}));
  EXPECT_EQ(f.graph.indexOf(4), 2);
  EXPECT_EQ(edgesOf(f.graph),
            (std::vector<IdEdge>{{2, 3, 7}, {5, 2, 0}, {3, 3, 4}, {2, 5, 4611686018427387892}}));
}

TEST(EdgeListReader, IdsAreSortedAndCapacitiesDefaultToOne) {
  GraphFile f = read(Format::EdgeList,
                     "# comma, blank and tab separated\n"
                     "10, 3, 5\n"
                     "% another comment\n"
                     "\n"
                     "7000000000 10   # no capacity\n"
                     "3\t3 , 0\n"
                     "  0 ,7000000000,2\n");
  EXPECT_EQ(f.format, Format::EdgeList);
  EXPECT_EQ(f.graph.ids(), (std::vector<int64_t>{0, 3, 10, 7000000000}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{
                                  {10, 3, 5}, {7000000000, 10, 1}, {3, 3, 0}, {0, 7000000000, 2}}));
  EXPECT_EQ(f.declaredNodes, 4);
  EXPECT_EQ(f.declaredEdges, 4);
}

// Ids close together (a table over their range), spread out (sorted), and
// past 32 bits after others (each id a slot in order of first appearance):
// the nodes are the ids in increasing order every time, and the edges
// keep their order.
TEST(EdgeListReader, IdsTakeTheirPlacesHoweverSpread) {
  struct Case {
    std::string text;
    std::vector<int64_t> ids;
    std::vector<IdEdge> edges;
  };
  const std::vector<Case> cases{
      {"7 5\n9 7\n5 5\n", {5, 7, 9}, {{7, 5, 1}, {9, 7, 1}, {5, 5, 1}}},
      {"1 2\n2 0\n0 1\n", {0, 1, 2}, {{1, 2, 1}, {2, 0, 1}, {0, 1, 1}}},
      {"0 3\n3 1\n", {0, 1, 3}, {{0, 3, 1}, {3, 1, 1}}},  // from 0, with a gap
      {"900 3\n3 70000\n", {3, 900, 70000}, {{900, 3, 1}, {3, 70000, 1}}},
      {"4 2\n2 2147483648 3\n5 4\n", {2, 4, 5, 2147483648}, {{4, 2, 1}, {2, 2147483648, 3}, {5, 4, 1}}},
  };
  for (const Case &c : cases) {
    GraphFile f = read(Format::EdgeList, c.text);
    EXPECT_EQ(f.graph.ids(), c.ids) << c.text;
    EXPECT_EQ(edgesOf(f.graph), c.edges) << c.text;
  }
  // Ids past 32 bits, then a name: every id is named by its text in order
  // of first appearance, after a first line kept as a possible header.
  GraphFile f = read(Format::EdgeList, "p q\n9 2147483649\n2147483649 4 2\nx 9\n");
  EXPECT_EQ(f.names, (std::vector<std::string>{"p", "q", "9", "2147483649", "4", "x"}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{0, 1, 1}, {2, 3, 1}, {3, 4, 2}, {5, 2, 1}}));
}

TEST(EdgeListReader, NoEdgesIsAnEmptyGraph) {
  GraphFile f = read(Format::EdgeList, "# nothing\n\n");
  EXPECT_EQ(f.graph.nodeCount(), 0);
  EXPECT_EQ(f.graph.edgeCount(), 0);
}

TEST(MetisReader, SkipsSizesAndVertexWeightsAndTakesEachEdgeOnce) {
  // FMT 111: a size, NCON = 2 vertex weights, then neighbour-weight pairs.
  GraphFile f = read(Format::Metis,
                     "% before the header\n"
                     "4 3 111 2\n"
                     "1 5 6 2 9 3 4\n"
                     "% between node lines\n"
                     "2 0 0 1 9\n"
                     "1 1 1 1 4 4 2\n"
                     "1 0 0 3 2\n");
  EXPECT_EQ(f.format, Format::Metis);
  EXPECT_EQ(f.declaredNodes, 4);
  EXPECT_EQ(f.declaredEdges, 3);
  EXPECT_EQ(f.graph.ids(), (std::vector<int64_t>{1, 2, 3, 4}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{1, 2, 9}, {1, 3, 4}, {3, 4, 2}}));
}

TEST(MetisReader, UnweightedWithAnIsolatedNode) {
  // Node 3's line is empty; blank lines after the last node are allowed.
  GraphFile f = read(Format::Metis, "5 4\n2 5\n1 5\n\n5\n1 2 4\n\n\n");
  EXPECT_EQ(f.graph.ids(), (std::vector<int64_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{1, 2, 1}, {1, 5, 1}, {2, 5, 1}, {4, 5, 1}}));
}

TEST(MetisReader, BoundsCountNeighboursNotFields) {
  // Node 1 lists M = 2 neighbours in 5 fields (a vertex weight, then two
  // neighbour-weight pairs). The weights, 2^62 - 1 - 6 and 6, add up to the
  // capacity bound, which they would pass if counted at both ends.
  GraphFile f = read(Format::Metis,
                     "3 2 11\n"
                     "9 2 4611686018427387897 3 6\n"
                     "0 1 4611686018427387897\n"
                     "0 1 6\n");
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{1, 2, 4611686018427387897}, {1, 3, 6}}));
}

TEST(MatrixMarketReader, SymmetricIntegerWithADiagonalEntry) {
  GraphFile f = read(Format::MatrixMarket,
                     "%%MatrixMarket matrix coordinate integer symmetric\n"
                     "% rows 2 and 5 are named by no entry\n"
                     "6 6 4\n"
                     "3 1 5\n"
                     "6 3 2\n"
                     "4 4 7\n"
                     "6 1 0\n");
  EXPECT_EQ(f.format, Format::MatrixMarket);
  EXPECT_EQ(f.declaredNodes, 6);
  EXPECT_EQ(f.declaredEdges, 4);
  EXPECT_EQ(f.graph.ids(), (std::vector<int64_t>{1, 3, 4, 6}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{3, 1, 5}, {6, 3, 2}, {4, 4, 7}, {6, 1, 0}}));
}

TEST(MatrixMarketReader, GeneralPatternGivesBothDirectionsAsParallelEdges) {
  GraphFile f = read(Format::MatrixMarket,
                     "%%MatrixMarket matrix coordinate pattern general\n"
                     "2 5 3\n"
                     "1 2\n"
                     "2 1\n"
                     "2 5\n");
  EXPECT_EQ(f.declaredNodes, 5);
  EXPECT_EQ(f.graph.ids(), (std::vector<int64_t>{1, 2, 5}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{1, 2, 1}, {2, 1, 1}, {2, 5, 1}}));
}

TEST(AllFormats, OneGraphReadsTheSameInEach) {
  // {1,2}:3 {1,3}:1 {2,3}:4 {3,4}:2 {4,5}:6 {2,5}:1
  const std::vector<IdEdge> expected = {{1, 2, 3}, {1, 3, 1}, {2, 3, 4},
                                        {2, 5, 1}, {3, 4, 2}, {4, 5, 6}};
  const std::string texts[] = {
      "p cut 5 6\na 1 2 3\na 1 3 1\na 2 3 4\na 3 4 2\na 4 5 6\na 2 5 1\n",
      "1 2 3\n1 3 1\n2 3 4\n3 4 2\n4 5 6\n2 5 1\n",
      "5 6 1\n2 3 3 1\n1 3 3 4 5 1\n1 1 2 4 4 2\n3 2 5 6\n4 6 2 1\n",
      "%%MatrixMarket matrix coordinate integer symmetric\n5 5 6\n"
      "2 1 3\n3 1 1\n3 2 4\n4 3 2\n5 4 6\n5 2 1\n"};
  const Format formats[] = {Format::Dimacs, Format::EdgeList, Format::Metis, Format::MatrixMarket};
  for (int k = 0; k < 4; k++) {
    SCOPED_TRACE(sunder::formatName(formats[k]));
    GraphFile f = read(formats[k], texts[k]);
    EXPECT_EQ(f.graph.ids(), (std::vector<int64_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(edgeMultiset(f.graph), expected);
    EXPECT_EQ(f.declaredNodes, 5);
    EXPECT_EQ(f.declaredEdges, 6);
  }
}

struct BadText {
  Format format;
  std::string text;
  std::string error;
};

void expectErrors(const std::vector<BadText> &cases) {
  for (const BadText &c : cases) EXPECT_EQ(errorOf(c.format, c.text), c.error) << c.text;
}

TEST(Errors, NumbersMustBeWholeDecimalIntegers) {
  const Format D = Format::Dimacs, E = Format::EdgeList, M = Format::Metis,
               X = Format::MatrixMarket;
  const std::string mm = "%%MatrixMarket matrix coordinate integer general\n3 3 1\n";
  expectErrors({
      {D, "p cut 3 1\na 1 2 2.9\n", "in:2: capacity '2.9' is not a whole number"},
      {D, "p cut 3 1\na 1 3abc 1\n", "in:2: node '3abc' is not a whole number"},
      {D, "p cut 1e3 1\n", "in:1: node count '1e3' is not a whole number"},
      {E, "1 2 2.9\n", "in:1: capacity '2.9' is not a whole number"},
      {E, "1 2 1e3\n", "in:1: capacity '1e3' is not a whole number"},
      {M, "2 2.9\n", "in:1: edge count '2.9' is not a whole number"},
      {M, "2 1 1\n2 1e3\n", "in:2: edge weight '1e3' is not a whole number"},
      {M, "2 1\n3abc\n", "in:2: neighbour '3abc' is not a whole number"},
      {M, "2 1 11\n0.5 2 1\n", "in:2: vertex weight '0.5' is not a whole number"},
      {X, mm + "1 2 2.9\n", "in:3: value '2.9' is not a whole number"},
      {X, mm + "1e3 2 1\n", "in:3: row '1e3' is not a whole number"},
      {D, "p cut 3 1\na 1 2 9223372036854775808\n",
       "in:2: capacity '9223372036854775808' is out of range"},
      {E, "1 2 99999999999999999999999999999999999999999999\n",
       "in:1: capacity '9999999999999999999999999999999999999999...' is out of range"},
  });
}

TEST(Errors, Dimacs) {
  const Format D = Format::Dimacs;
  expectErrors({
      {D, "", "in: empty input"},
      {D, "c nothing else\n\n", "in:2: no problem line"},
      {D, "a 1 2 3\np cut 3 1\n", "in:1: arc line before the problem line"},
      {D, "p cut 3 1\np cut 3 1\n", "in:2: more than one problem line"},
      {D, "p cut 3\n", "in:1: problem line needs 4 fields (p cut NODES EDGES), not 3"},
      {D, "p max 3 1\n", "in:1: problem type 'max' is not 'cut'"},
      {D, "p cut 0 1\n", "in:1: node count 0 is out of range 1..2147483646"},
      {D, "p cut 2147483647 1\n", "in:1: node count 2147483647 is out of range 1..2147483646"},
      {D, "p cut 3 0\n", "in:1: edge count 0 is out of range 1..1073741823"},
      {D, "p cut 3 1\na 1 2\n", "in:2: arc line needs 4 fields (a U V CAPACITY), not 3"},
      {D, "p cut 3 1\na 1 2 3 4\n", "in:2: arc line needs 4 fields (a U V CAPACITY), not 5"},
      {D, "p cut 3 1\na 1 4 1\n", "in:2: node 4 is out of range 0..3"},
      {D, "p cut 3 1\na -1 2 1\n", "in:2: node -1 is out of range 0..3"},
      {D, "p cut 3 1\na 1 2 -4\n", "in:2: capacity -4 is negative"},
      {D, "p cut 3 1\na 1 2 1\na 2 3 1\n", "in:3: more arcs than the 1 the problem line declares"},
      {D, "p cut 3 2\na 1 2 1\nc end\n", "in:3: only 1 of the 2 arcs the problem line declares"},
      {D, "p cut 3 1\nx 1 2\n", "in:2: unknown line type 'x'"},
      {D, "p cut 3 1\n a 1 2 3\n", "in:2: line starts with a blank"},
      {D, "p cut 2000000000 1\na 0 1000000000 1\n",
       "in:2: nodes 0..1000000000 are more than 1000000000"},
  });
}

TEST(Errors, EdgeList) {
  const Format E = Format::EdgeList;
  expectErrors({
      {E, "1 2\n5\n", "in:2: edge line needs 2 or 3 fields (U V [CAPACITY]), not 1"},
      {E, "1 2 3 4\n", "in:1: edge line needs 2 or 3 fields (U V [CAPACITY]), not 4"},
      {E, "1 2 -1 # comment\n", "in:1: capacity -1 is negative"},
      {E, "1,,2\n", "in:1: empty field between two commas"},
      {E, "1 2\n1 , , 2\n", "in:2: empty field between two commas"},
      {E, "1 2 5,\n", "in:1: line ends with a comma"},
      {E, "1 2 5 , # a comment\n", "in:1: line ends with a comma"},
      {E, ",1 2\n", "in:1: line starts with a comma"},
  });
}

TEST(Errors, Metis) {
  const Format M = Format::Metis;
  expectErrors({
      {M, "", "in: empty input"},
      {M, "% only a comment\n", "in:1: no header line"},
      {M, "3\n", "in:1: header needs 2 to 4 fields (N M [FMT [NCON]]), not 1"},
      {M, "-1 0\n", "in:1: node count -1 is out of range 0..1000000000"},
      {M, "3 1 2\n", "in:1: format '2' is not 1 to 3 digits 0 or 1"},
      {M, "3 1 1111\n", "in:1: format '1111' is not 1 to 3 digits 0 or 1"},
      {M, "2 1 10 0\n", "in:1: vertex weight count 0 is out of range 1..2147483647"},
      {M, "2 1 100\n\n1 1\n", "in:2: node 1's line ends before its vertex size"},
      {M, "2 1 10 2\n5\n", "in:2: node 1's line ends before its vertex weights"},
      {M, "2 1 1\n2\n1 1\n", "in:2: node 1's line has a neighbour without a weight"},
      {M, "2 1\n3\n1\n", "in:2: neighbour 3 is out of range 1..2"},
      {M, "2 1\n1\n1\n", "in:2: node 1 lists itself as a neighbour"},
      {M, "2 1 1\n2 -1\n1 -1\n", "in:2: edge weight -1 is negative"},
      {M, "2 1\n2\n1\n3\n", "in:4: more node lines than the 2 the header declares"},
      {M, "3 1\n2\n1\n", "in:3: only 2 of the 3 node lines the header declares"},
      {M, "3 1\n2\n\n\n", "in:2: edge {1, 2} is listed at node 1 but not at node 2"},
      {M, "3 1\n\n1\n\n", "in:3: edge {1, 2} is listed at node 2 but not at node 1"},
      {M, "2 1 1\n2 4\n1 5\n", "in:3: edge {1, 2} has weight 4 at node 1 but 5 at node 2"},
      {M, "% header on line 2\n3 2\n2\n1\n\n",
       "in:2: the header's edge count is 2, the lists give 1"},
      {M, "3 1\n2\n1 3\n2\n",
       "in:3: node 2's line lists more neighbours than the header's 1 edges allow"},
      {M, "2 0\n2\n1\n",
       "in:2: node 1's line lists more neighbours than the header's 0 edges allow"},
      {M, "3 1\n2\n1\n2\n",
       "in:4: the node lines list more neighbours than twice the header's 1 edges"},
  });
}

TEST(Errors, MatrixMarket) {
  const Format X = Format::MatrixMarket;
  const std::string general = "%%MatrixMarket matrix coordinate integer general\n";
  const std::string pattern = "%%MatrixMarket matrix coordinate pattern general\n";
  const std::string banner = "%%MatrixMarket matrix ";
  expectErrors({
      {X, "", "in: empty input"},
      {X, "3 3 1\n", "in:1: first line is not a %%MatrixMarket banner"},
      {X, banner + "coordinate integer\n",
       "in:1: banner needs 5 fields (%%MatrixMarket matrix coordinate FIELD SYMMETRY), not 4"},
      {X, "%%MatrixMarket vector coordinate integer general\n",
       "in:1: object 'vector' is not supported (only matrix)"},
      {X, banner + "array integer general\n", "in:1: format 'array' is not supported (only coordinate)"},
      {X, banner + "coordinate real general\n",
       "in:1: field 'real' is not supported (only integer or pattern)"},
      {X, banner + "coordinate complex general\n",
       "in:1: field 'complex' is not supported (only integer or pattern)"},
      {X, banner + "coordinate integer skew-symmetric\n",
       "in:1: symmetry 'skew-symmetric' is not supported (only general or symmetric)"},
      {X, banner + "coordinate pattern hermitian\n",
       "in:1: symmetry 'hermitian' is not supported (only general or symmetric)"},
      {X, general + "% no size\n", "in:2: no size line"},
      {X, general + "3 3\n", "in:2: size line needs 3 fields (ROWS COLS ENTRIES), not 2"},
      {X, general + "-1 3 1\n", "in:2: row count -1 is negative"},
      {X, banner + "coordinate integer symmetric\n3 4 1\n",
       "in:2: a symmetric matrix must be square, not 3 x 4"},
      {X, general + "3 3 1\n1 2\n", "in:3: entry line needs 3 fields (I J VALUE), not 2"},
      {X, pattern + "3 3 1\n1 2 1\n", "in:3: entry line needs 2 fields (I J), not 3"},
      {X, general + "3 3 1\n4 1 1\n", "in:3: row 4 is out of range 1..3"},
      {X, general + "3 3 1\n1 0 1\n", "in:3: column 0 is out of range 1..3"},
      {X, general + "3 3 1\n1 2 -2\n", "in:3: value -2 is negative"},
      {X, general + "3 3 1\n1 2 1\n2 3 1\n", "in:4: more entries than the 1 the size line declares"},
      {X, general + "3 3 2\n1 2 1\n\n", "in:4: only 1 of the 2 entries the size line declares"},
  });
}

TEST(Errors, CapacitiesAddUpToTheBoundAtMost) {
  const std::string over = "the capacities add up to more than 4611686018427387903";
  const std::string general = "%%MatrixMarket matrix coordinate integer general\n";
  expectErrors({
      {Format::Dimacs, "p cut 3 2\na 1 2 4611686018427387903\na 2 3 1\n", "in:3: " + over},
      {Format::EdgeList, "1 2 9223372036854775807\n", "in:1: " + over},
      // 2^62 - 4 + 3 is the bound itself; one more passes it.
      {Format::EdgeList, "1 2 4611686018427387900\n2 3 3\n\n3 1\n", "in:4: " + over},
      // Node 1's second edge passes it, before node 2 lists the first again.
      {Format::Metis, "3 2 1\n2 4611686018427387903 3 1\n1 4611686018427387903\n1 1\n",
       "in:2: " + over},
      // A self loop counts too.
      {Format::MatrixMarket, general + "3 3 2\n1 2 4611686018427387903\n2 2 1\n",
       "in:4: " + over},
  });
}

TEST(FormatNames, NamesAndExtensions) {
  const std::pair<const char *, Format> names[] = {{"dimacs", Format::Dimacs},
                                                   {"edges", Format::EdgeList},
                                                   {"metis", Format::Metis},
                                                   {"mtx", Format::MatrixMarket},
                                                   {"graphml", Format::GraphML},
                                                   {"gml", Format::Gml}};
  for (const auto &[name, format] : names) {
    EXPECT_EQ(sunder::formatFromName(name), format);
    EXPECT_STREQ(sunder::formatName(format), name);
  }
  try {
    sunder::formatFromName("xml");
    ADD_FAILURE() << "no error";
  } catch (const sunder::Error &e) {
    EXPECT_STREQ(e.what(), "unknown format 'xml' (dimacs, edges, metis, mtx, graphml or gml)");
  }
  EXPECT_EQ(sunder::formatFromPath("a/b.edges"), Format::EdgeList);
  EXPECT_EQ(sunder::formatFromPath("g.el"), Format::EdgeList);
  EXPECT_EQ(sunder::formatFromPath("g.txt"), Format::EdgeList);
  EXPECT_EQ(sunder::formatFromPath("g.graph"), Format::Metis);
  EXPECT_EQ(sunder::formatFromPath("g.metis"), Format::Metis);
  EXPECT_EQ(sunder::formatFromPath("G.MTX"), Format::MatrixMarket);
  EXPECT_EQ(sunder::formatFromPath("g.max"), Format::Dimacs);
  EXPECT_EQ(sunder::formatFromPath("dir.mtx/g"), Format::Dimacs);
  EXPECT_EQ(sunder::formatFromPath("-"), Format::Dimacs);
  EXPECT_EQ(sunder::formatFromPath("g.GraphML"), Format::GraphML);
  EXPECT_EQ(sunder::formatFromPath("g.gml"), Format::Gml);
  EXPECT_EQ(sunder::formatFromExtension("g.max"), std::nullopt);
  EXPECT_EQ(sunder::formatFromExtension("-"), std::nullopt);
}

std::string fileError(const std::string &path) {
  try {
    sunder::readGraphFile(path);
  } catch (const sunder::Error &e) {
    return e.what();
  }
  return "";
}

TEST(Files, ReadByExtensionAndErrorsNameThePath) {
  std::string dir = ::testing::TempDir();
  std::string good = dir + "formats_test_good.mtx";
  std::string bad = dir + "formats_test_bad.graph";
  std::ofstream(good) << "%%MatrixMarket matrix coordinate pattern symmetric\n3 3 1\n3 1\n";
  std::ofstream(bad) << "2 1\n2\n";
  GraphFile f = sunder::readGraphFile(good);
  EXPECT_EQ(f.format, Format::MatrixMarket);
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{3, 1, 1}}));
  EXPECT_EQ(fileError(bad), bad + ":2: only 1 of the 2 node lines the header declares");
  EXPECT_EQ(fileError("/nonexistent-dir/g.edges"),
            "cannot read /nonexistent-dir/g.edges: No such file or directory");
  EXPECT_EQ(fileError("/"), "cannot read /: Is a directory");
  std::remove(good.c_str());
  std::remove(bad.c_str());
}

TEST(Files, StreamsAndStandardInput) {
  std::istringstream in("1 2 x\n");
  try {
    sunder::readGraph(in, Format::EdgeList, "s.el");
    ADD_FAILURE() << "no error";
  } catch (const sunder::Error &e) {
    EXPECT_STREQ(e.what(), "s.el:1: capacity 'x' is not a whole number");
    EXPECT_EQ(e.file(), "s.el");
    EXPECT_EQ(e.line(), 1);
    EXPECT_EQ(e.message(), "capacity 'x' is not a whole number");
  }
  std::istringstream standardInput("p cut 2 1\na 1 2 5\n");
  std::streambuf *saved = std::cin.rdbuf(standardInput.rdbuf());
  GraphFile f = sunder::readGraphFile("-");
  std::cin.rdbuf(saved);
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{1, 2, 5}}));
}

}  // namespace
