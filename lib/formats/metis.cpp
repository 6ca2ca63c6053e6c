// METIS graph files: a header "N M [FMT [NCON]]", then one line per node
// 1 ... N listing its neighbours. FMT's digits, read from the right, say
// whether the lines carry edge weights (after each neighbour), NCON vertex
// weights and a vertex size (both before the neighbours; skipped here).
// Lines starting with '%' are comments. Every edge is listed at both ends;
// the graph takes it once, from its smaller end, in file order. Node lines
// are taken a field at a time, so a hub's line is never held whole.
#include <algorithm>
#include <limits>
#include <tuple>

#include "sunder/error.h"
#include "text_scan.h"

namespace sunder {
namespace detail {

namespace {

// One listing of an edge {a, b}, a < b, with its weight.
struct Listing {
  int32_t a;
  int32_t b;
  Capacity weight;
};

bool endsBefore(const Listing &x, const Listing &y) { return std::tie(x.a, x.b) < std::tie(y.a, y.b); }

bool operator<(const Listing &x, const Listing &y) {
  return std::tie(x.a, x.b, x.weight) < std::tie(y.a, y.b, y.weight);
}

struct MetisReader {
  explicit MetisReader(LineScanner &scanner) : lines(scanner) {}

  LineScanner &lines;
  Fields fields;
  int64_t headerLine = 0;
  int64_t nodes = 0;
  int64_t edges = 0;
  bool sizes = false;
  bool vertexWeights = false;
  bool edgeWeights = false;
  int64_t weightsPerVertex = 1;  // NCON
  std::vector<int64_t> nodeLines;  // the line of node k at k - 1
  std::vector<Listing> atSmallerEnd;
  std::vector<Listing> atLargerEnd;
  int64_t listings = 0;  // neighbours listed so far, on all lines
  CapacityTotal total;   // of the listings at smaller ends
};

void readFormatCode(MetisReader &r, std::string_view code) {
  bool valid = !code.empty() && code.size() <= 3 &&
               std::all_of(code.begin(), code.end(), [](char c) { return c == '0' || c == '1'; });
  if (!valid) r.lines.fail("format " + quoted(code) + " is not 1 to 3 digits 0 or 1");
  size_t n = code.size();
  r.edgeWeights = code[n - 1] == '1';
  r.vertexWeights = n >= 2 && code[n - 2] == '1';
  r.sizes = n == 3 && code[0] == '1';
}

void readHeader(MetisReader &r) {
  size_t count = r.fields.size();
  if (count < 2 || count > 4)
    r.lines.fail("header needs 2 to 4 fields (N M [FMT [NCON]]), not " + std::to_string(count));
  r.headerLine = r.lines.number();
  r.nodes = numberIn(r.lines, r.fields[0], "node count", 0, Graph::kMaxNodes);
  r.edges = numberIn(r.lines, r.fields[1], "edge count", 0, Graph::kMaxEdges);
  if (count >= 3) readFormatCode(r, r.fields[2]);
  if (count == 4)
    r.weightsPerVertex = numberIn(r.lines, r.fields[3], "vertex weight count", 1,
                                  std::numeric_limits<int32_t>::max());
  r.nodeLines.reserve(reserveFor(r.nodes));
  r.atSmallerEnd.reserve(reserveFor(r.edges));
  r.atLargerEnd.reserve(reserveFor(r.edges));
}

std::string nodeName(int64_t node) { return "node " + std::to_string(node); }

// Reads past the vertex size and weights, to the first neighbour.
void skipVertexData(MetisReader &r, int64_t node) {
  std::string_view field;
  if (r.sizes) {
    if (!r.lines.nextField(field))
      r.lines.fail(nodeName(node) + "'s line ends before its vertex size");
    nonNegative(r.lines, field, "vertex size");
  }
  if (!r.vertexWeights) return;
  for (int64_t w = 0; w < r.weightsPerVertex; w++) {
    if (!r.lines.nextField(field))
      r.lines.fail(nodeName(node) + "'s line ends before its vertex weights");
    nonNegative(r.lines, field, "vertex weight");
  }
}

// A node lists each of its edges once, so at most M neighbours, and all
// lines together list 2 M: past either bound the line fails before the
// rest of it is read.
void countListing(MetisReader &r, int64_t node, int64_t &onLine) {
  if (++onLine > r.edges)
    r.lines.fail(nodeName(node) + "'s line lists more neighbours than the header's " +
                 std::to_string(r.edges) + " edges allow");
  if (++r.listings > 2 * r.edges)
    r.lines.fail("the node lines list more neighbours than twice the header's " +
                 std::to_string(r.edges) + " edges");
}

// The node's neighbours, taken one field at a time as the line is read.
void readNodeLine(MetisReader &r, int64_t node) {
  r.nodeLines.push_back(r.lines.number());
  skipVertexData(r, node);
  int64_t onLine = 0;
  std::string_view field;
  while (r.lines.nextField(field)) {
    countListing(r, node, onLine);
    int64_t v = numberIn(r.lines, field, "neighbour", 1, r.nodes);
    if (v == node) r.lines.fail(nodeName(node) + " lists itself as a neighbour");
    Capacity weight = 1;
    if (r.edgeWeights) {
      if (!r.lines.nextField(field))
        r.lines.fail(nodeName(node) + "'s line has a neighbour without a weight");
      weight = nonNegative(r.lines, field, "edge weight");
    }
    if (node < v) addCapacity(r.lines, r.total, weight);  // the end the graph takes
    int32_t a = static_cast<int32_t>(std::min(node, v));
    int32_t b = static_cast<int32_t>(std::max(node, v));
    (node < v ? r.atSmallerEnd : r.atLargerEnd).push_back({a, b, weight});
  }
}

std::string edgeName(const Listing &e) {
  return "edge {" + std::to_string(e.a) + ", " + std::to_string(e.b) + "}";
}

int64_t lineOf(const MetisReader &r, int32_t node) {
  return r.nodeLines[static_cast<size_t>(node - 1)];
}

[[noreturn]] void failUnpaired(const MetisReader &r, const Listing &e, int32_t at, int32_t other) {
  r.lines.failAt(lineOf(r, at), edgeName(e) + " is listed at node " + std::to_string(at) +
                                    " but not at node " + std::to_string(other));
}

[[noreturn]] void failWeights(const MetisReader &r, const Listing &small, const Listing &large) {
  r.lines.failAt(lineOf(r, large.b), edgeName(large) + " has weight " + std::to_string(small.weight) +
                                         " at node " + std::to_string(small.a) + " but " +
                                         std::to_string(large.weight) + " at node " +
                                         std::to_string(large.b));
}

// Every listing at a smaller end must meet one at the larger end with the
// same weight; sorting both lists pairs them up.
void checkBothEnds(MetisReader &r) {
  std::vector<Listing> &small = r.atSmallerEnd, &large = r.atLargerEnd;
  std::sort(small.begin(), small.end());
  std::sort(large.begin(), large.end());
  for (size_t i = 0, j = 0; i < small.size() || j < large.size(); i++, j++) {
    if (j == large.size() || (i < small.size() && endsBefore(small[i], large[j])))
      failUnpaired(r, small[i], small[i].a, small[i].b);
    if (i == small.size() || endsBefore(large[j], small[i]))
      failUnpaired(r, large[j], large[j].b, large[j].a);
    if (small[i].weight != large[j].weight) failWeights(r, small[i], large[j]);
  }
}

void readLines(MetisReader &r) {
  while (r.lines.next()) {
    if (r.lines.peek() == '%') continue;  // a comment, skipped unread
    int64_t node = static_cast<int64_t>(r.nodeLines.size()) + 1;
    if (r.headerLine == 0) {
      splitFields(r.lines.line(), r.fields);
      if (!r.fields.empty()) readHeader(r);
    } else if (node <= r.nodes) {
      readNodeLine(r, node);
    } else if (!isBlank(r.lines.line())) {
      r.lines.fail("more node lines than the " + std::to_string(r.nodes) + " the header declares");
    }
  }
}

Graph metisGraph(const MetisReader &r) {
  Graph graph;
  graph.reserve(r.nodes, static_cast<int64_t>(r.atSmallerEnd.size()));
  for (int64_t k = 1; k <= r.nodes; k++) graph.addNode(k);
  for (const Listing &e : r.atSmallerEnd) graph.addEdge(e.a, e.b, e.weight);
  return graph;
}

}  // namespace

GraphFile readMetis(LineScanner &lines) {
  if (lines.empty()) throw Error("empty input", lines.name());
  MetisReader r(lines);
  readLines(r);
  if (r.headerLine == 0) r.lines.fail("no header line");
  if (static_cast<int64_t>(r.nodeLines.size()) < r.nodes)
    r.lines.fail("only " + std::to_string(r.nodeLines.size()) + " of the " + std::to_string(r.nodes) +
                 " node lines the header declares");
  GraphFile file;
  file.graph = metisGraph(r);  // before the check sorts the listings
  checkBothEnds(r);
  if (static_cast<int64_t>(r.atSmallerEnd.size()) != r.edges)
    r.lines.failAt(r.headerLine, "the header's edge count is " + std::to_string(r.edges) +
                                     ", the lists give " + std::to_string(r.atSmallerEnd.size()));
  file.format = Format::Metis;
  file.declaredNodes = r.nodes;
  file.declaredEdges = r.edges;
  return file;
}

}  // namespace detail
}  // namespace sunder
