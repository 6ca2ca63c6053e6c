// cuttree: the Gomory-Hu cut tree of one instance as output, with min-cut
// queries, Graphviz output and a check against an independent max flow.
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "cuttree/builder.h"
#include "cuttree/options.h"
#include "cuttree/results.h"
#include "solver/solver.h"
#include "writecheck/writecheck.h"

using namespace cuttree;

namespace {

const int kBadArguments = 2;

[[noreturn]] void badArguments(const std::string &why) {
  fprintf(stderr, "cuttree: %s (see cuttree --help)\n", why.c_str());
  exit(kBadArguments);
}

// Flushes and closes the results stream; a failure of either is an error.
void finishOutput(FILE *out) {
  if (fflush(out) != 0 || ferror(out)) outputFailed(errno);
  if (out != stdout && fclose(out) != 0) outputFailed(errno);
}

FILE *openOutput(const std::string &path) {
  if (path.empty()) return stdout;
  FILE *out = fopen(path.c_str(), "w");
  if (out == nullptr) badArguments("cannot write " + path + ": " + strerror(errno));
  return out;
}

void checkEngine(const std::string &name) {
  if (findEngine(name) != nullptr) return;
  std::string known;
  for (const EngineInfo &e : engines()) known += (known.empty() ? "" : ", ") + e.name;
  badArguments("unknown engine '" + name + "' (engines: " + known + ")");
}

void checkNodes(const Instance &inst, const std::vector<std::pair<int64_t, int64_t>> &pairs,
                const char *what) {
  for (const auto &[u, v] : pairs) {
    for (int64_t x : {u, v})
      if (!inst.hasNumber(x))
        badArguments(std::string(what) + ": node " + std::to_string(x) +
                     " is not in the instance (its nodes are " + std::to_string(inst.lowest) +
                     " ... " + std::to_string(inst.highest) + ")");
    if (u == v)
      badArguments(std::string(what) + " " + std::to_string(u) + " " + std::to_string(v) +
                   ": the two nodes must differ");
  }
}

// "cuttree: 812/1999 cuts, 240/s, 5 s left" on one rewritten line.
class Progress {
 public:
  void operator()(int32_t done, int32_t total) {
    auto now = std::chrono::steady_clock::now();
    if (done < total && now - last_ < std::chrono::milliseconds(500)) return;
    last_ = now;
    double elapsed = std::chrono::duration<double>(now - start_).count();
    double rate = elapsed > 0 ? done / elapsed : 0;
    double left = rate > 0 ? (total - done) / rate : 0;
    fprintf(stderr, "\rcuttree: %d/%d cuts, %.0f/s, %.0f s left   ", done, total, rate, left);
    if (done == total) fprintf(stderr, "\n");
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_ = start_;
};

void writeReport(FILE *out, const BuildResult &r, const BuildOptions &build, const Options &o) {
  printNodesLine(out, r.n, r.m);
  printSummaryLines(out, r.n, r.m, static_cast<float>(r.calcSeconds),
                    static_cast<float>(r.manipSeconds));
  printCounterLines(out, r.counters.first, r.counters.second, static_cast<float>(r.seconds),
                    static_cast<float>(r.lastCutSeconds));
  std::string engine = o.engine == r.engine ? r.engine : o.engine + " (" + r.engine + ")";
  fprintf(out, "c engine: %s   counters: %s   threads: %d   recomputed: %d of %d\n",
          engine.c_str(), findEngine(r.engine)->counterNames.c_str(), build.threads,
          r.recomputed, r.computations);
  fprintf(out, "c scans: %" PRId64 "\n", r.counters.scans);
  fprintf(out, "c time: %.6f\n", r.seconds);
}

int defaultThreads() {
  unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

}  // namespace

int main(int argc, char **argv) {
  watchOutput();
  Options o;
  std::string error;
  if (!parseOptions(argc, argv, o, error)) badArguments(error);
  if (o.help || o.version) {
    fputs(o.help ? usageText : "cuttree 1.0\n", stdout);
    finishOutput(stdout);
    return 0;
  }
  checkEngine(o.engine);
  std::string text;
  if (!readAll(o.input, text)) badArguments("cannot read " + o.input + ": " + strerror(errno));
  Instance inst = loadInstance(std::move(text));
  checkNodes(inst, o.queries, "--query");
  checkNodes(inst, o.sides, "--side");
  FILE *out = openOutput(o.output);

  BuildOptions build;
  build.threads = o.threads > 0 ? o.threads : defaultThreads();
  build.engine = o.engine;
  build.settings.updateFactor = o.updateFactor;
  if (o.progress == 1 || (o.progress == -1 && isatty(STDERR_FILENO))) build.progress = Progress();
  BuildResult r = buildTree(inst, build);
  CutTree t = fromRecords(r.records);

  if (o.report) writeReport(out, r, build, o);
  bool asked = !o.queries.empty() || !o.sides.empty() || o.mincut || o.check;
  if (o.dot) writeDot(out, inst, t);
  else if (o.treeText || !asked) writeTreeText(out, inst, t);
  for (const auto &[u, v] : o.queries) writeQuery(out, inst, t, u, v);
  for (const auto &[u, v] : o.sides) writeSide(out, inst, t, u, v);
  if (o.mincut) writeMinCut(out, inst, t);
  bool passed = !o.check || checkTree(out, inst, t, o.checkPairs);
  finishOutput(out);
  return passed ? 0 : 1;
}
