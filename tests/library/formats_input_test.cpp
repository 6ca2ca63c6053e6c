// How the graph file readers take their input: in chunks of any size, a
// line at a time, with the line length limit, NUL bytes, sources that never
// end, and sources that fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <istream>
#include <new>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "lib/formats/text_scan.h"
#include "id_edge.h"
#include "sunder/error.h"
#include "sunder/formats.h"

namespace {

using sunder::Format;
using sunder::GraphFile;
using namespace std::string_literals;

const Format kFormats[] = {Format::Dimacs, Format::EdgeList, Format::Metis, Format::MatrixMarket};

// The edges as a multiset of unordered pairs, by ids.
std::vector<IdEdge> edgeMultiset(const sunder::Graph &g) {
  std::vector<IdEdge> edges;
  for (const sunder::Edge &e : g.edges()) {
    int64_t u = g.idOf(e.u), v = g.idOf(e.v);
    edges.push_back({std::min(u, v), std::max(u, v), e.capacity});
  }
  std::sort(edges.begin(), edges.end());
  return edges;
}

// Reads `text` with a line limit and a read size of our choice.
GraphFile readLimited(Format format, const std::string &text, size_t maxLine, size_t readSize) {
  sunder::detail::TextSource source(text);
  sunder::detail::LineScanner lines(source, "in", maxLine, readSize);
  return sunder::detail::readLines(lines, format);
}

// what() of the error reading `text`; "" when it reads.
std::string limitedError(Format format, const std::string &text, size_t maxLine, size_t readSize) {
  try {
    readLimited(format, text, maxLine, readSize);
  } catch (const sunder::Error &e) {
    return e.what();
  }
  return "";
}

std::string streamError(std::istream &in, Format format, const std::string &name) {
  try {
    sunder::readGraph(in, format, name);
  } catch (const sunder::Error &e) {
    return e.what();
  }
  return "";
}

const size_t kReadSizes[] = {1, 2, 3, 7, 4096};

// {1,2}:3 {1,3}:1 {2,3}:4 {3,4}:2 {4,5}:6 {2,5}:1 in each format, with
// comments, and no '\n' after the last line. The longest line, the banner,
// has 50 bytes.
const std::string kTexts[] = {
    "c a comment\np cut 5 6\na 1 2 3\na 1 3 1\nc between arcs\na 2 3 4\na 3 4 2\na 4 5 6\na 2 5 1",
    "# a comment\n1 2 3\n1, 3, 1\n2\t3 4 % note\n3 4 2\n\n4 5 6\n2 5 1",
    // FMT 11: a vertex weight first, then neighbour-weight pairs.
    "5 6 11\n% a comment\n12345 2 03 3 1\n0 1 3   3 4 5 1\n1 1 1 2 4 4 2\n22 3 2 5 6\n303 4 6 2 1",
    "%%MatrixMarket matrix coordinate integer symmetric\n% a comment\n5 5 6\n"
    "2 1 3\n3 1 1\n3 2 4\n4 3 2\n5 4 6\n5 2 1"};

// A source that hands on its text a byte at a time, as a slow pipe may.
class ByteAtATime : public sunder::detail::ByteSource {
 public:
  explicit ByteAtATime(std::string text) : text_(std::move(text)) {}
  size_t read(char *buffer, size_t size) override {
    if (pos_ == text_.size() || size == 0) return 0;
    *buffer = text_[pos_++];
    return 1;
  }

 private:
  std::string text_;
  size_t pos_ = 0;
};

// A UTF-8 byte order mark at the start of a text is skipped by every
// reader, by the detection of the format and by the pairs files, however
// the reads split it; anywhere else its bytes are text as ever.
TEST(ByteOrderMarks, AreSkippedAtTheStartOfEveryText) {
  const std::string mark = "\xef\xbb\xbf";
  GraphFile f = sunder::readGraphText(mark + "1 2 3\n2 3 4\n", Format::EdgeList, "in");
  EXPECT_TRUE(f.names.empty());
  EXPECT_EQ(edgeMultiset(f.graph), (std::vector<IdEdge>{{1, 2, 3}, {2, 3, 4}}));
  std::istringstream csv(mark + "source,target,weight\n1,2,3\n");
  f = sunder::readGraphDetected(csv, "in");
  EXPECT_EQ(f.format, Format::EdgeList);
  EXPECT_EQ(edgeMultiset(f.graph), (std::vector<IdEdge>{{1, 2, 3}}));
  std::istringstream dimacs(mark + "p cut 2 1\na 1 2 3\n");
  f = sunder::readGraphDetected(dimacs, "in");
  EXPECT_EQ(f.format, Format::Dimacs);
  EXPECT_EQ(edgeMultiset(f.graph), (std::vector<IdEdge>{{1, 2, 3}}));
  ByteAtATime slow(mark + "p cut 2 1\na 1 2 3\n");
  sunder::detail::WithoutByteOrderMark text(slow);
  sunder::detail::LineScanner lines(text, "in");
  EXPECT_EQ(edgeMultiset(sunder::detail::readLines(lines, Format::Dimacs).graph),
            (std::vector<IdEdge>{{1, 2, 3}}));
  // Two bytes of a mark, and a second mark, are a name's bytes.
  f = sunder::readGraphText("\xef\xbbx y\ny z\n", Format::EdgeList, "in");
  EXPECT_EQ(f.names, (std::vector<std::string>{"\xef\xbbx", "y", "z"}));
  f = sunder::readGraphText(mark + mark + "x y\ny z\n", Format::EdgeList, "in");
  EXPECT_EQ(f.names, (std::vector<std::string>{mark + "x", "y", "z"}));
  const std::string path = "bom_pairs_" + std::to_string(getpid()) + ".txt";
  std::ofstream(path) << mark << "a b\n";
  std::vector<sunder::NodePair> pairs = sunder::readNodePairs(path);
  std::remove(path.c_str());
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].u, "a");
}

TEST(Chunks, EveryReadSizeGivesTheSameGraph) {
  const std::vector<IdEdge> expected = {{1, 2, 3}, {1, 3, 1}, {2, 3, 4},
                                        {2, 5, 1}, {3, 4, 2}, {4, 5, 6}};
  for (int k = 0; k < 4; k++) {
    for (size_t readSize : kReadSizes) {
      SCOPED_TRACE(std::string(sunder::formatName(kFormats[k])) + " read size " +
                   std::to_string(readSize));
      GraphFile f = readLimited(kFormats[k], kTexts[k], 50, readSize);
      EXPECT_EQ(f.graph.ids(), (std::vector<int64_t>{1, 2, 3, 4, 5}));
      EXPECT_EQ(edgeMultiset(f.graph), expected);
    }
  }
}

TEST(Chunks, AMetisHubLineLongerThanAReadIsTakenFieldByField) {
  // A star: node 1's line lists 2 ... 30001 (about 170 KB, more than two
  // reads of 64 KiB), and every leaf lists 1.
  const int kLeaves = 30000;
  std::string text = "30001 30000\n";
  for (int k = 2; k <= kLeaves + 1; k++) text += std::to_string(k) + (k <= kLeaves ? " " : "\n");
  for (int k = 2; k <= kLeaves + 1; k++) text += "1\n";
  ASSERT_GT(text.find('\n', 12), 12 + 2 * sunder::detail::kReadSize);
  GraphFile f = sunder::readGraphText(text, Format::Metis, "star");
  ASSERT_EQ(f.graph.edgeCount(), kLeaves);
  for (int k = 0; k < kLeaves; k++) {
    const sunder::Edge &e = f.graph.edges()[static_cast<size_t>(k)];
    ASSERT_EQ(f.graph.idOf(e.u), 1) << k;
    ASSERT_EQ(f.graph.idOf(e.v), k + 2) << k;
    ASSERT_EQ(e.capacity, 1) << k;
  }
}

TEST(Chunks, AFileOfManyReads) {
  // Line k is "k k+1 1" for k = 0 ... 19999: some 200 KB.
  std::string path = ::testing::TempDir() + "formats_input_test_path.edges";
  {
    std::ofstream out(path);
    for (int k = 0; k < 20000; k++) out << k << ' ' << k + 1 << " 1\n";
  }
  GraphFile f = sunder::readGraphFile(path);
  std::remove(path.c_str());
  EXPECT_EQ(f.graph.nodeCount(), 20001);
  ASSERT_EQ(f.graph.edgeCount(), 20000);
  for (int k = 0; k < 20000; k++) {
    const sunder::Edge &e = f.graph.edges()[static_cast<size_t>(k)];
    ASSERT_EQ(f.graph.idOf(e.u), k);
    ASSERT_EQ(f.graph.idOf(e.v), k + 1);
  }
}

struct LimitedText {
  Format format;
  std::string text;
  size_t maxLine;
  std::string error;  // "" when it reads
};

// Each case at every read size.
void expectLimited(const std::vector<LimitedText> &cases) {
  for (const LimitedText &c : cases)
    for (size_t readSize : kReadSizes)
      EXPECT_EQ(limitedError(c.format, c.text, c.maxLine, readSize), c.error)
          << c.text << " read size " << readSize;
}

TEST(LineLimit, LinesUpToTheLimitReadAndLongerOnesFailWhereverTheyAre) {
  const Format D = Format::Dimacs, E = Format::EdgeList, M = Format::Metis,
               X = Format::MatrixMarket;
  const std::string over = "line is longer than 9 bytes";
  expectLimited({
      {D, "p cut 2 1\na 1 2 33\n", 9, ""},  // 9 bytes, then 8
      {D, "p cut 2 1\nc 34567890\na 1 2 33\n", 9, "in:2: " + over},  // a comment, skipped
      {E, "1 2\n1 2 345678", 9, "in:2: " + over},  // the last line, without '\n'
      {E, "1 2 34567\n", 9, ""},
      {M, "2 1\n2        \n1\n", 9, ""},
      {M, "2 1\n2         \n1\n", 9, "in:2: " + over},  // taken field by field
      {M, "2 1\n% 34567890\n2\n1\n", 9, "in:2: " + over},
      {X, kTexts[3] + "\n" + std::string(9, ' ') + "\n", 50, ""},
      {X, kTexts[3] + "\n" + std::string(51, ' ') + "\n", 50,
       "in:10: line is longer than 50 bytes"},
  });
}

TEST(LineLimit, TheDefaultIs64MiB) { EXPECT_EQ(sunder::detail::kMaxLineLength, 67108864u); }

TEST(NulBytes, FailAtTheirLine) {
  const Format D = Format::Dimacs, E = Format::EdgeList, M = Format::Metis,
               X = Format::MatrixMarket;
  const std::string nul = "line contains a NUL byte: the input is not text";
  expectLimited({
      {D, "p cut 2 1\na 1 2\0 3\n"s, 64, "in:2: " + nul},
      {D, "c one\nc \0\np cut 2 1\na 1 2 3\n"s, 64, "in:2: " + nul},  // in a comment
      {E, "1 2\n\0"s, 64, "in:2: " + nul},                          // the last line
      {E, "1 2 x\n\0\n"s, 64, "in:1: capacity 'x' is not a whole number"},  // lines in order
      {M, "2 1\n2 \0\n1\n"s, 64, "in:2: " + nul},  // taken field by field
      {M, "2 1\n2\n1\n\n\0"s, 64, "in:5: " + nul},  // after the last node line
      {X, "\0"s, 64, "in:1: " + nul},
  });
}

// Bytes without end: `head` once, then `pattern` over and over. Counts the
// bytes it hands out.
class Endless : public std::streambuf {
 public:
  Endless(std::string head, std::string pattern)
      : head_(std::move(head)), pattern_(std::move(pattern)) {}
  size_t handedOut() const { return handedOut_; }

 protected:
  int_type underflow() override {
    for (char &c : chunk_) {
      if (headAt_ < head_.size()) {
        c = head_[headAt_++];
      } else {
        c = pattern_[patternAt_];
        patternAt_ = (patternAt_ + 1) % pattern_.size();
      }
    }
    handedOut_ += chunk_.size();
    setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
    return traits_type::to_int_type(chunk_[0]);
  }

 private:
  std::string head_;
  std::string pattern_;
  size_t headAt_ = 0;
  size_t patternAt_ = 0;
  std::vector<char> chunk_ = std::vector<char>(4096);
  size_t handedOut_ = 0;
};

struct EndlessCase {
  Format format;
  std::string head;
  std::string pattern;
  std::string error;
};

// Each source must fail with its error within `bound` bytes.
void expectEndlessFails(const std::vector<EndlessCase> &cases, size_t bound) {
  for (const EndlessCase &c : cases) {
    SCOPED_TRACE(std::string(sunder::formatName(c.format)) + ": " + c.head + c.pattern);
    Endless bytes(c.head, c.pattern);
    std::istream in(&bytes);
    EXPECT_EQ(streamError(in, c.format, "in"), c.error);
    EXPECT_LE(bytes.handedOut(), bound);
  }
}

TEST(EndlessSources, ZerosAndGarbageLinesFailAtTheFirstLine) {
  const std::string nul = "in:1: line contains a NUL byte: the input is not text";
  std::vector<EndlessCase> cases;
  for (Format format : kFormats) cases.push_back({format, "", "\0"s, nul});
  const std::string garbage = "y\n";  // what yes(1) writes
  cases.push_back({Format::Dimacs, "", garbage, "in:1: unknown line type 'y'"});
  cases.push_back({Format::EdgeList, "", garbage,
                   "in:1: edge line needs 2 or 3 fields (U V [CAPACITY]), not 1"});
  cases.push_back({Format::Metis, "", garbage,
                   "in:1: header needs 2 to 4 fields (N M [FMT [NCON]]), not 1"});
  cases.push_back(
      {Format::MatrixMarket, "", garbage, "in:1: first line is not a %%MatrixMarket banner"});
  expectEndlessFails(cases, size_t{1} << 20);
}

TEST(EndlessSources, DeclaredCountsEndThemAtOnce) {
  expectEndlessFails(
      {{Format::Metis, "3 2\n", "2 ",
        "in:2: node 1's line lists more neighbours than the header's 2 edges allow"},
       {Format::Metis, "3 2 1\n", "2 1 ",
        "in:2: node 1's line lists more neighbours than the header's 2 edges allow"},
       {Format::Dimacs, "p cut 2 1\n", "a 1 2 1\n",
        "in:3: more arcs than the 1 the problem line declares"},
       {Format::MatrixMarket, "%%MatrixMarket matrix coordinate pattern general\n2 2 1\n", "1 2\n",
        "in:4: more entries than the 1 the size line declares"}},
      size_t{1} << 20);
}

TEST(EndlessSources, AnEndlessLineEndsAtTheLineLimit) {
  // An edge list line has no count to bound it but the line limit.
  expectEndlessFails({{Format::EdgeList, "", "7 ", "in:1: line is longer than 67108864 bytes"}},
                     sunder::detail::kMaxLineLength + 2 * sunder::detail::kReadSize);
}

// Hands out `text`, then fails: as a device would, or out of memory.
class Failing : public std::streambuf {
 public:
  explicit Failing(std::string text, bool outOfMemory = false)
      : text_(std::move(text)), outOfMemory_(outOfMemory) {}

 protected:
  int_type underflow() override {
    if (gave_ && outOfMemory_) throw std::bad_alloc();
    if (gave_) throw std::runtime_error("device gone");
    gave_ = true;
    setg(&text_[0], &text_[0], &text_[0] + text_.size());
    return traits_type::to_int_type(text_[0]);
  }

 private:
  std::string text_;
  bool outOfMemory_;
  bool gave_ = false;
};

TEST(ReadFailures, StreamsMemoryAndDirectories) {
  Failing named("1 2\n");
  std::istream a(&named);
  EXPECT_EQ(streamError(a, Format::EdgeList, "s.el"), "cannot read s.el");
  Failing unnamed("1 2\n");
  std::istream b(&unnamed);
  EXPECT_EQ(streamError(b, Format::EdgeList, ""), "cannot read the input");
  // A stream that passes its buffer's exceptions on lets std::bad_alloc
  // through to the reader, which makes it an Error like every public call.
  Failing starved("1 2\n", true);
  std::istream c(&starved);
  c.exceptions(std::ios::badbit);
  EXPECT_EQ(streamError(c, Format::EdgeList, "s.el"), "not enough memory for reading s.el");

  std::string dir = ::testing::TempDir() + "formats_input_test_dir.mtx";
  ASSERT_TRUE(mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST);
  for (Format format : kFormats) {
    try {
      sunder::readGraphFile(dir, format);
      ADD_FAILURE() << "no error";
    } catch (const sunder::Error &e) {
      EXPECT_STREQ(e.what(), ("cannot read " + dir + ": Is a directory").c_str());
    }
  }
  rmdir(dir.c_str());
}

}  // namespace
