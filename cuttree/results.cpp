#include "cuttree/results.h"

#include <cinttypes>
#include <random>
#include <string>

#include "verify/oracle.h"

namespace cuttree {

namespace {

// The text of node `id` as output shows it.
std::string nameOf(const sunder::GraphFile &file, sunder::NodeId id) {
  return sunder::nodeName(file, id);
}

void writeNodes(FILE *out, const sunder::GraphFile &file, const std::vector<sunder::NodeId> &nodes) {
  for (sunder::NodeId x : nodes) fprintf(out, "n %s\n", nameOf(file, x).c_str());
}

}  // namespace

void writeTreeText(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t) {
  fprintf(out, "c cut tree by Gusfield's method: %d nodes\n", t.nodeCount());
  fprintf(out, "p tree %" PRId64 " %d\n", file.declaredNodes,
          t.nodeCount() > 0 ? t.nodeCount() - 1 : 0);
  for (const sunder::TreeEdge &e : t.edges())
    fprintf(out, "t %s %s %" PRId64 "\n", nameOf(file, e.child).c_str(), nameOf(file, e.parent).c_str(),
            e.weight);
}

// A node as a DOT id: a number as it is, a name in double quotes (the
// names hold no blanks; quotes and backslashes are escaped).
std::string dotId(const sunder::GraphFile &file, sunder::NodeId id) {
  if (file.names.empty()) return std::to_string(id);
  std::string quoted = "\"";
  for (char c : file.names[static_cast<size_t>(id)]) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

void writeDot(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t) {
  fprintf(out, "graph cuttree {\n  node [shape=circle];\n");
  if (t.nodeCount() > 0) fprintf(out, "  %s;\n", dotId(file, t.root()).c_str());
  for (const sunder::TreeEdge &e : t.edges())
    fprintf(out, "  %s -- %s [label=\"%" PRId64 "\"];\n", dotId(file, e.child).c_str(),
            dotId(file, e.parent).c_str(), e.weight);
  fprintf(out, "}\n");
}

void writeCsv(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t) {
  fprintf(out, "child,parent,weight\n");
  for (const sunder::TreeEdge &e : t.edges())
    fprintf(out, "%s,%s,%" PRId64 "\n", nameOf(file, e.child).c_str(), nameOf(file, e.parent).c_str(),
            e.weight);
}

void writeQuery(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t, int64_t u,
                int64_t v) {
  fprintf(out, "q %s %s %" PRId64 "\n", nameOf(file, u).c_str(), nameOf(file, v).c_str(),
          t.minCutValue(u, v));
}

void writeSide(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t, int64_t u,
               int64_t v) {
  sunder::Cut cut = t.minCut(u, v);
  fprintf(out, "s %s %s %" PRId64 " %zu\n", nameOf(file, u).c_str(), nameOf(file, v).c_str(),
          cut.value, cut.side.size());
  writeNodes(out, file, cut.side);
}

void writeMinCut(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t) {
  if (t.nodeCount() < 2) {
    fprintf(out, "c no cut: the instance has %s\n", t.nodeCount() == 0 ? "no nodes" : "one node");
    return;
  }
  sunder::Cut cut = t.globalMinCut();
  fprintf(out, "m %" PRId64 " %zu\n", cut.value, cut.side.size());
  writeNodes(out, file, cut.side);
}

bool checkTree(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t, int64_t pairs,
               const CheckProgress &progress) {
  const sunder::Graph &g = file.graph;
  std::vector<oracle::Edge> edges;
  edges.reserve(g.edges().size());
  for (const sunder::Edge &e : g.edges()) edges.push_back({e.u, e.v, e.capacity});
  int32_t n = t.nodeCount();
  oracle::MaxFlow flow(n, edges);
  int64_t flows = n > 0 ? n - 1 : 0, flowsDone = 0;  // the flows this check computes
  flows += n <= 60 ? static_cast<int64_t>(n) * (n - 1) / 2 : pairs;
  auto agree = [&](int32_t u, int32_t v) {
    int64_t mine = t.minCutValueAt(u, v), theirs = flow.maxFlow(u, v);
    if (progress) progress(++flowsDone, flows);
    if (mine == theirs) return true;
    const char *format = "%s between %s and %s: tree %" PRId64 ", max flow %" PRId64 "\n";
    std::string a = nameOf(file, t.ids()[u]), b = nameOf(file, t.ids()[v]);
    fprintf(out, format, "c check: MISMATCH", a.c_str(), b.c_str(), mine, theirs);
    fprintf(stderr, format, "cuttree: check failed", a.c_str(), b.c_str(), mine, theirs);
    return false;
  };
  for (int32_t k = 0; k < n; k++)
    if (t.parents()[k] >= 0 && !agree(k, t.parents()[k])) return false;
  fprintf(out, "c check: %d tree edges equal the max flow between their ends\n",
          n > 0 ? n - 1 : 0);
  int64_t checked = 0;
  if (n <= 60) {
    for (int32_t u = 0; u < n; u++)
      for (int32_t v = u + 1; v < n; v++, checked++)
        if (!agree(u, v)) return false;
    fprintf(out, "c check: all %" PRId64 " pairs equal the max flow\n", checked);
    return true;
  }
  std::mt19937_64 draw(1);
  std::uniform_int_distribution<int32_t> pick(0, n - 1);
  for (; checked < pairs; checked++) {
    int32_t u = pick(draw), v = pick(draw);
    while (v == u) v = pick(draw);
    if (!agree(u, v)) return false;
  }
  fprintf(out, "c check: %" PRId64 " random pairs equal the max flow\n", checked);
  return true;
}

}  // namespace cuttree
