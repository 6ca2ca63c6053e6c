// Edge lists: "U V [CAPACITY]" per line, fields separated by blanks and/or
// commas, "#" and "%" starting comments. Ids are non-negative and kept as
// given; the nodes are the ids the edges name, in increasing order.
#include "sunder/error.h"
#include "text_scan.h"

namespace sunder {
namespace detail {

namespace {

RawEdge edgeOfLine(const LineScanner &lines, const Fields &fields) {
  if (fields.size() != 2 && fields.size() != 3)
    lines.fail("edge line needs 2 or 3 fields (U V [CAPACITY]), not " +
               std::to_string(fields.size()));
  NodeId u = nonNegative(lines, fields[0], "node id");
  NodeId v = nonNegative(lines, fields[1], "node id");
  Capacity capacity = fields.size() == 3 ? nonNegative(lines, fields[2], "capacity") : 1;
  return {u, v, capacity};
}

}  // namespace

GraphFile readEdgeList(std::string_view text, const std::string &name) {
  LineScanner lines(text, name);
  Fields fields;
  std::vector<RawEdge> edges;
  edges.reserve(text.size() / 16);
  while (lines.next()) {
    splitFields(lines.line(), fields, true);
    if (!fields.empty()) edges.push_back(edgeOfLine(lines, fields));
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
