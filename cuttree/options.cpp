#include "cuttree/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "sunder/formats.h"

namespace sunder::cuttree {

const char *const usageText =
    "Usage: cuttree [options] [FILE]\n"
    "Reads one graph from FILE (or standard input), builds its Gomory-Hu\n"
    "cut tree by Gusfield's method and writes it as text:\n"
    "  c cut tree by Gusfield's method: <n> nodes\n"
    "  p tree N K\n"
    "  t CHILD PARENT WEIGHT     (one line per node but the root)\n"
    "Nodes are the file's own numbers, or its own names: an edge list with\n"
    "an id that is not a plain number (digits, no leading zero) names every\n"
    "node by its text, and GraphML and GML files name theirs; names are\n"
    "printed, and taken by --query, --side and --pairs, as the file has them.\n"
    "\n"
    "Options:\n"
    "  --format NAME   the file's format (default: by its extension, else by\n"
    "                  its first line; metis only by extension or name):\n"
    "                  dimacs  'p cut N M' and 'a U V CAPACITY' lines\n"
    "                  edges   'U V [CAPACITY]' lines (.edges, .el, .txt,\n"
    "                          .edgelist, .ncol, .csv, .tsv); CAPACITY may be\n"
    "                          networkx's {'weight': W}; a first line naming\n"
    "                          source/target, from/to, u/v, node1/node2 or\n"
    "                          src/dst and weight/capacity/cap picks columns\n"
    "                  metis   a METIS graph file (.graph, .metis)\n"
    "                  mtx     a Matrix Market coordinate file (.mtx)\n"
    "                  graphml GraphML (.graphml), through igraph\n"
    "                  gml     GML (.gml), through igraph; capacities from an\n"
    "                          edge attribute weight or capacity, else 1\n"
    "  --real          capacities may be real numbers (2.5, 1e-3, 1/3; an mtx\n"
    "                  file of field real): values are written as real\n"
    "                  numbers, exact for decimals (see docs/cuttree.md);\n"
    "                  K and ALPHA below stay whole numbers\n"
    "  --query U V     minimum cut value between nodes U and V: 'q U V VALUE'\n"
    "                  (repeatable)\n"
    "  --pairs FILE    a --query for every line 'U V' of FILE ('#' comments)\n"
    "  --side U V      also the nodes on U's side of that cut:\n"
    "                  's U V VALUE COUNT', then 'n X' per node (repeatable)\n"
    "  --mincut        global minimum cut and its smaller side:\n"
    "                  'm VALUE COUNT', then 'n X' per node\n"
    "  --k-components K\n"
    "                  the nodes whose every pair has minimum cut K or more:\n"
    "                  'k K COUNT', then 'g SIZE X1 ... XSIZE' per component\n"
    "  --distribution  pairs of nodes per minimum cut value: 'd VALUE PAIRS'\n"
    "  --all-pairs     every pair's minimum cut value: a line 'r X V1 ... Vn'\n"
    "                  per node X, its value to every node in node order (0 to\n"
    "                  itself); graphs of at most 10000 nodes\n"
    "  --min-k-cut K   approximate minimum K-cut, the tree's K - 1 lightest\n"
    "                  edges removed: 'x K VALUE BOUND' (VALUE the capacity\n"
    "                  between the parts <= BOUND their weights <= 2 - 2/K\n"
    "                  times the optimum), then a 'g' line per part\n"
    "  --cut-clustering ALPHA\n"
    "                  minimum-cut clusters (an extra node joined to all by\n"
    "                  ALPHA): 'l ALPHA COUNT', then a 'g' line per cluster\n"
    "  --plot FILE     draw the pairs per minimum cut value into FILE (PNG)\n"
    "                  with gnuplot\n"
    "  --dot           the tree in Graphviz DOT instead of the tree text\n"
    "  --csv           the tree as CSV instead: 'child,parent,weight' lines\n"
    "                  after that header line\n"
    "  --tree          the tree text as well when other results are asked for\n"
    "  --check[=K]     verify every tree edge and K random pairs (default 100;\n"
    "                  all pairs, once each, when n <= 60 or K reaches their\n"
    "                  number) against an independent max flow\n"
    "  --report        also sunder's report lines, before the results\n"
    "  --progress, --no-progress\n"
    "                  progress of the cut computations on standard error\n"
    "                  (default: on when standard error is a terminal)\n"
    "  -j N, --threads N\n"
    "                  compute cuts on N threads (default: every core; at most\n"
    "                  one per core runs, or 8 on smaller machines); the\n"
    "                  output is the same for every N\n"
    "  --engine NAME   how each s-t cut is found (default auto):\n"
    "                  push-relabel  as sunder runs it, with sunder's counters\n"
    "                  push-relabel-global  the same with a global update at\n"
    "                           the start of each cut\n"
    "                  shortest-paths  blocking flows along shortest\n"
    "                           augmenting paths\n"
    "                  search-trees  a search tree from each end, both kept\n"
    "                           between augmentations\n"
    "                  gomory-hu  Gomory and Hu's method with contraction, not\n"
    "                           Gusfield's: each cut splits one part of the\n"
    "                           nodes, the other parts' sides merged, its flow\n"
    "                           by push-relabel-global\n"
    "                  auto     whichever of push-relabel-global, shortest-paths\n"
    "                           and search-trees looks at fewest arcs in the\n"
    "                           first 16 computations, the tree then that\n"
    "                           engine's own; gomory-hu where the build would be\n"
    "                           long and each cut takes several nodes off, or\n"
    "                           where its source runs cut at a quarter of the\n"
    "                           others' arc looks;\n"
    "                           search-trees for every block of a graph that\n"
    "                           splits (a matrix for blocks of at most 32 nodes)\n"
    "                  exact, relabel, paths and trees are the first four's\n"
    "                  former names\n"
    "  --no-decompose  build the tree of the whole graph at once; by default\n"
    "                  bridges, articulation nodes and components split it\n"
    "                  first, and each block's tree is built alone (with\n"
    "                  --engine push-relabel and -j 1 the counters are then\n"
    "                  sunder's)\n"
    "  --no-proven-cuts, --no-degree-bound, --no-local-reset\n"
    "                  shortest-paths and search-trees: do not settle a node\n"
    "                  alone without a flow to its sink (its degree at most\n"
    "                  its block's two lightest edges, or a flow to a\n"
    "                  neighbour with a known heavier cut to that sink\n"
    "                  reaching its degree);\n"
    "                  do not end a cut once its flow reaches the smaller\n"
    "                  degree of its ends; reset the whole graph for every\n"
    "                  cut (all on by default; for comparisons)\n"
    "  --no-tree-packing\n"
    "                  shortest-paths and search-trees: do not pack trees from\n"
    "                  the heaviest node to settle nodes whose cut to it is\n"
    "                  the node alone (on by default; the run is then rooted\n"
    "                  there)\n"
    "  --no-steering   search-trees: grow a cut's source tree in order found,\n"
    "                  not nearest the run's root first when the root is its\n"
    "                  sink\n"
    "  --no-contraction\n"
    "                  auto: Gusfield's method even where gomory-hu would be\n"
    "                  chosen\n"
    "  --no-spread-pairs\n"
    "                  gomory-hu: cut each part between two of its nodes at\n"
    "                  random, not between its heaviest node and the node\n"
    "                  farthest from it\n"
    "  --no-source-runs\n"
    "                  gomory-hu: cut a part two pairs at a time, each flow\n"
    "                  from nothing, not from its node of most edges to one\n"
    "                  node after another, each flow starting from the last\n"
    "  --no-backward-cuts\n"
    "                  gomory-hu: every cut of a source run from the source,\n"
    "                  even where cuts from the sink cost less\n"
    "  --no-sink-sets  search-trees: end each flow at its sink alone, not also\n"
    "                  at nodes whose known cut to it is heavy enough\n"
    "  --update-factor F\n"
    "                  push-relabel-global: a global update once the relabels\n"
    "                  since the last exceed F times the awake nodes (2)\n"
    "  --run-update-factor F\n"
    "                  gomory-hu's source runs: a global update once the arcs\n"
    "                  looked at since the last exceed F times its own (1)\n"
    "  -o FILE         write the results to FILE\n"
    "  --help, --version\n"
    "\n"
    "Exit status: 0 success; 1 error in the file (reported as\n"
    "'cuttree: FILE:LINE: ...' on standard error), exhausted memory, or a\n"
    "failed --check, or gnuplot missing or failing for --plot; 2 bad\n"
    "arguments, unreadable file or unknown node; 74 output could not be\n"
    "written.\n";

namespace {

bool parseInteger(const std::string &text, int64_t low, int64_t high, int64_t &value) {
  if (text.empty() || text.size() > 20) return false;
  char *end = nullptr;
  errno = 0;
  long long x = strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || x < low || x > high) return false;
  value = x;
  return true;
}


// The pair of two texts, with their numbers when they are numbers.
NodePair pairOf(const std::string &u, const std::string &v, std::string where) {
  NodePair pair{u, v, 0, 0, std::move(where)};
  if (!parseNodeNumber(u, pair.u) || !parseNodeNumber(v, pair.v)) pair.u = pair.v = 0;
  return pair;
}

void readPairs(const std::string &path, Options &o) {
  for (const sunder::NodePair &p : sunder::readNodePairs(path))
    o.queries.push_back(
        pairOf(p.u, p.v, (path == "-" ? "<stdin>" : path) + ":" + std::to_string(p.line)));
}

// The arguments of one command line, read left to right.
class Reader {
 public:
  Reader(int argc, char **argv) : argc_(argc), argv_(argv) {}
  bool more() const { return i_ < argc_; }
  std::string take() { return argv_[i_++]; }
  bool takeValue(const std::string &option, std::string &value, std::string &error) {
    if (!more()) {
      error = "option " + option + " needs a value";
      return false;
    }
    value = take();
    return true;
  }
  bool takePair(const std::string &option, NodePair &pair, std::string &error) {
    if (i_ + 2 > argc_) {
      error = "option " + option + " needs two nodes";
      return false;
    }
    std::string u = take(), v = take();
    pair = pairOf(u, v, "");
    return true;
  }

 private:
  int argc_;
  char **argv_;
  int i_ = 1;
};

bool parseThreads(const std::string &text, Options &o, std::string &error) {
  int64_t k = 0;
  if (!parseInteger(text, 1, 1024, k)) {
    error = "thread count '" + text + "' is not a number from 1 to 1024";
    return false;
  }
  o.build.threads = static_cast<int>(k);
  return true;
}

// The value of --update-factor or --run-update-factor (`what`) into `to`.
bool parseFactor(const std::string &text, const char *what, double &to, std::string &error) {
  char *end = nullptr;
  double f = strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(f > 0 && f <= 1e6)) {
    error = std::string(what) + " '" + text + "' is not a number above 0 and up to 1e6";
    return false;
  }
  to = f;
  return true;
}

bool parseCheck(const std::string &arg, Options &o, std::string &error) {
  o.check = true;
  if (arg == "--check") return true;
  std::string k = arg.substr(strlen("--check="));
  if (!parseInteger(k, 0, INT32_MAX, o.checkPairs)) {
    error = "--check=K needs a pair count K from 0 to 2147483647, not '" + k + "'";
    return false;
  }
  return true;
}

// K of --k-components and --min-k-cut, ALPHA of --cut-clustering: 1 or more.
bool parseAnswerCount(const std::string &option, const std::string &text, Options &o,
                      std::string &error) {
  int64_t x = 0;
  if (!parseInteger(text, 1, INT64_MAX, x)) {
    error = option + (option == "--cut-clustering" ? " needs a capacity ALPHA >= 1, not '"
                                                   : " needs a number K >= 1, not '") + text + "'";
    return false;
  }
  (option == "--k-components" ? o.kComponents : option == "--min-k-cut" ? o.minKCut : o.clusterAlpha) = x;
  return true;
}

}  // namespace

bool parseNodeNumber(const std::string &text, int64_t &value) {
  return parseInteger(text, INT64_MIN, INT64_MAX, value);
}

bool parseOptions(int argc, char **argv, Options &o, std::string &error) {
  Reader r(argc, argv);
  bool haveInput = false;
  while (r.more()) {
    std::string a = r.take(), value;
    NodePair pair;
    if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--version") o.version = true;
    else if (a == "--mincut") o.mincut = true;
    else if (a == "--dot") o.dot = true;
    else if (a == "--csv") o.csv = true;
    else if (a == "--decompose") o.build.decompose = true;
    else if (a == "--no-decompose") o.build.decompose = false;
    else if (a == "--no-degree-bound") o.build.degreeBound = false;
    else if (a == "--no-proven-cuts") o.build.provenCuts = false;
    else if (a == "--no-local-reset") o.build.localReset = false;
    else if (a == "--no-tree-packing") o.build.treePacking = false;
    else if (a == "--no-steering") o.build.steering = false;
    else if (a == "--no-contraction") o.build.contraction = false;
    else if (a == "--no-spread-pairs") o.build.spreadPairs = false;
    else if (a == "--no-source-runs") o.build.sourceRuns = false;
    else if (a == "--source-runs") o.build.sourceRuns = true;
    else if (a == "--no-backward-cuts") o.build.backwardCuts = false;
    else if (a == "--no-sink-sets") o.build.sinkSets = false;
    else if (a == "--real") o.real = true;
    else if (a == "--tree") o.treeText = true;
    else if (a == "--report") o.report = true;
    else if (a == "--progress") o.progress = 1;
    else if (a == "--no-progress") o.progress = 0;
    else if (a == "--check" || a.rfind("--check=", 0) == 0) {
      if (!parseCheck(a, o, error)) return false;
    } else if (a == "--query" || a == "--side") {
      if (!r.takePair(a, pair, error)) return false;
      (a == "--query" ? o.queries : o.sides).push_back(pair);
    } else if (a == "--k-components" || a == "--min-k-cut" || a == "--cut-clustering") {
      if (!r.takeValue(a, value, error) || !parseAnswerCount(a, value, o, error)) return false;
    } else if (a == "--distribution") {
      o.distribution = true;
    } else if (a == "--all-pairs") {
      o.allPairs = true;
    } else if (a == "--plot") {
      if (!r.takeValue(a, o.plot, error)) return false;
    } else if (a == "--pairs") {
      if (!r.takeValue(a, value, error)) return false;
      readPairs(value, o);
      o.pairsFile = true;
    } else if (a == "-o" || a == "--output") {
      if (!r.takeValue(a, o.output, error)) return false;
    } else if (a == "-j" || a == "--threads") {
      if (!r.takeValue(a, value, error) || !parseThreads(value, o, error)) return false;
    } else if (a.size() > 2 && a.rfind("-j", 0) == 0 && a[2] != '-') {
      if (!parseThreads(a.substr(2), o, error)) return false;
    } else if (a == "--format") {
      if (!r.takeValue(a, o.format, error)) return false;
    } else if (a == "--engine") {
      if (!r.takeValue(a, o.engine, error)) return false;
    } else if (a == "--update-factor") {
      if (!r.takeValue(a, value, error) ||
          !parseFactor(value, "update factor", o.build.updateFactor, error))
        return false;
    } else if (a == "--run-update-factor") {
      if (!r.takeValue(a, value, error) ||
          !parseFactor(value, "run update factor", o.build.runUpdateFactor, error))
        return false;
    } else if (a != "-" && a[0] == '-') {
      error = "unknown option " + a;
      return false;
    } else if (haveInput) {
      error = "more than one input file: " + o.input + " and " + a;
      return false;
    } else {
      o.input = a;
      haveInput = true;
    }
  }
  return true;
}

}  // namespace sunder::cuttree
