// libFuzzer target: cuttree's command line and instance.
//
// The input's first line is a command line (split at blanks; `--pairs` and
// `-o`, which name files, are dropped with their values), the rest an
// instance. The options must parse or be refused with a reason; the instance
// is read by the solver's reader and cuttree's checks, which end the process
// on errors (trapped here, see exit_trap.h). An accepted instance of at most
// 40 nodes gets a tree from every engine, on one thread and on two: the two
// must agree, every tree edge must weigh the independent max flow between
// its ends, and the queries the command line asked for are answered.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cuttree/builder.h"
#include "cuttree/options.h"
#include "cuttree/results.h"
#include "exit_trap.h"

using namespace cuttree;

namespace {

void check(bool ok, const char *what) {
  if (ok) return;
  fprintf(stderr, "cuttree_fuzzer: %s\n", what);
  abort();
}

std::vector<std::string> commandLine(const std::string &line) {
  std::vector<std::string> args{"cuttree"};
  std::istringstream words(line);
  for (std::string w; words >> w && args.size() < 16;) {
    if (w == "--pairs" || w == "-o" || w == "--output") {
      words >> w;
      continue;
    }
    args.push_back(w);
  }
  return args;
}

bool parse(std::vector<std::string> args, Options &o) {
  std::vector<char *> argv;
  for (std::string &a : args) argv.push_back(&a[0]);
  std::string error;
  bool ok = parseOptions(static_cast<int>(argv.size()), argv.data(), o, error);
  check(ok || !error.empty(), "option refused without a reason");
  return ok;
}

// The instance, or false when the reader or cuttree's checks refused it.
bool load(const std::string &text, Instance &inst) {
  beginTrap();
  try {
    inst = loadInstance(text);
  } catch (const ProcessExit &e) {
    check(e.status == 1, "instance refused with a status other than 1");
    endTrap(true);
    return false;
  }
  endTrap(false);
  for (const oracle::Edge &e : inst.edges) check(e.cap >= 0, "negative capacity accepted");
  return true;
}

std::vector<tree> build(Instance &inst, const std::string &engine, int threads) {
  BuildOptions b;
  b.engine = engine;
  b.threads = threads;
  return buildTree(inst, b).records;
}

void checkTrees(Instance &inst) {
  for (const EngineInfo &e : engines()) {
    std::vector<tree> one = build(inst, e.name, 1), two = build(inst, e.name, 2);
    check(one.size() == two.size(), "thread counts disagree on the size");
    for (size_t p = 0; p < one.size(); p++)
      check(one[p].id == two[p].id && one[p].parent == two[p].parent &&
                one[p].weight == two[p].weight,
            "thread counts disagree");
    CutTree t = fromRecords(one);
    FILE *sink = fopen("/dev/null", "w");
    check(checkTree(sink, inst, t, 0), "tree edge differs from the max flow");
    fclose(sink);
  }
}

void answerQueries(Instance &inst, const Options &o) {
  CutTree t = fromRecords(build(inst, "auto", 1));
  FILE *sink = fopen("/dev/null", "w");
  for (const auto &[u, v] : o.queries)
    if (inst.hasNumber(u) && inst.hasNumber(v) && u != v) writeQuery(sink, inst, t, u, v);
  for (const auto &[u, v] : o.sides)
    if (inst.hasNumber(u) && inst.hasNumber(v) && u != v) writeSide(sink, inst, t, u, v);
  if (o.mincut) writeMinCut(sink, inst, t);
  if (o.dot) writeDot(sink, inst, t);
  fclose(sink);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string input(reinterpret_cast<const char *>(data), size);
  size_t newline = input.find('\n');
  std::string first = input.substr(0, newline);
  std::string text = newline == std::string::npos ? std::string() : input.substr(newline + 1);
  Options o;
  bool argsOk = parse(commandLine(first), o);
  Instance inst;
  if (!load(text, inst)) return 0;
  if (inst.nodeCount() > 40 || inst.edges.size() > 200) return 0;
  checkTrees(inst);
  if (argsOk) answerQueries(inst, o);
  return 0;
}
