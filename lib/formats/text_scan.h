// The line scanner and number parsing shared by the graph file readers, and
// the declarations of the readers themselves. Internal to the library.
#ifndef SUNDER_LIB_FORMATS_TEXT_SCAN_H
#define SUNDER_LIB_FORMATS_TEXT_SCAN_H

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sunder/formats.h"
#include "sunder/graph.h"

namespace sunder {
namespace detail {

// The longest line the readers take, in bytes without its '\n' (64 MiB): a
// METIS line of a hub node can list millions of neighbours, and a longer
// line is an error, so a stream without newlines cannot take all memory.
constexpr size_t kMaxLineLength = size_t{64} << 20;
// How many bytes the scanner asks its source for at a time.
constexpr size_t kReadSize = size_t{64} << 10;
// The most elements a reader reserves for a count its header declares: a
// header may declare far more than the input holds, so vectors grow past it.
constexpr int64_t kMaxReserved = int64_t{1} << 16;

inline size_t reserveFor(int64_t declared) {
  return static_cast<size_t>(declared < kMaxReserved ? declared : kMaxReserved);
}

// Where a scanner's bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` bytes into `buffer`, how many; 0 only at the end. Error
  // when reading fails.
  virtual size_t read(char *buffer, size_t size) = 0;
};

// The bytes of a text held in memory.
class TextSource : public ByteSource {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  size_t read(char *buffer, size_t size) override;

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// A source taken one line at a time, as it is read: it holds the current
// line at most, never the whole input. Lines count from 1. Every byte it
// passes is checked: a NUL byte is an error at its line, and so is a line
// longer than `maxLine`, as soon as its bytes show it.
class LineScanner {
 public:
  LineScanner(ByteSource &source, std::string name, size_t maxLine = kMaxLineLength,
              size_t readSize = kReadSize);

  // Before the first next(): true when the source has no bytes at all.
  bool empty();
  // Moves to the next line, skipping what is left of the current one; false
  // at the end of the input, where number() stays the last line's.
  bool next();
  // What is left of the current line (all of it unless fields were taken),
  // without its '\n'. Valid until the scanner moves on.
  std::string_view line();
  // The next byte of the current line; '\n' at its end.
  char peek();
  // Takes the next field of the current line, split at blanks, without
  // holding the line whole; false at the line's end. Valid until the
  // scanner moves on.
  bool nextField(std::string_view &field);

  int64_t number() const { return number_; }
  const std::string &name() const { return name_; }

  // With a log, the capacities of the lines may be real numbers: each one
  // read (capacityAt, unitCapacity) goes to the log, in the order read,
  // which is the order of the graph's edges, and counts 0 meanwhile.
  void keepRealCapacities(std::vector<RealValue> *log) { reals_ = log; }
  std::vector<RealValue> *realCapacities() const { return reals_; }

  // Error at the current line, or at `line`.
  [[noreturn]] void fail(const std::string &message) const;
  [[noreturn]] void failAt(int64_t line, const std::string &message) const;

 private:
  static constexpr size_t kOpen = static_cast<size_t>(-1);

  bool more();
  bool readMore();
  void makeRoom();
  void check();
  void consume(size_t to);

  ByteSource &source_;
  std::string name_;
  size_t maxLine_;
  size_t readSize_;
  std::vector<char> buffer_;
  size_t cursor_ = 0;      // the first byte of the current line not taken yet
  size_t checked_ = 0;     // the current line's bytes before this are checked
  size_t end_ = 0;         // the end of the bytes read
  size_t lineEnd_ = 0;     // the current line's end; kOpen while not read yet
  size_t taken_ = 0;       // the current line's bytes before cursor_
  bool newline_ = false;   // the current line ends with '\n'
  bool started_ = false;
  bool atEnd_ = false;     // the source has no more bytes
  int64_t number_ = 0;
  std::vector<RealValue> *reals_ = nullptr;
};

// The first fields of a line (kKept, or as many as keep() asks for) and the
// count of all of them: a line of a million fields takes no more memory
// than one of five.
class Fields {
 public:
  static constexpr size_t kKept = 5;

  Fields() : kept_(kKept) {}
  // Keeps the first `count` fields of the lines to come (kKept at least).
  void keep(size_t count) { kept_.resize(count < kKept ? kKept : count); }
  void clear() { count_ = 0; }
  void add(std::string_view field) {
    if (count_ < kept_.size()) kept_[count_] = field;
    count_++;
  }
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // Field k, for k below size() and the fields kept.
  std::string_view operator[](size_t k) const {
    assert(k < count_ && k < kept_.size());
    return kept_[k];
  }

 private:
  std::vector<std::string_view> kept_;
  size_t count_ = 0;
};

inline bool isBlankChar(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}
// The fields of a line, split at blanks.
void splitFields(std::string_view line, Fields &fields);
bool isBlank(std::string_view line);

// A token as messages show it: in quotes, shortened when long.
std::string quoted(std::string_view token);

// The whole decimal number in `token` (an optional sign, then digits, within
// 64 bits), or nothing.
std::optional<int64_t> wholeNumberOf(std::string_view token);
// The whole decimal number in `token`; errors name it as `what`:
// "WHAT 'TOKEN' is not a whole number" or "... is out of range".
int64_t wholeNumber(const LineScanner &lines, std::string_view token, const char *what);
// Also "WHAT V is negative".
int64_t nonNegative(const LineScanner &lines, std::string_view token, const char *what);
// Also "WHAT V is out of range LO..HI".
int64_t numberIn(const LineScanner &lines, std::string_view token, const char *what, int64_t lo,
                 int64_t hi);
// Error unless `fields` has `count` fields: "WHAT needs COUNT fields (FORM), not K".
void requireFields(const LineScanner &lines, const Fields &fields, size_t count, const char *what,
                   const char *form);
// Adds a line's capacity to `total`; when the sum would pass
// kMaxTotalCapacity, the total's error at the current line.
void addCapacity(const LineScanner &lines, CapacityTotal &total, Capacity capacity);

// The capacity a text gives: the one parse of a capacity's text, for every
// reader. Error without a place, "capacity 'TEXT' is not a whole number",
// "... is out of range" or "capacity V is negative".
Capacity parseCapacity(std::string_view text);
// parseCapacity's error at the current line. When the scanner keeps real
// capacities, the text is a real number instead (RealValue::parse), kept
// in the log, and the capacity 0.
Capacity capacityAt(const LineScanner &lines, std::string_view text);
// The capacity of an edge whose line gives none: 1 (kept in the log too).
Capacity unitCapacity(const LineScanner &lines);

// The fault of a node name, empty when it has none: names are the words
// output shows, so a name with a blank or a control byte (or an empty
// one) is refused. "node name 'X' contains a blank".
std::string nameFault(std::string_view name);

// Node names kept once each, in the order they were first asked for: the
// index of a name is its node id. Holds one string per node.
class NameTable {
 public:
  // The index of `name`, added at the end when new.
  int32_t indexOf(std::string_view name);
  size_t size() const { return names_.size(); }
  // The names in order, the table left empty.
  std::vector<std::string> take();

 private:
  std::deque<std::string> names_;  // a deque keeps the strings in place
  std::unordered_map<std::string_view, int32_t> index_;
};

// The readers, each from the first line of `lines` to the end.
GraphFile readDimacs(LineScanner &lines);
GraphFile readEdgeList(LineScanner &lines);
GraphFile readMetis(LineScanner &lines);
GraphFile readMatrixMarket(LineScanner &lines);
// The bytes of `first`, then those of `rest`: what a reader gets of an
// input whose first chunk was read to tell its format.
class PrefixedSource : public ByteSource {
 public:
  PrefixedSource(std::string first, ByteSource &rest) : first_(std::move(first)), rest_(rest) {}
  size_t read(char *buffer, size_t size) override;

 private:
  std::string first_;
  size_t pos_ = 0;
  ByteSource &rest_;
};

// Reads `source` on into `start` until it holds `size` bytes; false when
// the source ends first.
bool readUpTo(ByteSource &source, std::string &start, size_t size);

// The bytes of `source` without the UTF-8 byte order mark (EF BB BF) that
// some editors put at the start of a text: every reader and the detection
// of the format see the text as if it had none.
class WithoutByteOrderMark : public ByteSource {
 public:
  explicit WithoutByteOrderMark(ByteSource &source) : source_(source) {}
  size_t read(char *buffer, size_t size) override;

 private:
  ByteSource &source_;
  // Once the first three bytes are read: those but the mark, then the rest.
  std::optional<PrefixedSource> text_;
};

// The reader of `format`.
GraphFile readLines(LineScanner &lines, Format format);
// GraphML and GML, read by the igraph library from `source` whole (Error
// "cannot read GraphML: this build has no igraph library" in a build
// without it).
// `reals` as LineScanner::keepRealCapacities (null: whole capacities).
GraphFile readIgraphFormat(ByteSource &source, Format format, const std::string &name,
                           std::vector<RealValue> *reals);
// The most bytes of an input read to tell its format (64 MiB, as the
// longest line): blank and comment lines before the first that decides
// are held until it comes, so a stream of comments cannot take all memory.
constexpr size_t kMaxDetectionRead = kMaxLineLength;
// The format the first lines of `start`, the start of an input, show (see
// formats.h); Error naming the line when one shows none. `whole`: `start`
// is all of the input, or all that is read to tell. Otherwise a last line
// without its '\n' is not looked at, and nothing is returned when no line
// before it decides: a longer start is needed.
std::optional<Format> detectFormat(std::string_view start, bool whole, const std::string &name);
// The pairs of a pairs file.
std::vector<NodePair> readNodePairs(LineScanner &lines);

}  // namespace detail
}  // namespace sunder

#endif
