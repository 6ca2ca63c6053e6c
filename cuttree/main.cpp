// cuttree: the Gomory-Hu cut tree of one graph file as output, with min-cut
// queries, DOT or CSV output and a check against an independent max flow.
// A thin client of the library: options in, library calls, text out.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include "cuttree/answers.h"
#include "cuttree/options.h"
#include "cuttree/results.h"
#include "sunder/sunder.h"
#include "write_check/write_check.h"

using namespace sunder::cuttree;

namespace {

const int kBadArguments = 2;
const int kBadInput = 1;

[[noreturn]] void badArguments(const std::string &why) {
  fprintf(stderr, "cuttree: %s (see cuttree --help)\n", why.c_str());
  exit(kBadArguments);
}

[[noreturn]] void badInput(const sunder::Error &e) {
  fprintf(stderr, "cuttree: %s\n", e.what());
  exit(kBadInput);
}

// Flushes and closes the results stream; a failure of either is an error.
void finishOutput(FILE *out) {
  if (fflush(out) != 0 || ferror(out)) sunder::outputFailed(errno);
  if (out != stdout && fclose(out) != 0) sunder::outputFailed(errno);
}

FILE *openOutput(const std::string &path) {
  if (path.empty()) return stdout;
  FILE *out = fopen(path.c_str(), "w");
  if (out == nullptr) badArguments("cannot write " + path + ": " + strerror(errno));
  return out;
}

// Bad argument unless `path` names something that can be opened and read
// as a file (a directory opens but cannot be read).
void checkReadable(const std::string &path) {
  FILE *probe = fopen(path.c_str(), "rb");
  if (probe == nullptr) badArguments("cannot read " + path + ": " + strerror(errno));
  struct stat status;
  bool directory = fstat(fileno(probe), &status) == 0 && S_ISDIR(status.st_mode);
  fclose(probe);
  if (directory) badArguments("cannot read " + path + ": " + strerror(EISDIR));
}

// The file's graph, in the format --format names, else the one its
// extension or first line shows; an unreadable file is a bad argument, a
// fault in it an input error.
sunder::GraphFile loadGraph(const Options &o, sunder::Format format) {
  if (o.input != "-") checkReadable(o.input);
  sunder::ReadOptions read;
  read.realCapacities = o.real;
  try {
    return o.format.empty() ? sunder::readGraphFile(o.input, read)
                            : sunder::readGraphFile(o.input, format, read);
  } catch (const sunder::Error &e) {
    // A capacity such as 2.5, or a real matrix, read as whole numbers: say
    // what reads them.
    const std::string &m = e.message();
    bool real = (m.find("capacity '") != std::string::npos &&
                 m.find("is not a whole number") != std::string::npos) ||
                m.rfind("field 'real' is not supported", 0) == 0;
    if (!o.real && real)
      badInput(sunder::Error(e.message() + " (--real reads real capacities)", e.file(), e.line()));
    badInput(e);
  }
}

// "(its nodes are LO ... HI)" when the nodes are a range of numbers.
std::string nodeRange(const sunder::GraphFile &file) {
  const sunder::Graph &g = file.graph;
  int32_t n = g.nodeCount();
  if (n == 0) return "(it has no nodes)";
  if (!file.names.empty()) return "(it has " + std::to_string(n) + " named nodes)";
  sunder::NodeId lo = g.idOf(0), hi = g.idOf(n - 1);
  if (hi - lo + 1 == n) return "(its nodes are " + std::to_string(lo) + " ... " + std::to_string(hi) + ")";
  return "(it has " + std::to_string(n) + " nodes)";
}

// A fault of a pair: on the command line a bad argument; in a pairs file
// too (status 2), "cuttree: FILE:LINE: MESSAGE".
[[noreturn]] void badPair(const NodePair &p, const char *option, const std::string &message) {
  if (p.where.empty()) badArguments(option + message);
  fprintf(stderr, "cuttree: %s%s\n", p.where.c_str(), message.c_str());
  exit(kBadArguments);
}

// The node a pair's text names; a bad pair when none: in a file without
// names, a text that is no number is "not a whole number" in a pairs file,
// and the pair "not two node numbers" on the command line.
int64_t nodeOf(const sunder::GraphFile &file, const sunder::NodeFinder &finder, const NodePair &p,
               const std::string &text, const char *option) {
  if (std::optional<sunder::NodeId> id = finder.find(text)) return *id;
  if (!file.names.empty())
    badPair(p, option, ": node '" + text + "' is not in the instance " + nodeRange(file));
  int64_t number = 0;
  if (!parseNodeNumber(text, number)) {
    if (p.where.empty())
      badArguments(std::string("option ") + option + ": '" + p.uText + " " + p.vText +
                   "' are not two node numbers");
    badPair(p, option, ": node '" + text + "' is not a whole number");
  }
  badPair(p, option, ": node " + std::to_string(number) + " is not in the instance " + nodeRange(file));
}

// Every pair names two different nodes of the graph: their ids are set.
void resolveNodes(const sunder::GraphFile &file, std::vector<NodePair> &pairs, const char *option) {
  sunder::NodeFinder finder(file);
  for (NodePair &p : pairs) {
    p.u = nodeOf(file, finder, p, p.uText, option);
    p.v = nodeOf(file, finder, p, p.vText, option);
    if (p.u == p.v)
      badPair(p, option, (p.where.empty() ? " " : ": ") + p.uText + " " + p.vText +
                             ": the two nodes must differ");
  }
}

// "cuttree: 812/1999 cuts, 240/s, 5 s left" on one rewritten line (what is
// counted, "cuts", named by the caller), at most twice a second, with the
// time left that sunder::TimeLeft estimates: from the build's predicted
// work (BuildOptions::progressWork) once attached to a build, for cuts
// cost very different amounts; else from the counted items themselves.
// The rate is the estimate's recent one of the items, or their average
// since the start when the estimate reads the work; "time left unknown"
// until it has the evidence.
class Progress {
 public:
  explicit Progress(const char *what = "cuts") : what_(what) {}
  // Shows the build's cuts and estimates from its predicted work.
  void attach(sunder::BuildOptions &build) const {
    state_->byWork = true;
    build.progress = *this;
    std::shared_ptr<State> state = state_;
    build.progressWork = [state](int64_t done, int64_t total) {
      state->left.update(state->elapsed(), done, total);
    };
  }
  void operator()(int64_t done, int64_t total) {
    auto now = std::chrono::steady_clock::now();
    double elapsed = state_->elapsed();
    if (!state_->byWork) state_->left.update(elapsed, done, total);
    if (done < total && now - state_->last < std::chrono::milliseconds(500)) return;
    state_->last = now;
    std::optional<double> left = done >= total ? 0.0 : state_->left.secondsLeft();
    double rate = state_->byWork ? 0 : state_->left.cutsPerSecond();
    if (rate <= 0) rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0;
    char line[160];
    int length = snprintf(line, sizeof line, "cuttree: %" PRId64 "/%" PRId64 " %s, %.0f/s, ", done,
                          total, what_, rate);
    length += left ? snprintf(line + length, sizeof line - length, "%.0f s left", *left)
                   : snprintf(line + length, sizeof line - length, "time left unknown");
    // Blanks over what is left of a longer line before.
    fprintf(stderr, "\r%s%*s", line, std::max(state_->shown - length, 0), "");
    state_->shown = length;
    if (done == total) fprintf(stderr, "\n");
  }

 private:
  struct State {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last = start;
    sunder::TimeLeft left;
    bool byWork = false;  // the estimate reads the build's predicted work
    int shown = 0;  // length of the line last written
    double elapsed() const {
      return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
  };
  const char *what_;
  // Shared by the copies that the build's options make of the callable.
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

void writeReport(FILE *out, const sunder::GraphFile &file, const sunder::CutTree &t,
                 const Options &o) {
  const sunder::BuildStats &s = t.stats();
  int32_t arcs = static_cast<int32_t>(file.declaredEdges);
  fputs(sunder::solverReport(t.nodeCount(), arcs, s).c_str(), out);
  sunder::ReportCounters counters = sunder::reportCounters(s);
  std::string used = sunder::engineName(s.engine);
  std::string engine = o.engine == used ? used : o.engine + " (" + used + ")";
  fprintf(out, "c engine: %s   counters: %s   threads: %d   recomputed: %d of %d\n",
          engine.c_str(), counters.names, s.threads, s.recomputed, s.computations);
  auto onOff = [](bool on) { return on ? "on" : "off"; };
  fprintf(out,
          "c switches: decompose %s   proven-cuts %s   degree-bound %s   local-reset %s   "
          "tree-packing %s   steering %s   contraction %s   spread-pairs %s   source-runs %s   "
          "backward-cuts %s   sink-sets %s\n",
          onOff(o.build.decompose), onOff(o.build.provenCuts), onOff(o.build.degreeBound),
          onOff(o.build.localReset), onOff(o.build.treePacking), onOff(o.build.steering),
          onOff(o.build.contraction), onOff(o.build.spreadPairs), onOff(o.build.sourceRuns),
          onOff(o.build.backwardCuts), onOff(o.build.sinkSets));
  fprintf(out, "c scans: %" PRId64 "\n", s.scans);
  fprintf(out, "c time: %.6f\n", s.seconds);
  fprintf(out, "c memory: %.1f MB peak\n", static_cast<double>(s.peakBytes) / 1e6);
}

template <class Parse>
auto parsedOrBad(Parse parse) {
  try {
    return parse();
  } catch (const sunder::Error &e) {
    badArguments(e.message());
  }
}

}  // namespace

// Everything but the last-resort handlers of main.
static int run(int argc, char **argv) {
  Options o;
  std::string error;
  try {
    if (!parseOptions(argc, argv, o, error)) badArguments(error);
  } catch (const sunder::Error &e) {  // a pairs file
    fprintf(stderr, "cuttree: %s\n", e.what());
    exit(kBadArguments);
  }
  if (o.help || o.version) {
    fputs(o.help ? usageText : "cuttree " SUNDER_VERSION "\n", stdout);
    finishOutput(stdout);
    return 0;
  }
  sunder::BuildOptions build = o.build;
  build.engine = parsedOrBad([&] { return sunder::engineFromName(o.engine); });
  sunder::Format format = parsedOrBad([&] {
    return o.format.empty() ? sunder::formatFromPath(o.input) : sunder::formatFromName(o.format);
  });
  sunder::GraphFile file = loadGraph(o, format);
  resolveNodes(file, o.queries, "--query");
  resolveNodes(file, o.sides, "--side");
  if (o.minKCut > file.graph.nodeCount())
    badArguments("--min-k-cut " + std::to_string(o.minKCut) + ": the instance has " +
                 std::to_string(file.graph.nodeCount()) + " nodes");
  FILE *out = openOutput(o.output);

  bool progress = o.progress == 1 || (o.progress == -1 && isatty(STDERR_FILENO));
  if (progress) Progress().attach(build);
  sunder::CutTree t;
  try {
    // The graph's edges serve the build alone unless an answer reads them
    // too: the build then takes them over and frees them once it has them.
    bool edgesAfter = o.check || o.minKCut > 0 || o.clusterAlpha > 0 || o.real;
    t = edgesAfter ? sunder::buildCutTree(file.graph, build)
                   : sunder::buildCutTree(std::move(file.graph), build);
  } catch (const sunder::Error &e) {
    badInput(e);
  }

  if (o.report) writeReport(out, file, t, o);
  // A pairs file without a pair asks for no answers, not for the tree.
  bool asked = !o.queries.empty() || o.pairsFile || !o.sides.empty() || o.mincut || o.check ||
               answersAsked(o);
  if (o.dot) writeDot(out, file, t);
  else if (o.csv) writeCsv(out, file, t);
  else if (o.treeText || !asked) writeTreeText(out, file, t);
  AnswerValues values(file, t);
  for (const NodePair &p : o.queries) writeQuery(out, file, values, p.u, p.v);
  for (const NodePair &p : o.sides) writeSide(out, file, values, p.u, p.v);
  if (o.mincut) writeMinCut(out, file, values);
  writeAnswers(out, file, values, o, build);
  // The check's max flows run on the capacities as built: in fixed point
  // those are the file's values rounded at the scale, not the values.
  if (o.check && !file.realCapacities.empty() && !file.scale.exact())
    fprintf(out, "c check: of the capacities as built, %s, not the file's values\n",
            file.scale.describe().c_str());
  bool passed = !o.check || checkTree(out, file, t, o.checkPairs,
                                      progress ? Progress("max flows checked") : CheckProgress());
  finishOutput(out);
  return passed ? 0 : 1;
}

int main(int argc, char **argv) {
  sunder::watchOutput();
  try {
    return run(argc, argv);
  } catch (const sunder::Error &e) {
    badInput(e);
  } catch (const std::bad_alloc &) {
    fprintf(stderr, "cuttree: not enough memory\n");
    return kBadInput;
  } catch (const std::exception &e) {
    fprintf(stderr, "cuttree: %s\n", e.what());
    return kBadInput;
  }
}
