// libFuzzer target: cuttree's command line and instance.
//
// The input's first line is a command line (split at blanks; `--pairs` and
// `-o`, which name files, are dropped with their values), the rest an
// graph file in the format --format names (the instance text by default).
// The options must parse or be refused with a reason; the library's reader
// must accept the file or refuse it with an error. An accepted graph of at
// most 40 nodes gets a tree from every engine, on one thread and on two: the
// two must agree, every tree edge must weigh the independent max flow
// between its ends, and the queries the command line asked for are answered.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cuttree/options.h"
#include "cuttree/results.h"
#include "sunder/sunder.h"

using namespace sunder::cuttree;

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
  bool ok = false;
  try {
    ok = parseOptions(static_cast<int>(argv.size()), argv.data(), o, error);
  } catch (const sunder::Error &e) {  // a pairs file that cannot be read
    check(!e.message().empty(), "pairs file refused without a reason");
    return false;
  }
  check(ok || !error.empty(), "option refused without a reason");
  return ok;
}

// The file's graph, or false when its reader refused it with a reason.
bool load(const std::string &text, const Options &o, sunder::GraphFile &file) {
  sunder::Format format = sunder::Format::Dimacs;
  try {
    if (!o.format.empty()) format = sunder::formatFromName(o.format);
  } catch (const sunder::Error &) {
  }
  try {
    file = sunder::readGraphText(text, format, "fuzz");
  } catch (const sunder::Error &e) {
    check(e.line() >= 0 && std::string(e.what()).size() > 0, "refused without a reason");
    return false;
  }
  for (const sunder::Edge &e : file.graph.edges()) check(e.capacity >= 0, "negative capacity accepted");
  return true;
}

sunder::CutTree build(const sunder::Graph &g, sunder::Engine engine, int threads) {
  sunder::BuildOptions b;
  b.engine = engine;
  b.threads = threads;
  return sunder::buildCutTree(g, b);
}

void checkTrees(const sunder::GraphFile &file) {
  const sunder::Graph &g = file.graph;
  for (sunder::Engine e : sunder::allEngines()) {
    sunder::CutTree one = build(g, e, 1), two = build(g, e, 2);
    check(one.parents() == two.parents() && one.weights() == two.weights(),
          "thread counts disagree");
    FILE *sink = fopen("/dev/null", "w");
    check(checkTree(sink, file, one, 0), "tree edge differs from the max flow");
    fclose(sink);
  }
}

void answerQueries(const sunder::GraphFile &file, const Options &o) {
  sunder::CutTree t = build(file.graph, sunder::Engine::Auto, 1);
  FILE *sink = fopen("/dev/null", "w");
  auto known = [&t](int64_t u, int64_t v) { return t.contains(u) && t.contains(v) && u != v; };
  sunder::cuttree::AnswerValues values(file, t);
  for (const sunder::cuttree::NodePair &p : o.queries)
    if (known(p.u, p.v)) writeQuery(sink, file, values, p.u, p.v);
  for (const sunder::cuttree::NodePair &p : o.sides)
    if (known(p.u, p.v)) writeSide(sink, file, values, p.u, p.v);
  if (o.mincut) writeMinCut(sink, file, values);
  if (o.dot) writeDot(sink, file, t);
  if (o.csv) writeCsv(sink, file, t);
  writeTreeText(sink, file, t);
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
  sunder::GraphFile file;
  if (!load(text, o, file)) return 0;
  if (file.graph.nodeCount() > 40 || file.graph.edgeCount() > 200) return 0;
  checkTrees(file);
  if (argsOk) answerQueries(file, o);
  return 0;
}
