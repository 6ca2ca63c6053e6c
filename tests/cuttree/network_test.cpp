// cuttree on network data as networkx and igraph save it (GraphML, GML,
// edge lists with names and attribute dicts), on CSV with named columns and
// on standard input whose format its first line tells: the tree and the
// answers worked by hand for a small graph, networkx's own Gomory-Hu tree
// for a random one, and every fault with its message and exit status.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "run_program.h"

namespace {

const std::string kCuttree = CUTTREE_PATH;
// A folder of this process's own: ctest runs the tests side by side.
const std::string kDir = "network_files_" + std::to_string(getpid());

ProgramResult cuttree(const std::vector<std::string> &args, const std::string &input = "") {
  return runProgram(kCuttree, args, input);
}

std::string contents(const std::string &path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void expectError(const ProgramResult &r, int status, const std::string &err) {
  EXPECT_EQ(r.status, status) << err;
  EXPECT_EQ(r.err, err);
  EXPECT_EQ(r.out, "");
}

// The files of network_files.py, written once for every test here.
class CuttreeNetwork : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ProgramResult r = runProgram("/bin/sh", {"-c", "mkdir -p \"$1\" && exec /usr/bin/python3 \"$0\" \"$1\"",
                                             NETWORK_FILES_SCRIPT, kDir});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  static void TearDownTestSuite() { runProgram("/bin/rm", {"-rf", kDir}); }
};

// The small graph: alice-007:3, 007-bob:2, alice-bob:4, bob-42:6. Gusfield's
// method from alice, by hand: {007} (5) separates 007 from alice, {bob, 42}
// (6) bob from alice, {42} (6) 42 from bob; every cut is the only one of its
// value. The global minimum is {007} alone.
const std::string kTree =
    "c cut tree by Gusfield's method: 4 nodes\np tree 4 3\n"
    "t 007 alice 5\nt bob alice 6\nt 42 bob 6\n";

TEST_F(CuttreeNetwork, EveryFileOfNetworkxAndIgraphGivesTheTreeWorkedByHand) {
  for (const char *file : {"small.graphml", "small.gml", "small.edgelist", "small.weighted",
                           "small.ig.gml", "small.ncol"}) {
    ProgramResult r = cuttree({kDir + "/" + file});
    EXPECT_EQ(r.status, 0) << file << ": " << r.err;
    EXPECT_EQ(r.out, kTree) << file;
  }
  // igraph's GraphML names its nodes n0 ... n3 in the order alice, 007,
  // bob, 42, and the output keeps the file's ids.
  ProgramResult r = cuttree({kDir + "/small.ig.graphml"});
  EXPECT_EQ(r.out, "c cut tree by Gusfield's method: 4 nodes\np tree 4 3\n"
                   "t n1 n0 5\nt n2 n0 6\nt n3 n2 6\n") << r.err;
  // On standard input the first line tells the format.
  for (const char *file : {"small.graphml", "small.gml", "small.ig.gml", "small.edgelist"}) {
    r = cuttree({}, contents(kDir + "/" + file));
    EXPECT_EQ(r.status, 0) << file << ": " << r.err;
    EXPECT_EQ(r.out, kTree) << file;
  }
  r = cuttree({"--format", "gml"}, contents(kDir + "/small.gml"));
  EXPECT_EQ(r.out, kTree) << r.err;
}

TEST_F(CuttreeNetwork, NamesAreWhatEveryOutputPrintsAndEveryQueryTakes) {
  const std::string file = kDir + "/small.edgelist";
  std::ofstream("named_pairs.txt") << "007 42 # across both heavy edges\nbob 007\n";
  ProgramResult r = cuttree({"--query", "alice", "42", "--pairs", "named_pairs.txt", "--side", "007",
                             "bob", "--side", "bob", "007", "--mincut", file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "q alice 42 6\nq 007 42 5\nq bob 007 5\n"
            "s 007 bob 5 1\nn 007\n"
            "s bob 007 5 3\nn alice\nn bob\nn 42\n"
            "m 5 1\nn 007\n");
  r = cuttree({"--csv", file});
  EXPECT_EQ(r.out, "child,parent,weight\n007,alice,5\nbob,alice,6\n42,bob,6\n") << r.err;
  r = cuttree({"--dot", file});
  EXPECT_EQ(r.out, "graph cuttree {\n  node [shape=circle];\n  \"alice\";\n"
                   "  \"007\" -- \"alice\" [label=\"5\"];\n  \"bob\" -- \"alice\" [label=\"6\"];\n"
                   "  \"42\" -- \"bob\" [label=\"6\"];\n}\n") << r.err;
  r = cuttree({"--check", file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "c check: 3 tree edges equal the max flow between their ends\n"
                   "c check: all 6 pairs equal the max flow\n");
  // Named columns in any order, other columns ignored, case aside; the
  // nodes in order of first appearance (Source before Target on a line).
  std::ofstream("columns.csv") << "id,Target,extra,Source,WEIGHT\n1,b,x,a,3\n2,c,y,b,2\n";
  r = cuttree({"columns.csv"});
  EXPECT_EQ(r.out, "c cut tree by Gusfield's method: 3 nodes\np tree 3 2\nt b a 3\nt c b 2\n") << r.err;
  // Once one id is a name every id is, numbers too: "1" and "01" differ.
  r = cuttree({"--format", "edges", "--query", "1", "01"}, "1 x 2\nx 01 3\n1 01 1\n");
  EXPECT_EQ(r.out, "q 1 01 3\n") << r.err;
}

// --csv quotes a field as RFC 4180 does when it holds a comma or a double
// quote, names GML and GraphML may have. The path x,y -- b (3) -- a"b (2)
// by hand: b's cut from x,y is {x,y} (3), a"b's from b is {a"b} (2).
TEST_F(CuttreeNetwork, CsvQuotesTheFieldsThatNeedIt) {
  std::ofstream("comma.gml") << "graph [\n  node [\n    id 0\n    label \"x,y\"\n  ]\n"
                                "  node [\n    id 1\n    label \"b\"\n  ]\n"
                                "  node [\n    id 2\n    label \"a&quot;b\"\n  ]\n"
                                "  edge [\n    source 0\n    target 1\n    weight 3\n  ]\n"
                                "  edge [\n    source 1\n    target 2\n    weight 2\n  ]\n]\n";
  ProgramResult r = cuttree({"--csv", "comma.gml"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "child,parent,weight\nb,\"x,y\",3\n\"a\"\"b\",b,2\n");
  r = cuttree({"comma.gml"});
  EXPECT_EQ(r.out, "c cut tree by Gusfield's method: 3 nodes\np tree 3 2\nt b x,y 3\nt a\"b b 2\n")
      << r.err;
}

// Every pair of the random graph against networkx's Gomory-Hu tree.
TEST_F(CuttreeNetwork, RandomGraphAgreesWithNetworkxOnEveryPair) {
  const std::string expected = contents(kDir + "/random.expected");
  ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 435);
  for (const char *file : {"random.graphml", "random.gml", "random.edgelist", "random.ig.gml"}) {
    ProgramResult r = cuttree({"--pairs", kDir + "/random.pairs", kDir + "/" + file});
    EXPECT_EQ(r.status, 0) << file << ": " << r.err;
    EXPECT_EQ(r.out, expected) << file;
  }
}

TEST_F(CuttreeNetwork, FaultsHaveTheirMessageAndStatus) {
  const std::string help = " (see cuttree --help)\n";
  const std::string small = kDir + "/small.gml";
  std::ofstream("bad.graphml") << "<graphml><graph><node id=\"a\"></graph>\n";
  std::ofstream("missing.gml") << "graph [ node [ id 0 ] edge [ source 0 target 5 ] ]\n";
  std::ofstream("real.gml") << "graph [ node [ id 0 label \"a\" ] node [ id 1 label \"c\" ]\n"
                               "edge [ source 0 target 1 weight 2.5 ] ]\n";
  std::ofstream("absent_pairs.txt") << "alice 42\nzed alice\n";
  std::ofstream("quoted.csv") << "\"a b\",c\n";
  std::ofstream("real.edgelist") << "0 1 {'weight': 2.5, 'color': 'red'}\n";
  std::ofstream("count.csv") << "source,target\n1,2,3\n";
  std::ofstream("half.csv") << "source,dst\n1,2\n";
  expectError(cuttree({"bad.graphml"}), 1,
              "cuttree: bad.graphml: cannot read GraphML: Line 1: Opening and ending tag mismatch: "
              "node line 1 and graph\n");
  expectError(cuttree({"missing.gml"}), 1,
              "cuttree: missing.gml: cannot read GML: Unknown target node id found in an edge in "
              "GML file, line 1.\n");
  expectError(cuttree({"real.gml"}), 1,
              "cuttree: real.gml: edge 1 (a -- c): capacity '2.5' is not a whole number "
              "(--real reads real capacities)\n");
  expectError(cuttree({"--pairs", "absent_pairs.txt", small}), 2,
              "cuttree: absent_pairs.txt:2: node 'zed' is not in the instance (it has 4 named "
              "nodes)\n");
  expectError(cuttree({"--query", "alice", "carol", small}), 2,
              "cuttree: --query: node 'carol' is not in the instance (it has 4 named nodes)" + help);
  expectError(cuttree({"--side", "bob", "bob", small}), 2,
              "cuttree: --side bob bob: the two nodes must differ" + help);
  expectError(cuttree({"quoted.csv"}), 1,
              "cuttree: quoted.csv:1: field '\"a b\"' is quoted: quoted CSV fields are not read\n");
  expectError(cuttree({"real.edgelist"}), 1,
              "cuttree: real.edgelist:1: capacity '2.5' is not a whole number "
              "(--real reads real capacities)\n");
  expectError(cuttree({"count.csv"}), 1,
              "cuttree: count.csv:2: edge line has 3 fields, the header row names 2\n");
  expectError(cuttree({"half.csv"}), 1,
              "cuttree: half.csv:1: header row names 'source' but no 'target' column\n");
  // Standard input that shows no format, and a METIS file taken for an
  // edge list, with the hint of what it was read as.
  expectError(cuttree({}, "hello\n"), 1,
              "cuttree: <stdin>:1: cannot tell the format from this line: 'hello' (name it: dimacs, "
              "edges, metis, mtx, graphml or gml)\n");
  const std::string metis = "% a path\n3 2\n2\n1 3\n2\n";
  expectError(cuttree({}, metis), 1,
              "cuttree: <stdin>:3: edge line needs 2 or 3 fields (U V [CAPACITY]), not 1 (read as "
              "edges, the format its first line shows)\n");
  ProgramResult r = cuttree({"--format", "metis"}, metis);
  EXPECT_EQ(r.out, "c cut tree by Gusfield's method: 3 nodes\np tree 3 2\nt 2 1 1\nt 3 2 1\n") << r.err;
  // With --real the real weights read: one edge of 2.5.
  for (const char *file : {"real.gml", "real.edgelist"}) {
    r = cuttree({"--real", file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find("\nt ") + 1), std::string(file) == "real.gml" ? "t c a 2.5\n"
                                                                                     : "t 1 0 2.5\n");
  }
}

}  // namespace
