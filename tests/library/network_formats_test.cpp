// The readers of network data: edge lists with names, header rows that
// name their columns, networkx's dicts of edge attributes, the format told
// from the first line, finding nodes by their text, and GraphML and GML
// through igraph. Every graph below is checked edge by edge against the
// text it came from.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "id_edge.h"
#include "sunder/error.h"
#include "sunder/formats.h"

namespace {

using sunder::Format;
using sunder::GraphFile;
using Names = std::vector<std::string>;

std::vector<IdEdge> edgesOf(const sunder::Graph &g) {
  std::vector<IdEdge> edges;
  for (const sunder::Edge &e : g.edges()) edges.push_back({g.idOf(e.u), g.idOf(e.v), e.capacity});
  return edges;
}

GraphFile read(Format format, const std::string &text) {
  return sunder::readGraphText(text, format, "in");
}

GraphFile detected(const std::string &text) {
  std::istringstream in(text);
  return sunder::readGraphDetected(in, "in");
}

// what() of the error of `read`; "" when there is none.
template <class Read>
std::string errorOf(Read read) {
  try {
    read();
  } catch (const sunder::Error &e) {
    return e.what();
  }
  return "";
}

std::string edgeListError(const std::string &text) {
  return errorOf([&] { read(Format::EdgeList, text); });
}

TEST(NamedEdgeLists, OneIdThatIsNoPlainNumberNamesEveryNode) {
  // Numbers while they last, in increasing order.
  GraphFile f = read(Format::EdgeList, "5 3\n3 9\n");
  EXPECT_EQ(f.names, Names{});
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{5, 3, 1}, {3, 9, 1}}));
  // "x" on the third line names the ids before it by their text, in order
  // of first appearance.
  f = read(Format::EdgeList, "3 1\n1 2 4\nx 3\n");
  EXPECT_EQ(f.names, (Names{"3", "1", "2", "x"}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{0, 1, 1}, {1, 2, 4}, {3, 0, 1}}));
  EXPECT_EQ(f.declaredNodes, 4);
  // A name and a number on one line, numeric-looking names kept as text.
  f = read(Format::EdgeList, "a 1\n1 b\n007 7\n-1 +1\n");
  EXPECT_EQ(f.names, (Names{"a", "1", "b", "007", "7", "-1", "+1"}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{0, 1, 1}, {1, 2, 1}, {3, 4, 1}, {5, 6, 1}}));
  EXPECT_EQ(edgeListError("a b\nc \x01\n"), "in:2: node name '\\x01' contains a control byte");
}

TEST(NamedEdgeLists, HeaderRowsByNameAndByPosition) {
  struct Case {
    std::string text;
    std::vector<IdEdge> edges;
  };
  const std::vector<Case> cases{
      {"weight,extra,TO,FROM\n5,x,1,2\n", {{2, 1, 5}}},  // ends from from/to
      {"Node1\tNode2\n1\t2\n", {{1, 2, 1}}},
      {"src dst cap\n1 2 3\n", {{1, 2, 3}}},
      {"a,b,capacity\n1,2,3\n", {{1, 2, 3}}},  // a capacity column, the ends the others
      {"id1 id2\n1 2\n", {{1, 2, 1}}},         // by position, in a file of numbers
  };
  for (const Case &c : cases) {
    GraphFile f = read(Format::EdgeList, c.text);
    EXPECT_EQ(edgesOf(f.graph), c.edges) << c.text;
    EXPECT_EQ(f.names, Names{}) << c.text;
  }
  // In a named file the line by position is the first edge.
  GraphFile f = read(Format::EdgeList, "id1 id2\nalice bob\n");
  EXPECT_EQ(f.names, (Names{"id1", "id2", "alice", "bob"}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{0, 1, 1}, {2, 3, 1}}));
  EXPECT_EQ(edgeListError("id1 id2 x\nc d\n"), "in:1: capacity 'x' is not a whole number");
  EXPECT_EQ(edgeListError("weight\n1\n"), "in:1: header row names a capacity column but no two end columns");
  EXPECT_EQ(edgeListError("To,x\n1,2\n"), "in:1: header row names 'to' but no 'from' column");
}

TEST(NamedEdgeLists, NetworkxDictsOfEdgeAttributes) {
  GraphFile f = read(Format::EdgeList,
                     "0 1 {'weight': 4}\n1 2 {}\n2 0 {'color': 'red', 'capacity': 7}\n"
                     "0 1 {'capacity': 2, 'weight': 3}\n"
                     "0 2 {\"weight\": 5, 'tags': [1, {'x': 2}], 'note': 'a, b} #'} # a comment\n");
  EXPECT_EQ(edgesOf(f.graph),
            (std::vector<IdEdge>{{0, 1, 4}, {1, 2, 1}, {2, 0, 7}, {0, 1, 3}, {0, 2, 5}}));
  EXPECT_EQ(edgeListError("0 1 {'weight': 2.5, 'color': 'red'}\n"),
            "in:1: capacity '2.5' is not a whole number");
  EXPECT_EQ(edgeListError("0 1 {weight: 4}\n"), "in:1: data '{weight: 4}' is not a dict of edge attributes");
  EXPECT_EQ(edgeListError("0 1 {'weight': }\n"),
            "in:1: data '{'weight': }' is not a dict of edge attributes");
  EXPECT_EQ(edgeListError("0 1 {'weight': 4\n"), "in:1: data '{'weight': 4' does not close");
  EXPECT_EQ(edgeListError("0 1 {'weight': -4}\n"), "in:1: capacity -4 is negative");
  EXPECT_EQ(edgeListError("\"a b\",c\n"), "in:1: field '\"a b\"' is quoted: quoted CSV fields are not read");
}

TEST(Detection, TheFirstLineTellsTheFormat) {
  struct Case {
    std::string text;
    Format format;
    int64_t edges;
  };
  std::string xml = "<?xml version=\"1.0\"?>\n<graphml><graph edgedefault=\"undirected\">"
                    "<node id=\"a\"/><node id=\"b\"/><edge source=\"a\" target=\"b\"/></graph></graphml>\n";
  const std::vector<Case> cases{
      {"p cut 2 1\na 1 2 3\n", Format::Dimacs, 1},
      {"c a comment\n\nc more\np cut 2 1\na 1 2 3\n", Format::Dimacs, 1},
      {"a 1 2 3\n", Format::Dimacs, 0},  // an arc line: the Dimacs error below
      {"\n% a note\n1 2\n", Format::EdgeList, 1},
      {"# SNAP\n1\t2\n", Format::EdgeList, 1},
      {"c d\nd e\n", Format::EdgeList, 2},  // a node named c
      {"a b 3\n", Format::EdgeList, 1},     // and one named a
      {"source,target\nx,y\n", Format::EdgeList, 1},
      {"%%MatrixMarket matrix coordinate pattern symmetric\n2 2 1\n2 1\n", Format::MatrixMarket, 1},
      {"graph\n[\n node [ id 1 ]\n node [ id 2 ]\n edge [ source 1 target 2 ]\n]\n", Format::Gml, 1},
      {"Creator \"me\"\ngraph [ node [ id 1 ] ]\n", Format::Gml, 0},
      {xml, Format::GraphML, 1},
  };
  for (const Case &c : cases) {
    if (c.edges == 0 && c.format == Format::Dimacs) {
      EXPECT_EQ(errorOf([&] { detected(c.text); }), "in:1: arc line before the problem line");
      continue;
    }
#ifndef SUNDER_TEST_IGRAPH
    if (c.format == Format::Gml || c.format == Format::GraphML) {
      EXPECT_EQ(errorOf([&] { detected(c.text); }),
                std::string("in: cannot read ") + (c.format == Format::Gml ? "GML" : "GraphML") +
                    ": this build has no igraph library");
      continue;
    }
#endif
    GraphFile f = detected(c.text);
    EXPECT_EQ(f.format, c.format) << c.text;
    EXPECT_EQ(f.graph.edgeCount(), c.edges) << c.text;
  }
  // Faults: none at all, one that Dimacs gives as it always has, and one
  // with the hint of the format it was read as.
  EXPECT_EQ(errorOf([] { detected("% only a comment\nhello\n"); }),
            "in:2: cannot tell the format from this line: 'hello' (name it: dimacs, edges, metis, "
            "mtx, graphml or gml)");
  EXPECT_EQ(errorOf([] { detected(""); }), "in: empty input");
  EXPECT_EQ(errorOf([] { detected("p cut 2 1\nx\n"); }), "in:2: unknown line type 'x'");
  EXPECT_EQ(errorOf([] { detected("1 2\n3\n"); }),
            "in:2: edge line needs 2 or 3 fields (U V [CAPACITY]), not 1 (read as edges, the format "
            "its first line shows)");
  // The chunk read to tell the format is read once, then the rest: a
  // stream of many chunks loses no byte.
  std::string many;
  for (int k = 1; k <= 30000; k++) many += std::to_string(k) + " " + std::to_string(k + 1) + " 2\n";
  GraphFile f = detected(many);
  ASSERT_EQ(f.graph.edgeCount(), 30000);
  EXPECT_EQ(edgesOf(f.graph)[29999], (IdEdge{30000, 30001, 2}));
}

// The first line that carries data decides, however many blank and
// comment lines come before it: here more than a first read of 64 KiB.
// The lines held meanwhile go to the reader too, so its line numbers stay.
TEST(Detection, LongRunsOfCommentsAndBlankLinesBeforeTheFirstData) {
  std::string comments;
  for (int k = 0; k < 7000; k++) comments += "% comment line\n";  // 105,000 bytes
  GraphFile f = detected(comments + "1 2 3\n2 3 4\n");
  EXPECT_EQ(f.format, Format::EdgeList);
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{1, 2, 3}, {2, 3, 4}}));
  const std::string blanks(70000, '\n');
  f = detected(blanks + "1 2 3\n");
  EXPECT_EQ(f.format, Format::EdgeList);
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{1, 2, 3}}));
  EXPECT_EQ(errorOf([&] { detected(blanks + "1 2\n3\n"); }),
            "in:70002: edge line needs 2 or 3 fields (U V [CAPACITY]), not 1 (read as edges, the "
            "format its first line shows)");
  EXPECT_EQ(errorOf([&] { detected(comments + "hello\n"); }),
            "in:7001: cannot tell the format from this line: 'hello' (name it: dimacs, edges, "
            "metis, mtx, graphml or gml)");
  // A first line of data that ends past the first read is looked at whole:
  // of "hello world" the first 64 KiB hold "hel".
  f = detected(blanks.substr(0, 65533) + "hello world\nworld wide\n");
  EXPECT_EQ(f.names, (Names{"hello", "world", "wide"}));
}

TEST(NodeText, NamesAndNumbersFindTheirNodes) {
  GraphFile named = read(Format::EdgeList, "b a\na 10\n");
  sunder::NodeFinder byName(named);
  EXPECT_EQ(byName.find("a"), 1);
  EXPECT_EQ(byName.find("10"), 2);
  EXPECT_EQ(byName.find("010"), std::nullopt);
  EXPECT_EQ(byName.find("0"), std::nullopt);
  EXPECT_EQ(sunder::nodeName(named, 2), "10");
  GraphFile numbered = read(Format::EdgeList, "7 3\n");
  sunder::NodeFinder byNumber(numbered);
  EXPECT_EQ(byNumber.find("+3"), 3);
  EXPECT_EQ(byNumber.find("007"), 7);
  EXPECT_EQ(byNumber.find("5"), std::nullopt);
  EXPECT_EQ(byNumber.find("x"), std::nullopt);
  EXPECT_EQ(sunder::nodeName(numbered, 7), "7");
}

#ifdef SUNDER_TEST_IGRAPH

const std::string kGml =
    "graph [\n  node [ id 4 label \"x\" ]\n  node [ id 9 label \"y\" ]\n  node [ id 2 label \"z\" ]\n"
    "  edge [ source 4 target 9 weight 3 ]\n  edge [ source 9 target 2 ]\n"
    "  edge [ source 2 target 4 weight 2.0 ]\n]\n";

TEST(IgraphFormats, NodesNamesAndCapacities) {
  GraphFile f = read(Format::Gml, kGml);
  EXPECT_EQ(f.format, Format::Gml);
  EXPECT_EQ(f.names, (Names{"x", "y", "z"}));
  // An edge without the weight others have weighs 1.
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{0, 1, 3}, {1, 2, 1}, {0, 2, 2}}));
  // Labels that two nodes share name nothing: the ids do.
  f = read(Format::Gml, "graph [ node [ id 4 label \"x\" ] node [ id 9 label \"x\" ]\n"
                        "edge [ source 4 target 9 capacity 6 ] ]\n");
  EXPECT_EQ(f.names, (Names{"4", "9"}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{0, 1, 6}}));
  // GraphML: the node ids, a text weight, a node without edges, and an edge
  // of a directed graph taken as undirected.
  f = read(Format::GraphML,
           "<graphml><key id=\"w\" for=\"edge\" attr.name=\"weight\" attr.type=\"string\"/>"
           "<graph edgedefault=\"directed\"><node id=\"p\"/><node id=\"q\"/><node id=\"lone\"/>"
           "<edge source=\"q\" target=\"p\"><data key=\"w\">7</data></edge></graph></graphml>\n");
  EXPECT_EQ(f.names, (Names{"p", "q", "lone"}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{0, 1, 7}}));
  EXPECT_EQ(errorOf([] { read(Format::Gml, "graph [ node [ id 1 label \"a b\" ] ]\n"); }),
            "in: node 1: node name 'a b' contains a blank");
  EXPECT_EQ(errorOf([] {
              read(Format::Gml, "graph [ node [ id 1 ] node [ id 2 ] edge [ source 1 target 2 weight -1 ] ]");
            }),
            "in: edge 1 (1 -- 2): capacity -1 is negative");
}

// A GML file as networkx writes it, edge a -- b of weight `weight`.
std::string gmlWeighing(const std::string &weight) {
  return "graph [\n  node [\n    id 0\n    label \"a\"\n  ]\n  node [\n    id 1\n    label \"b\"\n  ]\n"
         "  node [\n    id 2\n    label \"c\"\n  ]\n"
         "  edge [\n    source 0\n    target 1\n    weight " + weight + "\n  ]\n"
         "  edge [\n    source 1\n    target 2\n    weight 3\n  ]\n]\n";
}

std::string gmlError(const std::string &weight, bool real = false) {
  sunder::ReadOptions options;
  options.realCapacities = real;
  return errorOf([&] { sunder::readGraphText(gmlWeighing(weight), Format::Gml, "in", options); });
}

// igraph holds a numeric attribute as a double. A whole number of 2^53 or
// more is not known from it (2^53 + 1 reads as 2^53), so it is an error,
// unless it is a string; a NaN is an error as in an edge list, while a
// missing value weighs 1; any other number is its shortest decimal.
TEST(IgraphFormats, NumbersAsIgraphHoldsThem) {
  const std::string inexact =
      " cannot be read exactly: igraph holds numbers as doubles, whole numbers only up to 2^53 "
      "(give the weight as a string)";
  EXPECT_EQ(gmlError("9007199254740993"), "in: edge 1 (a -- b): capacity 9007199254740992" + inexact);
  EXPECT_EQ(gmlError("9007199254740993", true),
            "in: edge 1 (a -- b): capacity 9007199254740992" + inexact);
  EXPECT_EQ(gmlError("4611686018427387903"), "in: edge 1 (a -- b): capacity 4611686018427387904" + inexact);
  EXPECT_EQ(edgesOf(read(Format::Gml, gmlWeighing("9007199254740991")).graph),
            (std::vector<IdEdge>{{0, 1, 9007199254740991}, {1, 2, 3}}));
  EXPECT_EQ(edgesOf(read(Format::Gml, gmlWeighing("\"9007199254740993\"")).graph),
            (std::vector<IdEdge>{{0, 1, 9007199254740993}, {1, 2, 3}}));
  // The sum past the bound is named once, by the edge.
  EXPECT_EQ(gmlError("\"4611686018427387903\""),
            "in: edge 2 (b -- c): the capacities add up to more than 4611686018427387903");
  // networkx writes NaN as NAN, infinities as INF.
  EXPECT_EQ(gmlError("NAN"), "in: edge 1 (a -- b): capacity 'nan' is not a whole number");
  EXPECT_EQ(gmlError("NAN", true), "in: edge 1 (a -- b): capacity nan is not finite");
  EXPECT_EQ(gmlError("-INF"), "in: edge 1 (a -- b): capacity '-inf' is not a whole number");
  EXPECT_EQ(gmlError("1e300"), "in: edge 1 (a -- b): capacity '1e+300' is not a whole number");
  sunder::ReadOptions real;
  real.realCapacities = true;
  GraphFile f = sunder::readGraphText(gmlWeighing("0.1"), Format::Gml, "in", real);
  ASSERT_EQ(f.realCapacities.size(), 2u);
  EXPECT_TRUE(f.realCapacities[0].exact());
  EXPECT_EQ(f.realCapacities[0].numerator(), 1u);  // 1 / (2 5)
  EXPECT_EQ(f.realCapacities[0].twos(), 1);
  EXPECT_EQ(f.realCapacities[0].fives(), 1);
  // GraphML as networkx writes it: a NaN where the value stands, nodes
  // whose ids spell nan, and an edge without the value, which weighs 1.
  const std::string graphml =
      "<?xml version='1.0' encoding='utf-8'?>\n"
      "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">"
      "<key id=\"d0\" for=\"edge\" attr.name=\"weight\" attr.type=\"double\" />\n"
      "<graph edgedefault=\"undirected\"><node id=\"nan\" />\n<node id=\"NaN\" />\n<node id=\"c\" />\n"
      "<edge source=\"nan\" target=\"NaN\">\n  <data key=\"d0\">2.0</data>\n</edge>\n"
      "<edge source=\"NaN\" target=\"c\" />\n</graph></graphml>\n";
  f = read(Format::GraphML, graphml);
  EXPECT_EQ(f.names, (Names{"nan", "NaN", "c"}));
  EXPECT_EQ(edgesOf(f.graph), (std::vector<IdEdge>{{0, 1, 2}, {1, 2, 1}}));
  std::string withNaN = graphml;
  withNaN.replace(withNaN.find("2.0"), 3, "nan");
  EXPECT_EQ(errorOf([&] { read(Format::GraphML, withNaN); }),
            "in: edge 1 (nan -- NaN): capacity 'nan' is not a whole number");
  // A byte order mark before the text is skipped here too.
  EXPECT_EQ(read(Format::Gml, "\xef\xbb\xbf" + gmlWeighing("2")).names, (Names{"a", "b", "c"}));
}

// A fault of igraph is an Error and leaves igraph as it was: the next read,
// and reads on two threads at once, go as ever.
TEST(IgraphFormats, FaultsAreErrorsAndReadsTakeTurns) {
  EXPECT_EQ(errorOf([] { read(Format::Gml, "graph [ node [ id 1 ]\n"); }),
            "in: cannot read GML: Parse error in GML file, line 2 (syntax error, unexpected end of "
            "file, expecting keyword or ])");
  EXPECT_EQ(errorOf([] { read(Format::GraphML, "<graphml><graph><node id=\"a\"></graph>\n"); }),
            "in: cannot read GraphML: Line 1: Opening and ending tag mismatch: node line 1 and graph");
  std::vector<std::vector<IdEdge>> seen(2);
  std::vector<std::thread> readers;
  for (int k = 0; k < 2; k++)
    readers.emplace_back([&seen, k] {
      for (int round = 0; round < 20; round++) seen[k] = edgesOf(read(Format::Gml, kGml).graph);
    });
  for (std::thread &t : readers) t.join();
  for (const std::vector<IdEdge> &edges : seen)
    EXPECT_EQ(edges, (std::vector<IdEdge>{{0, 1, 3}, {1, 2, 1}, {0, 2, 2}}));
}

#else

TEST(IgraphFormats, ABuildWithoutIgraphSaysSo) {
  EXPECT_EQ(errorOf([] { read(Format::GraphML, "<graphml/>\n"); }),
            "in: cannot read GraphML: this build has no igraph library");
  EXPECT_EQ(errorOf([] { read(Format::Gml, "graph [ ]\n"); }),
            "in: cannot read GML: this build has no igraph library");
}

#endif

}  // namespace
