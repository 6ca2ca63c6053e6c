#include "cuttree/instance.h"

#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>

#include "solver/solver.h"

namespace cuttree {

namespace {

// The text as a stream, closed when the reading ends, however it ends.
struct TextStream {
  FILE *in;
  explicit TextStream(const std::string &text)
      // fmemopen refuses an empty buffer; the reader then sees no line at all.
      : in(text.empty() ? fopen("/dev/null", "r")
                        : fmemopen(const_cast<char *>(text.data()), text.size(), "r")) {}
  ~TextStream() {
    if (in != nullptr) fclose(in);
  }
};

// Standard output sent to standard error until the end of the scope.
struct OutputToError {
  int saved;
  OutputToError() {
    fflush(stdout);
    saved = dup(STDOUT_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
  }
  ~OutputToError() {
    fflush(stdout);
    if (saved >= 0) {
      dup2(saved, STDOUT_FILENO);
      close(saved);
    }
  }
};

// The reader reports instance errors on standard output and ends the
// process. cuttree's standard output carries results only, so while the
// reader runs, standard output is standard error.
graph *parseQuietly(const std::string &text) {
  TextStream stream(text);
  if (stream.in == nullptr) {
    fprintf(stderr, "cuttree: cannot read the instance: %s\n", strerror(errno));
    exit(1);
  }
  OutputToError quiet;
  return dimacsParse(stream.in);
}

[[noreturn]] void instanceError(int line, const char *message) {
  fprintf(stderr, "\nline %d of input - %s\n", line, message);
  exit(1);
}

// Walks the accepted text line by line as the reader does (pieces of at
// most 99 characters), picking up the problem line's N and every edge.
void collectEdges(Instance &inst) {
  TextStream stream(inst.text);
  FILE *in = stream.in;
  char line[100];
  int lineCount = 0;
  int64_t lo = INT64_MAX, hi = INT64_MIN;
  std::vector<int64_t> ends;
  while (fgets(line, sizeof line, in) != nullptr) {
    lineCount++;
    if (line[0] == 'p') {
      char word[4];
      long long nodes = 0, edges = 0;
      if (sscanf(line + 1, " %3s %lld %lld", word, &nodes, &edges) == 3)
        inst.N = static_cast<int32_t>(nodes);
    } else if (line[0] == 'a') {
      long long t = 0, h = 0, u = 0;
      sscanf(line + 1, "%lld %lld %lld", &t, &h, &u);
      if (u < 0) instanceError(lineCount, "negative capacity: cut values need capacities of 0 or more.");
      inst.edges.push_back({static_cast<int>(t), static_cast<int>(h), u});
      lo = std::min<int64_t>(lo, std::min(t, h));
      hi = std::max<int64_t>(hi, std::max(t, h));
    }
  }
  inst.lowest = static_cast<int32_t>(lo);
  inst.highest = static_cast<int32_t>(hi);
  for (oracle::Edge &e : inst.edges) {
    e.u -= inst.lowest;
    e.v -= inst.lowest;
  }
}

}  // namespace

bool readAll(const std::string &path, std::string &text) {
  FILE *in = path == "-" ? stdin : fopen(path.c_str(), "rb");
  if (in == nullptr) return false;
  char buf[1 << 16];
  size_t got;
  while ((got = fread(buf, 1, sizeof buf, in)) > 0) text.append(buf, got);
  bool ok = !ferror(in);
  int saved = errno;
  if (in != stdin) fclose(in);
  errno = saved;
  return ok;
}

Instance loadInstance(std::string text) {
  Instance inst;
  inst.text = std::move(text);
  inst.parsed.reset(parseQuietly(inst.text));
  collectEdges(inst);
  return inst;
}

graph *makeSolverGraph(Instance &inst) {
  graph *g = inst.parsed != nullptr ? inst.parsed.release() : parseQuietly(inst.text);
  copyArcs(g);
  initContracted(g);
  allocateStorage(g);
  return g;
}

}  // namespace cuttree
