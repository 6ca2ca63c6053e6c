// cuttree as a whole program: its text on a small instance worked out by
// hand, its answers on random graphs against Boost's max flow, the same
// output on one and two threads, and every error path.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "instance.h"
#include "verify/reference.h"
#include "verify/solver_tree.h"
#include "run_program.h"

namespace {

const std::string kCuttree = CUTTREE_PATH;
const std::string kSunder = SUNDER_PATH;
const std::string kGenerators = GENERATORS_DIR;

// Edges 1-2:4, 1-3:1, 2-3:3, 3-4:1. Minimum cuts: {1} | rest = 5 between 1
// and 2, {1,2} | {3,4} = 4 between 2 and 3, {4} | rest = 1 across 3-4, so
// the tree is the path 1 - 2 - 3 - 4 with weights 5, 4, 1, rooted at 1.
const std::string kFour = "p cut 4 4\na 1 2 4\na 1 3 1\na 2 3 3\na 3 4 1\n";

ProgramResult cuttree(const std::vector<std::string> &args, const std::string &input) {
  return runProgram(kCuttree, args, input);
}

TEST(CuttreeOutput, FourNodesByHand) {
  ProgramResult r = cuttree({}, kFour);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "c cut tree by Gusfield's method: 4 nodes\np tree 4 3\n"
            "t 2 1 5\nt 3 2 4\nt 4 3 1\n");
  r = cuttree({"--query", "1", "4", "--query", "3", "2", "--side", "1", "3", "--mincut"}, kFour);
  EXPECT_EQ(r.out, "q 1 4 1\nq 3 2 4\ns 1 3 4 2\nn 1\nn 2\nm 1 1\nn 4\n");
  r = cuttree({"--dot"}, kFour);
  EXPECT_EQ(r.out,
            "graph cuttree {\n  node [shape=circle];\n  1;\n  2 -- 1 [label=\"5\"];\n"
            "  3 -- 2 [label=\"4\"];\n  4 -- 3 [label=\"1\"];\n}\n");
  r = cuttree({"--check"}, kFour);
  EXPECT_EQ(r.out,
            "c check: 3 tree edges equal the max flow between their ends\n"
            "c check: all 6 pairs equal the max flow\n");
}

// The report lines are sunder's, counters included; times differ.
TEST(CuttreeOutput, ReportCarriesSundersCounters) {
  ProgramResult mine =
      cuttree({"--report", "-j", "1", "--engine", "push-relabel", "--no-decompose"}, kFour);
  ProgramResult theirs = runProgram(kSunder, {}, kFour);
  auto line = [](const std::string &text, const std::string &start) {
    size_t at = text.find(start);
    return at == std::string::npos ? std::string() : text.substr(at, text.find('\n', at) - at);
  };
  EXPECT_EQ(line(mine.out, "c nodes:"), line(theirs.out, "c nodes:"));
  EXPECT_EQ(line(mine.out, "c relabels:"), "c relabels:           2    pushes:                 3");
  EXPECT_EQ(line(mine.out, "c relabels:"), line(theirs.out, "c relabels:"));
  EXPECT_NE(mine.out.find("\nt 4 3 1\n"), std::string::npos);
}

// --progress rewrites one line on standard error and ends it when the last
// cut is done: nothing left then, at the rate of the recent cuts.
TEST(CuttreeOutput, ProgressLineEndsWithNothingLeft) {
  ProgramResult r =
      cuttree({"--progress", "-j", "1", "--engine", "push-relabel", "--no-decompose"}, kFour);
  EXPECT_EQ(r.status, 0) << r.err;
  std::regex lines("(\r[^\r\n]*)*\rcuttree: 3/3 cuts, [0-9]+/s, 0 s left *\n");
  EXPECT_TRUE(std::regex_match(r.err, lines)) << r.err;
  r = cuttree({"--no-progress"}, kFour);
  EXPECT_EQ(r.err, "");
}

// A random connected graph on the numbers `first` ... `first + span - 1`, of
// which only some are used when `gaps` is set; the rest are nodes without
// edges (cut value 0 to everything).
sunder::test::Instance randomInstance(std::mt19937 &draw, int first, int span, bool gaps) {
  sunder::test::Instance inst;
  inst.N = first + span + 3;
  std::vector<int> used;
  for (int k = 0; k < span; k++)
    if (!gaps || k == 0 || k == span - 1 || draw() % 3 != 0) used.push_back(first + k);
  for (size_t k = 1; k < used.size(); k++)
    inst.arcs.push_back({used[k - 1], used[k], static_cast<int64_t>(draw() % 20)});
  for (int e = 0; e < span; e++)
    inst.arcs.push_back({used[draw() % used.size()], used[draw() % used.size()],
                         static_cast<int64_t>(draw() % 50)});
  return inst;
}

struct TreeLine {
  int child, parent;
  int64_t weight;
};

std::vector<TreeLine> treeLines(const std::string &out) {
  std::vector<TreeLine> lines;
  std::istringstream in(out);
  std::string tag;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    TreeLine t{};
    if (fields >> tag && tag == "t" && fields >> t.child >> t.parent >> t.weight)
      lines.push_back(t);
  }
  return lines;
}

const std::vector<std::string> kEngines{"push-relabel",   "push-relabel-global", "shortest-paths",
                                        "search-trees",   "gomory-hu",           "auto"};

// Every engine, on graphs numbered from 0, 1 and 1000, with and without
// unused numbers: every tree edge and every query against Boost.
TEST(CuttreeOracle, RandomGraphsInTheirOwnNumbers) {
  std::mt19937 draw(20261208);
  for (int first : {0, 1, 1000}) {
    for (bool gaps : {false, true}) {
      for (int round = 0; round < 6; round++) {
        sunder::test::Instance inst = randomInstance(draw, first, 8 + round * 9, gaps);
        int lo = inst.lowest(), n = inst.nodeCount();
        oracle::MaxFlow flow(n, sunder::test::idEdges(inst));
        const std::string &engine = kEngines[(round + (gaps ? 3 : 0)) % kEngines.size()];
        std::vector<std::string> args{"--tree", "--check=30", "--engine", engine, "-j2"};
        std::vector<std::pair<int, int>> asked;
        for (int q = 0; q < 5; q++) {
          int u = lo + static_cast<int>(draw() % n), v = lo + static_cast<int>(draw() % n);
          if (u == v) continue;
          asked.emplace_back(u, v);
          args.insert(args.end(), {"--query", std::to_string(u), std::to_string(v)});
        }
        ProgramResult r = cuttree(args, inst.text());
        SCOPED_TRACE(engine + "\n" + inst.text());
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<TreeLine> tree = treeLines(r.out);
        ASSERT_EQ(static_cast<int>(tree.size()), n - 1);
        std::vector<bool> child(n, false);
        for (const TreeLine &t : tree) {
          ASSERT_TRUE(t.child >= lo && t.child < lo + n && t.parent >= lo && t.parent < lo + n);
          child[t.child - lo] = true;
          EXPECT_EQ(t.weight, flow.maxFlow(t.child - lo, t.parent - lo));
        }
        EXPECT_FALSE(child[0]) << "the lowest number is the root";
        std::string expected;
        for (auto [u, v] : asked)
          expected += "q " + std::to_string(u) + " " + std::to_string(v) + " " +
                      std::to_string(flow.maxFlow(u - lo, v - lo)) + "\n";
        EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("pairs equal the max flow"), std::string::npos);
      }
    }
  }
}

std::string generate(const std::string &program, const std::vector<std::string> &args) {
  return runProgram(kGenerators + "/" + program, args).out;
}

// Every family and engine: one thread and two give the same bytes, and the
// exact engine's counters are sunder's.
TEST(CuttreeThreads, SameTreeAndCountersOnEveryFamily) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> families{
      {"ringforge", {"120", "-m600", "-s5"}}, {"motley", {"150", "3", "20", "-s5"}},
      {"tanglenet", {"150", "5", "5", "20", "-s5"}}, {"spokerim", {"120", "-r30", "-s5"}},
      {"hubspin", {"120", "-r30", "-s5"}}, {"twinloop", {"120"}}};
  auto from = [](const std::string &s, const char *start) { return s.substr(s.find(start)); };
  auto counters = [](const std::string &s) {
    size_t at = s.find("c relabels:");
    return s.substr(at, s.find('\n', at) - at);
  };
  for (const auto &[program, args] : families) {
    std::string text = generate(program, args);
    ASSERT_FALSE(text.empty()) << program;
    ProgramResult sunder = runProgram(kSunder, {}, text);
    for (const std::string &engine : kEngines) {
      ProgramResult one = cuttree({"-j1", "--report", "--engine", engine}, text);
      ProgramResult two = cuttree({"-j2", "--report", "--engine", engine}, text);
      EXPECT_EQ(from(one.out, "c cut tree"), from(two.out, "c cut tree")) << program << engine;
      EXPECT_EQ(counters(one.out), counters(two.out)) << program << engine;
      if (engine == "push-relabel") {
        EXPECT_EQ(counters(one.out), counters(sunder.out)) << program;
      }
      if (engine == "auto") {
        // auto goes on from its probe of the engine it chose: the result is
        // that engine's own.
        size_t open = one.out.find("c engine: auto ("), close = one.out.find(')', open);
        ASSERT_NE(open, std::string::npos) << one.out;
        std::string chosen = one.out.substr(open + 16, close - open - 16);
        ProgramResult direct = cuttree({"-j1", "--engine", chosen}, text);
        EXPECT_EQ(from(one.out, "c cut tree"), direct.out) << program << " " << chosen;
      }
    }
  }
}

TEST(CuttreeOutput, DotRendersWithGraphviz) {
  if (system("command -v dot >/dev/null 2>&1") != 0) GTEST_SKIP() << "Graphviz is not installed";
  std::string text = generate("ringforge", {"30", "-m60"});
  ProgramResult dot = cuttree({"--dot"}, text);
  ASSERT_EQ(dot.status, 0);
  ProgramResult svg = runProgram("/bin/sh", {"-c", "dot -Tsvg"}, dot.out);
  EXPECT_EQ(svg.status, 0) << svg.err;
  EXPECT_NE(svg.out.find("<svg"), std::string::npos);
}

struct ErrorCase {
  std::vector<std::string> args;
  std::string input;
  int status;
  std::string err;
};

TEST(CuttreeErrors, EveryPathHasItsMessageAndStatus) {
  const std::string help = " (see cuttree --help)\n";
  std::ofstream("bad_pairs.txt") << "1 2\n# note\n3 x\n";
  const std::vector<ErrorCase> cases{
      {{"--frobnicate"}, kFour, 2, "cuttree: unknown option --frobnicate" + help},
      {{"--query", "1"}, kFour, 2, "cuttree: option --query needs two nodes" + help},
      {{"--side", "1", "b"}, kFour, 2,
       "cuttree: option --side: '1 b' are not two node numbers" + help},
      {{"-j", "0"}, kFour, 2, "cuttree: thread count '0' is not a number from 1 to 1024" + help},
      {{"--update-factor", "0"}, kFour, 2,
       "cuttree: update factor '0' is not a number above 0 and up to 1e6" + help},
      {{"--run-update-factor", "x"}, kFour, 2,
       "cuttree: run update factor 'x' is not a number above 0 and up to 1e6" + help},
      {{"--check=many"}, kFour, 2,
       "cuttree: --check=K needs a pair count K from 0 to 2147483647, not 'many'" + help},
      {{"--engine", "magic"}, kFour, 2,
       "cuttree: unknown engine 'magic' (engines: push-relabel, push-relabel-global, "
       "shortest-paths, search-trees, gomory-hu, auto)" + help},
      {{"-o"}, kFour, 2, "cuttree: option -o needs a value" + help},
      {{"a.cut", "b.cut"}, kFour, 2, "cuttree: more than one input file: a.cut and b.cut" + help},
      {{"no/such.cut"}, "", 2, "cuttree: cannot read no/such.cut: No such file or directory" + help},
      {{"--pairs", "no/such.txt"}, kFour, 2,
       "cuttree: cannot read no/such.txt: No such file or directory\n"},
      {{"--pairs", "bad_pairs.txt"}, kFour, 2, "cuttree: bad_pairs.txt:3: node 'x' is not a whole number\n"},
      {{"--query", "1", "5"}, kFour, 2,
       "cuttree: --query: node 5 is not in the instance (its nodes are 1 ... 4)" + help},
      {{"--side", "0", "2"}, kFour, 2,
       "cuttree: --side: node 0 is not in the instance (its nodes are 1 ... 4)" + help},
      {{"--query", "3", "3"}, kFour, 2, "cuttree: --query 3 3: the two nodes must differ" + help},
      {{"-o", "no/such/dir/out"}, kFour, 2,
       "cuttree: cannot write no/such/dir/out: No such file or directory" + help},
      {{}, "p cut 4 2\na 1 2 4\na 2 3 -1\n", 1, "cuttree: <stdin>:3: capacity -1 is negative\n"},
      {{}, "p cut 4 2\na 1 2 4\n", 1,
       "cuttree: <stdin>:2: only 1 of the 2 arcs the problem line declares\n"},
      // Numbers that are not whole decimal integers are refused, not cut short.
      {{}, "p cut 4 2\na 1 2 4\na 2 3 2.9\n", 1,
       "cuttree: <stdin>:3: capacity '2.9' is not a whole number (--real reads real capacities)\n"},
      {{}, "p cut 4 2\nc x\na 3abc 2 4\na 2 3 2\n", 1,
       "cuttree: <stdin>:3: node '3abc' is not a whole number\n"},
      {{}, "p cut 4 2\na 1 2 1e3\na 2 3 2\n", 1,
       "cuttree: <stdin>:2: capacity '1e3' is not a whole number (--real reads real capacities)\n"},
      {{"--format", "xml"}, kFour, 2,
       "cuttree: unknown format 'xml' (dimacs, edges, metis, mtx, graphml or gml)" + help},
      {{"-o", "/dev/full"}, kFour, 74, "Error: cannot write output: No space left on device\n"},
  };
  for (const ErrorCase &c : cases) {
    ProgramResult r = cuttree(c.args, c.input);
    SCOPED_TRACE(c.err);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace

namespace {

// One graph in every format: two triangles joined by the bridge 3-4.
//   1-2:3  2-3:2  1-3:4  3-4:5  4-5:1  4-6:2  5-6:3
// Minimum cuts by hand: in the first triangle {2} (5) separates 2 from 1
// and 3, {1,2} (6) separates 1 from 3; the bridge weighs 5; in the second
// triangle {4} (3) separates 4 from 5 and 6, {5} (4) separates 5 from 6.
// A pair in different blocks takes the smallest cut along the way.
const std::vector<std::pair<std::string, std::string>> kFormats{
    {"g.cut", "p cut 6 7\na 1 2 3\na 2 3 2\na 1 3 4\na 3 4 5\na 4 5 1\na 4 6 2\na 5 6 3\n"},
    {"g.edges", "# two triangles\n1,2,3\n2 3 2\n1\t3 4 % heavy\n3 4 5\n4 5 1\n4,6,2\n5 6 3\n"},
    {"g.graph", "% METIS, edge weights\n6 7 001\n2 3 3 4\n1 3 3 2\n2 2 1 4 4 5\n3 5 5 1 6 2\n4 1 6 3\n4 2 5 3\n"},
    {"g.mtx", "%%MatrixMarket matrix coordinate integer symmetric\n6 6 7\n2 1 3\n3 2 2\n3 1 4\n"
              "4 3 5\n5 4 1\n6 4 2\n6 5 3\n"},
};

}  // namespace

TEST(CuttreeFormats, EveryFormatGivesTheCutsWorkedByHand) {
  std::ofstream("format_pairs.txt") << "1 2\n1 3 # across the heavy edge\n2 3\n3 4\n1 4\n"
                                       "4 5\n5 6\n4 6\n1 6\n";
  const std::string want = "q 1 2 5\nq 1 3 6\nq 2 3 5\nq 3 4 5\nq 1 4 5\nq 4 5 3\nq 5 6 4\n"
                           "q 4 6 3\nq 1 6 3\n";
  for (const auto &[name, text] : kFormats) {
    std::ofstream(name) << text;
    for (const char *decompose : {"--decompose", "--no-decompose"}) {
      ProgramResult r = cuttree({"--pairs", "format_pairs.txt", decompose, name}, "");
      EXPECT_EQ(r.status, 0) << name << r.err;
      EXPECT_EQ(r.out, want) << name << " " << decompose;
    }
    // The CSV carries the tree text's edges.
    ProgramResult text_ = cuttree({name}, ""), csv = cuttree({"--csv", name}, "");
    std::string rows = "child,parent,weight\n";
    std::istringstream lines(text_.out);
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("t ", 0) == 0) {
        std::string row = line.substr(2);
        std::replace(row.begin(), row.end(), ' ', ',');
        rows += row + "\n";
      }
    EXPECT_EQ(csv.out, rows) << name;
  }
  // A pairs file of comments alone: no answers, and no tree in their place.
  std::ofstream("no_pairs.txt") << "# none yet\n";
  ProgramResult none = cuttree({"--pairs", "no_pairs.txt", kFormats[0].first}, "");
  EXPECT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(cuttree({"--pairs", "no_pairs.txt", "--tree", kFormats[0].first}, "").out,
            cuttree({kFormats[0].first}, "").out);
  // The format named on the command line wins over the extension.
  std::ofstream("g_edges.txt.cut") << kFormats[1].second;
  EXPECT_EQ(cuttree({"--format", "edges", "--query", "5", "6", "g_edges.txt.cut"}, "").out, "q 5 6 4\n");
}

TEST(CuttreeFormats, FaultsNameTheFileAndLine) {
  std::ofstream("bad.edges") << "1 2\n1 3 2.5\n";
  ProgramResult r = cuttree({"bad.edges"}, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "cuttree: bad.edges:2: capacity '2.5' is not a whole number (--real reads real "
            "capacities)\n");
  EXPECT_EQ(r.out, "");
  // Ids of an edge list are only the ones its edges name.
  std::ofstream("sparse.edges") << "10 20\n20 30 4\n";
  r = cuttree({"--query", "10", "15", "sparse.edges"}, "");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "cuttree: --query: node 15 is not in the instance (it has 3 nodes) (see cuttree --help)\n");
  r = cuttree({"--query", "10", "30", "sparse.edges"}, "");
  EXPECT_EQ(r.out, "q 10 30 1\n");
}

// ---------------------------------------------------------------------------
// --check at its all-pairs boundary, and the report's counters on every
// thread count.

namespace {

// A ring of n nodes (capacities 1 ... 5 in turn) with a chord from every
// third node to the node seven on, in the instance text.
std::string ringWithChords(int n) {
  std::vector<std::string> arcs;
  for (int k = 0; k < n; k++) {
    arcs.push_back("a " + std::to_string(k + 1) + " " + std::to_string((k + 1) % n + 1) + " " +
                   std::to_string(1 + k % 5) + "\n");
    if (k % 3 == 0)
      arcs.push_back("a " + std::to_string(k + 1) + " " + std::to_string((k + 7) % n + 1) + " 2\n");
  }
  std::string text = "p cut " + std::to_string(n) + " " + std::to_string(arcs.size()) + "\n";
  for (const std::string &a : arcs) text += a;
  return text;
}

// Hubs of 33 to 42 neighbours each, parallel edges to them, and a path with
// random chords through the other nodes (node numbers from 1).
std::string hubsWithParallelEdges(int n, std::mt19937 &draw) {
  std::vector<std::string> arcs;
  auto arc = [&](int u, int v, int64_t c) {
    arcs.push_back("a " + std::to_string(u + 1) + " " + std::to_string(v + 1) + " " +
                   std::to_string(c) + "\n");
  };
  for (int h = 0; h < 10; h++) {
    std::vector<int> rest;
    for (int v = 10; v < n; v++) rest.push_back(v);
    std::shuffle(rest.begin(), rest.end(), draw);
    for (int k = 0; k < 33 + h; k++) arc(h, rest[k], 1 + draw() % 3);
    arc(rest[0], h, 1);
  }
  for (int v = 11; v < n; v++) {
    arc(v - 1, v, 1 + draw() % 2);
    arc(static_cast<int>(draw() % v), v, 1 + draw() % 3);
  }
  std::string text = "p cut " + std::to_string(n) + " " + std::to_string(arcs.size()) + "\n";
  for (const std::string &a : arcs) text += a;
  return text;
}

// The report's lines of the engine's two counters and of the arcs it looked
// at; empty when either is missing.
std::string countersOf(const std::string &out) {
  std::string lines;
  for (const char *start : {"c relabels:", "c scans:"}) {
    size_t at = out.find(start);
    if (at == std::string::npos) return "";
    lines += out.substr(at, out.find('\n', at) + 1 - at);
  }
  return lines;
}

}  // namespace

// Up to 60 nodes every pair is checked: 60 * 59 / 2 = 1770 of them, with
// or without a count of random pairs; from 61 on, the random pairs, 100 by
// default. Every check counts the n - 1 tree edges first.
TEST(CuttreeCheck, AllPairsUpToSixtyNodesRandomOnesFromSixtyOne) {
  std::string sixty = ringWithChords(60), sixtyOne = ringWithChords(61);
  for (const std::vector<std::string> &args :
       {std::vector<std::string>{"--check"}, std::vector<std::string>{"--check=7"}}) {
    ProgramResult r = cuttree(args, sixty);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "c check: 59 tree edges equal the max flow between their ends\n"
              "c check: all 1770 pairs equal the max flow\n")
        << args[0];
  }
  ProgramResult r = cuttree({"--check"}, sixtyOne);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "c check: 60 tree edges equal the max flow between their ends\n"
            "c check: 100 random pairs equal the max flow\n");
  r = cuttree({"--check=7"}, sixtyOne);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "c check: 60 tree edges equal the max flow between their ends\n"
            "c check: 7 random pairs equal the max flow\n");
}

// The report's counters and arcs looked at are the same on one, two and
// three threads, run after run, on a graph with hubs and parallel edges
// (where the search trees' marks and the first compaction of each
// push-relabel engine once made them differ), and so is the tree.
TEST(CuttreeThreads, ReportCountersAndScansAreTheSameOnEveryThreadCount) {
  std::mt19937 draw(31);
  std::string text = hubsWithParallelEdges(400, draw);
  for (const char *engine : {"auto", "push-relabel", "search-trees"}) {
    ProgramResult one = cuttree({"-j1", "--report", "--engine", engine}, text);
    ASSERT_EQ(one.status, 0) << one.err;
    std::string counters = countersOf(one.out);
    ASSERT_NE(counters, "") << one.out;
    std::string tree = one.out.substr(one.out.find("c cut tree"));
    for (int round = 0; round < 3; round++)
      for (const char *threads : {"-j2", "-j3"}) {
        ProgramResult more = cuttree({threads, "--report", "--engine", engine}, text);
        EXPECT_EQ(more.status, 0) << more.err;
        EXPECT_EQ(countersOf(more.out), counters) << engine << " " << threads;
        EXPECT_EQ(more.out.substr(more.out.find("c cut tree")), tree) << engine << " " << threads;
      }
  }
}
