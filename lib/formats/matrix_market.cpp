// Matrix Market coordinate files with integer or pattern entries, general
// or symmetric: the banner, '%' comments, the size line "ROWS COLS ENTRIES",
// then one line "I J [VALUE]" per entry. Each entry is an edge {I, J} (a
// self loop on the diagonal); the nodes are the numbers entries name.
#include <algorithm>
#include <cctype>

#include "sunder/error.h"
#include "edge_store.h"
#include "text_scan.h"

namespace sunder {
namespace detail {

namespace {

struct MatrixReader {
  explicit MatrixReader(LineScanner &scanner) : lines(scanner) {}

  LineScanner &lines;
  Fields fields;
  bool pattern = false;
  bool symmetric = false;
  bool haveSize = false;
  int64_t rows = 0;
  int64_t columns = 0;
  int64_t entries = 0;
  EdgeStore edges;
  CapacityTotal total;
};

std::string lowerCase(std::string_view word) {
  std::string lower(word);
  for (char &c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

void requireWord(const MatrixReader &r, size_t field, const char *what,
                 std::initializer_list<const char *> allowed, const char *said) {
  std::string word = lowerCase(r.fields[field]);
  for (const char *w : allowed)
    if (word == w) return;
  r.lines.fail(std::string(what) + " " + quoted(r.fields[field]) + " is not supported (only " + said +
               ")");
}

void readBanner(MatrixReader &r) {
  splitFields(r.lines.line(), r.fields);
  if (r.fields.empty() || lowerCase(r.fields[0]) != "%%matrixmarket")
    r.lines.fail("first line is not a %%MatrixMarket banner");
  requireFields(r.lines, r.fields, 5, "banner", "%%MatrixMarket matrix coordinate FIELD SYMMETRY");
  requireWord(r, 1, "object", {"matrix"}, "matrix");
  requireWord(r, 2, "format", {"coordinate"}, "coordinate");
  if (r.lines.realCapacities())
    requireWord(r, 3, "field", {"integer", "real", "pattern"}, "integer, real or pattern");
  else
    requireWord(r, 3, "field", {"integer", "pattern"}, "integer or pattern");
  requireWord(r, 4, "symmetry", {"general", "symmetric"}, "general or symmetric");
  r.pattern = lowerCase(r.fields[3]) == "pattern";
  r.symmetric = lowerCase(r.fields[4]) == "symmetric";
}

void readSizeLine(MatrixReader &r) {
  requireFields(r.lines, r.fields, 3, "size line", "ROWS COLS ENTRIES");
  r.rows = nonNegative(r.lines, r.fields[0], "row count");
  r.columns = nonNegative(r.lines, r.fields[1], "column count");
  r.entries = numberIn(r.lines, r.fields[2], "entry count", 0, Graph::kMaxEdges);
  if (r.symmetric && r.rows != r.columns)
    r.lines.fail("a symmetric matrix must be square, not " + std::to_string(r.rows) + " x " +
                 std::to_string(r.columns));
  r.haveSize = true;
}

void readEntry(MatrixReader &r) {
  if (static_cast<int64_t>(r.edges.size()) == r.entries)
    r.lines.fail("more entries than the " + std::to_string(r.entries) + " the size line declares");
  if (r.pattern)
    requireFields(r.lines, r.fields, 2, "entry line", "I J");
  else
    requireFields(r.lines, r.fields, 3, "entry line", "I J VALUE");
  NodeId i = numberIn(r.lines, r.fields[0], "row", 1, r.rows);
  NodeId j = numberIn(r.lines, r.fields[1], "column", 1, r.columns);
  Capacity value = r.pattern                   ? unitCapacity(r.lines)
                   : r.lines.realCapacities() ? capacityAt(r.lines, r.fields[2])
                                              : nonNegative(r.lines, r.fields[2], "value");
  addCapacity(r.lines, r.total, value);
  r.edges.add(i, j, value);
}

}  // namespace

GraphFile readMatrixMarket(LineScanner &lines) {
  if (lines.empty()) throw Error("empty input", lines.name());
  MatrixReader r(lines);
  r.lines.next();
  readBanner(r);
  while (r.lines.next()) {
    if (r.lines.peek() == '%') continue;  // a comment, skipped unread
    splitFields(r.lines.line(), r.fields);
    if (r.fields.empty()) continue;
    if (r.haveSize)
      readEntry(r);
    else
      readSizeLine(r);
  }
  if (!r.haveSize) r.lines.fail("no size line");
  if (static_cast<int64_t>(r.edges.size()) < r.entries)
    r.lines.fail("only " + std::to_string(r.edges.size()) + " of the " + std::to_string(r.entries) +
                 " entries the size line declares");
  GraphFile file;
  file.graph = r.edges.graphOfIds(r.total);
  file.format = Format::MatrixMarket;
  file.declaredNodes = std::max(r.rows, r.columns);
  file.declaredEdges = r.entries;
  return file;
}

}  // namespace detail
}  // namespace sunder
