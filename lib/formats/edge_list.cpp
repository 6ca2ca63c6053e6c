// Edge lists: "U V [CAPACITY]" per line, fields separated by blanks or by
// one comma (with blanks around it or not), "#" and "%" starting comments.
// Ids are non-negative and kept as given; the nodes are the ids the edges
// name, in increasing order. A first line of two or three fields none of
// which starts like a number is a header row (CSV, TSV) and is skipped.
#include "sunder/error.h"
#include "text_scan.h"

namespace sunder {
namespace detail {

namespace {

bool isCommentStart(char c) { return c == '#' || c == '%'; }

bool endsField(char c) { return isBlankChar(c) || c == ',' || isCommentStart(c); }

// The fields of an edge line up to its comment. A comma stands between two
// fields: one at the start or the end, or two with no field between, is an
// error.
void splitEdgeFields(const LineScanner &lines, std::string_view line, Fields &fields) {
  fields.clear();
  const char *p = line.data();
  const char *end = p + line.size();
  bool comma = false;  // a comma since the last field
  for (;;) {
    while (p < end && isBlankChar(*p)) p++;
    if (p == end || isCommentStart(*p)) {
      if (comma) lines.fail("line ends with a comma");
      return;
    }
    if (*p == ',') {
      if (fields.empty()) lines.fail("line starts with a comma");
      if (comma) lines.fail("empty field between two commas");
      comma = true;
      p++;
      continue;
    }
    const char *start = p;
    while (p < end && !endsField(*p)) p++;
    fields.add(std::string_view(start, static_cast<size_t>(p - start)));
    comma = false;
  }
}

RawEdge edgeOfLine(const LineScanner &lines, const Fields &fields) {
  if (fields.size() != 2 && fields.size() != 3)
    lines.fail("edge line needs 2 or 3 fields (U V [CAPACITY]), not " +
               std::to_string(fields.size()));
  NodeId u = nonNegative(lines, fields[0], "node id");
  NodeId v = nonNegative(lines, fields[1], "node id");
  Capacity capacity = fields.size() == 3 ? nonNegative(lines, fields[2], "capacity") : 1;
  return {u, v, capacity};
}

// A header row, as CSV and TSV files start with ("source,target,weight"):
// two or three fields, none of which starts like a number.
bool isHeader(const Fields &fields) {
  if (fields.size() != 2 && fields.size() != 3) return false;
  for (size_t k = 0; k < fields.size(); k++) {
    char c = fields[k][0];
    if ((c >= '0' && c <= '9') || c == '-' || c == '+') return false;
  }
  return true;
}

}  // namespace

GraphFile readEdgeList(LineScanner &lines) {
  Fields fields;
  std::vector<RawEdge> edges;
  CapacityTotal total;
  bool first = true;
  while (lines.next()) {
    splitEdgeFields(lines, lines.line(), fields);
    if (fields.empty()) continue;
    bool header = first && isHeader(fields);
    first = false;
    if (header) continue;
    RawEdge edge = edgeOfLine(lines, fields);
    addCapacity(lines, total, edge.capacity);
    edges.push_back(edge);
  }
  GraphFile file;
  file.graph = graphOfNamedNodes(edges);
  file.format = Format::EdgeList;
  file.declaredNodes = file.graph.nodeCount();
  file.declaredEdges = file.graph.edgeCount();
  return file;
}

}  // namespace detail
}  // namespace sunder
