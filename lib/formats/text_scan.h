// The line scanner and number parsing shared by the graph file readers, and
// the declarations of the readers themselves. Internal to the library.
#ifndef SUNDER_LIB_FORMATS_TEXT_SCAN_H
#define SUNDER_LIB_FORMATS_TEXT_SCAN_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sunder/formats.h"
#include "sunder/graph.h"

namespace sunder {
namespace detail {

using Fields = std::vector<std::string_view>;

// A text taken one line at a time (without its '\n'); lines count from 1.
class LineScanner {
 public:
  LineScanner(std::string_view text, const std::string &name) : text_(text), name_(name) {}

  // Moves to the next line; false at the end of the text, where number()
  // stays the last line's.
  bool next();
  std::string_view line() const { return line_; }
  int64_t number() const { return number_; }

  // Error at the current line, or at `line`.
  [[noreturn]] void fail(const std::string &message) const;
  [[noreturn]] void failAt(int64_t line, const std::string &message) const;

 private:
  std::string_view text_;
  size_t pos_ = 0;
  std::string_view line_;
  int64_t number_ = 0;
  const std::string &name_;
};

// The fields of a line, split at blanks; with `edgeList`, also at commas,
// and ending at '#' or '%'.
void splitFields(std::string_view line, Fields &fields, bool edgeList = false);
bool isBlank(std::string_view line);

// A token as messages show it: in quotes, shortened when long.
std::string quoted(std::string_view token);

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

// An edge between node ids, before the graph exists.
struct RawEdge {
  NodeId u;
  NodeId v;
  Capacity capacity;
};

// The graph whose nodes are the ids the edges name (all 0 or more), in
// increasing order, and whose edges are `edges` in their order.
Graph graphOfNamedNodes(const std::vector<RawEdge> &edges);

GraphFile readDimacs(std::string_view text, const std::string &name);
GraphFile readEdgeList(std::string_view text, const std::string &name);
GraphFile readMetis(std::string_view text, const std::string &name);
GraphFile readMatrixMarket(std::string_view text, const std::string &name);

}  // namespace detail
}  // namespace sunder

#endif
