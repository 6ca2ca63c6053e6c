// The suite's instance text: "p cut N M", then M arc lines "a U V CAPACITY";
// lines starting with 'c' are comments and blank lines are skipped. Node
// numbers are 0 ... N; the graph's nodes are every number from the smallest
// to the largest an arc names.
#include <algorithm>
#include <limits>

#include "sunder/error.h"
#include "edge_store.h"
#include "text_scan.h"

namespace sunder {
namespace detail {

namespace {

// N + 1 node numbers must fit a 32-bit integer.
constexpr int64_t kMaxNodeNumber = std::numeric_limits<int32_t>::max() - 1;

struct DimacsReader {
  explicit DimacsReader(LineScanner &scanner) : lines(scanner) {}

  LineScanner &lines;
  Fields fields;
  bool haveProblem = false;
  int64_t nodes = 0;  // N
  int64_t arcs = 0;   // M
  int64_t lowest = std::numeric_limits<int64_t>::max();
  int64_t highest = -1;
  EdgeStore edges;
  CapacityTotal total;
};

void readProblemLine(DimacsReader &r) {
  if (r.haveProblem) r.lines.fail("more than one problem line");
  requireFields(r.lines, r.fields, 4, "problem line", "p cut NODES EDGES");
  if (r.fields[1] != "cut") r.lines.fail("problem type " + quoted(r.fields[1]) + " is not 'cut'");
  r.nodes = numberIn(r.lines, r.fields[2], "node count", 1, kMaxNodeNumber);
  r.arcs = numberIn(r.lines, r.fields[3], "edge count", 1, Graph::kMaxEdges);
  r.haveProblem = true;
}

void widenRange(DimacsReader &r, int64_t u, int64_t v) {
  r.lowest = std::min({r.lowest, u, v});
  r.highest = std::max({r.highest, u, v});
  if (r.highest - r.lowest + 1 > Graph::kMaxNodes)
    r.lines.fail("nodes " + std::to_string(r.lowest) + ".." + std::to_string(r.highest) +
                 " are more than " + std::to_string(Graph::kMaxNodes));
}

void readArcLine(DimacsReader &r) {
  if (!r.haveProblem) r.lines.fail("arc line before the problem line");
  if (static_cast<int64_t>(r.edges.size()) == r.arcs)
    r.lines.fail("more arcs than the " + std::to_string(r.arcs) + " the problem line declares");
  requireFields(r.lines, r.fields, 4, "arc line", "a U V CAPACITY");
  int64_t u = numberIn(r.lines, r.fields[1], "node", 0, r.nodes);
  int64_t v = numberIn(r.lines, r.fields[2], "node", 0, r.nodes);
  int64_t capacity = capacityAt(r.lines, r.fields[3]);
  addCapacity(r.lines, r.total, capacity);
  widenRange(r, u, v);
  r.edges.add(u, v, capacity);
}

void readLine(DimacsReader &r) {
  if (r.lines.peek() == 'c') return;  // a comment, skipped unread
  std::string_view line = r.lines.line();
  if (isBlank(line)) return;
  splitFields(line, r.fields);
  if (r.fields[0].data() != line.data()) r.lines.fail("line starts with a blank");
  if (r.fields[0] == "p") return readProblemLine(r);
  if (r.fields[0] == "a") return readArcLine(r);
  r.lines.fail("unknown line type " + quoted(r.fields[0]));
}

}  // namespace

GraphFile readDimacs(LineScanner &lines) {
  if (lines.empty()) throw Error("empty input", lines.name());
  DimacsReader r(lines);
  while (r.lines.next()) readLine(r);
  if (!r.haveProblem) r.lines.fail("no problem line");
  if (static_cast<int64_t>(r.edges.size()) < r.arcs)
    r.lines.fail("only " + std::to_string(r.edges.size()) + " of the " + std::to_string(r.arcs) +
                 " arcs the problem line declares");
  GraphFile file;
  file.graph = r.edges.graphOfRange(r.lowest, r.highest, r.total);
  file.format = Format::Dimacs;
  file.declaredNodes = r.nodes;
  file.declaredEdges = r.arcs;
  return file;
}

}  // namespace detail
}  // namespace sunder
