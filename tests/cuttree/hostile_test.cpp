// cuttree against hostile input: capacities whose sum would pass 64 bits,
// a directory, endless and binary input, strict pairs files, an empty
// graph, thread counts far beyond the cores, and memory that runs out at
// every stage of a run (a message and status 1, never an abort).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "run_program.h"

namespace {

const std::string kCuttree = CUTTREE_PATH;

ProgramResult cuttree(const std::vector<std::string> &args, const std::string &input = "") {
  return runProgram(kCuttree, args, input);
}

ProgramResult viaShell(const std::string &script) {
  return runProgram("/bin/sh", {"-c", script, kCuttree});
}

void expectError(const ProgramResult &r, int status, const std::string &err) {
  EXPECT_EQ(r.status, status) << err;
  EXPECT_EQ(r.err, err);
  EXPECT_EQ(r.out, "");
}

// Past 2^62 - 1 in all, a capacity is an error at its line, in every
// format; at the bound every value is exact.
TEST(CuttreeHostile, CapacitiesPastTheBoundNameTheirLine) {
  const std::string past = "cuttree: <stdin>:2: the capacities add up to more than 4611686018427387903\n";
  expectError(cuttree({"--format", "edges"}, "1 2 4611686018427387903\n1 2 1\n"), 1, past);
  expectError(cuttree({"--format", "edges", "--query", "1", "2"}, "1 2 9223372036854775807\n1 2 2\n"),
              1, "cuttree: <stdin>:1: the capacities add up to more than 4611686018427387903\n");
  // The triangle of 2^62 each wrapped to -2^63 and passed --check; one of
  // 2^61 each passes the bound at its second edge.
  expectError(cuttree({"--check"}, "p cut 3 3\na 1 2 4611686018427387904\na 2 3 4611686018427387904\n"
                                   "a 1 3 4611686018427387904\n"),
              1, past);
  expectError(cuttree({"--check"}, "p cut 3 3\na 1 2 2305843009213693952\na 2 3 2305843009213693952\n"
                                   "a 1 3 2305843009213693952\n"),
              1, "cuttree: <stdin>:3: the capacities add up to more than 4611686018427387903\n");
  expectError(cuttree({"--format", "metis"}, "2 1 1\n2 4611686018427387904\n1 4611686018427387904\n"),
              1, past);
  expectError(cuttree({"--format", "mtx"}, "%%MatrixMarket matrix coordinate integer general\n"
                                           "2 2 2\n1 2 4611686018427387903\n2 1 1\n"),
              1, "cuttree: <stdin>:4: the capacities add up to more than 4611686018427387903\n");
  // Three edges of (2^62 - 1) / 3 = 1537228672809129301: every cut of the
  // triangle crosses two of them.
  ProgramResult r = cuttree({"--query", "1", "2", "--query", "2", "3", "--check"},
                            "p cut 3 3\na 1 2 1537228672809129301\na 2 3 1537228672809129301\n"
                            "a 1 3 1537228672809129301\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "q 1 2 3074457345618258602\nq 2 3 3074457345618258602\n"
            "c check: 2 tree edges equal the max flow between their ends\n"
            "c check: all 3 pairs equal the max flow\n");
}

TEST(CuttreeHostile, DirectoriesEmptyGraphsAndThreads) {
  mkdir("a_directory", 0755);
  expectError(cuttree({"a_directory"}), 2,
              "cuttree: cannot read a_directory: Is a directory (see cuttree --help)\n");
  ProgramResult r = cuttree({"--format", "edges", "--mincut"}, "# nothing\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "c no cut: the instance has no nodes\n");
  r = cuttree({"--format", "edges", "--mincut"}, "7 7 3\n");
  EXPECT_EQ(r.out, "c no cut: the instance has one node\n");
  // -j1024 runs as many threads as there are cores (8 at least), with the
  // same tree as one thread.
  std::string text = "p cut 300 600\n";
  for (int k = 1; k <= 300; k++)
    text += "a " + std::to_string(k) + " " + std::to_string(k % 300 + 1) + " " +
            std::to_string(2 + k % 3) + "\na " + std::to_string(k) + " " +
            std::to_string((k + 6) % 300 + 1) + " 1\n";
  ProgramResult many = cuttree({"-j1024", "--report"}, text);
  ProgramResult one = cuttree({"-j1"}, text);
  ASSERT_EQ(many.status, 0) << many.err;
  unsigned cores = std::thread::hardware_concurrency();
  std::string ran = "threads: " + std::to_string(std::max(8u, cores)) + "   ";
  EXPECT_NE(many.out.find(ran), std::string::npos) << many.out;
  EXPECT_EQ(many.out.substr(many.out.find("c cut tree")), one.out);
}

// Binary input ends at its first line, its bytes shown as plain text.
TEST(CuttreeHostile, BinaryBytesAreShownEscaped) {
  expectError(cuttree({"--format", "edges"}, "1 2\n\x01\xff\x7f 3\n"), 1,
              "cuttree: <stdin>:2: node name '\\x01\\xff\\x7f' contains a control byte\n");
  expectError(cuttree({"--format", "edges"}, std::string("1 2\0 3\n", 7)), 1,
              "cuttree: <stdin>:1: line contains a NUL byte: the input is not text\n");
}

// Edge lists under the names network data comes with, and their format
// told from the first line on standard input.
TEST(CuttreeHostile, EdgeListsByExtensionAndOnStandardInput) {
  const std::string path = "1 2\n2 3 # a path of unit capacities\n";
  const std::string tree = "c cut tree by Gusfield's method: 3 nodes\np tree 3 2\nt 2 1 1\nt 3 2 1\n";
  for (const char *name : {"p.csv", "p.tsv", "p.edgelist", "p.ncol", "P.CSV"}) {
    std::ofstream(name) << path;
    ProgramResult r = cuttree({name});
    EXPECT_EQ(r.status, 0) << name << ": " << r.err;
    EXPECT_EQ(r.out, tree) << name;
  }
  // A header row naming the columns, as CSV and TSV files have; a second
  // one is an edge line like any other, whose names make the file named.
  std::ofstream("h.csv") << "source,target,weight\n1,2,1\n2,3,1\n";
  std::ofstream("h.tsv") << "# exported\nfrom\tto\n1\t2\n2\t3\n";
  std::ofstream("hh.csv") << "source,target\nsource,target\n1,2\n";
  for (const char *name : {"h.csv", "h.tsv"}) {
    ProgramResult r = cuttree({name});
    EXPECT_EQ(r.status, 0) << name << ": " << r.err;
    EXPECT_EQ(r.out, tree) << name;
  }
  // Two components, {source, target} and {1, 2}: the second hangs from the
  // root by 0.
  const std::string twoPairs = "c cut tree by Gusfield's method: 4 nodes\np tree 4 3\n";
  ProgramResult r = cuttree({"hh.csv"});
  EXPECT_EQ(r.out, twoPairs + "t target source 1\nt 1 source 0\nt 2 1 1\n") << r.err;
  // A first line that starts like a number is no header: "-1" is a name.
  r = cuttree({"--format", "edges"}, "-1 -2\n1 2\n");
  EXPECT_EQ(r.out, twoPairs + "t -2 -1 1\nt 1 -1 0\nt 2 1 1\n") << r.err;
  expectError(cuttree({"--format", "edges"}, "a b c d\n1 2\n"), 1,
              "cuttree: <stdin>:1: edge line needs 2 or 3 fields (U V [CAPACITY]), not 4\n");
  r = cuttree({}, path);
  EXPECT_EQ(r.out, tree) << r.err;
  r = cuttree({}, "x 1 2\n");
  EXPECT_EQ(r.out, "c cut tree by Gusfield's method: 2 nodes\np tree 2 1\nt 1 x 2\n") << r.err;
  expectError(cuttree({"--format", "dimacs"}, path), 1, "cuttree: <stdin>:1: unknown line type '1'\n");
  expectError(cuttree({}, "p cut 3 1\nx 1 2\n"), 1, "cuttree: <stdin>:2: unknown line type 'x'\n");
}

// A pairs file is read as strictly as a graph: every fault names its line,
// and binary or endless input ends at once.
TEST(CuttreeHostile, PairsFilesAreStrict) {
  const std::string four = "p cut 4 4\na 1 2 4\na 1 3 1\na 2 3 3\na 3 4 1\n";
  std::ofstream("twice.txt") << "1 2\n# a comment\n\n3 3 # one node twice\n";
  std::ofstream("absent.txt") << "1 2\n4 9\n";
  std::ofstream("three.txt") << "1 2 3\n";
  std::ofstream("good.txt") << "1 4 # the bridge\n\n  2\t3\n";
  expectError(cuttree({"--pairs", "twice.txt"}, four), 2,
              "cuttree: twice.txt:4: 3 3: the two nodes must differ\n");
  expectError(cuttree({"--pairs", "absent.txt"}, four), 2,
              "cuttree: absent.txt:2: node 9 is not in the instance (its nodes are 1 ... 4)\n");
  expectError(cuttree({"--pairs", "three.txt"}, four), 2,
              "cuttree: three.txt:1: pair line needs 2 fields (U V), not 3\n");
  expectError(cuttree({"--pairs", "/dev/zero"}, four), 2,
              "cuttree: /dev/zero:1: line contains a NUL byte: the input is not text\n");
  mkdir("a_directory", 0755);
  expectError(cuttree({"--pairs", "a_directory"}, four), 2,
              "cuttree: cannot read a_directory: Is a directory\n");
  // Values by hand: {4} weighs 1, {1,2} | {3,4} weighs 4.
  ProgramResult r = cuttree({"--query", "2", "1", "--pairs", "good.txt"}, four);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "q 2 1 5\nq 1 4 1\nq 2 3 4\n");
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Under an address-space limit a run ends with "not enough memory for ..."
// and status 1 wherever its memory runs out. The limits run from too
// little to read the file to enough for the whole run, so the failures
// fall in different stages.
TEST(CuttreeHostile, MemoryThatRunsOutIsAMessageAtEveryStage) {
  {
    std::ofstream path("long_path.edges");
    for (int k = 1; k < 300000; k++) path << k << ' ' << k + 1 << ' ' << 1 + k % 5 << '\n';
    for (int k = 1; k + 2 < 300000; k += 3) path << k << ' ' << k + 2 << " 1\n";
  }
  std::set<std::string> stages;
  bool finished = false;
  for (int megabytes = 20; megabytes <= 400 && !finished; megabytes += 10) {
    std::string limit = "ulimit -v " + std::to_string(megabytes * 1024) + " || exit 99; ";
    ProgramResult r = viaShell(limit + "exec \"$0\" -j1 --mincut long_path.edges");
    ASSERT_NE(r.status, 99);
    SCOPED_TRACE(std::to_string(megabytes) + " MB: " + r.err);
    if (r.status == 0) {
      finished = true;
      continue;
    }
    ASSERT_EQ(r.status, 1);
    ASSERT_EQ(r.err.rfind("cuttree: not enough memory", 0), 0u);
    ASSERT_EQ(r.err.find('\n'), r.err.size() - 1);
    stages.insert(r.err.substr(0, r.err.find(" of ")));
  }
  EXPECT_TRUE(finished);
  EXPECT_GE(stages.size(), 2u);
  // Push-relabel's records take about 1.5 kB a node: 30 MB for a ring of
  // 20,000 nodes, which reads and splits in far less.
  {
    std::ofstream ring("ring.edges");
    for (int k = 1; k <= 20000; k++) ring << k << ' ' << k % 20000 + 1 << ' ' << 1 + k % 5 << '\n';
  }
  ProgramResult engines = viaShell("ulimit -v 30720 || exit 99; exec \"$0\" -j1 --engine relabel ring.edges");
  EXPECT_EQ(engines.status, 1);
  EXPECT_EQ(engines.err,
            "cuttree: not enough memory for the cut computations of a graph of 20000 nodes and 20000 "
            "edges\n");
  // A header that declares 400,000,000 nodes: their ids alone take 3.2 GB.
  ProgramResult r = viaShell("ulimit -v 2000000 || exit 99; printf 'p cut 400000000 1\\na 1 400000000 1\\n' | "
                             "exec \"$0\" -j1");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("cuttree: not enough memory for a graph of 400000000 nodes", 0), 0u) << r.err;
}
#endif

}  // namespace
