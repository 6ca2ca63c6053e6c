// The format an input's first meaningful line shows (formats.h lists the
// rules), from the start of the input alone.
#include "sunder/error.h"
#include "text_scan.h"

namespace sunder {
namespace detail {

namespace {

bool startsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// Whether the first byte after `from` that is not blank or a line end is
// '[', as after GML's "graph".
bool bracketFollows(std::string_view text, size_t from) {
  size_t p = text.find_first_not_of(" \t\r\n\v\f", from);
  return p != std::string_view::npos && text[p] == '[';
}

// The fields of a line split at blanks and commas, as an edge list's are.
void splitAtCommas(std::string_view line, Fields &fields) {
  fields.clear();
  size_t p = 0;
  for (;;) {
    while (p < line.size() && (isBlankChar(line[p]) || line[p] == ',')) p++;
    if (p == line.size()) return;
    size_t start = p;
    while (p < line.size() && !isBlankChar(line[p]) && line[p] != ',') p++;
    fields.add(line.substr(start, p - start));
  }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A Dimacs arc line: "a" and three numbers.
bool isArcLine(const Fields &fields) {
  if (fields.size() != 4 || fields[0] != "a") return false;
  for (size_t k = 1; k < 4; k++)
    if (!isDigit(fields[k][0]) && fields[k][0] != '-') return false;
  return true;
}

// What one line shows: a format, or nothing for a line that leaves it open
// (a "%" comment, a Dimacs comment "c ...").
std::optional<Format> formatOfLine(std::string_view start, size_t at, std::string_view line,
                                   const Fields &fields) {
  std::string_view first = fields[0];
  if (startsWith(first, "%%MatrixMarket")) return Format::MatrixMarket;
  if (first[0] == '%' || first == "c") return std::nullopt;
  if (first[0] == '<') return Format::GraphML;
  if (first[0] == '#') return Format::EdgeList;
  if (first == "p" || isArcLine(fields)) return Format::Dimacs;
  if ((first == "Creator" || first == "Version") && fields.size() >= 2) return Format::Gml;
  if (startsWith(first, "graph") && (first.size() == 5 || first[5] == '[') &&
      bracketFollows(start, at + static_cast<size_t>(first.data() - line.data()) + 5))
    return Format::Gml;
  if (fields.size() >= 2) return Format::EdgeList;
  return std::nullopt;
}

}  // namespace

std::optional<Format> detectFormat(std::string_view start, bool whole, const std::string &name) {
  constexpr const char *kBlanks = " \t\r\n\v\f";
  // A line is looked at once a byte that is not blank follows it: the line
  // is then whole, and so is what follows a GML "graph".
  size_t lastData = start.find_last_not_of(kBlanks);
  size_t at = 0;
  Fields fields;
  for (int64_t number = 1; at < start.size(); number++) {
    size_t end = std::min(start.find('\n', at), start.size());
    if (!whole && (lastData == std::string_view::npos || lastData < end)) return std::nullopt;
    std::string_view line = start.substr(at, end - at);
    splitAtCommas(line, fields);
    if (!fields.empty()) {
      if (std::optional<Format> format = formatOfLine(start, at, line, fields)) return *format;
      if (fields[0][0] != '%' && fields[0] != "c")
        throw Error("cannot tell the format from this line: " + quoted(line) +
                        " (name it: dimacs, edges, metis, mtx, graphml or gml)",
                    name, number);
    }
    at = end + 1;
  }
  if (!whole) return std::nullopt;
  return Format::Dimacs;
}

}  // namespace detail
}  // namespace sunder
