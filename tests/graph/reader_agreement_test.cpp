// The two readers of instance text side by side: dimacsParse
// (graph/dimacs.cpp), which the sunder program reads its input with, and
// the library's Dimacs reader (lib/formats/dimacs.cpp). Both are fed the
// same small texts; for each text the test pins whether both accept it
// (and build the same graph), both reject it, or only one accepts it, with
// the reason for every difference. A change to either reader that moves a
// text from one group to another fails here.
//
// dimacsParse ends the process on a rejected text, so it runs in a child
// process that writes the graph it built (or the reader's message) to a
// pipe.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "graph/graph.h"
#include "sunder/error.h"
#include "sunder/formats.h"

using namespace std::string_literals;

namespace {

using Arc = std::tuple<int64_t, int64_t, int64_t>;  // tail, head, capacity

// What a reader made of a text: a graph of `nodes` nodes and its arcs, both
// directions of every edge, sorted; or a rejection with its message.
struct Outcome {
  bool accepted = false;
  int64_t nodes = 0;
  std::vector<Arc> arcs;
  std::string message;
};

void writeGraph(FILE *out, const graph *g) {
  fprintf(out, "%d\n", g->n);
  for (int32_t k = 0; k < g->n; k++)
    for (const arc *a = g->nodes[k].first; a != nullptr; a = a->next)
      fprintf(out, "%d %ld %ld\n", k, static_cast<long>(a->head - g->nodes), static_cast<long>(a->cap));
}

Outcome sunderReads(const std::string &text) {
  int link[2];
  if (pipe(link) != 0) throw std::runtime_error("pipe failed");
  fflush(nullptr);
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    close(link[0]);
    dup2(link[1], 1);
    FILE *in = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
    if (in == nullptr) _exit(3);
    graph *g = dimacsParse(in);  // prints its message and exits on a rejection
    writeGraph(stdout, g);
    fflush(stdout);
    _exit(0);
  }
  close(link[1]);
  std::string out;
  char buf[4096];
  ssize_t k;
  while ((k = read(link[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(k));
  close(link[0]);
  int status = 0;
  waitpid(child, &status, 0);
  Outcome o;
  if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 1))
    throw std::runtime_error("the reader's child ended with status " + std::to_string(status));
  if (WEXITSTATUS(status) == 1) {
    o.message = out;
    return o;
  }
  o.accepted = true;
  FILE *lines = fmemopen(out.data(), out.size(), "r");
  long n = 0, t, h, c;
  if (fscanf(lines, "%ld", &n) != 1) throw std::runtime_error("no node count from the child");
  o.nodes = n;
  while (fscanf(lines, "%ld %ld %ld", &t, &h, &c) == 3) o.arcs.emplace_back(t, h, c);
  fclose(lines);
  std::sort(o.arcs.begin(), o.arcs.end());
  return o;
}

Outcome libraryReads(const std::string &text) {
  Outcome o;
  try {
    sunder::GraphFile file = sunder::readGraphText(text, sunder::Format::Dimacs);
    o.accepted = true;
    o.nodes = file.graph.nodeCount();
    for (const sunder::Edge &e : file.graph.edges()) {
      o.arcs.emplace_back(e.u, e.v, e.capacity);
      o.arcs.emplace_back(e.v, e.u, e.capacity);
    }
    std::sort(o.arcs.begin(), o.arcs.end());
  } catch (const sunder::Error &e) {
    o.message = e.what();
  }
  return o;
}

enum class Verdict { BothAccept, BothReject, OnlySunder, OnlyLibrary, DifferentGraphs };

const char *nameOf(Verdict v) {
  switch (v) {
    case Verdict::BothAccept: return "both accept";
    case Verdict::BothReject: return "both reject";
    case Verdict::OnlySunder: return "only sunder's reader accepts";
    case Verdict::OnlyLibrary: return "only the library accepts";
    default: return "both accept, with different graphs";
  }
}

struct Case {
  const char *what;
  std::string text;
  Verdict verdict;
};

const std::string kArcs = "a 1 2 5\na 2 3 7\n";
const std::string kProblem = "p cut 3 2\n";

// Every difference carries its reason. dimacsParse reads 99 bytes at a
// time and tells a line (or a piece of a longer one) by its first byte
// alone, then scans it like "%*c %d %d %ld" and ignores the rest; the
// library splits whole lines into blank-separated fields and wants each
// field whole and the exact field count.
const std::vector<Case> kCorpus = {
    {"the usual form", kProblem + kArcs, Verdict::BothAccept},
    {"comment lines, also one without a blank after the c",
     "c a comment\n" + kProblem + "comment\n" + kArcs, Verdict::BothAccept},
    {"an empty line", kProblem + "\n" + kArcs, Verdict::BothAccept},
    {"tabs and runs of blanks between the fields", "p\tcut  3\t2\na\t1 \t2   5\na 2\t3\t7\n",
     Verdict::BothAccept},
    {"CRLF line ends", "p cut 3 2\r\na 1 2 5\r\na 2 3 7\r\n", Verdict::BothAccept},
    {"no newline after the last line", kProblem + "a 1 2 5\na 2 3 7", Verdict::BothAccept},
    {"node number 0 and unused declared numbers", "p cut 9 2\na 0 1 5\na 1 2 7\n",
     Verdict::BothAccept},
    {"a self loop, parallel edges and a zero capacity", "p cut 3 4\na 2 2 5\na 1 2 3\na 2 1 4\na 2 3 0\n",
     Verdict::BothAccept},
    {"signs and leading zeros", "p cut 3 2\na +1 02 5\na 2 3 -0\n", Verdict::BothAccept},
    {"the largest capacity of 32 bits", "p cut 3 2\na 1 2 2147483647\na 2 3 7\n",
     Verdict::BothAccept},
    // A line of blanks is no empty line to dimacsParse: its first byte is a
    // blank, an unknown line type. The library skips lines of blanks.
    {"a line of blanks", kProblem + "   \n" + kArcs, Verdict::OnlyLibrary},
    // The same for a CRLF empty line: '\r' is its first byte.
    {"an empty CRLF line", kProblem + "\r\n" + kArcs, Verdict::OnlyLibrary},
    {"a leading blank before the problem line", " " + kProblem + kArcs, Verdict::BothReject},
    {"a leading blank before an arc line", kProblem + " a 1 2 5\na 2 3 7\n", Verdict::BothReject},
    {"a leading blank before a comment", " c note\n" + kProblem + kArcs, Verdict::BothReject},
    // dimacsParse ignores what follows the fields it scans.
    {"an extra field in an arc line", kProblem + "a 1 2 5 9\na 2 3 7\n", Verdict::OnlySunder},
    {"an extra field in the problem line", "p cut 3 2 x\n" + kArcs, Verdict::OnlySunder},
    // The scan of "%*c ..." skips the line's first byte and then blanks if
    // any: the letter need not stand alone.
    {"no blank after the line's letter", "pcut 3 2\na1 2 5\na 2 3 7\n", Verdict::OnlySunder},
    // The scan of a number stops at the first byte that is no digit.
    {"a capacity with letters after it", kProblem + "a 1 2 5x\na 2 3 7\n", Verdict::OnlySunder},
    {"a capacity with a decimal point", kProblem + "a 1 2 5.0\na 2 3 7\n", Verdict::OnlySunder},
    // dimacsParse takes capacities of 32 bits, negative ones too; the
    // library takes 64 bits but nothing negative.
    {"a negative capacity", kProblem + "a 1 2 -3\na 2 3 7\n", Verdict::OnlySunder},
    {"a capacity past 32 bits", kProblem + "a 1 2 2147483648\na 2 3 7\n", Verdict::OnlyLibrary},
    {"a capacity of 5e9", kProblem + "a 1 2 5000000000\na 2 3 7\n", Verdict::OnlyLibrary},
    {"a capacity past 64 bits", kProblem + "a 1 2 99999999999999999999\na 2 3 7\n",
     Verdict::BothReject},
    // fgets stops at neither a NUL byte nor the scan, which ends there; the
    // library refuses a NUL byte as not text.
    {"a NUL byte after the fields", kProblem + "a 1 2 5\0junk\n"s + "a 2 3 7\n", Verdict::OnlySunder},
    // A line past 99 bytes is read in pieces, each classified by its first
    // byte: the rest of a long comment is an unknown line.
    {"a comment of 150 bytes", "c " + std::string(148, 'x') + "\n" + kProblem + kArcs,
     Verdict::OnlyLibrary},
    {"an arc line padded past 99 bytes", kProblem + "a 1 2" + std::string(100, ' ') + "5\na 2 3 7\n",
     Verdict::OnlyLibrary},
    {"an empty text", "", Verdict::BothReject},
    {"comments only", "c one\nc two\n", Verdict::BothReject},
    {"an arc line before the problem line", "a 1 2 5\n" + kProblem + "a 2 3 7\n",
     Verdict::BothReject},
    {"two problem lines", kProblem + kProblem + kArcs, Verdict::BothReject},
    {"a missing arc line", kProblem + "a 1 2 5\n", Verdict::BothReject},
    {"an arc line too many", "p cut 3 1\n" + kArcs, Verdict::BothReject},
    {"an arc line of three fields", kProblem + "a 1 2\na 2 3 7\n", Verdict::BothReject},
    {"a node number past N", kProblem + "a 1 4 5\na 2 3 7\n", Verdict::BothReject},
    {"a negative node number", kProblem + "a -1 2 5\na 2 3 7\n", Verdict::BothReject},
    {"a problem type other than cut", "p max 3 2\n" + kArcs, Verdict::BothReject},
    {"a problem type that starts with cut", "p cuts 3 2\n" + kArcs, Verdict::BothReject},
    {"an upper-case letter", "P cut 3 2\n" + kArcs, Verdict::BothReject},
    {"node count 0", "p cut 0 2\n" + kArcs, Verdict::BothReject},
    {"node count 2^31 - 1", "p cut 2147483647 2\n" + kArcs, Verdict::BothReject},
    {"edge count 2^30", "p cut 3 1073741824\n" + kArcs, Verdict::BothReject},
};

Verdict verdictOf(const Outcome &sunder, const Outcome &library) {
  if (sunder.accepted && library.accepted)
    return sunder.nodes == library.nodes && sunder.arcs == library.arcs ? Verdict::BothAccept
                                                                        : Verdict::DifferentGraphs;
  if (sunder.accepted) return Verdict::OnlySunder;
  return library.accepted ? Verdict::OnlyLibrary : Verdict::BothReject;
}

TEST(ReaderAgreement, EveryTextOfTheCorpusIsPinned) {
  for (const Case &c : kCorpus) {
    const Outcome sunder = sunderReads(c.text), library = libraryReads(c.text);
    EXPECT_STREQ(nameOf(verdictOf(sunder, library)), nameOf(c.verdict))
        << c.what << "\nsunder: " << (sunder.accepted ? "accepted" : sunder.message)
        << "\nlibrary: " << (library.accepted ? "accepted" : library.message);
  }
}

// The graph both build of the usual form, by hand: nodes 1, 2 and 3 as
// ids 0, 1 and 2, both directions of each edge.
TEST(ReaderAgreement, TheUsualFormGivesTheGraphWorkedOutByHand) {
  const std::vector<Arc> want{{0, 1, 5}, {1, 0, 5}, {1, 2, 7}, {2, 1, 7}};
  const Outcome sunder = sunderReads(kProblem + kArcs), library = libraryReads(kProblem + kArcs);
  ASSERT_TRUE(sunder.accepted && library.accepted);
  EXPECT_EQ(sunder.nodes, 3);
  EXPECT_EQ(sunder.arcs, want);
  EXPECT_EQ(library.nodes, 3);
  EXPECT_EQ(library.arcs, want);
}

}  // namespace
