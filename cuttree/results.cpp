#include "cuttree/results.h"

#include <cinttypes>
#include <random>

#include "verify/oracle.h"

namespace cuttree {

namespace {

void writeNodes(FILE *out, const std::vector<sunder::NodeId> &nodes) {
  for (sunder::NodeId x : nodes) fprintf(out, "n %" PRId64 "\n", x);
}

}  // namespace

void writeTreeText(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t) {
  fprintf(out, "c cut tree by Gusfield's method: %d nodes\n", t.nodeCount());
  fprintf(out, "p tree %" PRId64 " %d\n", file.declaredNodes,
          t.nodeCount() > 0 ? t.nodeCount() - 1 : 0);
  for (const sunder::TreeEdge &e : t.edges())
    fprintf(out, "t %" PRId64 " %" PRId64 " %" PRId64 "\n", e.child, e.parent, e.weight);
}

void writeDot(FILE *out, const sunder::CutTree &t) {
  fprintf(out, "graph cuttree {\n  node [shape=circle];\n");
  if (t.nodeCount() > 0) fprintf(out, "  %" PRId64 ";\n", t.root());
  for (const sunder::TreeEdge &e : t.edges())
    fprintf(out, "  %" PRId64 " -- %" PRId64 " [label=\"%" PRId64 "\"];\n", e.child, e.parent,
            e.weight);
  fprintf(out, "}\n");
}

void writeCsv(FILE *out, const sunder::CutTree &t) {
  fprintf(out, "child,parent,weight\n");
  for (const sunder::TreeEdge &e : t.edges())
    fprintf(out, "%" PRId64 ",%" PRId64 ",%" PRId64 "\n", e.child, e.parent, e.weight);
}

void writeQuery(FILE *out, const sunder::CutTree &t, int64_t u, int64_t v) {
  fprintf(out, "q %" PRId64 " %" PRId64 " %" PRId64 "\n", u, v, t.minCutValue(u, v));
}

void writeSide(FILE *out, const sunder::CutTree &t, int64_t u, int64_t v) {
  sunder::Cut cut = t.minCut(u, v);
  fprintf(out, "s %" PRId64 " %" PRId64 " %" PRId64 " %zu\n", u, v, cut.value, cut.side.size());
  writeNodes(out, cut.side);
}

void writeMinCut(FILE *out, const sunder::CutTree &t) {
  if (t.nodeCount() < 2) {
    fprintf(out, "c no cut: the instance has %s\n", t.nodeCount() == 0 ? "no nodes" : "one node");
    return;
  }
  sunder::Cut cut = t.globalMinCut();
  fprintf(out, "m %" PRId64 " %zu\n", cut.value, cut.side.size());
  writeNodes(out, cut.side);
}

bool checkTree(FILE *out, const sunder::Graph &g, const sunder::CutTree &t, int64_t pairs) {
  std::vector<oracle::Edge> edges;
  edges.reserve(g.edges().size());
  for (const sunder::Edge &e : g.edges()) edges.push_back({e.u, e.v, e.capacity});
  int32_t n = t.nodeCount();
  oracle::MaxFlow flow(n, edges);
  auto agree = [&](int32_t u, int32_t v) {
    int64_t mine = t.minCutValueAt(u, v), theirs = flow.maxFlow(u, v);
    if (mine == theirs) return true;
    const char *format = "%s between %" PRId64 " and %" PRId64 ": tree %" PRId64
                         ", max flow %" PRId64 "\n";
    fprintf(out, format, "c check: MISMATCH", t.ids()[u], t.ids()[v], mine, theirs);
    fprintf(stderr, format, "cuttree: check failed", t.ids()[u], t.ids()[v], mine, theirs);
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
