#include "cuttree/results.h"

#include <cinttypes>
#include <random>
#include <string>

#include "verify/certificate.h"
#include "verify/oracle.h"

namespace sunder::cuttree {

namespace {

// The text of node `id` as output shows it.
std::string nameOf(const sunder::GraphFile &file, sunder::NodeId id) {
  return sunder::nodeName(file, id);
}

void writeNodes(FILE *out, const sunder::GraphFile &file, const std::vector<sunder::NodeId> &nodes) {
  for (sunder::NodeId x : nodes) fprintf(out, "n %s\n", nameOf(file, x).c_str());
}

// Calls write(child, parent, weight) for each of the tree's edges, children
// in index order, the weight as output writes it; one edge's text at a
// time, so that a tree of millions of nodes costs no second copy. With real
// capacities each weight is the file's values summed over the edge's cut.
template <class Write>
void forEachEdgeText(const sunder::GraphFile &file, const sunder::CutTree &t, Write write) {
  std::vector<std::string> weights;
  if (!file.realCapacities.empty())
    weights = sunder::realCutWeights(t, file.graph, file.realCapacities, file.scale);
  for (int32_t k = 0; k < t.nodeCount(); k++) {
    if (t.parents()[k] < 0) continue;
    write(t.ids()[k], t.ids()[t.parents()[k]],
          weights.empty() ? valueText(file, t.weights()[k]) : weights[k]);
  }
}

}  // namespace

std::string valueText(const sunder::GraphFile &file, sunder::Capacity value) {
  return file.scale.text(value);
}

void writeTreeText(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t) {
  fprintf(out, "c cut tree by Gusfield's method: %d nodes\n", t.nodeCount());
  fprintf(out, "p tree %" PRId64 " %d\n", file.declaredNodes,
          t.nodeCount() > 0 ? t.nodeCount() - 1 : 0);
  forEachEdgeText(file, t, [&](sunder::NodeId child, sunder::NodeId parent, const std::string &w) {
    fprintf(out, "t %s %s %s\n", nameOf(file, child).c_str(), nameOf(file, parent).c_str(),
            w.c_str());
  });
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
  forEachEdgeText(file, t, [&](sunder::NodeId child, sunder::NodeId parent, const std::string &w) {
    fprintf(out, "  %s -- %s [label=\"%s\"];\n", dotId(file, child).c_str(),
            dotId(file, parent).c_str(), w.c_str());
  });
  fprintf(out, "}\n");
}

// A CSV field as RFC 4180 writes it: in double quotes, each quote doubled,
// when it holds a comma, a double quote, CR or LF (a GraphML or GML name
// may hold the first two); as it is otherwise.
std::string csvField(const std::string &text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

void writeCsv(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t) {
  fprintf(out, "child,parent,weight\n");
  forEachEdgeText(file, t, [&](sunder::NodeId child, sunder::NodeId parent, const std::string &w) {
    fprintf(out, "%s,%s,%s\n", csvField(nameOf(file, child)).c_str(),
            csvField(nameOf(file, parent)).c_str(), csvField(w).c_str());
  });
}

void writeQuery(FILE *out, const sunder::GraphFile &file, const AnswerValues &values, int64_t u,
                int64_t v) {
  fprintf(out, "q %s %s %s\n", nameOf(file, u).c_str(), nameOf(file, v).c_str(),
          values.text(values.tree().minCutValue(u, v)).c_str());
}

void writeSide(FILE *out, const sunder::GraphFile &file, const AnswerValues &values, int64_t u,
               int64_t v) {
  sunder::Cut cut = values.tree().minCut(u, v);
  fprintf(out, "s %s %s %s %zu\n", nameOf(file, u).c_str(), nameOf(file, v).c_str(),
          values.text(cut.value).c_str(), cut.side.size());
  writeNodes(out, file, cut.side);
}

void writeMinCut(FILE *out, const sunder::GraphFile &file, const AnswerValues &values) {
  const sunder::CutTree &t = values.tree();
  if (t.nodeCount() < 2) {
    fprintf(out, "c no cut: the instance has %s\n", t.nodeCount() == 0 ? "no nodes" : "one node");
    return;
  }
  sunder::Cut cut = t.globalMinCut();
  fprintf(out, "m %s %zu\n", values.text(cut.value).c_str(), cut.side.size());
  writeNodes(out, file, cut.side);
}

namespace {

// The first tree edge whose cut is not crossed by exactly its weight,
// written as a mismatch is; true when every edge's cut is.
bool certified(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t,
               const std::vector<oracle::Edge> &edges) {
  oracle::RootedTree rooted{std::vector<int>(t.parents().begin(), t.parents().end()), t.weights()};
  std::vector<oracle::CertificateFault> faults = oracle::certificateFaults(rooted, edges);
  if (faults.empty()) return true;
  const oracle::CertificateFault &f = faults.front();
  const char *format = "%s at tree edge %s %s: weight %s, crossing capacity %s\n";
  std::string a = nameOf(file, t.ids()[f.child]), b = nameOf(file, t.ids()[f.parent]);
  std::string weight = valueText(file, f.weight), crossing = valueText(file, f.crossing);
  for (FILE *to : {out, stderr})
    fprintf(to, format, to == out ? "c check: WRONG CUT" : "cuttree: check failed", a.c_str(),
            b.c_str(), weight.c_str(), crossing.c_str());
  return false;
}

}  // namespace

bool checkTree(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t, int64_t pairs,
               const CheckProgress &progress) {
  const sunder::Graph &g = file.graph;
  std::vector<oracle::Edge> edges;
  edges.reserve(g.edges().size());
  for (const sunder::Edge &e : g.edges()) edges.push_back({e.u, e.v, e.capacity});
  if (!certified(out, file, t, edges)) return false;
  int32_t n = t.nodeCount();
  oracle::MaxFlow flow(n, edges);
  int64_t flows = n > 0 ? n - 1 : 0, flowsDone = 0;  // the flows this check computes
  // Every pair once where the graph has few nodes, or fewer pairs than
  // asked for: drawn pairs would repeat.
  int64_t allPairs = static_cast<int64_t>(n) * (n - 1) / 2;
  bool everyPair = n <= 60 || pairs >= allPairs;
  flows += everyPair ? allPairs : pairs;
  auto agree = [&](int32_t u, int32_t v) {
    int64_t mine = t.minCutValueAt(u, v), theirs = flow.maxFlow(u, v);
    if (progress) progress(++flowsDone, flows);
    if (mine == theirs) return true;
    const char *format = "%s between %s and %s: tree %s, max flow %s\n";
    std::string a = nameOf(file, t.ids()[u]), b = nameOf(file, t.ids()[v]);
    std::string treeValue = valueText(file, mine), flowValue = valueText(file, theirs);
    for (FILE *to : {out, stderr})
      fprintf(to, format, to == out ? "c check: MISMATCH" : "cuttree: check failed", a.c_str(),
              b.c_str(), treeValue.c_str(), flowValue.c_str());
    return false;
  };
  for (int32_t k = 0; k < n; k++)
    if (t.parents()[k] >= 0 && !agree(k, t.parents()[k])) return false;
  fprintf(out, "c check: %d tree edges equal the max flow between their ends\n",
          n > 0 ? n - 1 : 0);
  int64_t checked = 0;
  if (everyPair) {
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

}  // namespace sunder::cuttree
