#include "instance_text.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

[[noreturn]] void reject(const char *program, const std::string &path, long line,
                         const std::string &what) {
  std::fprintf(stderr, "%s: %s:%ld: %s\n", program, path.c_str(), line, what.c_str());
  std::exit(1);
}

struct ArcLine {
  int64_t tail, head, cap;
};

}  // namespace

PeerInstance readInstance(const char *program, const std::string &path) {
  std::ifstream in(path);
  if (!in) reject(program, path, 0, "cannot open the file");
  int64_t announcedN = -1, announcedM = -1;
  std::vector<ArcLine> arcs;
  std::string line;
  long lineNo = 0;
  while (std::getline(in, line)) {
    lineNo++;
    if (line.empty() || line[0] == 'c') continue;
    std::istringstream fields(line.substr(1));
    if (line[0] == 'p') {
      std::string word;
      if (announcedN >= 0) reject(program, path, lineNo, "a second problem line");
      if (!(fields >> word >> announcedN >> announcedM) || word != "cut" || announcedN <= 0 ||
          announcedM <= 0 || announcedN >= INT32_MAX)
        reject(program, path, lineNo, "expected \"p cut N M\" with N, M > 0");
      arcs.reserve(static_cast<size_t>(announcedM));
    } else if (line[0] == 'a') {
      ArcLine a{};
      if (announcedN < 0) reject(program, path, lineNo, "an arc line before the problem line");
      if (static_cast<int64_t>(arcs.size()) == announcedM)
        reject(program, path, lineNo, "more arc lines than the problem line announced");
      if (!(fields >> a.tail >> a.head >> a.cap))
        reject(program, path, lineNo, "expected \"a T H U\"");
      if (a.tail < 0 || a.tail > announcedN || a.head < 0 || a.head > announcedN)
        reject(program, path, lineNo, "a node number outside 0 ... N");
      if (a.cap < 0) reject(program, path, lineNo, "a negative capacity");
      arcs.push_back(a);
    } else {
      reject(program, path, lineNo, "unknown line type");
    }
  }
  if (in.bad()) reject(program, path, lineNo, "read error");
  if (announcedN < 0) reject(program, path, lineNo, "no problem line");
  if (static_cast<int64_t>(arcs.size()) < announcedM)
    reject(program, path, lineNo, "fewer arc lines than the problem line announced");

  int64_t lo = announcedN, hi = 0;
  for (const ArcLine &a : arcs) {
    lo = std::min({lo, a.tail, a.head});
    hi = std::max({hi, a.tail, a.head});
  }
  PeerInstance instance;
  instance.nodeCount = static_cast<int32_t>(hi - lo + 1);
  instance.edges.reserve(arcs.size());
  for (const ArcLine &a : arcs)
    if (a.tail != a.head)
      instance.edges.push_back({static_cast<int32_t>(a.tail - lo),
                                static_cast<int32_t>(a.head - lo), a.cap});
  return instance;
}

void printTreeWeights(double seconds, std::vector<int64_t> weights) {
  std::sort(weights.begin(), weights.end());
  std::printf("time=%.6f\nweights=%zu\n", seconds, weights.size());
  for (int64_t w : weights) std::printf("w %" PRId64 "\n", w);
}

std::string instancePathArgument(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s INSTANCE\n", argc > 0 ? argv[0] : "peer");
    std::exit(2);
  }
  return argv[1];
}
