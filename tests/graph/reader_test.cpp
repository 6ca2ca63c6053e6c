// Tests of the cut-instance reader.
//
// Rejected instances go through the sunder program, which reads standard
// input with dimacsParse: the whole of standard output must be the one
// numbered message "\nline %d of input - %s\n", standard error must stay
// empty, and the exit status must be 1. Accepted instances are read in
// process from a memory stream, and the graph built from them is inspected.
#include "graph/graph.h"

#include "run_program.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

using namespace std::string_literals;

namespace {

const char *const kSunder = SUNDER_PATH;

// The reader's messages, by number.
const char *const kMoreThanOneProblemLine = "more than one problem line.";
const char *const kProblemParameterCount =
    "wrong number of parameters in the problem line.";
const char *const kNotCutProblem = "it is not a Max Flow problem line.";
const char *const kBadProblemValue =
    "bad value of a parameter in the problem line.";
const char *const kNoProblemName = "can't read problem name.";
const char *const kTooManyArcs = "too many arcs in the input.";
const char *const kArcParameterCount =
    "wrong number of parameters in the arc line.";
const char *const kBadArcValue = "wrong value of parameters in the arc line.";
const char *const kUnknownLine = "unknown line type in the input.";
const char *const kReadingError = "reading error.";
const char *const kNotEnoughArcs = "not enough arcs in the input.";
const char *const kNothingToRead = "can't read anything from the input file.";

std::string errorText(int line, const char *message) {
  return "\nline " + std::to_string(line) + " of input - " + message + "\n";
}

// Runs sunder on `input` and checks that the reader rejected it on `line`
// with `message`.
void expectRejected(const std::string &input, int line, const char *message) {
  ProgramResult r = runProgram(kSunder, {}, input);
  EXPECT_EQ(r.out, errorText(line, message)) << "input: [" << input << "]";
  EXPECT_EQ(r.err, "") << "input: [" << input << "]";
  EXPECT_EQ(r.status, 1) << "input: [" << input << "]";
}

// Reads `text` in process. A rejection ends the test program, which fails
// the test that caused it.
graph *parse(const std::string &text) {
  FILE *f = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
  if (f == nullptr) throw std::runtime_error("fmemopen failed");
  graph *g = dimacsParse(f);
  fclose(f);
  return g;
}

long pos(const graph *g, const arc *a) { return a - g->arcs; }

// ---------------------------------------------------------------------------
// Rejections, one group per message.

TEST(ReaderRejects, EmptyInputReadsNothing) {
  ProgramResult r = runProgram(kSunder, {}, "");
  EXPECT_EQ(r.out, "\nline 0 of input - can't read anything from the input file.\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 1);
}

TEST(ReaderRejects, ReadErrorBeforeAnyLine) {
  // A directory as standard input opens but cannot be read.
  std::string command = "'"s + kSunder + "' </ 2>&1";
  FILE *p = popen(command.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  int c;
  while ((c = fgetc(p)) != EOF) out.push_back(static_cast<char>(c));
  int status = pclose(p);
  EXPECT_EQ(out, errorText(0, kReadingError));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(ReaderRejects, SecondProblemLine) {
  expectRejected("p cut 2 1\np cut 2 1\na 1 2 3\n", 2, kMoreThanOneProblemLine);
  expectRejected("c\np cut 2 1\na 1 2 3\n\np cut 2 1\n", 5,
                 kMoreThanOneProblemLine);
  // The repeat is found before the second line is scanned.
  expectRejected("p cut 2 1\np max\n", 2, kMoreThanOneProblemLine);
}

TEST(ReaderRejects, ProblemLineWithTooFewItems) {
  expectRejected("p cut 3\n", 1, kProblemParameterCount);
  expectRejected("p\n", 1, kProblemParameterCount);
  expectRejected("p cut\n", 1, kProblemParameterCount);
  expectRejected("c a comment\n\np cut 5 x\n", 3, kProblemParameterCount);
  // The letter s stops the first number, so only the word is read.
  expectRejected("p cuts 5 6\n", 1, kProblemParameterCount);
  // The count is checked before the word.
  expectRejected("p max 3\n", 1, kProblemParameterCount);
}

TEST(ReaderRejects, ProblemWordOtherThanCut) {
  expectRejected("p max 3 2\n", 1, kNotCutProblem);
  expectRejected("p cu 3 2\n", 1, kNotCutProblem);
  expectRejected("p CUT 3 2\n", 1, kNotCutProblem);
  expectRejected("c\np min 3 2\n", 2, kNotCutProblem);
  // The word is checked before the values.
  expectRejected("p max 0 0\n", 1, kNotCutProblem);
}

TEST(ReaderRejects, ProblemCountsNotPositive) {
  expectRejected("p cut 0 1\n", 1, kBadProblemValue);
  expectRejected("p cut 3 0\n", 1, kBadProblemValue);
  expectRejected("p cut -1 2\n", 1, kBadProblemValue);
  expectRejected("c\nc\np cut 3 -2\n", 3, kBadProblemValue);
}

TEST(ReaderRejects, ProblemCountsBeyondThirtyTwoBits) {
  expectRejected("p cut 2147483648 1\n", 1, kBadProblemValue);
  expectRejected("p cut 4294967299 1\n", 1, kBadProblemValue);
  expectRejected("p cut 2 4294967297\n", 1, kBadProblemValue);
  expectRejected("p cut 2 99999999999\n", 1, kBadProblemValue);
  expectRejected("p cut -4294967295 1\n", 1, kBadProblemValue);
  // Room for the numbers 0 ... N takes N + 1, which must fit as well.
  expectRejected("p cut 2147483647 1\n", 1, kBadProblemValue);
}

TEST(ReaderRejects, ArcBeforeProblemLine) {
  expectRejected("a 1 2 3\np cut 2 1\n", 1, kNoProblemName);
  expectRejected("c\n\na 1 2 3\np cut 2 1\n", 3, kNoProblemName);
  // The missing problem line is found before the arc is scanned.
  expectRejected("a x\n", 1, kNoProblemName);
}

TEST(ReaderRejects, NoProblemLineAtAll) {
  expectRejected("c only comments\n\nc and empty lines\n", 3, kNoProblemName);
  expectRejected("\n", 1, kNoProblemName);
  expectRejected("c no newline at the end", 1, kNoProblemName);
}

TEST(ReaderRejects, ArcAfterTheLastOne) {
  expectRejected("p cut 2 1\na 1 2 3\na 2 1 4\n", 3, kTooManyArcs);
  expectRejected("p cut 3 2\na 1 2 3\nc\na 2 3 4\n\na 3 1 5\n", 6, kTooManyArcs);
  // The count is checked before the fields.
  expectRejected("p cut 2 1\na 1 2 3\na 9 9 9\n", 3, kTooManyArcs);
  expectRejected("p cut 2 1\na 1 2 3\na\n", 3, kTooManyArcs);
}

TEST(ReaderRejects, ArcLineWithTooFewItems) {
  expectRejected("p cut 2 1\na 1 2\n", 2, kArcParameterCount);
  expectRejected("p cut 2 1\na 1 2 x\n", 2, kArcParameterCount);
  expectRejected("p cut 2 1\na 1 x 3\n", 2, kArcParameterCount);
  expectRejected("p cut 2 1\na\n", 2, kArcParameterCount);
  expectRejected("p cut 3 2\na 1 2 3\nc\na 2\n", 4, kArcParameterCount);
}

TEST(ReaderRejects, ArcEndOutsideTheNodeRange) {
  expectRejected("p cut 3 1\na 4 1 1\n", 2, kBadArcValue);
  expectRejected("p cut 3 1\na 1 4 1\n", 2, kBadArcValue);
  expectRejected("p cut 3 1\na -1 2 1\n", 2, kBadArcValue);
  expectRejected("p cut 3 2\na 1 2 1\na 2 -1 1\n", 3, kBadArcValue);
}

TEST(ReaderRejects, ArcFieldBeyondThirtyTwoBits) {
  // 4294967297 and 4294967298 are 1 and 2 once cut to 32 bits.
  expectRejected("p cut 3 1\na 4294967297 2 5\n", 2, kBadArcValue);
  expectRejected("p cut 3 1\na 1 4294967298 5\n", 2, kBadArcValue);
  expectRejected("p cut 3 1\na 1 2 2147483648\n", 2, kBadArcValue);
  expectRejected("p cut 3 1\na 1 2 4294967295\n", 2, kBadArcValue);
  expectRejected("p cut 3 1\na 1 2 -2147483649\n", 2, kBadArcValue);
}

TEST(ReaderRejects, UnknownFirstCharacter) {
  expectRejected("x\n", 1, kUnknownLine);
  expectRejected("P cut 2 1\n", 1, kUnknownLine);
  expectRejected("p cut 2 1\nA 1 2 3\n", 2, kUnknownLine);
  // No node-designation lines, wherever they stand.
  expectRejected("n 1 s\n", 1, kUnknownLine);
  expectRejected("c\np cut 2 1\nn 1 s\na 1 2 3\n", 3, kUnknownLine);
  expectRejected("p cut 2 1\na 1 2 3\nn 2 t\n", 3, kUnknownLine);
  // Only a newline or a NUL in the first position makes a line empty.
  expectRejected(" p cut 2 1\n", 1, kUnknownLine);
  expectRejected("\tc comment\n", 1, kUnknownLine);
  expectRejected("p cut 2 1\n\r\na 1 2 3\n", 2, kUnknownLine);
  expectRejected("p cut 2 1\na 1 2 3\n \n", 3, kUnknownLine);
  // A bad line is found before the input ends short of arcs.
  expectRejected("p cut 3 2\na 1 2 3\nx\n", 3, kUnknownLine);
}

TEST(ReaderRejects, LineStartingWithNulIsEmptyButCounted) {
  expectRejected("\0zzz\nx\n"s, 2, kUnknownLine);
  expectRejected("p cut 2 1\n\0\na 1 2 3\n\0 9\nq\n"s, 5, kUnknownLine);
}

TEST(ReaderRejects, TooFewArcsCountsEveryLineRead) {
  expectRejected("p cut 3 2\na 1 2 3\n", 2, kNotEnoughArcs);
  expectRejected("p cut 3 2\n", 1, kNotEnoughArcs);
  expectRejected("p cut 3 2\na 1 2 3", 2, kNotEnoughArcs);
  expectRejected("c\np cut 3 2\na 1 2 3\nc end\n\n", 5, kNotEnoughArcs);
}

// A line longer than 99 characters is read in pieces of at most 99; each
// further piece is counted as a line and classified by its first character.
TEST(ReaderLongLines, PieceOfCommentStartingWithOtherLetter) {
  std::string comment = "c" + std::string(98, '-');  // characters 1-99
  comment += "x" + std::string(50, '-') + "\n";      // 100th is 'x', 150 long
  expectRejected(comment, 2, kUnknownLine);
}

TEST(ReaderLongLines, PiecesOfCommentStartingWithC) {
  std::string comment = "c" + std::string(98, '-') +  // piece 1: 99 characters
                        "c" + std::string(98, '-') +  // piece 2: 99 characters
                        "c" + std::string(10, '-') + "\n";  // piece 3
  expectRejected(comment + "x\n", 4, kUnknownLine);
}

TEST(ReaderLongLines, NewlineBeyondTheNinetyNinthCharacter) {
  // 98 characters and the newline fit in one piece.
  expectRejected("c" + std::string(97, '-') + "\nx\n", 2, kUnknownLine);
  // 99 characters fill the piece; the newline alone is the next, empty line.
  expectRejected("c" + std::string(98, '-') + "\nx\n", 3, kUnknownLine);
}

TEST(ReaderLongLines, ArcLinePaddedWithBlanks) {
  std::string arcLine = "a 1 2 3" + std::string(113, ' ') + "\n";  // 120 long
  expectRejected("p cut 2 1\n" + arcLine, 3, kUnknownLine);
}

// ---------------------------------------------------------------------------
// Accepted instances, read in process.

TEST(ReaderAccepts, OneEdgeBetweenTwoOfThreeNumbers) {
  graph *g = parse("p cut 3 1\na 1 2 5\n");
  ASSERT_EQ(g->n, 2);
  EXPECT_EQ(g->curN, 2);
  EXPECT_EQ(g->m, 1);
  EXPECT_EQ(g->minCut, std::numeric_limits<int64_t>::max());
  EXPECT_EQ(g->nodes, g->vertexalloc + 1);  // id 0 is number 1
  EXPECT_EQ(g->endNode, g->nodes + 2);

  arc *a = g->nodes[0].first;
  arc *b = g->nodes[1].first;
  ASSERT_EQ(a, g->arcs + 0);
  ASSERT_EQ(b, g->arcs + 1);
  EXPECT_EQ(a->next, nullptr);
  EXPECT_EQ(b->next, nullptr);
  EXPECT_EQ(a->head, g->nodes + 1);
  EXPECT_EQ(b->head, g->nodes + 0);
  EXPECT_EQ(a->rev, b);
  EXPECT_EQ(b->rev, a);
  EXPECT_EQ(a->cap, 5);
  EXPECT_EQ(a->resCap, 5);
  EXPECT_EQ(b->cap, 5);
  EXPECT_EQ(b->resCap, 5);
  freeGraph(g);
}

TEST(ReaderAccepts, PlacementMovesTheSecondLinesArcFirst) {
  graph *g = parse("p cut 3 2\na 2 1 5\na 1 3 6\n");
  ASSERT_EQ(g->n, 3);
  ASSERT_EQ(g->nodes, g->vertexalloc + 1);
  node *n1 = g->nodes + 0, *n2 = g->nodes + 1, *n3 = g->nodes + 2;
  arc *A = g->arcs;

  // Number 1: to 3 at position 0, then to 2 at position 1.
  ASSERT_EQ(n1->first, A + 0);
  EXPECT_EQ(A[0].head, n3);
  EXPECT_EQ(A[0].cap, 6);
  ASSERT_EQ(A[0].next, A + 1);
  EXPECT_EQ(A[1].head, n2);
  EXPECT_EQ(A[1].cap, 5);
  EXPECT_EQ(A[1].next, nullptr);
  // Number 2: to 1 at position 2. Number 3: to 1 at position 3.
  ASSERT_EQ(n2->first, A + 2);
  EXPECT_EQ(A[2].head, n1);
  EXPECT_EQ(A[2].cap, 5);
  EXPECT_EQ(A[2].next, nullptr);
  ASSERT_EQ(n3->first, A + 3);
  EXPECT_EQ(A[3].head, n1);
  EXPECT_EQ(A[3].cap, 6);
  EXPECT_EQ(A[3].next, nullptr);

  EXPECT_EQ(A[0].rev, A + 3);
  EXPECT_EQ(A[3].rev, A + 0);
  EXPECT_EQ(A[1].rev, A + 2);
  EXPECT_EQ(A[2].rev, A + 1);
  freeGraph(g);
}

TEST(ReaderAccepts, TriangleListsInPositionOrder) {
  graph *g = parse("p cut 3 3\na 1 2 10\na 1 3 20\na 2 3 30\n");
  ASSERT_EQ(g->n, 3);
  node *N = g->nodes;
  arc *A = g->arcs;
  // tail, head (ids), capacity and reverse position of positions 0 ... 5.
  const int head[6] = {1, 2, 0, 2, 0, 1};
  const int64_t cap[6] = {10, 20, 10, 30, 20, 30};
  const int rev[6] = {2, 4, 0, 5, 1, 3};
  EXPECT_EQ(N[0].first, A + 0);
  EXPECT_EQ(N[1].first, A + 2);
  EXPECT_EQ(N[2].first, A + 4);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE("position " + std::to_string(i));
    EXPECT_EQ(A[i].head, N + head[i]);
    EXPECT_EQ(A[i].cap, cap[i]);
    EXPECT_EQ(A[i].resCap, cap[i]);
    EXPECT_EQ(A[i].rev, A + rev[i]);
    EXPECT_EQ(A[i].next, i % 2 == 0 ? A + i + 1 : nullptr);
  }
  freeGraph(g);
}

TEST(ReaderAccepts, NumbersFromZeroWithAnUnusedMiddle) {
  graph *g = parse("p cut 2 1\na 0 2 4\n");
  ASSERT_EQ(g->n, 3);
  EXPECT_EQ(g->curN, 3);
  EXPECT_EQ(g->nodes, g->vertexalloc);
  EXPECT_EQ(g->endNode, g->nodes + 3);
  EXPECT_EQ(g->nodes[1].first, nullptr);
  ASSERT_EQ(g->nodes[0].first, g->arcs + 0);
  ASSERT_EQ(g->nodes[2].first, g->arcs + 1);
  EXPECT_EQ(g->arcs[0].head, g->nodes + 2);
  EXPECT_EQ(g->arcs[1].head, g->nodes + 0);
  EXPECT_EQ(g->arcs[0].cap, 4);
  freeGraph(g);
}

TEST(ReaderAccepts, NodesSpanOnlyTheUsedNumbers) {
  graph *g = parse("p cut 5 3\na 3 4 1\na 2 4 1\na 4 3 2\n");
  EXPECT_EQ(g->n, 3);
  EXPECT_EQ(g->curN, 3);
  EXPECT_EQ(g->m, 3);
  EXPECT_EQ(g->nodes, g->vertexalloc + 2);
  EXPECT_EQ(g->endNode, g->nodes + 3);
  freeGraph(g);
}

TEST(ReaderAccepts, SelfLoopIsTwoArcsInOneList) {
  graph *g = parse("p cut 3 1\na 2 2 9\n");
  ASSERT_EQ(g->n, 1);
  ASSERT_EQ(g->nodes, g->vertexalloc + 2);
  arc *a = g->nodes[0].first;
  ASSERT_EQ(a, g->arcs + 0);
  arc *b = a->next;
  ASSERT_EQ(b, g->arcs + 1);
  EXPECT_EQ(b->next, nullptr);
  EXPECT_EQ(a->rev, b);
  EXPECT_EQ(b->rev, a);
  EXPECT_EQ(a->head, g->nodes);
  EXPECT_EQ(b->head, g->nodes);
  EXPECT_EQ(a->cap, 9);
  EXPECT_EQ(b->cap, 9);
  freeGraph(g);
}

TEST(ReaderAccepts, CapacitiesStoredUnchanged) {
  graph *g = parse("p cut 4 4\na 1 2 -4\na 2 3 0\na 3 4 2147483647\n"
                   "a 4 1 -2147483648\n");
  ASSERT_EQ(g->n, 4);
  // Per edge, in input order, the capacity both of its arcs must carry.
  const int64_t expected[4] = {-4, 0, 2147483647, -2147483648LL};
  const int ends[4][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};
  for (int e = 0; e < 4; ++e) {
    SCOPED_TRACE("edge " + std::to_string(e));
    int found = 0;
    for (arc *a = g->nodes[ends[e][0]].first; a; a = a->next) {
      if (a->head != g->nodes + ends[e][1]) continue;
      ++found;
      EXPECT_EQ(a->cap, expected[e]);
      EXPECT_EQ(a->resCap, expected[e]);
      EXPECT_EQ(a->rev->cap, expected[e]);
      EXPECT_EQ(a->rev->resCap, expected[e]);
    }
    EXPECT_EQ(found, 1);
  }
  freeGraph(g);
}

TEST(ReaderAccepts, ParallelEdgesStaySeparate) {
  graph *g = parse("p cut 2 3\na 1 2 1\na 2 1 2\na 1 2 4\n");
  ASSERT_EQ(g->n, 2);
  int64_t sum = 0;
  int count = 0;
  for (arc *a = g->nodes[0].first; a; a = a->next) {
    EXPECT_EQ(a->head, g->nodes + 1);
    sum += a->cap;
    ++count;
  }
  EXPECT_EQ(count, 3);
  EXPECT_EQ(sum, 7);
  freeGraph(g);
}

TEST(ReaderAccepts, ProblemLineScanQuirks) {
  // The word takes at most three characters: N = 5 and M = 6.
  graph *g = parse("p cut5 6 7\na 1 2 1\na 2 3 1\na 3 4 1\na 4 5 1\n"
                   "a 5 1 1\na 0 5 1\n");
  EXPECT_EQ(g->m, 6);
  EXPECT_EQ(g->n, 6);  // numbers 0 ... 5
  freeGraph(g);
  // No blank needed after the letter p; text after M is ignored.
  g = parse("pcut 2 1\na 1 2 7\n");
  EXPECT_EQ(g->n, 2);
  EXPECT_EQ(g->m, 1);
  freeGraph(g);
  g = parse("p\tcut  2\t1 and more\r\na 1 2 7 and more\r\n");
  EXPECT_EQ(g->n, 2);
  EXPECT_EQ(g->arcs[0].cap, 7);
  freeGraph(g);
}

TEST(ReaderAccepts, CommentsEmptyAndNulLinesAnywhere) {
  graph *g = parse("c head\n\n\0junk\np cut 2 1\nc\n\0\n\na 1 2 3\nc tail\n\n"s);
  EXPECT_EQ(g->n, 2);
  EXPECT_EQ(g->arcs[0].cap, 3);
  freeGraph(g);
  // The last line needs no newline.
  g = parse("p cut 2 1\na 2 1 8");
  EXPECT_EQ(g->n, 2);
  EXPECT_EQ(g->arcs[0].cap, 8);
  freeGraph(g);
}

TEST(ReaderAccepts, LongLinesWhosePiecesAreComments) {
  std::string text = "c" + std::string(98, '-') + "c" + std::string(50, '-') + "\n";
  text += "p cut 2 1" + std::string(90, ' ') + "c" + std::string(20, ' ') + "\n";
  text += "a 1 2 3" + std::string(92, ' ') + "c more\n";
  graph *g = parse(text);
  EXPECT_EQ(g->n, 2);
  EXPECT_EQ(g->m, 1);
  EXPECT_EQ(g->arcs[0].cap, 3);
  freeGraph(g);
}

TEST(ReaderAccepts, ArcEndsAtTheRangeLimits) {
  graph *g = parse("p cut 4 2\na 0 4 1\na 4 0 2\n");
  EXPECT_EQ(g->n, 5);
  EXPECT_EQ(g->nodes, g->vertexalloc);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(g->nodes[k].first, nullptr);
  freeGraph(g);
}

// ---------------------------------------------------------------------------
// Structure of the graph for random instances.

struct Edge {
  int tail, head;
  int64_t cap;
};

struct Instance {
  std::string text;
  int N = 0;
  std::vector<Edge> edges;
};

// N and M drawn up to the given bounds; arc ends in a random sub-range of
// 0 ... N, with self loops and parallel edges; comments and empty lines
// scattered among the lines.
Instance randomInstance(unsigned seed, int maxN, int maxM) {
  std::mt19937 rng(seed);
  auto draw = [&](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
  };
  Instance in;
  in.N = draw(1, maxN);
  int M = draw(1, maxM);
  int from = draw(0, in.N), to = draw(0, in.N);
  if (from > to) std::swap(from, to);
  auto filler = [&]() {
    int k = draw(0, 9);
    if (k == 0) in.text += "c filler " + std::to_string(draw(0, 999)) + "\n";
    if (k == 1) in.text += "\n";
  };
  filler();
  in.text += "p cut " + std::to_string(in.N) + " " + std::to_string(M) + "\n";
  for (int i = 0; i < M; ++i) {
    filler();
    Edge e{draw(from, to), draw(from, to), draw(-1000, 1000000)};
    in.edges.push_back(e);
    in.text += "a " + std::to_string(e.tail) + " " + std::to_string(e.head) +
               " " + std::to_string(e.cap) + "\n";
  }
  filler();
  return in;
}

void checkStructure(const Instance &in) {
  int lo = in.N + 1, hi = -1;
  for (const Edge &e : in.edges) {
    lo = std::min({lo, e.tail, e.head});
    hi = std::max({hi, e.tail, e.head});
  }
  const int M = static_cast<int>(in.edges.size());

  graph *g = parse(in.text);
  ASSERT_EQ(g->n, hi - lo + 1);
  ASSERT_EQ(g->curN, g->n);
  ASSERT_EQ(g->m, M);
  ASSERT_EQ(g->nodes, g->vertexalloc + lo);
  ASSERT_EQ(g->endNode, g->nodes + g->n);
  EXPECT_EQ(g->minCut, std::numeric_limits<int64_t>::max());

  // Walk the lists: node by node they must cover positions 0 ... 2M - 1
  // in increasing order, each list one contiguous stretch.
  std::vector<int> tailOf(2 * M, -1);
  long expectedPos = 0;
  for (int k = 0; k < g->n; ++k) {
    for (arc *a = g->nodes[k].first; a; a = a->next) {
      ASSERT_EQ(pos(g, a), expectedPos) << "list of node id " << k;
      tailOf[expectedPos++] = k;
    }
  }
  ASSERT_EQ(expectedPos, 2 * M);

  std::vector<std::tuple<int, int, int64_t>> fromArcs, fromInput;
  for (int i = 0; i < 2 * M; ++i) {
    arc *a = g->arcs + i;
    ASSERT_GE(a->head, g->nodes);
    ASSERT_LT(a->head, g->endNode);
    ASSERT_GE(a->rev, g->arcs);
    ASSERT_LT(a->rev, g->arcs + 2 * M);
    EXPECT_EQ(a->rev->rev, a) << "position " << i;
    EXPECT_EQ(a->cap, a->rev->cap) << "position " << i;
    EXPECT_EQ(a->resCap, a->cap) << "position " << i;
    int u = tailOf[i];
    int v = static_cast<int>(a->head - g->nodes);
    // The reverse stands in the list of the head and points back at u.
    EXPECT_EQ(tailOf[pos(g, a->rev)], v) << "position " << i;
    EXPECT_EQ(a->rev->head, g->nodes + u) << "position " << i;
    if (i < pos(g, a->rev))
      fromArcs.emplace_back(std::min(u, v) + lo, std::max(u, v) + lo, a->cap);
  }
  for (const Edge &e : in.edges)
    fromInput.emplace_back(std::min(e.tail, e.head), std::max(e.tail, e.head),
                           e.cap);
  std::sort(fromArcs.begin(), fromArcs.end());
  std::sort(fromInput.begin(), fromInput.end());
  EXPECT_EQ(fromArcs, fromInput);
  freeGraph(g);
}

TEST(ReaderStructure, RandomSmallInstances) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    checkStructure(randomInstance(seed, 8, 12));
  }
}

TEST(ReaderStructure, RandomLargerInstances) {
  for (unsigned seed = 101; seed <= 105; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    checkStructure(randomInstance(seed, 3000, 8000));
  }
}

// ---------------------------------------------------------------------------
// An accepted instance reaches the solver's report.

TEST(ReaderThroughSunder, AcceptedInstanceReportsItsCounts) {
  ProgramResult r = runProgram(kSunder, {}, "c triangle\np cut 3 3\na 1 2 1\n"
                                            "a 2 3 1\na 3 1 1\n");
  // "c nodes: %14d    arcs: %15d\n" with 3 and 3.
  std::string first = "c nodes: " + std::string(13, ' ') + "3" + "    arcs: " +
                      std::string(14, ' ') + "3\n";
  EXPECT_EQ(r.out.substr(0, first.size()), first);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

}  // namespace
