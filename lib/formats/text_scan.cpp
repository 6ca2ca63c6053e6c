#include "text_scan.h"

#include <algorithm>
#include <cstring>

#include "sunder/error.h"

namespace sunder {
namespace detail {

namespace {

bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

bool isSeparator(char c, bool edgeList) { return isBlankChar(c) || (edgeList && c == ','); }

bool isCommentStart(char c, bool edgeList) { return edgeList && (c == '#' || c == '%'); }

enum class Parse { Whole, NotWhole, OutOfRange };

// An optional sign and decimal digits only, within 64 bits.
Parse parseWhole(std::string_view token, int64_t &value) {
  size_t i = 0;
  bool negative = false;
  if (!token.empty() && (token[0] == '-' || token[0] == '+')) {
    negative = token[0] == '-';
    i = 1;
  }
  if (i == token.size()) return Parse::NotWhole;
  const uint64_t limit = negative ? UINT64_C(9223372036854775808) : UINT64_C(9223372036854775807);
  uint64_t x = 0;
  bool over = false;
  for (; i < token.size(); i++) {
    unsigned digit = static_cast<unsigned char>(token[i]) - static_cast<unsigned>('0');
    if (digit > 9) return Parse::NotWhole;
    if (x > (limit - digit) / 10) over = true;
    if (!over) x = 10 * x + digit;
  }
  if (over) return Parse::OutOfRange;
  value = negative ? static_cast<int64_t>(0 - x) : static_cast<int64_t>(x);
  return Parse::Whole;
}

}  // namespace

bool LineScanner::next() {
  if (pos_ >= text_.size()) return false;
  const char *start = text_.data() + pos_;
  size_t rest = text_.size() - pos_;
  const void *newline = std::memchr(start, '\n', rest);
  size_t length = newline != nullptr ? static_cast<size_t>(static_cast<const char *>(newline) - start)
                                     : rest;
  line_ = std::string_view(start, length);
  pos_ += length + 1;
  number_++;
  return true;
}

void LineScanner::fail(const std::string &message) const { throw Error(message, name_, number_); }

void LineScanner::failAt(int64_t line, const std::string &message) const {
  throw Error(message, name_, line);
}

void splitFields(std::string_view line, Fields &fields, bool edgeList) {
  fields.clear();
  const char *p = line.data();
  const char *end = p + line.size();
  for (;;) {
    while (p < end && isSeparator(*p, edgeList)) p++;
    if (p == end || isCommentStart(*p, edgeList)) return;
    const char *start = p;
    while (p < end && !isSeparator(*p, edgeList) && !isCommentStart(*p, edgeList)) p++;
    fields.emplace_back(start, static_cast<size_t>(p - start));
  }
}

bool isBlank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), isBlankChar);
}

std::string quoted(std::string_view token) {
  constexpr size_t kShown = 40;
  if (token.size() <= kShown) return "'" + std::string(token) + "'";
  return "'" + std::string(token.substr(0, kShown)) + "...'";
}

int64_t wholeNumber(const LineScanner &lines, std::string_view token, const char *what) {
  int64_t value = 0;
  switch (parseWhole(token, value)) {
    case Parse::Whole: return value;
    case Parse::NotWhole: lines.fail(std::string(what) + " " + quoted(token) + " is not a whole number");
    case Parse::OutOfRange: lines.fail(std::string(what) + " " + quoted(token) + " is out of range");
  }
  return value;
}

int64_t nonNegative(const LineScanner &lines, std::string_view token, const char *what) {
  int64_t value = wholeNumber(lines, token, what);
  if (value < 0) lines.fail(std::string(what) + " " + std::to_string(value) + " is negative");
  return value;
}

int64_t numberIn(const LineScanner &lines, std::string_view token, const char *what, int64_t lo,
                 int64_t hi) {
  int64_t value = wholeNumber(lines, token, what);
  if (value < lo || value > hi)
    lines.fail(std::string(what) + " " + std::to_string(value) + " is out of range " +
               std::to_string(lo) + ".." + std::to_string(hi));
  return value;
}

void requireFields(const LineScanner &lines, const Fields &fields, size_t count, const char *what,
                   const char *form) {
  if (fields.size() != count)
    lines.fail(std::string(what) + " needs " + std::to_string(count) + " fields (" + form +
               "), not " + std::to_string(fields.size()));
}

namespace {

// The distinct ids the edges name (all 0 or more), in increasing order: by a
// table of the ids present when they are dense, by sorting otherwise.
std::vector<NodeId> namedIds(const std::vector<RawEdge> &edges) {
  std::vector<NodeId> ids;
  if (edges.empty()) return ids;
  NodeId lowest = edges[0].u, highest = edges[0].u;
  for (const RawEdge &e : edges) {
    lowest = std::min({lowest, e.u, e.v});
    highest = std::max({highest, e.u, e.v});
  }
  uint64_t range = static_cast<uint64_t>(highest - lowest) + 1;
  if (range <= 4 * edges.size() + 64) {
    std::vector<char> present(range);
    for (const RawEdge &e : edges) present[e.u - lowest] = present[e.v - lowest] = 1;
    for (uint64_t k = 0; k < range; k++)
      if (present[k]) ids.push_back(lowest + static_cast<NodeId>(k));
    return ids;
  }
  ids.reserve(2 * edges.size());
  for (const RawEdge &e : edges) {
    ids.push_back(e.u);
    ids.push_back(e.v);
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

}  // namespace

Graph graphOfNamedNodes(const std::vector<RawEdge> &edges) {
  std::vector<NodeId> ids = namedIds(edges);
  Graph graph;
  graph.reserve(static_cast<int64_t>(ids.size()), static_cast<int64_t>(edges.size()));
  for (NodeId id : ids) graph.addNode(id);
  for (const RawEdge &e : edges) graph.addEdge(e.u, e.v, e.capacity);
  return graph;
}

}  // namespace detail
}  // namespace sunder
