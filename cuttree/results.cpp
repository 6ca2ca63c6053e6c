#include "cuttree/results.h"

#include <cinttypes>

#include "cuttree/oracle.h"

namespace cuttree {

namespace {

int64_t numberOf(const Instance &inst, int32_t id) { return int64_t{id} + inst.lowest; }
int32_t idOf(const Instance &inst, int64_t number) {
  return static_cast<int32_t>(number - inst.lowest);
}

void writeNodes(FILE *out, const Instance &inst, const std::vector<bool> &in, bool which) {
  for (int32_t k = 0; k < static_cast<int32_t>(in.size()); k++)
    if (in[k] == which) fprintf(out, "n %" PRId64 "\n", numberOf(inst, k));
}

int64_t countOf(const std::vector<bool> &in, bool which) {
  int64_t c = 0;
  for (bool b : in) c += b == which;
  return c;
}

}  // namespace

void writeTreeText(FILE *out, const Instance &inst, const CutTree &t) {
  fprintf(out, "c cut tree by Gusfield's method: %d nodes\n", t.n);
  fprintf(out, "p tree %d %d\n", inst.N, t.n - 1);
  for (int32_t k = 0; k < t.n; k++)
    if (t.parent[k] >= 0)
      fprintf(out, "t %" PRId64 " %" PRId64 " %" PRId64 "\n", numberOf(inst, k),
              numberOf(inst, t.parent[k]), t.weight[k]);
}

void writeDot(FILE *out, const Instance &inst, const CutTree &t) {
  fprintf(out, "graph cuttree {\n  node [shape=circle];\n");
  if (t.n > 0) fprintf(out, "  %" PRId64 ";\n", numberOf(inst, 0));
  for (int32_t k = 0; k < t.n; k++)
    if (t.parent[k] >= 0)
      fprintf(out, "  %" PRId64 " -- %" PRId64 " [label=\"%" PRId64 "\"];\n", numberOf(inst, k),
              numberOf(inst, t.parent[k]), t.weight[k]);
  fprintf(out, "}\n");
}

void writeQuery(FILE *out, const Instance &inst, const CutTree &t, int64_t u, int64_t v) {
  TreeEdge e = lightestOnPath(t, idOf(inst, u), idOf(inst, v));
  fprintf(out, "q %" PRId64 " %" PRId64 " %" PRId64 "\n", u, v, e.weight);
}

void writeSide(FILE *out, const Instance &inst, const CutTree &t, int64_t u, int64_t v) {
  TreeEdge e = lightestOnPath(t, idOf(inst, u), idOf(inst, v));
  std::vector<bool> below = subtreeOf(t, e.child);
  bool uSide = below[idOf(inst, u)];
  fprintf(out, "s %" PRId64 " %" PRId64 " %" PRId64 " %" PRId64 "\n", u, v, e.weight,
          countOf(below, uSide));
  writeNodes(out, inst, below, uSide);
}

void writeMinCut(FILE *out, const Instance &inst, const CutTree &t) {
  if (t.n < 2) {
    fprintf(out, "c no cut: the instance has one node\n");
    return;
  }
  TreeEdge e = lightestEdge(t);
  std::vector<bool> below = subtreeOf(t, e.child);
  int64_t inside = countOf(below, true);
  bool smaller = inside <= t.n - inside;
  fprintf(out, "m %" PRId64 " %" PRId64 "\n", e.weight, smaller ? inside : t.n - inside);
  writeNodes(out, inst, below, smaller);
}

bool checkTree(FILE *out, const Instance &inst, const CutTree &t, int64_t pairs) {
  oracle::MaxFlow flow(t.n, inst.edges);
  auto agree = [&](int32_t u, int32_t v) {
    int64_t mine = lightestOnPath(t, u, v).weight, theirs = flow.maxFlow(u, v);
    if (mine == theirs) return true;
    const char *format = "%s between %" PRId64 " and %" PRId64 ": tree %" PRId64
                         ", max flow %" PRId64 "\n";
    fprintf(out, format, "c check: MISMATCH", numberOf(inst, u), numberOf(inst, v), mine, theirs);
    fprintf(stderr, format, "cuttree: check failed", numberOf(inst, u), numberOf(inst, v), mine,
            theirs);
    return false;
  };
  for (int32_t k = 0; k < t.n; k++)
    if (t.parent[k] >= 0 && !agree(k, t.parent[k])) return false;
  fprintf(out, "c check: %d tree edges equal the max flow between their ends\n", t.n - 1);
  int64_t checked = 0;
  if (t.n <= 60) {
    for (int32_t u = 0; u < t.n; u++)
      for (int32_t v = u + 1; v < t.n; v++, checked++)
        if (!agree(u, v)) return false;
    fprintf(out, "c check: all %" PRId64 " pairs equal the max flow\n", checked);
    return true;
  }
  std::mt19937_64 draw(1);
  std::uniform_int_distribution<int32_t> pick(0, t.n - 1);
  for (; checked < pairs; checked++) {
    int32_t u = pick(draw), v = pick(draw);
    while (v == u) v = pick(draw);
    if (!agree(u, v)) return false;
  }
  fprintf(out, "c check: %" PRId64 " random pairs equal the max flow\n", checked);
  return true;
}

}  // namespace cuttree
